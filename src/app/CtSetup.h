#pragma once
// The tool setup window's state and operations without widgets: which tool is checked and which is shown,
// the verdict on the checked tool's firmware that the main window acts on, and the firmware updates through
// the maker's update program.

#include "toollink/FirmwareVerdict.h"

#include <QString>
#include <QStringList>
#include <functional>

class TMainCore;

// One tool as the setup window shows it.
struct TToolDetails {
    QString Name;
    QString FWVersion; // "01.06"
    QString Build;     // decimal
    QString Release;   // release name
    QString Serial;
    int CTID = 0;
};

// What the setup window shows and asks.
class ICtSetupView {
public:
    virtual ~ICtSetupView() = default;
    // The tool list, the row checked and selected (-1: none).
    virtual void ShowRows(const QStringList& names, int checked) {}
    virtual void ShowDetails(const TToolDetails& details) {}
    // Status line and colours, update button, offered versions; the firmware panel becomes visible.
    virtual void ShowVerdict(const TFirmwareVerdict& verdict) {}
    // Confirmation with Yes and No; true on Yes.
    virtual bool AskYesNo(const QString& question) { return false; }
    virtual void ShowWarning(const QString& text) {}
    virtual void ShowError(const QString& text) {}
};

class TCtSetup {
public:
    TCtSetup(TMainCore& core, ICtSetupView& view);

    static inline const QString BusyText =
        QStringLiteral("A Firmware update is busy, please wait untill the process has completed.");
    static inline const QString UpdatingText = QStringLiteral("Updating Firmware...");

    // Lists the tools, checks the current one and judges it.
    void UpdateList();
    // Shows row Index; when it is the checked row, sets the verdict and the main window's tool panel.
    void UpdateDetails(int Index);
    // A row's check box was clicked: that row becomes the checked, selected and current tool.
    void CheckRow(int row);
    // The window closes: the checked tool is the one the program uses.
    void FormClose();

    // "Update to latest version": the shipped file when it is the newer one, else the update program's own.
    void UpdateButtonClick();
    // "Update to Stable release": the update program with its own firmware.
    void RevertButtonClick();
    // The shipped ".dfu" file for the shown model.
    void LocalUpdate();
    // A ".dfu" file the user picked (full path).
    void UpdateCustom(const QString& fileName);
    // While an update runs: the busy warning, and true.
    bool UpdateBusy();

    int FCheckedItem = 0;    // row of the tool the program uses
    int FSelectedItem = 0;   // row whose details are shown
    bool FOutdated = false;  // the checked tool's firmware is below the minimum
    bool UpdatePref = false; // an update is recommended for the tool shown last
    bool FLocalPref = false; // the shipped file is at least as new as the offered one, for the shown tool
    bool Engineering = false;
    uint16_t Prod = 0;       // product ID of the shown tool

    // Folder of the shipped ".dfu" files: the program's own.
    QString ProgramFolder;
    // Starts a program with an argument vector (no shell); true when it started.
    std::function<bool(const QString& program, const QStringList& arguments, const QString& workingFolder)>
        StartProgram;

private:
    void TakeSelectedTool();
    void StopSession();
    void StartUpdater(const QStringList& arguments, const QString& workingFolder);
    void SetSessionButtons(bool enabled);
    void ShowCheckedTool(const QString& name);

    TMainCore& FCore;
    ICtSetupView& FView;
    TFirmStatus FStatus = TFirmStatus::fsUnsupported; // of the tool shown last
};
