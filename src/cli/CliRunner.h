#pragma once
// One run of a command that needs a configuration tool: the HID backend (the simulator or real tools), the
// core the windows use, the choice of the tool, the command, and the power-off at the end.

#include "cli/CliOptions.h"
#include "cli/CliSignals.h"
#include "cli/CliTerminal.h"

#include <QObject>
#include <QPointer>
#include <memory>

class TMainCore;
class TReplyWaits;
class TSimulator;
class THidDevice;

class TCliRunner : public QObject {
    Q_OBJECT
public:
    // Deadlines of the phases, and the longest wait for one reply.
    static constexpr int FirstScanWaitMs = 2000;
    static constexpr int RoadDeadlineMs = 10000;   // set-up, power, probe and the command's own traffic
    static constexpr int QueryDeadlineMs = 3000;   // one version query of the tool list
    static constexpr int TeardownDeadlineMs = 5000;
    static constexpr int ReplyWaitMs = 2000;

    explicit TCliRunner(const TCliOptions& options, QObject* parent = nullptr);
    ~TCliRunner() override;

    // The exit status.
    int Run();

    TMainCore& Core() { return *FCore; }
    TCliTerminal& Terminal() { return FTerminal; }
    TReplyWaits& Waits() { return *FWaits; }
    TCliSignals& Signals() { return FSignals; }
    // The chosen tool is still the current one.
    bool ToolPresent() const;
    // Adds an error item of the command-line tool itself.
    void Error(const QString& text);

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
    std::unique_ptr<TMainCore> FCore;
    QPointer<THidDevice> FDevice; // the chosen tool
};
