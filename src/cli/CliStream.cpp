#include "cli/CliStream.h"

#include "app/FrameRecorder.h"
#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "cli/BoundedBackend.h"
#include "cli/CliFormat.h"
#include "cli/CliRunner.h"
#include "persist/DataLog.h"
#include "replay/ReplayTool.h"

namespace {
// A replay whose last frame was played this long ago has ended.
constexpr int ReplayEndQuietMs = 500;
} // namespace

TCliStream::TCliStream(TCliRunner& runner, const TCliOptions& options) : FRunner(runner), FOptions(options) {}

TCliStream::~TCliStream() = default;

int TCliStream::Run()
{
    TCliTerminal& terminal = FRunner.Terminal();
    const bool logging = FOptions.Command == TCliCommand::Log;
    if (!logging)
        ApplySetup();
    if (!FRunner.StartSession())
        return CliExit::Failure;
    if (logging && !StartLog())
        return CliExit::Failure;
    if (!FOptions.RecordFile.isEmpty()) {
        FRecorder = std::make_unique<TFrameRecorder>(FRunner.Core());
        FRecorder->OnStopped = [this] { End(true); };
        if (!FRecorder->Start(FOptions.RecordFile))
            return CliExit::Failure;
    }
    // Nobody reads the output any more: nothing to stream for.
    if (!logging && !TCliTerminal::Out(CliFormat::FrameHeader()))
        return CliExit::Success;

    const int errorsAtStart = terminal.ErrorCount();
    terminal.OnFrame = [this] { Frame(); };
    connect(&FRunner.Signals(), &TCliSignals::Interrupted, this, [this] { End(false); });
    connect(&FCheckTimer, &QTimer::timeout, this, [this, errorsAtStart, logging, &terminal] {
        if (FEnded)
            return;
        const TReplayTool* replay = FRunner.Replay();
        if (replay && replay->Position() >= replay->FrameCount() && FSinceFrame.elapsed() > ReplayEndQuietMs) {
            TCliTerminal::Err(QStringLiteral("info: End of recording"));
            End(false);
        } else if (logging && !FRunner.Core().DataLog->FDoLog) {
            End(true); // a write failure stopped the log and said so
        } else if (!FRunner.Core().FIsStreaming) {
            // The session reports a pulled-out tool or a failed restart itself.
            if (terminal.ErrorCount() == errorsAtStart)
                FRunner.Error(QStringLiteral("Device streaming stopped"));
            End(true);
        } else if (FSinceFrame.elapsed() > FrameTimeoutMs) {
            FRunner.Error(QStringLiteral("No stream frames received for %1 s").arg(FrameTimeoutMs / 1000));
            End(true);
        }
    });
    FCheckTimer.start(CheckIntervalMs);
    if (FOptions.Seconds > 0.0)
        QTimer::singleShot(int(FOptions.Seconds * 1000.0), this, [this] { End(false); });
    FSinceFrame.start();

    FLoop.exec();

    terminal.OnFrame = nullptr;
    FCheckTimer.stop();
    if (logging && FRunner.Core().DataLog->FDoLog)
        FRunner.Core().DataLog->Stop();
    if (FRecorder)
        FRecorder->Stop();
    if (terminal.DataMissedCount() > 1)
        TCliTerminal::Err(QStringLiteral("warning: Some Data Missed (%1 times)").arg(terminal.DataMissedCount()));
    return FFailed ? CliExit::Failure : CliExit::Success;
}

void TCliStream::ApplySetup()
{
    TMainCore& core = FRunner.Core();
    TSettingsRecord& s = core.Settings;
    const uint16_t bits = FOptions.StreamSetup;
    s.WheelCheck = bits & StreamBits::Wheel;
    s.PTCheck = bits & StreamBits::PT;
    s.CSCheck = bits & StreamBits::CS;
    s.LTACheck = bits & StreamBits::LTA;
    s.DeltaStrCheck = bits & StreamBits::Deltas;
    // The settings window's Apply of a changed stream set-up.
    if (core.StreamSetup.StreamChangeClick())
        core.StreamSetup.ApplyStreamSetup();
}

bool TCliStream::StartLog()
{
    TMainCore& core = FRunner.Core();
    TDataLog& log = *core.DataLog;
    log.Controls = FOptions.Log;
    // The page asks whether to stream what is missing; here the data asked for is always wanted.
    if (log.StreamsMissing()) {
        log.SelectMissingStreams();
        FRunner.Waits().SetDeadline(TCliRunner::RoadDeadlineMs);
        if (core.StreamSetup.StreamChangeClick())
            core.StreamSetup.ApplyStreamSetup();
        FRunner.Waits().ClearDeadline();
        if (!core.FIsStreaming)
            return false;
    }
    log.PrepareMode();
    log.FirstTime = true;
    return log.Start(FOptions.File);
}

void TCliStream::Frame()
{
    if (FEnded)
        return;
    ++FFrames;
    FSinceFrame.restart();
    if (FOptions.Command == TCliCommand::Log) {
        if (!FRunner.Core().DataLog->FDoLog) {
            End(true);
            return;
        }
    } else if (!TCliTerminal::Out(CliFormat::FrameLine(FFrames, FRunner.Core()))) {
        End(false);
        return;
    }
    if (FOptions.Frames > 0 && FFrames >= quint64(FOptions.Frames))
        End(false);
}

void TCliStream::End(bool failed)
{
    FFailed = FFailed || failed;
    if (FEnded)
        return;
    FEnded = true;
    // Frames already queued are still decoded before the loop returns: they must not add rows.
    if (FOptions.Command == TCliCommand::Log && FRunner.Core().DataLog->FDoLog)
        FRunner.Core().DataLog->Stop();
    FLoop.quit();
}
