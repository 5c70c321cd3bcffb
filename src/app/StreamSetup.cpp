#include "app/StreamSetup.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "settings/RegisterMap.h"

namespace {

constexpr int HeaderBytes = 3;

void Error(TMainCore& core, const char* text)
{
    core.KvrAddItem(QString::fromLatin1(text), TKvrItemType::aError);
}

} // namespace

void TStreamSetup::Attach(TMainCore& core)
{
    FCore = &core;
    SetupStreaming();
    // The set-up built with the core is the applied one.
    GetStreamingSetup();
    FPrevSetup = FCurSetup;
}

void TStreamSetup::SetupStreaming()
{
    const TSettingsRecord& s = FCore->Settings;
    FStreamBytes.fill(0);

    FStreamBytes[0] = KT610B::SystemFlags;
    SysFlagsActive = true;
    SysFlagsStartIndex = HeaderBytes;
    int p = KT610B::SystemFlagsLength;

    // The optional blocks, always in this order; an absent block takes no room and keeps its old index.
    const auto block = [&](bool checked, uint8_t address, int length, bool& active, int32_t& start) {
        active = checked;
        if (!checked)
            return;
        FStreamBytes[p] = address;
        start = p + HeaderBytes;
        p += length;
    };
    block(s.WheelCheck, KT610B::Coordinates, KT610B::CoordinatesLength, WheelActive, WheelStartIndex);
    block(s.PTCheck, KT610B::TouchBytes, KT610B::TouchBytesLength, PTActive, PTStartIndex);
    block(s.CSCheck, KT610B::Counts, KT610B::CountsLength, CSActive, CSStartIndex);
    block(s.LTACheck, KT610B::LTA, KT610B::LTALength, LTAActive, LTAStartIndex);
    block(s.DeltaStrCheck, KT610B::Deltas, KT610B::DeltasLength, DeltasActive, DeltasStartIndex);
    FStreamLength = p;

    // The baseline view needs deltas, streamed or computed from counts and averages.
    const bool baseline = (CSActive && LTAActive) || DeltasActive;
    IMainView* view = FCore->View();
    if (!baseline && FCore->Settings.DeltaCheck) {
        FCore->Settings.DeltaCheck = false;
        view->SettingsRecordChanged();
    }
    view->SetDeltaCheckEnabled(baseline);
}

void TStreamSetup::GetStreamingSetup()
{
    const TSettingsRecord& s = FCore->Settings;
    FCurSetup = (s.WheelCheck ? StreamBits::Wheel : 0) | (s.PTCheck ? StreamBits::PT : 0) |
                (s.CSCheck ? StreamBits::CS : 0) | (s.LTACheck ? StreamBits::LTA : 0) |
                (s.DeltaStrCheck ? StreamBits::Deltas : 0);
}

void TStreamSetup::SetStreamingSetup(uint8_t setup)
{
    TSettingsRecord& s = FCore->Settings;
    s.WheelCheck = setup & StreamBits::Wheel;
    s.PTCheck = setup & StreamBits::PT;
    s.CSCheck = setup & StreamBits::CS;
    s.LTACheck = setup & StreamBits::LTA;
    s.DeltaStrCheck = setup & StreamBits::Deltas;
    FCore->View()->SettingsRecordChanged();
}

bool TStreamSetup::StreamChangeClick()
{
    GetStreamingSetup();
    FStreamSetupChanged = FPrevSetup != FCurSetup;
    FCore->Pages.CheckChanges();
    return FStreamSetupChanged;
}

bool TStreamSetup::ApplyStreamSetup()
{
    TMainCore& core = *FCore;
    TSettingsRecord& s = core.Settings;
    if (!s.WheelCheck && !s.PTCheck && !s.CSCheck && !s.LTACheck) {
        core.View()->ShowWarning(QStringLiteral("At least 1 selection must be active in Streaming Setup!"));
        s.WheelCheck = true;
        core.View()->SettingsRecordChanged();
        return false;
    }

    core.Session->StopStreaming();
    SetupStreaming();
    core.KvrAddItem(QStringLiteral("Streaming setup configured"), TKvrItemType::aInfo);
    if (core.FDeltaOnly) {
        if (!s.CSCheck) {
            Error(core, "Count Samples are disabled");
            Error(core, "Unable to calculate deltas!");
        }
        if (!s.LTACheck) {
            Error(core, "Long Term Averages are disabled");
            Error(core, "Unable to calculate deltas!");
        }
    }

    GetStreamingSetup();
    FPrevSetup = FCurSetup;
    FStreamSetupChanged = false;
    core.Pages.CheckChanges();

    core.Session->RestartStreaming();
    return true;
}
