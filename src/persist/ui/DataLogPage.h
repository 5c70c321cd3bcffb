#pragma once
// The settings window's data-logging page: what is logged and when, and the Start Log / Stop Log button.
// The log itself (rows, file, triggers) is the core's data log; the page binds its controls to the log's
// choices and locks them while a log runs.

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QWidget;
class TDataLog;
class TMainCore;
class TSettingsForm;

class TDataLogPage : public QObject {
    Q_OBJECT
public:
    // Builds the controls into page, a page of form.
    TDataLogPage(TSettingsForm& form, TMainCore& core, QWidget* page);

    // Enables the controls that apply to the chosen mode.
    void LogComboChange();
    // Validates the choices, then starts or stops the log as the button's caption says.
    void LogDataButtonClick();
    // "Select Active Channels": the main window's active channels become the logged ones.
    void Button3Click();
    // Starts (asking for the file) or stops the log; false when the file could not be started.
    bool SetupLogging();

    // Replaceable for tests: the error box with its OK button, and SaveLogDialog (empty: cancelled).
    std::function<void(const QString& text)> ShowErrorBox;
    std::function<QString()> AskLogFileName;

    QPushButton* LogDataButton;
    QComboBox* LogCombo;
    QSpinBox* SampleRateSpin;
    QLabel* Label48;
    QLabel* ChsLabel;
    std::array<QLabel*, 4> ChLabels{};
    std::array<QCheckBox*, 4> LogChChecks{};
    QPushButton* Button3;
    QCheckBox *LogCountsCheck, *LogLTACheck, *LogDeltaCheck, *LogProxCheck, *LogTouchCheck;
    QCheckBox *LogWheelCheck, *LogRelativeCheck;
    QCheckBox *ProxEventCheck, *TouchEventCheck, *WheelEventCheck, *LowPowerCheck;

private:
    QCheckBox* Check(QWidget* parent, const QString& name, const QString& caption);
    void Build(QWidget* page);
    void Bind();
    // Page state while a log runs (locked) and after it (everything enabled).
    void Lock(bool locked);
    void LogStopped();
    // Checks the missing stream set-up boxes and applies them as the Setup page's Apply would.
    void EnableMissingStreams();

    TSettingsForm& FForm;
    TMainCore& FCore;
    TDataLog& FLog;
};
