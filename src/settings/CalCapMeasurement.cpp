// The parasitic-capacitance measurement: ATI off and both bases at 298, wait for the tuning to settle, zero
// the compensation, count 50 frames, switch the measurement on, count 50 more, compute, and put the set-up
// back as it was.
#include "settings/RegisterOperations.h"

#include "app/MainCore.h"
#include "settings/RegisterMap.h"

#include <cmath>

using namespace KT610B;

namespace {

const QString InvalidFactor = QStringLiteral("Invalid factor!");
constexpr int CalCapFrames = 50;
constexpr int CalCapBaseIndex = 14; // base 298

} // namespace

bool TRegisterOperations::CalCapRunning() const { return FCalCapActive; }

void TRegisterOperations::Button2Click()
{
    if (FCalCapActive)
        return;
    bool ok = false;
    const double factor = FCore.Settings.Edit1.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(factor)) {
        FCore.KvrAddItem(InvalidFactor, TKvrItemType::aError);
        return;
    }
    if (!FCore.CheckPowerOn() || Refused())
        return;
    FCalCapActive = true;
    FCalCapFactor = factor;
    TSettingsRecord& s = FCore.Settings;
    TSettingsPages& pages = FCore.Pages;
    FCore.View()->SetCalCapWaitVisible(true);

    // Calculate sits on the engineering page, so the register pages hold no unapplied edits: each is made the
    // active one with a fresh snapshot, and Apply writes exactly what the measurement changes.
    PrevPage = pages.FActivePage;
    pages.SetActivePage(spProx0);
    PrevATI = s.ATIRadio;
    s.ATIRadio = 0;
    pages.Prox0Change();
    ApplyIfChanged();

    PrevPCC = {s.Comp0Spin, s.Comp1Spin, s.Comp2Spin, s.Comp3Spin};
    PrevBase = {s.CH0BaseCombo, s.CH1BaseCombo};
    pages.SetActivePage(spMultComp);
    s.CH0BaseCombo = CalCapBaseIndex;
    s.CH1BaseCombo = CalCapBaseIndex;
    pages.MultChange();
    ApplyIfChanged();

    RedoATIBtnClick();
    FCore.View()->SettingsRecordChanged();
    CalCapTimer.start();
}

void TRegisterOperations::ApplyIfChanged()
{
    TSettingsPages& pages = FCore.Pages;
    pages.CheckChanges();
    if (pages.Changed())
        pages.ApplyButtonClick([](bool) {});
}

void TRegisterOperations::CalCapTimerTimer()
{
    if (FCore.FATIBusy || FWaiting)
        return;
    CalCapTimer.stop();
    TSettingsRecord& s = FCore.Settings;
    for (auto field : TSettingsRecord::CompSpin)
        s.*field = 0;
    FCore.Pages.CompChange();
    ApplyIfChanged();
    ReseedBtnClick();
    FCore.View()->SettingsRecordChanged();
    FCore.CalCapPreCapture = true;
    FCore.CalCapCapture = false;
    FCore.CalCapCount = 0;
}

void TRegisterOperations::CalCapFrameStep()
{
    if (FCore.CalCapPreCapture) {
        if (FCore.CalCapCount >= CalCapFrames) {
            FCore.CCDt = FCore.FCurrentChs;
            SetCalCap(true);
            FCore.CalCapCount = 0;
            FCore.CalCapPreCapture = false;
            FCore.CalCapCapture = true;
        } else {
            ++FCore.CalCapCount;
        }
    }
    if (FCore.CalCapCapture) {
        if (FCore.CalCapCount >= CalCapFrames)
            CalCapCompute();
        else
            ++FCore.CalCapCount;
    }
}

void TRegisterOperations::CalCapCompute()
{
    FCore.CalCapCapture = false;
    FCore.CCCs = FCore.FCurrentChs;
    for (size_t n = 0; n < 4; ++n) {
        int32_t difference = FCore.CCDt[n] - FCore.CCCs[n];
        if (difference == 0)
            difference = 1;
        FCore.CCDt[n] = difference;
        FCore.CalCap[n] = double(FCore.CCCs[n]) / double(difference) * FCalCapFactor;
        FCore.Settings.*TSettingsRecord::ParCapEdit[n] = FixedText(FCore.CalCap[n], 4, 2);
    }
    SetCalCap(false);
    RecoverFormCalCap();
}

void TRegisterOperations::RecoverFormCalCap()
{
    TSettingsRecord& s = FCore.Settings;
    TSettingsPages& pages = FCore.Pages;
    // Bases and the compensation as they were before, so the chip is left tuned as it was.
    pages.SetActivePage(spMultComp);
    s.CH0BaseCombo = PrevBase[0];
    s.CH1BaseCombo = PrevBase[1];
    for (size_t n = 0; n < 4; ++n)
        s.*TSettingsRecord::CompSpin[n] = PrevPCC[n];
    pages.MultChange();
    pages.CompChange();
    ApplyIfChanged();

    pages.SetActivePage(spProx0);
    s.ATIRadio = PrevATI;
    pages.Prox0Change();
    ApplyIfChanged();

    RedoATIBtnClick();
    pages.FActivePage = PrevPage;
    pages.CheckChanges();
    FCalCapActive = false;
    FCore.View()->SetCalCapWaitVisible(false);
    FCore.View()->SettingsRecordChanged();
}
