#pragma once
// The main window's state and hardware components, without any widget: the windows are views over it and
// the command-line tool drives it directly. The operations live in their own classes (register operations,
// session control, frame decode), each working on this state.

#include "app/ChannelStatistics.h"
#include "app/MainView.h"
#include "app/SnrMeasurement.h"
#include "app/StreamSetup.h"
#include "chip/KorvaneKT880.h"
#include "common/KvrTypes.h"
#include "toollink/FirmwareVerdict.h"
#include "toollink/KorvaneDevList.h"
#include "toollink/KorvaneHIDTool.h"
#include "settings/SettingsPages.h"
#include "settings/SettingsRecord.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class TRegisterOperations;
class TSessionControl;
class TFrameDecoder;
class TToolChange;
class TDataLog;

enum class TFUpdateOptions { utLoadSettings, utReadActualBase, utReadAll };

class TMainCore : public QObject {
    Q_OBJECT
public:
    TMainCore(std::shared_ptr<HidBackend> backend, IMessageSink* messages, IMainView* view,
              QObject* parent = nullptr);
    ~TMainCore() override;

    IMessageSink* Messages() const { return FMessages; }
    IMainView* View() const { return FView; }
    void SetView(IMainView* view) { FView = view; }

    // Adds a message-list item.
    int KvrAddItem(const QString& text, TKvrItemType kind);
    // True when the chip is powered, otherwise the error item "Device power is off!".
    bool CheckPowerOn();

    // Hardware components, linked list -> tool -> chip device.
    std::unique_ptr<TKorvaneDevList> KorvaneDevList1;
    std::unique_ptr<TKorvaneHidTool> KorvaneHidTool1;
    std::unique_ptr<TKT880Device> KT880Device1;

    // The settings window's record and stream set-up.
    TSettingsRecord Settings;
    TStreamSetup StreamSetup;
    // Change tracking of the settings window's pages over Settings.
    TSettingsPages Pages{*this};

    // Operations on this state.
    std::unique_ptr<TRegisterOperations> RegOps;
    std::unique_ptr<TSessionControl> Session;
    std::unique_ptr<TFrameDecoder> Decoder;
    // Tool attach and detach (the device list's OnDeviceChange).
    std::unique_ptr<TToolChange> ToolChange;
    // The data log, written from the frame handler.
    std::unique_ptr<TDataLog> DataLog;
    // Tuning analysis over the displayed values: live statistics and a running SNR measurement.
    TChannelStatistics Statistics;
    TSnrMeasurement Snr;
    // Feeds both with the decoded frame (the frame handler's last step before the display).
    void AnalyseFrame();

    // Shell.
    bool FClosing = false;
    // Counted over the whole run, for unattended runs: frames decoded, data-missed notices.
    uint64_t FFramesDecoded = 0;
    uint64_t FDataMissedCount = 0;
    bool FUpdating = false;
    QString DeviceSerial;
    // The firmware-update program and its minimum tool firmware versions, read once at start-up.
    TMinVer MinVer;
    QString FUpdaterPath;
    bool FUpdaterInstalled = false;
    bool FEasyShowSend = false;

    // Session.
    bool FCTSetup = false;
    bool FPowerOn = false;
    bool FIsStreaming = false;
    bool FIsPaused = false;
    uint8_t FDeviceAddress = 0x44;
    uint8_t FStartupOption = 0;
    bool FLoadSettings = false;
    bool FReadDevice = false;
    TFUpdateOptions FUpdateOptions = TFUpdateOptions::utLoadSettings;
    bool FGuiUpdate = false;
    bool FSettingsATIMessage = false;
    bool FEventMode = false;
    bool FLoadingSettings = false;
    bool WasOff = false;
    QString FSettingsFile;

    // Register images and one-shot requests.
    uint8_t FSysFlags = 0;
    uint8_t FSysEvents = 0;
    uint8_t Prox_Settings_0 = 0x00;
    uint8_t Prox_Settings_1 = 0x11;
    uint8_t Prox_Settings_2 = 0x00;
    uint8_t Prox_Settings_3 = 0x00;
    uint8_t Prox_Event_Mask = 0xBF;
    bool FRedoATI = false;
    bool FReseed = false;
    bool FForceSleep = false;
    bool FWasForceSleep = false;
    int FForceSleepCount = 0;
    bool FAckReset = false;
    int FAckCount = 0;
    bool FHaltChargeActive = false;
    bool FActiveChannels = true;
    std::array<int32_t, 4> FActualBase{};
    bool FActualBaseRead = false;
    // A register operation is waiting (report delivery held): controls that start another stay disabled.
    bool FRegBusy = false;

    // Parasitic-capacitance measurement.
    bool CalCapPreCapture = false;
    bool CalCapCapture = false;
    int CalCapCount = 0;
    std::array<int32_t, 4> CCDt{};
    std::array<int32_t, 4> CCCs{};
    std::array<double, 4> CalCap{};

    // Picture shown by each channel indicator: 0 nothing, 1 prox, 2 touch.
    std::array<uint8_t, 4> FResources{};

    // Main-window check boxes: active channels, the hidden display switches, "Show Events".
    std::array<bool, 4> CHCheck{true, true, true, true};
    bool AllCHsCheck = true;
    bool WheelCheck = true;
    bool SliderCheck = true;
    bool RelativeCheck = true;
    bool EventsCheck = true;

    // Decoded frame values.
    uint16_t FWheelData1 = 0;
    int32_t FWheelData2 = 0;
    uint16_t FWheelRes = 256;
    int FWheelPercent = 0;
    int32_t FLPcsCH = 0;
    int32_t FLPltaCH = 0;
    std::array<int32_t, 4> FCurrentChs{};
    std::array<int32_t, 4> FLTAChs{};
    std::array<int32_t, 4> FDeltaChs{};
    uint16_t FProx = 0;
    uint16_t FTouch = 0;
    uint16_t FHalt = 0;
    std::array<bool, 4> FProxBools{};
    std::array<bool, 4> FTouchBools{};
    std::array<int32_t, 4> FCalcTouchTH{};
    bool FATIBusy = false;
    bool FWasATIBusy = false;
    bool FATIError = false;
    bool FLP = false;
    bool FLPEvent = false;
    bool FProjected = false;
    bool FFilterHalt = false;
    bool FShowReset = false;
    bool FMovment = false;
    bool FEProx = false, FETouch = false, FEATI = false, FESlider = false, FEMov = false, FETap = false,
         FEFlickLeft = false, FEFlickRight = false;
    bool FWheelEvent = false, FProxEvent = false, FTouchEvent = false;
    int FProxEventValue = 0, FTouchEventValue = 0;

    // Session buttons as their handlers see them (the view shows the same).
    QString StartCaption = QStringLiteral("Start");
    QString PauseCaption = QStringLiteral("Pause");
    QString PowerCaption = QStringLiteral("Power On"); // settings window's PowerButton
    bool PauseEnabled = false;
    bool ExportHEnabled = false;
    bool LoadSettingsButtonEnabled = false;
    // Baseline view is on.
    bool FDeltaOnly = false;
    // "Log On Events Only" is active: the frame decode evaluates the logging events.
    bool FLogEvents = false;
    // Filled by the settings-file part: load FSettingsFile, load demo set-up 0..3. Unassigned: not available.
    std::function<void()> OnLoadSettings;
    std::function<void(int index)> OnLoadDemoSettings;
    // Filled by the data log: run for every accepted frame after its decode.
    std::function<void()> OnLogFrame;
    // Filled by the frame recorder: run for every accepted frame before its decode (Data as the handler has it).
    std::function<void(uint16_t Size, const uint8_t* Data)> OnRecordFrame;

private:
    IMessageSink* FMessages;
    IMainView* FView;
    IMainView FNullView;
};
