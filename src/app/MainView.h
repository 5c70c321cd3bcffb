#pragma once
// What the core asks of the screen. The main window implements it; the command-line tool implements it on
// the terminal. Every method has a neutral default, so a view overrides only what it shows.

#include <QString>
#include <cstdint>

class IMainView {
public:
    virtual ~IMainView() = default;

    // Session buttons and menu items.
    virtual void SetStartCaption(const QString& caption) {}   // "Start" / "Stop"
    virtual void SetStartEnabled(bool enabled) {}
    virtual void SetPauseCaption(const QString& caption) {}   // "Pause" / "Resume"
    virtual void SetPauseEnabled(bool enabled) {}
    virtual void SetExportHEnabled(bool enabled) {}
    virtual void SetPowerButtonCaption(const QString& caption) {} // settings window: "Power On" / "Power Off"
    virtual void SetLoadSettingsButtonEnabled(bool enabled) {}    // settings window "Apply Settings"
    virtual bool LoadSettingsButtonEnabled() const { return false; }

    // Warning box with an OK button.
    virtual void ShowWarning(const QString& text) {}
    // Error box with an OK button.
    virtual void ShowErrorBox(const QString& text) {}
    // The start-up chooser: 0 default set-up, 1..4 demo set-ups, 255 cancelled.
    virtual uint8_t ShowStartupChooser() { return 0; }

    // Bar graph background: flick left, flick right, tap (all false removes it); the wait picture.
    virtual void ShowGraphPicture(bool flickLeft, bool flickRight, bool tap) {}
    virtual void ShowWaitPicture() {}
    // Empties the bar graph's series.
    virtual void ClearBarSeries() {}
    // Start of a session: indicators to "nothing", bar series emptied.
    virtual void ResetLiveDisplay() {}

    // Timers owned by the windows.
    virtual void StartBarTimer() {}
    virtual void StopBarTimer() {}
    virtual void StopScopeTimer() {}

    // A decoded frame is ready (labels, indicators, bars and scope points; painting waits for the timers).
    virtual void FrameDecoded() {}
    // The wheel or slider position of the frame (percent 0..100), and the relative step.
    virtual void WheelPosition(int percent) {}
    virtual void MoveRelativeMarker(int step) {}
    virtual void SetChannel0Label(const QString& text) {} // "0" or "L"

    // The settings record changed under program control: controls show it again.
    virtual void SettingsRecordChanged() {}
    // The settings window takes its current values as the applied ones (no pending changes).
    virtual void TakeSettingsAsApplied() {}
    virtual void ShowATINotice() {}           // unless already visible: hide ReadAllPanel, show ATIErrorPanel
    virtual bool ATINoticeVisible() const { return false; }
    virtual void ShowDataMissed() {}          // "Some Data Missed" on the engineering page
    virtual void SetForceSleepEnabled(bool enabled) {}
    virtual bool ForceSleepEnabled() const { return true; }
    virtual void SetAckResetEnabled(bool enabled) {}
    virtual bool AckResetEnabled() const { return true; }
    virtual void SetVersionLabel(const QString& text) {}
    virtual void SetCalCapWaitVisible(bool visible) {} // "PLEASE WAIT"
    // The scope window re-reads the active channels.
    virtual void CheckActiveChannels() {}
    // Tool ID shown by the tool setup window (frames of other tools are ignored).
    virtual int ShownToolID() const { return 0; }

    // A register operation waits without blocking (true) or has ended (false): disable or enable the
    // controls that would start another one.
    virtual void SetRegisterBusy(bool busy) {}
    // The active settings page has unapplied changes (Undo, Apply, "Changes not yet applied...") or not.
    virtual void SetSettingsChanged(bool changed) {}
    // Hide ATIErrorPanel and show ReadAllPanel.
    virtual void HideATINotice() {}
    // An unchecked channel: its indicator and its scope series show the empty image.
    virtual void SetChannelEmpty(int channel) {}

    // Tool attach and detach: the tool panel of the main window and the tool setup window.
    // Colours are 0xRRGGBB.
    virtual void SetCtLabel(const QString& text, uint32_t colour, bool bold, bool struckOut) {}
    virtual void SetCtLabelHint(const QString& hint) {} // empty: no hint
    virtual void SetCtPanelColour(uint32_t colour) {}
    virtual void SetCtSetupButtonEnabled(bool enabled) {}
    virtual bool CtSetupButtonEnabled() const { return false; }
    virtual void UpdateCtSetupList() {}
    virtual void ClearCtSetupList() {}
    // The tool setup window's verdict on the selected tool.
    virtual bool ToolFirmwareOutdated() const { return false; }
    // Minor updates exist for the selected tool and the user asked to be told.
    virtual bool ToolUpdateRecommended() const { return false; }
    // The firmware prompt (outdated: warning, otherwise the minor-update notice); true on OK.
    virtual bool AskFirmwarePrompt(bool outdated) { return false; }
    virtual void ShowCtSetup() {} // not modal

    // The settings window's "Baseline View" box can be used (counts and averages, or deltas, streamed).
    virtual void SetDeltaCheckEnabled(bool enabled) {}
    // The baseline view follows the settings record's DeltaCheck (Delta of the live display).
    virtual void Delta() {}
};
