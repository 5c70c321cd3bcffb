#pragma once
// One run of a command that needs a configuration tool: the HID backend (the simulator or real tools), the
// core the windows use, the choice of the tool, the command, and the power-off at the end.

#include "cli/CliOptions.h"
#include "cli/CliSignals.h"
#include "cli/CliTerminal.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class TMainCore;
class TReplyWaits;
class TSimulator;
class TReplayTool;
class THidDevice;
class TSettingsFile;

class TCliRunner : public QObject {
    Q_OBJECT
public:
    // Deadlines of the phases, and the longest wait for one reply.
    static constexpr int FirstScanWaitMs = 2000;
    static constexpr int RoadDeadlineMs = 10000;   // set-up, power, probe and the command's own traffic
    static constexpr int QueryDeadlineMs = 3000;   // one version query of the tool list
    static constexpr int TeardownDeadlineMs = 5000;
    static constexpr int ReplyWaitMs = 2000;
    static constexpr int FrameWaitMs = 10000;      // the stream's first frame, or the next one

    explicit TCliRunner(const TCliOptions& options, QObject* parent = nullptr);
    ~TCliRunner() override;

    // The exit status.
    int Run();

    TMainCore& Core() { return *FCore; }
    TCliTerminal& Terminal() { return FTerminal; }
    TReplyWaits& Waits() { return *FWaits; }
    TCliSignals& Signals() { return FSignals; }
    // The core's settings-file loader and saver.
    TSettingsFile& Files() { return *FFiles; }
    // The chosen tool is still the current one.
    bool ToolPresent() const;
    // Adds an error item of the command-line tool itself.
    void Error(const QString& text);

    // The Start button's road; with --settings or --demo the set-up then goes into the chip as after the
    // start-up chooser, and streaming runs again. False with the error reported.
    bool StartSession();
    // Runs the event loop until done() holds; false with an error item when the time runs out (timeoutError),
    // the user interrupts or the tool goes.
    bool WaitUntil(const std::function<bool()>& done, int ms, const QString& timeoutError);
    // The recording played back as the tool (--replay), else null.
    TReplayTool* Replay() const { return FReplay.get(); }
    // Waits for the next decoded frame.
    bool WaitForFrame();

private:
    // Backend, core, first scan and the tool choice; the exit status when that fails, else -1.
    int Connect();
    int List();
    int Version();
    int Read();
    int Write();
    // Set-up, power and address probe, as the windows' power button and start do.
    bool PowerUp();
    // Stops streaming and powers the chip off when needed; false when that failed.
    bool PowerDown();
    // Transaction data capacity of the chosen tool's reports.
    int ReplyDataBytes() const;

    TCliOptions FOptions;
    TCliSignals FSignals;
    TCliTerminal FTerminal;
    std::shared_ptr<TReplyWaits> FWaits;
    std::unique_ptr<TSimulator> FSimulator;
    std::unique_ptr<TReplayTool> FReplay;
    std::unique_ptr<TMainCore> FCore;
    std::unique_ptr<TSettingsFile> FFiles;
    QPointer<THidDevice> FDevice; // the chosen tool
};
