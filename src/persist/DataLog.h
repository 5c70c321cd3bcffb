#pragma once
// The data log: decoded stream values as rows of a tab-separated text file. The frame handler asks for a
// row after every accepted frame; the data-logging page chooses what is logged and when.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class TMainCore;

// LogCombo's items.
enum TLogMode { lmAllSamples = 0, lmEventsOnly = 1, lmEverySamples = 2 };

// The data-logging page's choices, named after its controls.
struct TDataLogControls {
    int LogCombo = lmAllSamples;
    int SampleRateSpin = 5;
    std::array<bool, 4> LogChCheck{true, true, true, true};
    bool LogCountsCheck = true;
    bool LogLTACheck = true;
    bool LogDeltaCheck = false;
    bool LogProxCheck = false;
    bool LogTouchCheck = false;
    bool LogWheelCheck = false;
    bool LogRelativeCheck = false;
    bool ProxEventCheck = false;
    bool TouchEventCheck = false;
    bool WheelEventCheck = false;
    bool LowPowerCheck = false;
};

class TDataLog {
public:
    // Hooks the core's per-frame log step.
    explicit TDataLog(TMainCore& core);
    ~TDataLog();

    TDataLogControls Controls;

    // The text of the first check the selection fails, empty when it can be logged.
    static QString ValidationError(const TDataLogControls& controls);
    QString ValidationError() const { return ValidationError(Controls); }
    // Data is wanted that the stream set-up does not carry (deltas are not checked).
    bool StreamsMissing() const;
    // Checks the stream set-up boxes of the missing data on the settings record.
    void SelectMissingStreams();
    // Takes the event kinds and the row trigger from the chosen mode.
    void PrepareMode();

    // Creates the file anew with its header line and starts logging; on failure the error item and false.
    bool Start(const QString& fileName);
    // Closes the file: "Data log stopped".
    void Stop();

    QByteArray HeaderLine() const;
    // The row of the current decoded values stamped with now (CR LF included); moves the row clock on.
    QByteArray Row(const QDateTime& now);
    // The row trigger and, when a row is due, the row. Runs for every accepted frame.
    void FrameStep();

    bool FDoLog = false;
    bool FLogNow = false;
    QString FLogFileName;
    bool FirstTime = false;
    int32_t SampleCount = 0;
    QDateTime PreTime, NowTime;
    // Event kinds that trigger a row in "Log On Events Only".
    bool ProxEvent = false, TouchEvent = false, LPEvent = false, WheelEvent = false;

    // The row clock (local time); replaceable for tests.
    std::function<QDateTime()> Now;
    // A write failure has stopped the log: the page unlocks.
    std::function<void()> OnStopped;

private:
    bool WriteRow();
    void WriteFailed();
    // The file is still reachable under its name (it was not deleted while open).
    bool FileLinked() const;

    TMainCore& FCore;
    QFile FLogFile;
    QByteArray FTimeSeparator = ":";
    QByteArray FRow;
};
