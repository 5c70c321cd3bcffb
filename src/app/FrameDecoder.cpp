#include "app/FrameDecoder.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "settings/RegisterMap.h"
#include "settings/RegisterOperations.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int HeaderBytes = 3;

bool Bit(uint8_t value, int bit) { return (value >> bit) & 1; }

// The relative coordinate: bit 15 is the sign of a two's complement step, except that 0x8000 stands
// for +32768.
int32_t RelativeStep(int32_t v)
{
    if (v & 0x8000)
        return -((((v & 0x7FFF) - 1) ^ 0x7FFF));
    return v & 0x7FFF;
}

} // namespace

TFrameDecoder::TFrameDecoder(TMainCore& core) : FCore(core)
{
    FCore.KT880Device1->OnStreaming = [this](uint16_t Size, uint8_t HIDToolID, const uint8_t* Data) {
        KT880Device1Streaming(Size, HIDToolID, Data);
    };
}

TFrameDecoder::~TFrameDecoder()
{
    FCore.KT880Device1->OnStreaming = nullptr;
}

int32_t TFrameDecoder::Count(int i) const
{
    return i >= 0 && i < 4 ? FCore.FCurrentChs[i] : 0;
}

int32_t TFrameDecoder::LTA(int i) const
{
    return i >= 0 && i < 4 ? FCore.FLTAChs[i] : 0;
}

void TFrameDecoder::KT880Device1Streaming(uint16_t Size, uint8_t HIDToolID, const uint8_t* Data)
{
    if (FCore.FClosing || !Data)
        return;
    // A frame of an older, shorter set-up (or a truncated report) would be read past its end.
    if (Size < HeaderBytes + FCore.StreamSetup.FStreamLength) {
        ++FShortFrames;
        return;
    }
    if ((Data[0] >> 4) != FCore.View()->ShownToolID())
        return;
    FBytes = Data;
    ++FCore.FFramesDecoded;

    const TStreamSetup& setup = FCore.StreamSetup;
    FCore.FSysFlags = FBytes[setup.SysFlagsStartIndex];
    FCore.FSysEvents = FBytes[setup.SysFlagsStartIndex + 1];
    FCore.FWheelRes = FCore.Settings.SliderRadio == 2 ? 192 : 256;

    DecodeCoordinates();
    DecodeChannels();
    FCore.RegOps->CalCapFrameStep();
    CalcTouchThresholds();
    DecodeProxTouch();
    DecodeSystemFlags();
    if (!FCore.FATIBusy)
        RunATIFollowUps();

    if (FCore.OnLogFrame)
        FCore.OnLogFrame();
    FCore.View()->FrameDecoded();
    FBytes = nullptr;
}

void TFrameDecoder::DecodeCoordinates()
{
    const TStreamSetup& setup = FCore.StreamSetup;
    if (!setup.WheelActive) {
        FCore.FWheelEvent = false;
        return;
    }
    const int w = setup.WheelStartIndex;
    FCore.FWheelEvent = true;
    FCore.FWheelData1 = FBytes[w];
    int32_t v = Word(w + 1);
    if (FCore.RelativeCheck) {
        v = RelativeStep(v);
        FCore.FWheelData2 = v;
        FCore.View()->MoveRelativeMarker(v);
    } else {
        FCore.FWheelData2 = v;
    }
    const double percent = std::nearbyint(100.0 / FCore.FWheelRes * FCore.FWheelData1);
    FCore.FWheelPercent = int(std::clamp(percent, 0.0, 100.0));
    FCore.View()->WheelPosition(FCore.FWheelPercent);
}

void TFrameDecoder::DecodeChannels()
{
    const TStreamSetup& setup = FCore.StreamSetup;
    FCore.FLPcsCH = setup.CSActive ? Word(setup.CSStartIndex) : 0;
    FCore.FLPltaCH = setup.LTAActive ? Word(setup.LTAStartIndex) : 0;
    const bool projected = Bit(FCore.FSysFlags, KT610B::SysFlagBit::Projected);
    const bool lowPower = Bit(FCore.FSysFlags, KT610B::SysFlagBit::LowPower);
    for (int c = 0; c < 4; ++c) {
        if (setup.CSActive)
            FCore.FCurrentChs[c] = Word(setup.CSStartIndex + 2 * (c + 1));
        if (setup.LTAActive)
            FCore.FLTAChs[c] = Word(setup.LTAStartIndex + 2 * (c + 1));
        if (setup.DeltasActive) {
            FCore.FDeltaChs[c] = Word(setup.DeltasStartIndex + 2 * c);
        } else if (setup.CSActive && setup.LTAActive) {
            const bool lp = c == 0 && lowPower;
            const int32_t count = lp ? FCore.FLPcsCH : FCore.FCurrentChs[c];
            const int32_t average = lp ? FCore.FLPltaCH : FCore.FLTAChs[c];
            FCore.FDeltaChs[c] = projected ? count - average : average - count;
        }
    }
}

void TFrameDecoder::CalcTouchThresholds()
{
    if (!FCore.StreamSetup.LTAActive)
        return;
    const auto& base = FCore.FActualBase;
    const bool exact = FCore.FActualBaseRead && base[1] > 0 && base[2] > 0 && base[3] > 0;
    const TSettingsRecord& s = FCore.Settings;
    for (int c = 1; c < 4; ++c) {
        if (!FCore.CHCheck[c])
            continue;
        const int32_t L = FCore.FLTAChs[c];
        const int32_t T = s.TouchThreshold(c);
        const int32_t S = s.SensMultiplier(c);
        const int32_t M = s.CompMultiplier(c);
        // A multiplier box with no selection (a settings file's index out of range) gives no exact formula.
        if (!exact || S < 0 || M < 0) {
            FCore.FCalcTouchTH[c] = int32_t(std::nearbyint(L * (T / 256.0)));
            continue;
        }
        const int32_t P = s.Compensation(c);
        const int64_t A = base[c];
        // Both terms wrap as 32-bit signed integers would; the division is done in floating point.
        int32_t numerator, denominator;
        if (FCore.FProjected) {
            numerator = int32_t(int64_t(L) * T * 4096);
            denominator = int32_t((int64_t(1) << (2 * S)) * (M + 3) * A * P);
        } else {
            numerator = int32_t(int64_t(L) * T * 4);
            denominator = int32_t((int64_t(1) << S) * (M + 3) * A);
        }
        if (denominator != 0)
            FCore.FCalcTouchTH[c] = int32_t(std::trunc(double(numerator) / double(denominator)));
    }
}

void TFrameDecoder::DecodeProxTouch()
{
    const TStreamSetup& setup = FCore.StreamSetup;
    if (setup.PTActive) {
        const uint8_t status = FBytes[setup.PTStartIndex];
        FCore.FProxEvent = false;
        FCore.FTouchEvent = false;
        FCore.FProx = status & 0x01;
        FCore.FTouch = status & 0xFE;
        FCore.FHalt = FBytes[setup.PTStartIndex + 1];
        if (FCore.FLogEvents) {
            const int p = status & 0x01;
            if (p == 1 || p != FCore.FProxEventValue) {
                FCore.FProxEvent = true;
                FCore.FProxEventValue = p;
            }
            const int t = status & 0xFE;
            if (t != 0 || t != FCore.FTouchEventValue) {
                FCore.FTouchEvent = true;
                FCore.FTouchEventValue = t;
            }
        }
    } else {
        FCore.FProx = 0;
        FCore.FTouch = 0;
        FCore.FHalt = 0;
    }
    FCore.FProxBools[0] = FCore.FProx & 0x01;
    for (int c = 0; c < 4; ++c)
        FCore.FTouchBools[c] = (FCore.FTouch >> c) & 1;
}

void TFrameDecoder::DecodeSystemFlags()
{
    using namespace KT610B;
    const uint8_t flags = FCore.FSysFlags;
    const uint8_t events = FCore.FSysEvents;

    if (Bit(flags, SysFlagBit::ATIBusy)) {
        FCore.FATIBusy = true;
    } else if (FCore.FATIBusy) {
        FCore.FATIBusy = false;
        FCore.FWasATIBusy = true;
    }
    FCore.FATIError = Bit(flags, SysFlagBit::ATIError);

    const bool lowPower = Bit(flags, SysFlagBit::LowPower);
    if (lowPower && !FCore.FLP) {
        FCore.FLP = true;
        FCore.FLPEvent = true;
        FCore.View()->SetChannel0Label(QStringLiteral("L"));
    } else if (!lowPower && FCore.FLP) {
        FCore.FWasForceSleep = true;
        FCore.FLP = false;
        FCore.FLPEvent = false;
        FCore.View()->SetChannel0Label(QStringLiteral("0"));
    } else if (!lowPower && FCore.FWasForceSleep && FCore.FForceSleep) {
        if (FCore.FForceSleepCount >= 3) {
            FCore.FWasForceSleep = false;
            FCore.FForceSleep = false;
            FCore.View()->SetForceSleepEnabled(true);
        } else {
            ++FCore.FForceSleepCount;
        }
    }

    FCore.FProjected = Bit(flags, SysFlagBit::Projected);
    FCore.FShowReset = Bit(flags, SysFlagBit::ShowReset);
    FCore.FMovment = Bit(flags, SysFlagBit::MovementFlag);
    FCore.FFilterHalt = FCore.Settings.IgnoreFHRadioGroup == 0 && (FCore.FHalt & 0x0F) != 0;

    // An ATI event masks the gesture events of the same frame.
    const bool ati = Bit(events, EventBit::ATIEvent);
    FCore.FEProx = Bit(events, EventBit::ProxEvent);
    FCore.FETouch = Bit(events, EventBit::TouchEvent);
    FCore.FEATI = ati;
    FCore.FESlider = !ati && Bit(events, EventBit::SlideEvent);
    FCore.FETap = !ati && Bit(events, EventBit::Tap);
    FCore.FEFlickLeft = !ati && Bit(events, EventBit::FlickLeft);
    FCore.FEFlickRight = !ati && Bit(events, EventBit::FlickRight);
    FCore.FEMov = Bit(events, EventBit::Mov);
}

void TFrameDecoder::RunATIFollowUps()
{
    IMainView* view = FCore.View();
    TSessionControl& session = *FCore.Session;
    if (FCore.FWasATIBusy) {
        FCore.FWasATIBusy = false;
        if (!view->ATINoticeVisible()) {
            if (FCore.FSettingsATIMessage)
                FCore.FSettingsATIMessage = false;
            else
                view->ShowATINotice();
        }
        FCore.FUpdateOptions = TFUpdateOptions::utReadActualBase;
        session.UpdateTimerTimer();
    }
    if (FCore.FLoadSettings) {
        FCore.FReadDevice = false;
        FCore.FLoadSettings = false;
        FCore.FUpdateOptions = TFUpdateOptions::utLoadSettings;
        session.UpdateTimerTimer();
        view->ShowGraphPicture(false, false, false);
    }
    if (FCore.FReadDevice) {
        FCore.FReadDevice = false;
        FCore.FUpdateOptions = TFUpdateOptions::utReadAll;
        session.UpdateTimerTimer();
        view->TakeSettingsAsApplied();
    }
    if (!FCore.LoadSettingsButtonEnabled && !FCore.FSettingsFile.isEmpty())
        session.SetLoadSettingsButtonEnabled(true);
}
