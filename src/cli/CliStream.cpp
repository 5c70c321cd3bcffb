#include "cli/CliStream.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "cli/BoundedBackend.h"
#include "cli/CliFormat.h"
#include "cli/CliRunner.h"

TCliStream::TCliStream(TCliRunner& runner, const TCliOptions& options) : FRunner(runner), FOptions(options) {}

int TCliStream::Run()
{
    TCliTerminal& terminal = FRunner.Terminal();
    ApplySetup();
    if (!Start())
        return CliExit::Failure;
    // Nobody reads the output any more: nothing to stream for.
    if (!TCliTerminal::Out(CliFormat::FrameHeader()))
        return CliExit::Success;

    const int errorsAtStart = terminal.ErrorCount();
    terminal.OnFrame = [this] { Frame(); };
    connect(&FRunner.Signals(), &TCliSignals::Interrupted, this, [this] { End(false); });
    connect(&FCheckTimer, &QTimer::timeout, this, [this, errorsAtStart, &terminal] {
        if (FEnded)
            return;
        if (!FRunner.Core().FIsStreaming) {
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

bool TCliStream::Start()
{
    TMainCore& core = FRunner.Core();
    const int errors = FRunner.Terminal().ErrorCount();
    FRunner.Waits().SetDeadline(TCliRunner::RoadDeadlineMs);
    core.Session->StartButtonClick();
    FRunner.Waits().ClearDeadline();
    if (core.FIsStreaming)
        return true;
    // Every failure of the start but the address probe reports its own error.
    if (FRunner.Terminal().ErrorCount() == errors)
        FRunner.Error(QStringLiteral("No chip answered on the I2C bus (addresses 44H to 47H)"));
    return false;
}

void TCliStream::Frame()
{
    if (FEnded)
        return;
    ++FFrames;
    FSinceFrame.restart();
    if (!TCliTerminal::Out(CliFormat::FrameLine(FFrames, FRunner.Core()))) {
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
    FLoop.quit();
}
