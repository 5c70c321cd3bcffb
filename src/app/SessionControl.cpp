#include "app/SessionControl.h"

#include "app/MainCore.h"
#include "settings/RegisterOperations.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <array>
#include <utility>

namespace {

const QString UnableToStart = QStringLiteral("Unable to start device streaming!");
constexpr uint8_t FirstAddress = 0x44;
constexpr uint8_t LastAddress = 0x47;
constexpr int ProbeAttempts = 4;
constexpr int VoltageIndex18 = 1;       // VoltageCombo "1.8 V"
constexpr int StreamingModeIndex = 1;   // CommsModeRadio "Streaming Mode"
constexpr uint16_t PowerAlreadyOff = 0x0301;

} // namespace

TSessionControl::TSessionControl(TMainCore& core) : FCore(core)
{
    FCore.KT880Device1->OnStreamingError = [this](uint16_t code) { KT880Device1StreamingError(code); };
    FCore.KT880Device1->OnStreamingDataMissed = [this](uint8_t id) { KT880Device1StreamingDataMissed(id); };
    FCore.StreamSetup.Attach(FCore);
}

TSessionControl::~TSessionControl()
{
    FCore.KT880Device1->OnStreamingError = nullptr;
    FCore.KT880Device1->OnStreamingDataMissed = nullptr;
}

// ---- Buttons ----

bool TSessionControl::Busy()
{
    if (!FCore.FRegBusy)
        return false;
    FCore.KvrAddItem(QStringLiteral("Another chip operation is still running!"), TKvrItemType::aError);
    return true;
}

void TSessionControl::StartButtonClick()
{
    if (Busy())
        return;
    if (FCore.StartCaption == SessionCaption::Stop)
        Stop();
    else
        Start();
}

void TSessionControl::PauseButtonClick()
{
    if (Busy())
        return;
    if (FCore.PauseCaption == SessionCaption::Resume)
        Resume();
    else
        Pause();
}

void TSessionControl::PowerButtonClick()
{
    if (Busy())
        return;
    if (FCore.PowerCaption == SessionCaption::PowerOff)
        PowerOff();
    else
        PowerOn();
}

void TSessionControl::Start()
{
    TKT880Device& chip = *FCore.KT880Device1;
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    IMainView* view = FCore.View();

    chip.StopStreaming();
    chip.PowerOff();
    // A stream started by "Read all" while powered is gone now too; the reads below must not try to pause it.
    FCore.FIsStreaming = false;
    FCore.FResources.fill(0);
    view->ResetLiveDisplay();

    FCore.WasOff = false;
    FCore.FStartupOption = view->ShowStartupChooser(); // 0 unless a button of the chooser says otherwise
    if (FCore.FStartupOption == 255)
        return;
    if (FCore.FStartupOption == 0) {
        FCore.WheelCheck = true;
        FCore.SliderCheck = true;
        FCore.RelativeCheck = true;
    }

    FCore.FLoadSettings = FCore.Settings.LoadSettingsCheck || FCore.FStartupOption != 0;
    if (FCore.FLoadSettings)
        view->ShowWaitPicture();
    else
        view->ShowGraphPicture(false, false, false);

    FCore.FCurrentChs.fill(0);
    FCore.FLTAChs.fill(0);
    FCore.FDeltaChs.fill(0);
    FCore.FCalcTouchTH.fill(0);
    FCore.FActualBaseRead = false;
    FCore.Statistics.Restart();

    tool.StopBitControl(TStopBitControl::sbOff);
    tool.StopBitControl(TStopBitControl::sbRestore);

    FCore.FReadDevice = FCore.Settings.ReadOnStartCheck;

    if (!FCore.FCTSetup) {
        if (const uint16_t r = SetupTool()) {
            ErrorItem(r);
            FailureTail();
            return;
        }
        FCore.FCTSetup = true;
    }

    // The chip is always power-cycled at start.
    if (FCore.FPowerOn) {
        tool.PowerOffDUT();
        FCore.FPowerOn = false;
    }
    tool.PowerOnDUT();
    if (FCore.PowerCaption == SessionCaption::PowerOn)
        SetPowerCaption(SessionCaption::PowerOff);
    FCore.FPowerOn = true;

    if (!ProbeDeviceAddress()) {
        FailureTail();
        return;
    }
    Info(QStringLiteral("Device Address : %1H").arg(FCore.KT880Device1->I2CAddress()));
    FCore.RegOps->GetVersion();

    if (FCore.FReadDevice) {
        FCore.RegOps->ResetRegisterImages();
        if (FCore.FStartupOption == 0 && !FCore.FLoadSettings) {
            if (!FCore.RegOps->ReadSettingsFromChip(false)) {
                FailureTail();
                return;
            }
            Info(QStringLiteral("Settings reset to default"));
            view->TakeSettingsAsApplied();
        }
    }

    if (const uint16_t r = StartStream()) {
        ErrorItem(r);
        FailureTail();
        return;
    }
    view->StartBarTimer();
    Info(QStringLiteral("Device streaming started"));
    FCore.FIsStreaming = true;
    SetStartCaption(SessionCaption::Stop);
    SetPauseEnabled(true);
    SetExportHEnabled(true);
}

void TSessionControl::Stop()
{
    FCore.View()->ShowGraphPicture(false, false, false);
    SetPowerCaption(SessionCaption::PowerOff);
    PowerButtonClick();
    SetExportHEnabled(false);
}

void TSessionControl::PowerOn()
{
    if (!FCore.FCTSetup) {
        if (const uint16_t r = SetupTool()) {
            ErrorItem(r);
            FCore.View()->ShowWarning(UnableToStart);
            return;
        }
        FCore.FCTSetup = true;
    }
    if (const uint16_t r = FCore.KT880Device1->PowerOn())
        ErrorItem(r);
    else
        Info(QStringLiteral("Device powered on"));
    FCore.FPowerOn = true;
    SetPowerCaption(SessionCaption::PowerOff);
}

void TSessionControl::PowerOff()
{
    IMainView* view = FCore.View();
    FCore.FIsPaused = false;
    view->StopScopeTimer();
    view->StopBarTimer();
    SetPauseCaption(SessionCaption::Pause);
    SetPauseEnabled(false);
    SetStartCaption(SessionCaption::Start);
    SetLoadSettingsButtonEnabled(false);
    if (FCore.FIsStreaming) {
        FCore.FIsStreaming = false;
        FCore.KT880Device1->StopStreaming();
    }
    // A refused power-off leaves the chip powered: say so instead of claiming it is off.
    if (const uint16_t r = FCore.KT880Device1->PowerOff(); r && r != PowerAlreadyOff)
        ErrorItem(r);
    else
        Info(QStringLiteral("Device powered off"));
    FCore.FCTSetup = false;
    FCore.FPowerOn = false;
    FCore.FATIBusy = false;
    if (!view->AckResetEnabled()) {
        view->SetAckResetEnabled(true);
        FCore.FAckReset = false;
    }
    // The power cycle leaves the chip in streaming mode; the settings window shows it without recording
    // a change, and the event-mode flag follows so that a later Apply of "Event Mode" switches the tool.
    if (FCore.FEventMode) {
        const bool loading = FCore.FLoadingSettings;
        FCore.FLoadingSettings = true;
        FCore.Settings.CommsModeRadio = StreamingModeIndex;
        view->SettingsRecordChanged();
        FCore.FLoadingSettings = loading;
        FCore.FEventMode = false;
    }
    FCore.KorvaneHidTool1->EventMode(false);
    SetPowerCaption(SessionCaption::PowerOn);
}

void TSessionControl::Pause()
{
    FCore.FIsStreaming = false;
    FCore.View()->StopBarTimer();
    SetPauseCaption(SessionCaption::Resume);
    if (const uint16_t r = FCore.KT880Device1->StopStreaming()) {
        ErrorItem(r);
        SetPauseCaption(SessionCaption::Pause);
        return;
    }
    Info(QStringLiteral("Device streaming paused"));
    FCore.FIsPaused = true;
}

void TSessionControl::Resume()
{
    if (const uint16_t r = StartStream()) {
        ErrorItem(r);
        AbortSession();
        FCore.View()->ShowWarning(UnableToStart);
        return;
    }
    FCore.View()->StartBarTimer();
    Info(QStringLiteral("Device streaming resumed"));
    FCore.FIsStreaming = true;
    SetPauseCaption(SessionCaption::Pause);
    FCore.FIsPaused = false;
}

// ---- Start path pieces ----

uint16_t TSessionControl::SetupTool()
{
    const uint16_t r = FCore.KT880Device1->SetupCT();
    if (FCore.Settings.VoltageCombo != VoltageIndex18)
        return r;
    // With 1.8 V chosen the supply command's result alone decides; a failed link set-up is still told.
    if (r)
        ErrorItem(r);
    return FCore.KorvaneHidTool1->SetDUTVoltage(1.8);
}

uint16_t TSessionControl::StartStream()
{
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    const TStreamSetup& setup = FCore.StreamSetup;
    if (const uint16_t r = tool.SetLongStreamingLength(uint16_t(setup.FStreamLength)))
        return r;
    return tool.StartLongStreaming(setup.FStreamBytes);
}

bool TSessionControl::ProbeDeviceAddress()
{
    TKT880Device& chip = *FCore.KT880Device1;
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    std::array<bool, LastAddress - FirstAddress + 1> tried{};
    uint8_t a = FCore.FDeviceAddress;
    for (int attempt = 0; attempt < ProbeAttempts; ++attempt) {
        if (tool.ConfigI2C(chip.I2CType(), chip.I2CPullUpResistors(), a, chip.I2CReadyPin(),
                           chip.I2CStopCommand(), chip.I2CPolling()) != 0)
            return false;
        TKvrByteArray reply{};
        if (tool.I2CRead(0x00, 2, reply) == 0) {
            FCore.FDeviceAddress = a;
            chip.SetI2CAddress(QStringLiteral("%1").arg(a, 2, 16, QLatin1Char('0')).toUpper());
            return true;
        }
        if (a >= FirstAddress && a <= LastAddress)
            tried[a - FirstAddress] = true;
        // After the last known address comes 0x44, then upwards, each address once.
        a = attempt == 0 && a != FirstAddress ? FirstAddress : uint8_t(a + 1);
        while (a >= FirstAddress && a <= LastAddress && tried[a - FirstAddress])
            ++a;
        if (a > LastAddress)
            return false;
    }
    return false;
}

void TSessionControl::AbortSession()
{
    IMainView* view = FCore.View();
    FCore.KT880Device1->StopStreaming();
    FCore.KT880Device1->PowerOff();
    FCore.FIsStreaming = false;
    FCore.FCTSetup = false;
    FCore.FPowerOn = false;
    FCore.FIsPaused = false;
    SetExportHEnabled(false);
    view->StopBarTimer();
    view->StopScopeTimer();
    SetLoadSettingsButtonEnabled(false);
}

void TSessionControl::FailureTail()
{
    AbortSession();
    FCore.View()->ShowWarning(UnableToStart);
    FCore.View()->ShowGraphPicture(false, false, false);
}

// ---- Pending update ----

void TSessionControl::UpdateTimerTimer()
{
    if (!FCore.CheckPowerOn())
        return;
    if (FCore.FIsStreaming) {
        if (const uint16_t r = FCore.KT880Device1->StopStreaming()) {
            ErrorItem(r);
            return;
        }
        FCore.FIsStreaming = false;
    }

    TRegisterOperations& ops = *FCore.RegOps;
    FRestartDelayMs = 0;
    switch (FCore.FUpdateOptions) {
    case TFUpdateOptions::utLoadSettings:
        LoadSettingsUpdate();
        break;
    case TFUpdateOptions::utReadActualBase:
        ops.ReadActualBase();
        // The tuning just changed the compensation: the touch thresholds shown must use the new one.
        if (ops.ReadMultComp())
            FCore.Settings.RefreshMultCaches();
        break;
    case TFUpdateOptions::utReadAll:
        FCore.FGuiUpdate = true;
        ops.ReadActualBase();
        FCore.Pages.ReadAllMultButtonClick();
        FCore.Pages.ReadAllThrButtonClick();
        FCore.FGuiUpdate = false;
        break;
    }

    if (FRestartDelayMs > 0) {
        ops.Wait(std::exchange(FRestartDelayMs, 0), [this](bool) { RestartAfterUpdate(); });
        return;
    }
    RestartAfterUpdate();
}

void TSessionControl::RestartAfterUpdate()
{
    // A paused session stays paused: its stream is restarted by Resume. A tool pulled out meanwhile has
    // ended the session.
    if (!FCore.FIsStreaming && !FCore.FIsPaused && FCore.FPowerOn) {
        if (const uint16_t r = StartStream())
            ErrorItem(r);
        else
            FCore.FIsStreaming = true;
    }
}

void TSessionControl::LoadSettingsUpdate()
{
    if (FCore.FStartupOption != 0) {
        const int demo = FCore.FStartupOption - 1;
        FCore.FStartupOption = 0;
        if (!FCore.OnLoadDemoSettings) {
            FCore.KvrAddItem(QStringLiteral("Unable to load the demo set-up: no settings loader available!"),
                             TKvrItemType::aError);
            return;
        }
        FCore.OnLoadDemoSettings(demo);
        FCore.FSettingsATIMessage = true;
    } else {
        if (!FCore.OnLoadSettings) {
            FCore.KvrAddItem(QStringLiteral("Unable to load the settings file: no settings loader available!"),
                             TKvrItemType::aError);
            return;
        }
        FCore.OnLoadSettings();
    }
    FCore.Settings.UpdateGlobalVariables();
}

void TSessionControl::ReadAllClick()
{
    if (Busy())
        return;
    if (!FCore.RegOps->ReadSettingsFromChip(true))
        return;
    FCore.FUpdateOptions = TFUpdateOptions::utReadAll;
    FCore.FIsStreaming = false;
    UpdateTimerTimer();
}

void TSessionControl::StopStreaming()
{
    if (!FCore.FIsStreaming)
        return;
    if (const uint16_t r = FCore.KT880Device1->StopStreaming())
        ErrorItem(r);
}

void TSessionControl::RestartStreaming()
{
    if (!FCore.FIsStreaming)
        return;
    if (const uint16_t r = StartStream())
        ErrorItem(r);
}

// ---- Stream events ----

void TSessionControl::KT880Device1StreamingError(uint16_t StreamingErrorCode)
{
    ErrorItem(StreamingErrorCode);
}

void TSessionControl::KT880Device1StreamingDataMissed(uint8_t)
{
    if (!FCore.FEventMode) {
        ++FCore.FDataMissedCount;
        FCore.View()->ShowDataMissed();
    }
}

// ---- Button states ----

void TSessionControl::SetStartCaption(const QString& caption)
{
    FCore.StartCaption = caption;
    FCore.View()->SetStartCaption(caption);
}

void TSessionControl::SetPauseCaption(const QString& caption)
{
    FCore.PauseCaption = caption;
    FCore.View()->SetPauseCaption(caption);
}

void TSessionControl::SetPauseEnabled(bool enabled)
{
    FCore.PauseEnabled = enabled;
    FCore.View()->SetPauseEnabled(enabled);
}

void TSessionControl::SetPowerCaption(const QString& caption)
{
    FCore.PowerCaption = caption;
    FCore.View()->SetPowerButtonCaption(caption);
}

void TSessionControl::SetExportHEnabled(bool enabled)
{
    FCore.ExportHEnabled = enabled;
    FCore.View()->SetExportHEnabled(enabled);
}

void TSessionControl::SetLoadSettingsButtonEnabled(bool enabled)
{
    FCore.LoadSettingsButtonEnabled = enabled;
    FCore.View()->SetLoadSettingsButtonEnabled(enabled);
}

// ---- Reporting ----

void TSessionControl::ErrorItem(uint16_t result)
{
    FCore.KvrAddItem(ErrorCodeText(result), TKvrItemType::aError);
}

void TSessionControl::Info(const QString& text)
{
    FCore.KvrAddItem(text, TKvrItemType::aInfo);
}
