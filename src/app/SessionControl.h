#pragma once
// Streaming session control: start, pause, power, stop and the pending update. The captions of the session
// buttons are the session state as the handlers see it; they live on the core and the view mirrors them.

#include <QString>
#include <cstdint>

class TMainCore;

namespace SessionCaption {
inline const QString Start = QStringLiteral("Start");
inline const QString Stop = QStringLiteral("Stop");
inline const QString Pause = QStringLiteral("Pause");
inline const QString Resume = QStringLiteral("Resume");
inline const QString PowerOn = QStringLiteral("Power On");
inline const QString PowerOff = QStringLiteral("Power Off");
}

class TSessionControl {
public:
    // Hooks the chip device component's streaming error and data-missed events, and takes the first
    // stream set-up.
    explicit TSessionControl(TMainCore& core);
    ~TSessionControl();

    // StartButton: "Start" starts a session, "Stop" ends it.
    void StartButtonClick();
    // PauseButton: "Pause" / "Resume".
    void PauseButtonClick();
    // The settings window's PowerButton: "Power On" / "Power Off".
    void PowerButtonClick();
    // Menu "Read all settings from the KT610": streaming runs afterwards (unless paused).
    void ReadAllClick();
    // The pending update: stops streaming, does the work of FUpdateOptions, restarts streaming.
    void UpdateTimerTimer();
    // Asked by the work of the pending update: streaming restarts only after this pause, which keeps the
    // window responsive while holding everything else back.
    void DelayRestart(int ms) { FRestartDelayMs = ms; }
    // Around a rebuilt stream set-up: both act only while streaming.
    void StopStreaming();
    void RestartStreaming();

    // Finds the chip on the I2C bus; true when it answered.
    bool ProbeDeviceAddress();
    // Tears a failed start or resume down (captions are left as they are).
    void AbortSession();

    void KT880Device1StreamingError(uint16_t StreamingErrorCode);
    void KT880Device1StreamingDataMissed(uint8_t HidToolID);

    // The button states: core field and view together.
    void SetStartCaption(const QString& caption);
    void SetPauseCaption(const QString& caption);
    void SetPauseEnabled(bool enabled);
    void SetPowerCaption(const QString& caption);
    void SetExportHEnabled(bool enabled);
    void SetLoadSettingsButtonEnabled(bool enabled);

private:
    // A register operation is waiting: the buttons start nothing until it ends.
    bool Busy();
    void Start();
    void Stop();
    void PowerOn();
    void PowerOff();
    void Pause();
    void Resume();
    // Configures the tool for the chip (link settings, 1.8 V supply when chosen); the tool's result.
    uint16_t SetupTool();
    // Stream length, then the map; the first non-zero result.
    uint16_t StartStream();
    void LoadSettingsUpdate();
    void RestartAfterUpdate();
    void FailureTail();
    void ErrorItem(uint16_t result);
    void Info(const QString& text);

    TMainCore& FCore;
    int FRestartDelayMs = 0;
};
