#include "settings/SettingsPages.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "settings/RegisterOperations.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <algorithm>

namespace {

template <size_t N>
bool RangeDiffers(const std::array<int32_t, N>& a, const std::array<int32_t, N>& b, size_t first, size_t last)
{
    return !std::equal(a.begin() + first, a.begin() + last + 1, b.begin() + first);
}

} // namespace

TSettingsPages::TSettingsPages(TMainCore& core) : FCore(core) {}

bool TSettingsPages::IsRegisterPage(int page)
{
    return (page >= spProx0 && page <= spEvents) || page == spSysFlags;
}

// ---- Get and set ----------------------------------------------------------------------------------------

void TSettingsPages::GetSetupCheckStates()
{
    const TSettingsRecord& s = FCore.Settings;
    FCurSetupCheckStates = {s.VoltageCombo, s.DeltaCheck ? 1 : 0, s.GraphMinSpin, s.GraphMaxSpin, s.GraphIncSpin};
}

void TSettingsPages::SetSetupCheckStates(const std::array<int32_t, 5>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.SetInt(&TSettingsRecord::VoltageCombo, v[0]);
    s.DeltaCheck = v[1] != 0;
    s.SetInt(&TSettingsRecord::GraphMinSpin, v[2]);
    s.SetInt(&TSettingsRecord::GraphMaxSpin, v[3]);
    s.SetInt(&TSettingsRecord::GraphIncSpin, v[4]);
}

void TSettingsPages::GetProx0Values()
{
    const TSettingsRecord& s = FCore.Settings;
    FProx0Values = {s.ATIRadio, s.ATIPartialRadio, s.BandRadio, s.StreamATIRadio, s.En4MhzRadio, s.ForceHaltRadio};
}

void TSettingsPages::SetProx0Values(const std::array<int32_t, 6>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.ATIRadio = v[0];
    s.ATIPartialRadio = v[1];
    s.BandRadio = v[2];
    s.StreamATIRadio = v[3];
    s.En4MhzRadio = v[4];
    s.ForceHaltRadio = v[5];
}

void TSettingsPages::GetProx1Values()
{
    const TSettingsRecord& s = FCore.Settings;
    FProx1Values = {s.WDTRadio, s.CommsModeRadio, s.LTABetaRadio, s.SliderRadio, s.ACFRadio};
}

void TSettingsPages::SetProx1Values(const std::array<int32_t, 5>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.WDTRadio = v[0];
    s.CommsModeRadio = v[1];
    s.LTABetaRadio = v[2];
    s.SliderRadio = v[3];
    s.ACFRadio = v[4];
}

void TSettingsPages::GetProx2Values()
{
    const TSettingsRecord& s = FCore.Settings;
    FProx2Values = {s.OutRadio, s.MovementRadio, s.WheelFilterRadio, s.WakeRadio, s.SleepHaltRadio};
}

void TSettingsPages::SetProx2Values(const std::array<int32_t, 5>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.OutRadio = v[0];
    s.MovementRadio = v[1];
    s.WheelFilterRadio = v[2];
    s.WakeRadio = v[3];
    s.SleepHaltRadio = v[4];
}

void TSettingsPages::GetProx3Values()
{
    const TSettingsRecord& s = FCore.Settings;
    FProx3Values = {s.TDebounceRadio, s.OffModeRadio,     s.ProjectedBiasRadio, s.FloatCXRadio,
                    s.HaltChargeRadio, s.TurboRadio, s.FilterTouchRadio, s.XferRadio};
}

void TSettingsPages::SetProx3Values(const std::array<int32_t, 8>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.TDebounceRadio = v[0];
    s.OffModeRadio = v[1];
    s.ProjectedBiasRadio = v[2];
    s.FloatCXRadio = v[3];
    s.HaltChargeRadio = v[4];
    s.TurboRadio = v[5];
    s.FilterTouchRadio = v[6];
    s.XferRadio = v[7];
}

void TSettingsPages::GetMultValues()
{
    const TSettingsRecord& s = FCore.Settings;
    for (size_t n = 0; n < 4; ++n) {
        FMultValues[n] = s.*TSettingsRecord::SensCombo[n];
        FMultValues[4 + n] = s.*TSettingsRecord::CompCombo[n];
        FMultValues[10 + n] = s.*TSettingsRecord::CompSpin[n];
    }
    FMultValues[8] = s.CH1BaseCombo * 16 + s.CH0BaseCombo;
    FMultValues[9] = s.CH3BaseCombo * 16 + s.CH2BaseCombo;
}

void TSettingsPages::SetMultValues(const std::array<int32_t, 14>& v)
{
    TSettingsRecord& s = FCore.Settings;
    for (size_t n = 0; n < 4; ++n) {
        s.*TSettingsRecord::SensCombo[n] = v[n];
        s.*TSettingsRecord::CompCombo[n] = v[4 + n];
        s.*TSettingsRecord::CompSpin[n] = v[10 + n];
    }
    // Bases were packed as high x 16 + low.
    s.SetInt(&TSettingsRecord::CH0BaseCombo, v[8] & 0x0F);
    s.SetInt(&TSettingsRecord::CH1BaseCombo, v[8] >> 4);
    s.SetInt(&TSettingsRecord::CH2BaseCombo, v[9] & 0x0F);
    s.SetInt(&TSettingsRecord::CH3BaseCombo, v[9] >> 4);
}

void TSettingsPages::GetThrValues()
{
    const TSettingsRecord& s = FCore.Settings;
    FThrValues = {s.ProxSpin, s.Touch1Spin, s.Touch2Spin, s.Touch3Spin, s.MovThrSpin, s.ReseedBlock(),
                  s.HaltSpin, s.TimeoutSpin};
}

void TSettingsPages::SetThrValues(const std::array<int32_t, 8>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.ProxSpin = v[0];
    s.Touch1Spin = v[1];
    s.Touch2Spin = v[2];
    s.Touch3Spin = v[3];
    s.MovThrSpin = v[4];
    for (size_t n = 0; n < 4; ++n)
        s.*TSettingsRecord::FHCheck[n] = (v[5] >> n) & 1;
    s.HaltSpin = v[6];
    s.TimeoutSpin = v[7];
}

void TSettingsPages::GetTimValues()
{
    const TSettingsRecord& s = FCore.Settings;
    FTimValues = {s.LPSpin, s.Targ1Spin, s.Targ2Spin, s.TapSpin, s.FlickTimeSpin, s.FlickThrSpin};
}

void TSettingsPages::SetTimValues(const std::array<int32_t, 6>& v)
{
    TSettingsRecord& s = FCore.Settings;
    s.LPSpin = v[0];
    s.Targ1Spin = v[1];
    s.Targ2Spin = v[2];
    s.TapSpin = v[3];
    s.FlickTimeSpin = v[4];
    s.FlickThrSpin = v[5];
}

void TSettingsPages::GetEveValues()
{
    const TSettingsRecord& s = FCore.Settings;
    FEveValues = 0;
    for (size_t n = 0; n < 8; ++n)
        if (s.*TSettingsRecord::EventRadio[n] == 0)
            FEveValues = uint8_t(FEveValues | (1u << n));
}

void TSettingsPages::SetEveValues(uint8_t values)
{
    TSettingsRecord& s = FCore.Settings;
    for (size_t n = 0; n < 8; ++n)
        s.*TSettingsRecord::EventRadio[n] = (values >> n) & 1 ? 0 : 1;
}

void TSettingsPages::GetSysCheckStates()
{
    const TSettingsRecord& s = FCore.Settings;
    FCurSysCheckStates = uint8_t((s.ProjectedRiadioGroup == 1 ? 1 : 0) | (s.IgnoreFHRadioGroup == 1 ? 2 : 0));
}

void TSettingsPages::SetSysCheckStates(uint8_t values)
{
    TSettingsRecord& s = FCore.Settings;
    s.ProjectedRiadioGroup = values & 1 ? 1 : 0;
    s.IgnoreFHRadioGroup = values & 2 ? 1 : 0;
}

// ---- Change handlers ------------------------------------------------------------------------------------

void TSettingsPages::SetupChecksChangeClick()
{
    GetSetupCheckStates();
    FSetupChecksChanged = FCurSetupCheckStates != FPrevSetupCheckStates;
    CheckChanges();
}

void TSettingsPages::Prox0Change()
{
    if (FCore.FLoadingSettings)
        return;
    GetProx0Values();
    FProx0SetupChanged = FProx0Values != FPrevProx0Values;
    CheckChanges();
}

void TSettingsPages::Prox1Change()
{
    if (FCore.FLoadingSettings)
        return;
    GetProx1Values();
    FProx1SetupChanged = FProx1Values != FPrevProx1Values;
    CheckChanges();
}

void TSettingsPages::Prox2Change()
{
    if (FCore.FLoadingSettings)
        return;
    GetProx2Values();
    FProx2SetupChanged = FProx2Values != FPrevProx2Values;
    CheckChanges();
}

void TSettingsPages::Prox3Change()
{
    if (FCore.FLoadingSettings)
        return;
    GetProx3Values();
    FProx3SetupChanged = FProx3Values != FPrevProx3Values;
    CheckChanges();
}

void TSettingsPages::MultChange()
{
    if (FCore.FLoadingSettings)
        return;
    GetMultValues();
    FMultSetupChanged = RangeDiffers(FMultValues, FPrevMultValues, 0, 9);
    CheckChanges();
}

void TSettingsPages::CompChange()
{
    if (FCore.FLoadingSettings)
        return;
    GetMultValues();
    FCompSetupChanged = RangeDiffers(FMultValues, FPrevMultValues, 10, 13);
    CheckChanges();
}

void TSettingsPages::ThrChange()
{
    if (FCore.FLoadingSettings)
        return;
    GetThrValues();
    FThrSetupChanged = FThrValues != FPrevThrValues;
    CheckChanges();
}

void TSettingsPages::TimChange()
{
    if (FCore.FLoadingSettings)
        return;
    GetTimValues();
    FTimSetupChanged = RangeDiffers(FTimValues, FPrevTimValues, 0, 2);
    CheckChanges();
}

void TSettingsPages::GesChange()
{
    if (FCore.FLoadingSettings)
        return;
    GetTimValues();
    FGesSetupChanged = RangeDiffers(FTimValues, FPrevTimValues, 3, 5);
    CheckChanges();
}

void TSettingsPages::EventChange()
{
    if (FCore.FLoadingSettings)
        return;
    GetEveValues();
    FEveSetupChanged = FEveValues != FPrevEveValues;
    CheckChanges();
}

void TSettingsPages::SysChecksChangeClick()
{
    GetSysCheckStates();
    FSysChecksChanged = FCurSysCheckStates != FPrevSysCheckStates;
    CheckChanges();
}

// ---- State of the pages ---------------------------------------------------------------------------------

bool TSettingsPages::PageChanged(int page) const
{
    switch (page) {
    case spSetup: return FCore.StreamSetup.FStreamSetupChanged || FSetupChecksChanged;
    case spProx0: return FProx0SetupChanged;
    case spProx1: return FProx1SetupChanged;
    case spProx2: return FProx2SetupChanged;
    case spProx3: return FProx3SetupChanged;
    case spMultComp: return FMultSetupChanged || FCompSetupChanged;
    case spThr: return FThrSetupChanged;
    case spTimings: return FTimSetupChanged || FGesSetupChanged;
    case spEvents: return FEveSetupChanged;
    case spSysFlags: return FSysChecksChanged;
    default: return false;
    }
}

void TSettingsPages::CheckChanges()
{
    const bool changed = PageChanged(FActivePage);
    if (changed == FUndoEnabled)
        return;
    FUndoEnabled = changed;
    FCore.View()->SetSettingsChanged(changed);
}

void TSettingsPages::Snapshot(int page)
{
    switch (page) {
    case spSetup:
        FCore.StreamSetup.GetStreamingSetup();
        FCore.StreamSetup.FPrevSetup = FCore.StreamSetup.FCurSetup;
        FCore.StreamSetup.FStreamSetupChanged = false;
        GetSetupCheckStates();
        FPrevSetupCheckStates = FCurSetupCheckStates;
        FSetupChecksChanged = false;
        break;
    case spProx0:
        GetProx0Values();
        FPrevProx0Values = FProx0Values;
        FProx0SetupChanged = false;
        break;
    case spProx1:
        GetProx1Values();
        FPrevProx1Values = FProx1Values;
        FProx1SetupChanged = false;
        break;
    case spProx2:
        GetProx2Values();
        FPrevProx2Values = FProx2Values;
        FProx2SetupChanged = false;
        break;
    case spProx3:
        GetProx3Values();
        FPrevProx3Values = FProx3Values;
        FProx3SetupChanged = false;
        break;
    case spMultComp:
        GetMultValues();
        FPrevMultValues = FMultValues;
        FMultSetupChanged = false;
        FCompSetupChanged = false;
        break;
    case spThr:
        GetThrValues();
        FPrevThrValues = FThrValues;
        FThrSetupChanged = false;
        break;
    case spTimings:
        GetTimValues();
        FPrevTimValues = FTimValues;
        FTimSetupChanged = false;
        FGesSetupChanged = false;
        break;
    case spEvents:
        GetEveValues();
        FPrevEveValues = FEveValues;
        FEveSetupChanged = false;
        break;
    case spSysFlags:
        GetSysCheckStates();
        FPrevSysCheckStates = FCurSysCheckStates;
        FSysChecksChanged = false;
        break;
    default:
        break;
    }
}

void TSettingsPages::ResetDefault()
{
    for (int page : {spSetup, spProx0, spProx1, spProx2, spProx3, spMultComp, spThr, spTimings, spEvents, spSysFlags})
        Snapshot(page);
    FCore.View()->HideATINotice();
    CheckChanges();
}

void TSettingsPages::SetActivePage(int page)
{
    if (page == FActivePage)
        return;
    FActivePage = page;
    Snapshot(page);
    CheckChanges();
}

void TSettingsPages::CancelButtonClick()
{
    switch (FActivePage) {
    case spSetup:
        if (FCore.StreamSetup.FStreamSetupChanged) {
            FCore.StreamSetup.SetStreamingSetup(uint8_t(FCore.StreamSetup.FPrevSetup));
            FCore.StreamSetup.FStreamSetupChanged = false;
        }
        if (FSetupChecksChanged) {
            SetSetupCheckStates(FPrevSetupCheckStates);
            FSetupChecksChanged = false;
        }
        break;
    case spProx0:
        if (FProx0SetupChanged)
            SetProx0Values(FPrevProx0Values);
        FProx0SetupChanged = false;
        break;
    case spProx1:
        if (FProx1SetupChanged)
            SetProx1Values(FPrevProx1Values);
        FProx1SetupChanged = false;
        break;
    case spProx2:
        if (FProx2SetupChanged)
            SetProx2Values(FPrevProx2Values);
        FProx2SetupChanged = false;
        break;
    case spProx3:
        if (FProx3SetupChanged)
            SetProx3Values(FPrevProx3Values);
        FProx3SetupChanged = false;
        break;
    case spMultComp:
        if (FMultSetupChanged || FCompSetupChanged)
            SetMultValues(FPrevMultValues);
        FMultSetupChanged = false;
        FCompSetupChanged = false;
        break;
    case spThr:
        if (FThrSetupChanged)
            SetThrValues(FPrevThrValues);
        FThrSetupChanged = false;
        break;
    case spTimings:
        if (FTimSetupChanged || FGesSetupChanged)
            SetTimValues(FPrevTimValues);
        FTimSetupChanged = false;
        FGesSetupChanged = false;
        break;
    case spEvents:
        if (FEveSetupChanged)
            SetEveValues(FPrevEveValues);
        FEveSetupChanged = false;
        break;
    case spSysFlags:
        if (FSysChecksChanged)
            SetSysCheckStates(FPrevSysCheckStates);
        FSysChecksChanged = false;
        break;
    default:
        break;
    }
    FCore.View()->SettingsRecordChanged();
    CheckChanges();
}

// ---- Apply ----------------------------------------------------------------------------------------------

void TSettingsPages::ApplyButtonClick(TDone done)
{
    const int page = FActivePage;
    if (!IsRegisterPage(page)) {
        if (done)
            done(true);
        return;
    }
    if (page == spProx3 && FProx3SetupChanged) {
        FCore.RegOps->ProxSettings3Cmd([this, page, done](bool ok) { Finish(page, ok, done); });
        return;
    }
    Finish(page, ApplyRegisterPage(), done);
}

bool TSettingsPages::ApplyRegisterPage()
{
    TRegisterOperations& ops = *FCore.RegOps;
    switch (FActivePage) {
    case spProx0: return !FProx0SetupChanged || ops.ProxSettings0Cmd();
    case spProx1: return !FProx1SetupChanged || ApplyProx1Page();
    case spProx2: return !FProx2SetupChanged || ops.ProxSettings2Cmd();
    case spMultComp: return ApplyMultCompPage();
    case spThr:
        if (!FThrSetupChanged)
            return true;
        if (!ops.WriteAllThr())
            return false;
        FCore.Settings.RefreshThrCaches();
        return true;
    case spTimings: return ApplyTimingsPage();
    case spEvents: return !FEveSetupChanged || ops.ProxSettingsAllCmd();
    case spSysFlags: return !FSysChecksChanged || ApplySysFlagsPage();
    default: return true;
    }
}

bool TSettingsPages::ApplyProx1Page()
{
    TRegisterOperations& ops = *FCore.RegOps;
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    auto eventMode = [this, &tool](bool enabled) {
        const uint16_t r = tool.EventMode(enabled);
        if (r != 0)
            FCore.KvrAddItem(ErrorCodeText(r), TKvrItemType::aError);
    };
    const int mode = FCore.Settings.CommsModeRadio;
    if (mode == 0 && !FCore.FEventMode) {
        eventMode(true);
        if (!ops.ProxSettings1Cmd())
            return false;
        FCore.FEventMode = true;
        return true;
    }
    if (mode == 1 && FCore.FEventMode) {
        FCore.FEventMode = false;
        const bool ok = ops.ProxSettings1Cmd();
        FCore.KorvaneDevList1->JustStopped = true;
        FCore.KorvaneDevList1->JustFixed = true;
        eventMode(false);
        return ok;
    }
    return ops.ProxSettings1Cmd();
}

bool TSettingsPages::ApplyMultCompPage()
{
    const bool mult = FMultSetupChanged, comp = FCompSetupChanged;
    if (!mult && !comp)
        return true;
    if (!FCore.RegOps->WriteMultComp(mult, comp))
        return false;
    FCore.Settings.RefreshMultCaches();
    FCore.RegOps->ReadActualBase();
    return true;
}

bool TSettingsPages::ApplyTimingsPage()
{
    const bool tim = FTimSetupChanged, ges = FGesSetupChanged;
    return (!tim && !ges) || FCore.RegOps->WriteTimGes(tim, ges);
}

bool TSettingsPages::ApplySysFlagsPage()
{
    TRegisterOperations& ops = *FCore.RegOps;
    GetSysCheckStates();
    const uint8_t differs = FCurSysCheckStates ^ FPrevSysCheckStates;
    if ((differs & 2) && !ops.WriteIgnoreFH())
        return false;
    if (differs & 1) {
        if (!ops.WriteProjectedSelf())
            return false;
        ops.RedoATIBtnClick();
        UpdateAllSettingsClick();
    }
    return true;
}

void TSettingsPages::Finish(int page, bool ok, const TDone& done)
{
    if (ok)
        Snapshot(page);
    CheckChanges();
    if (done)
        done(ok);
}

// ---- Reads from the chip --------------------------------------------------------------------------------

bool TSettingsPages::ReadAllMultButtonClick()
{
    if (!FCore.RegOps->ReadMultComp())
        return false;
    Snapshot(spMultComp);
    CheckChanges();
    FCore.Settings.RefreshMultCaches();
    return true;
}

bool TSettingsPages::ReadAllThrButtonClick()
{
    if (!FCore.RegOps->ReadAllThr())
        return false;
    Snapshot(spThr);
    CheckChanges();
    FCore.Settings.RefreshThrCaches();
    return true;
}

bool TSettingsPages::ReadAllTimingsButtonClick()
{
    if (!FCore.RegOps->ReadAllTimings())
        return false;
    Snapshot(spTimings);
    CheckChanges();
    return true;
}

void TSettingsPages::UpdateAllSettingsClick()
{
    FCore.Session->ReadAllClick();
    ResetDefault();
}
