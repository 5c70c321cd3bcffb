#include "settings/RegisterOperations.h"

#include "app/MainCore.h"
#include "common/Bits.h"
#include "common/Hex.h"
#include "settings/RegisterMap.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <memory>
#include <utility>
#include <vector>

using namespace KT610B;

namespace {

const QString CommandSent = QStringLiteral("Command sent successfully");
const QString BusyText = QStringLiteral("Another chip operation is still running!");
const QString InvalidAddress = QStringLiteral("Invalid address!");
const QString InvalidData = QStringLiteral("Invalid data!");

constexpr int OffModeWakeWaitMs = 100;
constexpr int LowPowerUnitMs = 16;
constexpr int AckResetFrames = 10;
constexpr int CalCapSettleMs = 1000; // the measurement waits this long between looks at ATI busy
constexpr int OffModeWakeIOLine = 7;
constexpr int HaltChargeIOLine = 10;

// A hexadecimal byte typed or pasted by the user: blanks around it are ignored, anything else is refused.
bool ParseHexByte(const QString& text, uint8_t& value)
{
    uint32_t v = 0;
    if (!TryParseHex(text.trimmed(), v) || v > 0xFF)
        return false;
    value = uint8_t(v);
    return true;
}

// A choice's item index inside a multi-bit field; no selection counts as 0.
unsigned Bits(int index, int width)
{
    return index > 0 ? unsigned(index) & ((1u << width) - 1) : 0u;
}

uint8_t Put(uint8_t value, int bit, bool on)
{
    return on ? SetBit(value, bit) : ClearBit(value, bit);
}

} // namespace

// One step of an operation that waits: first the wait, then the step; false ends the operation.
struct TRegisterOperations::TStep {
    int WaitMs = 0;
    std::function<bool()> Run;
};

struct TRegisterOperations::TSequence {
    std::vector<TStep> Steps;
    size_t Next = 0;
    TDone Done;
};

TRegisterOperations::TRegisterOperations(TMainCore& core) : FCore(core)
{
    CalCapTimer.setInterval(CalCapSettleMs);
    connect(&CalCapTimer, &QTimer::timeout, this, &TRegisterOperations::CalCapTimerTimer);
}

TRegisterOperations::~TRegisterOperations()
{
    if (FWaiting)
        EndWait();
}

// ---- Transfers -------------------------------------------------------------------------------------------

bool TRegisterOperations::Refused()
{
    if (!FWaiting || FInStep)
        return false;
    FCore.KvrAddItem(BusyText, TKvrItemType::aError);
    return true;
}

bool TRegisterOperations::Failed(uint16_t result)
{
    if (result == 0)
        return false;
    FCore.KvrAddItem(ErrorCodeText(result), TKvrItemType::aError);
    return true;
}

bool TRegisterOperations::Read(uint8_t address, uint8_t count, TKvrByteArray& data)
{
    if (Refused())
        return false;
    std::fill_n(data.begin(), 80, uint8_t(0));
    return !Failed(FCore.KorvaneHidTool1->I2CRead(address, count, data));
}

bool TRegisterOperations::Write(uint8_t length, TKvrByteArray& data)
{
    if (Refused())
        return false;
    return !Failed(FCore.KorvaneHidTool1->CommsWrite(length, data));
}

bool TRegisterOperations::ReadPointed(uint8_t count, TKvrByteArray& data)
{
    if (Refused())
        return false;
    return !Failed(FCore.KorvaneHidTool1->CommsRead(count, data));
}

bool TRegisterOperations::IOWrite(uint8_t line, uint8_t state)
{
    if (Refused())
        return false;
    return !Failed(FCore.KorvaneHidTool1->IOWrite(line, state));
}

bool TRegisterOperations::IORead(uint8_t line)
{
    if (Refused())
        return false;
    uint8_t state = 0;
    return !Failed(FCore.KorvaneHidTool1->IORead(line, state));
}

bool TRegisterOperations::SendGroup(TKvrByteArray& data, int dataLength)
{
    CommandLog.AddCommand(1, data[0], data, dataLength);
    if (!Write(uint8_t(dataLength + 1), data))
        return false;
    FCore.KvrAddItem(CommandSent, TKvrItemType::aInfo);
    return true;
}

bool TRegisterOperations::IndirectRead(uint8_t memoryAddress, uint8_t& value)
{
    TKvrByteArray data{};
    data[0] = IndirectAddress;
    data[1] = memoryAddress;
    if (!Write(2, data))
        return false;
    data = {};
    data[0] = IndirectData;
    if (!Write(1, data))
        return false;
    if (!ReadPointed(1, data))
        return false;
    value = data[0];
    return true;
}

// ---- Streaming around register traffic ------------------------------------------------------------------

bool TRegisterOperations::PauseStreaming()
{
    if (!FCore.FIsStreaming)
        return true;
    if (Refused())
        return false;
    return !Failed(FCore.KT880Device1->StopStreaming());
}

bool TRegisterOperations::ResumeStreaming()
{
    if (Refused())
        return false;
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    uint16_t r = tool.SetLongStreamingLength(uint16_t(FCore.StreamSetup.FStreamLength));
    if (r == 0)
        r = tool.StartLongStreaming(FCore.StreamSetup.FStreamBytes);
    return !Failed(r);
}

bool TRegisterOperations::GuardedPause()
{
    if (FCore.FGuiUpdate)
        return true;
    return FCore.CheckPowerOn() && PauseStreaming();
}

bool TRegisterOperations::GuardedResume()
{
    if (FCore.FGuiUpdate || !FCore.FIsStreaming)
        return true;
    return ResumeStreaming();
}

// ---- Waiting without blocking ---------------------------------------------------------------------------

void TRegisterOperations::BeginWait()
{
    FWaiting = true;
    FCore.FRegBusy = true;
    FCore.KorvaneDevList1->HidLayer()->HoldDelivery();
    FCore.View()->SetRegisterBusy(true);
}

void TRegisterOperations::EndWait()
{
    FWaiting = false;
    FCore.FRegBusy = false;
    FCore.KorvaneDevList1->HidLayer()->ReleaseDelivery();
    FCore.View()->SetRegisterBusy(false);
}

void TRegisterOperations::Run(const std::shared_ptr<TSequence>& seq)
{
    while (seq->Next < seq->Steps.size()) {
        TStep& step = seq->Steps[seq->Next];
        if (step.WaitMs > 0) {
            const int ms = std::exchange(step.WaitMs, 0);
            if (!FWaiting)
                BeginWait();
            // The chip needs at least this long: a coarse timer could fire early.
            QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, seq] {
                FInStep = true;
                Run(seq);
                FInStep = false;
            });
            return;
        }
        ++seq->Next;
        if (!step.Run()) {
            Finish(seq, false);
            return;
        }
    }
    Finish(seq, true);
}

void TRegisterOperations::Finish(const std::shared_ptr<TSequence>& seq, bool ok)
{
    if (FWaiting)
        EndWait();
    if (seq->Done)
        seq->Done(ok);
}

void TRegisterOperations::Wait(int ms, TDone done)
{
    auto seq = std::make_shared<TSequence>();
    seq->Done = std::move(done);
    seq->Steps.push_back({ms, [] { return true; }});
    Run(seq);
}

// ---- Register images ------------------------------------------------------------------------------------

void TRegisterOperations::UpdateAllProxSettings()
{
    const TSettingsRecord& s = FCore.Settings;
    FCore.Prox_Settings_0 = 0;
    FCore.Prox_Settings_1 = 0;
    FCore.Prox_Settings_2 = 0;
    FCore.Prox_Settings_3 = 0;
    if (FCore.FRedoATI || FCore.FReseed) {
        FCore.Prox_Settings_0 = Put(Put(0, ProxBit::RedoATI, FCore.FRedoATI), ProxBit::Reseed, FCore.FReseed);
    } else {
        FCore.Prox_Settings_0 = s.ComposeRegisterByte(ProxSettings, 0);
    }
    FCore.Prox_Settings_1 = s.ComposeRegisterByte(ProxSettings, 1);
    FCore.Prox_Settings_2 = s.ComposeRegisterByte(ProxSettings, 2);
    FCore.Prox_Settings_3 = s.ComposeRegisterByte(ProxSettings, 3);
    FCore.FHaltChargeActive = s.HaltChargeRadio == 1;
    if (FCore.FForceSleep) {
        FCore.Prox_Settings_2 = SetBit(FCore.Prox_Settings_2, ProxBit::ForceSleep);
        FCore.FForceSleepCount = 0;
    }
}

void TRegisterOperations::ResetRegisterImages()
{
    FCore.FLoadingSettings = true;
    FCore.Prox_Settings_0 = StartupProxSettings0;
    FCore.Prox_Settings_1 = StartupProxSettings1;
    FCore.Prox_Settings_2 = StartupProxSettings2;
    FCore.Prox_Settings_3 = StartupProxSettings3;
    FCore.Prox_Event_Mask = StartupEventMask;
    FCore.FReseed = false;
    FCore.FRedoATI = false;
    FCore.FAckReset = false;
    FCore.CHCheck = {true, true, true, true};
    FCore.View()->CheckActiveChannels();
    FCore.FLoadingSettings = false;
}

// ---- Reads ----------------------------------------------------------------------------------------------

bool TRegisterOperations::GetVersion()
{
    if (!GuardedPause())
        return false;
    TKvrByteArray data{};
    if (!Read(DeviceInfo, DeviceInfoLength, data))
        return false;
    if (!GuardedResume())
        return false;
    const QString text = VersionText(data[0], data[1]);
    FCore.View()->SetVersionLabel(text);
    FCore.KvrAddItem(QStringLiteral("Device Version (PROD:SW):  ") + text, TKvrItemType::aInfo);
    return true;
}

bool TRegisterOperations::ReadSettingsFromChip(bool NoResume)
{
    // Both flags end with the read, whichever way it ends.
    struct TReadFlags {
        TMainCore& Core;
        explicit TReadFlags(TMainCore& core) : Core(core) { Core.FGuiUpdate = Core.FLoadingSettings = true; }
        ~TReadFlags() { Core.FGuiUpdate = Core.FLoadingSettings = false; }
    } flags(FCore);

    if (!FCore.CheckPowerOn() || !PauseStreaming())
        return false;
    TKvrByteArray sysFlags{}, prox{}, timings{}, gestures{};
    if (!Read(SystemFlags, 1, sysFlags) || !Read(ProxSettings, ProxSettingsLength, prox)
        || !Read(Timings, TimingsLength, timings) || !Read(GestureTimers, GestureTimersLength, gestures))
        return false;
    if (FCore.FIsStreaming && !NoResume && !ResumeStreaming())
        return false;

    TSettingsRecord& s = FCore.Settings;
    s.DecodeRegisterByte(SystemFlags, 0, sysFlags[0]);
    // Byte 0 without its command bits.
    FCore.Prox_Settings_0 = uint8_t(prox[0] & ~((1u << ProxBit::RedoATI) | (1u << ProxBit::Reseed)));
    s.DecodeRegister(ProxSettings, ProxSettingsLength, prox.data());
    if (!TestBit(prox[2], ProxBit::ForceSleep) && !FCore.View()->ForceSleepEnabled())
        FCore.View()->SetForceSleepEnabled(true);
    FCore.FHaltChargeActive = TestBit(prox[3], ProxBit::ATA);
    s.DecodeRegister(Timings, TimingsLength, timings.data());
    s.DecodeRegister(GestureTimers, GestureTimersLength, gestures.data());
    FCore.View()->SettingsRecordChanged();
    return true;
}

// Reads the blocks, all of them before any is decoded, into the settings record.
bool TRegisterOperations::ReadIntoSettings(std::initializer_list<std::pair<uint8_t, uint8_t>> blocks)
{
    if (!GuardedPause())
        return false;
    std::vector<TKvrByteArray> data(blocks.size());
    size_t b = 0;
    for (const auto& [address, count] : blocks)
        if (!Read(address, count, data[b++]))
            return false;
    b = 0;
    for (const auto& [address, count] : blocks)
        FCore.Settings.DecodeRegister(address, count, data[b++].data());
    FCore.View()->SettingsRecordChanged();
    return GuardedResume();
}

bool TRegisterOperations::ReadAllThr()
{
    return ReadIntoSettings({{Thresholds, ThresholdsLength}});
}

bool TRegisterOperations::ReadAllTimings()
{
    return ReadIntoSettings({{Timings, TimingsLength}, {GestureTimers, GestureTimersLength}});
}

bool TRegisterOperations::ReadMultComp()
{
    return ReadIntoSettings({{Multipliers, MultipliersLength}, {Compensation, CompensationLength}});
}

bool TRegisterOperations::ReadActualBase()
{
    if (!GuardedPause())
        return false;
    for (size_t ch = 0; ch < 4; ++ch) {
        uint8_t half = 0;
        if (!IndirectRead(ActualBaseAddress[ch], half))
            return false;
        FCore.FActualBase[ch] = 2 * half;
        FCore.Settings.*TSettingsRecord::BaseEdit[ch] = QString::number(FCore.FActualBase[ch]);
    }
    FCore.FActualBaseRead = true;
    FCore.View()->SettingsRecordChanged();
    return GuardedResume();
}

// ---- Writes of the settings groups ----------------------------------------------------------------------

// One register block as the settings record composes it, sent as one group.
bool TRegisterOperations::SendComposed(uint8_t address, int length)
{
    TKvrByteArray data{};
    data[0] = address;
    for (int byte = 0; byte < length; ++byte)
        data[size_t(byte + 1)] = FCore.Settings.ComposeRegisterByte(address, byte);
    return SendGroup(data, length);
}

bool TRegisterOperations::WriteAllThr()
{
    if (FCore.FLoadingSettings)
        return true;
    if (!FCore.CheckPowerOn())
        return false;
    return SendComposed(Thresholds, ThresholdsLength);
}

bool TRegisterOperations::WriteMultComp(bool Mult, bool Comp)
{
    if (FCore.FLoadingSettings)
        return true;
    if (!FCore.CheckPowerOn())
        return false;
    bool ok = true;
    if (Mult)
        ok = SendComposed(Multipliers, MultipliersLength);
    // The compensation goes out even when the multipliers failed.
    if (Comp)
        ok = SendComposed(Compensation, CompensationLength) && ok;
    return ok;
}

bool TRegisterOperations::WriteTimGes(bool Tim, bool Ges)
{
    if (FCore.FLoadingSettings)
        return true;
    if (!FCore.CheckPowerOn())
        return false;
    bool ok = true;
    if (Tim)
        ok = SendComposed(Timings, TimingsLength);
    if (Ges)
        ok = SendComposed(GestureTimers, GestureTimersLength) && ok;
    return ok;
}

bool TRegisterOperations::ProxSettings0Cmd()
{
    if (FCore.FLoadingSettings)
        return true; // requests stay pending for the next write
    if (!FCore.CheckPowerOn())
        return false;
    constexpr uint8_t commandBits = (1u << ProxBit::RedoATI) | (1u << ProxBit::Reseed);
    uint8_t& image = FCore.Prox_Settings_0;
    if (FCore.FRedoATI || FCore.FReseed)
        image = Put(Put(image, ProxBit::Reseed, FCore.FReseed), ProxBit::RedoATI, FCore.FRedoATI);
    else
        image = uint8_t(FCore.Settings.ComposeRegisterByte(ProxSettings, 0) | (image & commandBits));
    TKvrByteArray data{};
    data[0] = ProxSettings;
    data[1] = image;
    const bool ok = SendGroup(data, 1);
    // The commands are one-shot, whatever the write did.
    FCore.FReseed = false;
    FCore.FRedoATI = false;
    image = uint8_t(image & ~commandBits);
    return ok;
}

bool TRegisterOperations::ProxSettings1Cmd()
{
    if (FCore.FLoadingSettings)
        return true;
    if (!FCore.CheckPowerOn())
        return false;
    const TSettingsRecord& s = FCore.Settings;
    uint8_t image = uint8_t(Bits(s.LTABetaRadio, 2) * 16 + Bits(s.SliderRadio, 2) * 4 + Bits(s.ACFRadio, 2));
    image = Put(image, 7, s.WDTRadio != 0);
    image = Put(image, 6, s.CommsModeRadio != 1);
    FCore.Prox_Settings_1 = image;
    TKvrByteArray data{};
    data[0] = ProxSettings;
    data[1] = FCore.Prox_Settings_0;
    data[2] = FCore.Prox_Settings_1;
    return SendGroup(data, 2);
}

bool TRegisterOperations::ProxSettings2Cmd()
{
    if (FCore.FLoadingSettings)
        return true;
    if (!FCore.CheckPowerOn())
        return false;
    const TSettingsRecord& s = FCore.Settings;
    uint8_t image = uint8_t(Bits(s.MovementRadio, 2) * 4 + Bits(s.OutRadio, 2));
    image = Put(image, 4, s.WheelFilterRadio != 0);
    image = Put(image, 5, s.WakeRadio == 1);
    if (FCore.FForceSleep) {
        image = SetBit(image, ProxBit::ForceSleep);
        FCore.FForceSleepCount = 0;
    }
    image = Put(image, 7, s.SleepHaltRadio == 1);
    FCore.Prox_Settings_2 = image;
    TKvrByteArray data{};
    data[0] = ProxSettings;
    data[1] = FCore.Prox_Settings_0;
    data[2] = FCore.Prox_Settings_1;
    data[3] = FCore.Prox_Settings_2;
    return SendGroup(data, 3);
}

void TRegisterOperations::ProxSettings3Cmd(TDone done)
{
    const auto finish = [&done](bool ok) {
        if (done)
            done(ok);
    };
    if (FCore.FLoadingSettings) {
        finish(true);
        return;
    }
    if (!FCore.CheckPowerOn() || Refused()) {
        finish(false);
        return;
    }
    if (FCore.FIsStreaming && !FCore.FHaltChargeActive && !FCore.WasOff && !PauseStreaming()) {
        finish(false);
        return;
    }
    const TSettingsRecord& s = FCore.Settings;
    auto seq = std::make_shared<TSequence>();
    seq->Done = std::move(done);

    if (s.OffModeRadio == 1) {
        FCore.WasOff = true;
    } else if (FCore.WasOff) {
        // Wake the chip and give it its whole set-up again.
        seq->Steps.push_back({0, [this] { return IOWrite(OffModeWakeIOLine, 1); }});
        seq->Steps.push_back({OffModeWakeWaitMs, [this] { return IORead(OffModeWakeIOLine); }});
        seq->Steps.push_back({OffModeWakeWaitMs, [this] {
                                  WriteAllSettings();
                                  FCore.WasOff = false;
                                  return true;
                              }});
    }
    if (s.HaltChargeRadio == 1) {
        FCore.FHaltChargeActive = true;
    } else {
        FCore.FHaltChargeActive = false;
        seq->Steps.push_back({0, [this] { return IOWrite(HaltChargeIOLine, 1); }});
        seq->Steps.push_back({FCore.Settings.LPSpin * LowPowerUnitMs, [this] { return IORead(HaltChargeIOLine); }});
    }
    seq->Steps.push_back({0, [this] { return ProxSettings3Send(); }});
    Run(seq);
}

bool TRegisterOperations::ProxSettings3Send()
{
    FCore.Prox_Settings_3 = FCore.Settings.ComposeRegisterByte(ProxSettings, 3);
    TKvrByteArray data{};
    data[0] = ProxSettings;
    data[1] = FCore.Prox_Settings_0;
    data[2] = FCore.Prox_Settings_1;
    data[3] = FCore.Prox_Settings_2;
    data[4] = FCore.Prox_Settings_3;
    if (!SendGroup(data, 4))
        return false;
    FCore.FHaltChargeActive = FCore.Settings.HaltChargeRadio == 1;
    if (!FCore.FGuiUpdate && !FCore.FHaltChargeActive && !FCore.WasOff && FCore.FIsStreaming)
        return ResumeStreaming();
    return true;
}

bool TRegisterOperations::ProxSettingsAllCmd()
{
    if (FCore.FLoadingSettings)
        return true;
    if (!FCore.CheckPowerOn())
        return false;
    FCore.Prox_Event_Mask = FCore.Settings.ComposeRegisterByte(ProxSettings, 4);
    TKvrByteArray data{};
    data[0] = ProxSettings;
    data[1] = FCore.Prox_Settings_0;
    data[2] = FCore.Prox_Settings_1;
    data[3] = FCore.Prox_Settings_2;
    data[4] = FCore.Prox_Settings_3;
    data[5] = FCore.Prox_Event_Mask;
    return SendGroup(data, ProxSettingsLength);
}

bool TRegisterOperations::WriteSysFlags(TSysFlagsWrite kind)
{
    if (FCore.FLoadingSettings)
        return true;
    // In off mode the settings writes leave streaming alone.
    const bool touchStream = !FCore.FGuiUpdate && !(kind != TSysFlagsWrite::Reset && FCore.WasOff);
    if (!FCore.FGuiUpdate && !FCore.CheckPowerOn())
        return false;
    if (touchStream && !PauseStreaming())
        return false;
    TKvrByteArray data{};
    if (!Read(SystemFlags, 1, data))
        return false;
    uint8_t flags = data[0];
    uint8_t logMask = SysFlagsSettingsMask;
    switch (kind) {
    case TSysFlagsWrite::IgnoreFH:
        flags = Put(flags, SysFlagBit::IgnoreFilterHalt, FCore.Settings.IgnoreFHRadioGroup == 1);
        break;
    case TSysFlagsWrite::Projected:
        flags = Put(flags, SysFlagBit::Projected, FCore.Settings.ProjectedRiadioGroup == 1);
        break;
    case TSysFlagsWrite::Reset:
        flags = ClearBit(flags, SysFlagBit::ShowReset);
        logMask = 0x10;
        break;
    }
    data = {};
    data[0] = SystemFlags;
    data[1] = uint8_t(flags & logMask);
    CommandLog.AddCommand(1, SystemFlags, data, 1);
    data[1] = flags;
    if (!Write(2, data))
        return false;
    if (touchStream && FCore.FIsStreaming)
        return ResumeStreaming();
    return true;
}

bool TRegisterOperations::WriteIgnoreFH() { return WriteSysFlags(TSysFlagsWrite::IgnoreFH); }
bool TRegisterOperations::WriteProjectedSelf() { return WriteSysFlags(TSysFlagsWrite::Projected); }
bool TRegisterOperations::WriteReset() { return WriteSysFlags(TSysFlagsWrite::Reset); }

bool TRegisterOperations::WriteAllSettings()
{
    FCore.StreamSetup.SetupStreaming();
    CH0CheckClick();
    if (FCore.Settings.CommsModeRadio == 0 && !Refused())
        Failed(FCore.KorvaneHidTool1->EventMode(true));
    UpdateAllProxSettings();
    ProxSettingsAllCmd();
    WriteTimGes(true, true);
    WriteAllThr();
    FCore.View()->Delta();
    WriteIgnoreFH();
    WriteProjectedSelf();
    WriteMultComp(true, true);
    RedoATIBtnClick();
    return true;
}

// ---- Active channels ------------------------------------------------------------------------------------

void TRegisterOperations::CH0CheckClick()
{
    if (FCore.FLoadingSettings || !FCore.CheckPowerOn())
        return;
    IMainView* view = FCore.View();
    view->CheckActiveChannels();
    uint8_t channels = 0x0F;
    for (int n = 0; n < 4; ++n) {
        if (FCore.CHCheck[size_t(n)]) {
            FCore.FResources[size_t(n)] = 0;
        } else {
            channels = ClearBit(channels, n);
            if (FCore.FResources[size_t(n)] != 0) {
                FCore.FResources[size_t(n)] = 0;
                view->SetChannelEmpty(n);
            }
        }
    }
    FCore.FActiveChannels = channels != 0;
    TKvrByteArray data{};
    data[0] = ActiveChannels;
    data[1] = channels;
    CommandLog.AddCommand(1, ActiveChannels, data, 1);
    Write(2, data);
}

void TRegisterOperations::AllCHsCheckClick()
{
    const bool all = FCore.AllCHsCheck;
    FCore.FLoadingSettings = true;
    FCore.CHCheck = {all, all, all, all};
    FCore.FLoadingSettings = false;
    CH0CheckClick();
    if (all)
        RedoATIBtnClick();
}

// ---- One-shot commands ----------------------------------------------------------------------------------

bool TRegisterOperations::RedoATIBtnClick()
{
    FCore.FRedoATI = true;
    return ProxSettings0Cmd();
}

bool TRegisterOperations::ReseedBtnClick()
{
    FCore.FReseed = true;
    return ProxSettings0Cmd();
}

bool TRegisterOperations::ForceSleepButtonClick()
{
    FCore.FForceSleep = true;
    if (!ProxSettings2Cmd()) {
        FCore.FForceSleep = false;
        return false;
    }
    FCore.View()->SetForceSleepEnabled(false);
    return true;
}

void TRegisterOperations::AckResetButtonClick()
{
    FCore.FAckCount = 0;
    FCore.FAckReset = true;
    WriteReset();
    FCore.View()->SetAckResetEnabled(false);
}

void TRegisterOperations::AckResetFrame()
{
    if (!FCore.FAckReset)
        return;
    if (FCore.FAckCount < AckResetFrames) {
        ++FCore.FAckCount;
    } else if (FCore.FShowReset) {
        FCore.View()->SetAckResetEnabled(true);
        FCore.FAckReset = false;
    }
}

// ---- Engineering page -----------------------------------------------------------------------------------

bool TRegisterOperations::SetCalCap(bool State)
{
    if (!GuardedPause())
        return false;
    uint8_t value = 0;
    if (!IndirectRead(CalCapSwitchAddress, value))
        return false;
    value = Put(value, CalCapSwitchBit, State);
    TKvrByteArray data{};
    data[0] = IndirectAddress;
    data[1] = CalCapSwitchAddress;
    if (!Write(2, data))
        return false;
    data = {};
    data[0] = IndirectData;
    data[1] = value;
    if (!Write(2, data))
        return false;
    return GuardedResume();
}

void TRegisterOperations::ReadMMButtonClick()
{
    if (!FCore.CheckPowerOn() || !PauseStreaming())
        return;
    TSettingsRecord& s = FCore.Settings;
    uint8_t address = 0;
    if (s.MMAddressEdit.isEmpty()) {
        FCore.KvrAddItem(QStringLiteral("No address specified!"), TKvrItemType::aError);
    } else if (!ParseHexByte(s.MMAddressEdit, address)) {
        FCore.KvrAddItem(InvalidAddress, TKvrItemType::aError);
    } else {
        TKvrByteArray data{};
        if (!Read(address, 1, data))
            return;
        s.MMDataEdit = HexByte(data[0]);
        FCore.View()->SettingsRecordChanged();
    }
    if (FCore.FIsStreaming)
        ResumeStreaming();
}

void TRegisterOperations::WriteMMButtonClick()
{
    if (!FCore.CheckPowerOn())
        return;
    const TSettingsRecord& s = FCore.Settings;
    if (s.MMDataEdit.isEmpty() || s.MMAddressEdit.isEmpty()) {
        FCore.KvrAddItem(QStringLiteral("No address or data specified!"), TKvrItemType::aError);
        return;
    }
    uint8_t address = 0, value = 0;
    if (!ParseHexByte(s.MMAddressEdit, address)) {
        FCore.KvrAddItem(InvalidAddress, TKvrItemType::aError);
        return;
    }
    if (!ParseHexByte(s.MMDataEdit, value)) {
        FCore.KvrAddItem(InvalidData, TKvrItemType::aError);
        return;
    }
    TKvrByteArray data{};
    data[0] = address;
    data[1] = value;
    if (FCore.FEasyShowSend)
        CommandLog.AddCommand(1, address, data, 1);
    Write(2, data);
}

void TRegisterOperations::InDirReadButtonClick()
{
    if (!FCore.CheckPowerOn())
        return;
    TSettingsRecord& s = FCore.Settings;
    if (s.DirAddrEdit.isEmpty())
        return;
    uint8_t address = 0;
    if (!ParseHexByte(s.DirAddrEdit, address)) {
        FCore.KvrAddItem(InvalidAddress, TKvrItemType::aError);
        return;
    }
    if (!PauseStreaming())
        return;
    uint8_t value = 0;
    if (!IndirectRead(address, value))
        return;
    s.DirDataEdit = HexByte(value);
    FCore.View()->SettingsRecordChanged();
    if (FCore.FIsStreaming)
        ResumeStreaming();
}

void TRegisterOperations::InDirWriteButtonClick()
{
    const TSettingsRecord& s = FCore.Settings;
    uint8_t address = 0, value = 0;
    if (!ParseHexByte(s.DirAddrEdit, address)) {
        FCore.KvrAddItem(InvalidAddress, TKvrItemType::aError);
        return;
    }
    if (!ParseHexByte(s.DirDataEdit, value)) {
        FCore.KvrAddItem(InvalidData, TKvrItemType::aError);
        return;
    }
    TKvrByteArray data{};
    data[0] = IndirectAddress;
    data[1] = address;
    if (FCore.FEasyShowSend)
        CommandLog.AddCommand(1, IndirectAddress, data, 1);
    Write(2, data); // the data write is made even when this failed
    data = {};
    data[0] = IndirectData;
    data[1] = value;
    if (FCore.FEasyShowSend)
        CommandLog.AddCommand(1, IndirectData, data, 1);
    Write(2, data);
}
