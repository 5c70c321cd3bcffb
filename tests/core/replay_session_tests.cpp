// A simulator run recorded by the program and played back through the HID layer as a tool: the program
// must decode the same values, and the replay must pause, step and rewind.

#include "app/FrameRecorder.h"
#include "core/session_support.h"
#include "replay/ReplayTool.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using Snapshot = std::vector<int>;

// Keeps the decoded values of every frame.
struct ValueView : SessionView {
    TMainCore* Core = nullptr;
    std::vector<Snapshot> Seen;
    void FrameDecoded() override
    {
        SessionView::FrameDecoded();
        const TMainCore& c = *Core;
        Snapshot s{c.FSysFlags, c.FSysEvents, c.FWheelData1, c.FWheelData2, c.FProx, c.FTouch, c.FHalt};
        for (int i = 0; i < 4; ++i)
            s.insert(s.end(), {c.FCurrentChs[size_t(i)], c.FLTAChs[size_t(i)], c.FDeltaChs[size_t(i)],
                               c.FCalcTouchTH[size_t(i)]});
        Seen.push_back(s);
    }
};

// A program core on a backend, started with the default set-up.
struct Host {
    explicit Host(std::shared_ptr<HidBackend> backend) : Core(std::move(backend), &Messages, &View)
    {
        View.Core = &Core;
        Core.KorvaneDevList1->Activate();
    }
    bool Start()
    {
        if (!PumpUntil([this] { return Core.KorvaneHidTool1->DeviceSelected; }))
            return false;
        Core.Session->StartButtonClick();
        return Core.FIsStreaming;
    }
    SessionMessages Messages;
    ValueView View;
    TMainCore Core;
};

SimOptions SeededWheel()
{
    SimOptions o;
    o.simulate = true;
    o.manualClock = true;
    o.seed = 7;
    o.scenario = QStringLiteral("wheel");
    return o;
}

// Runs samples one by one, each until its frame is decoded or the stream has settled without it.
void RunSamples(TSimulator& sim, Host& host, int samples)
{
    for (int i = 0; i < samples; ++i) {
        const size_t before = host.View.Seen.size();
        sim.Advance(1);
        PumpUntil([&] { return host.View.Seen.size() > before; }, 200);
    }
}

// Plays frames one by one until count frames are decoded.
void Play(TReplayTool& replay, Host& host, size_t count)
{
    QElapsedTimer t;
    t.start();
    while (host.View.Seen.size() < count && t.elapsed() < 10000) {
        const size_t before = host.View.Seen.size();
        if (replay.Advance(1) == 1)
            PumpUntil([&] { return host.View.Seen.size() > before; }, 500);
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

class ReplaySession : public ::testing::Test {
protected:
    // A recording of the seeded wheel scenario, made by the program once the first tuning is over.
    TRecording Record(int frames, std::vector<Snapshot>& decoded)
    {
        TSimulator sim(SeededWheel());
        Host host(sim.Backend());
        EXPECT_TRUE(host.Start()) << host.Messages.Dump();
        RunSamples(sim, host, 120);
        EXPECT_TRUE(host.Core.FActualBaseRead);

        TFrameRecorder recorder(host.Core);
        qint64 clock = 0;
        recorder.Clock = [&] { return clock += 10000; };
        const QString file = Dir.filePath("run.ktrec");
        EXPECT_TRUE(recorder.Start(file)) << host.Messages.Dump();
        const size_t first = host.View.Seen.size();
        RunSamples(sim, host, frames);
        recorder.Stop();
        EXPECT_EQ(host.Messages.Errors(), 0) << host.Messages.Dump();
        decoded.assign(host.View.Seen.begin() + qsizetype(first), host.View.Seen.end());

        QString error;
        auto recording = ReadRecording(file, error);
        EXPECT_TRUE(recording) << error.toStdString();
        return recording ? *recording : TRecording{};
    }

    QTemporaryDir Dir;
};

TEST_F(ReplaySession, ReplayedRunDecodesAsTheOriginal)
{
    std::vector<Snapshot> original;
    const TRecording recording = Record(200, original);
    ASSERT_EQ(recording.Frames.size(), qsizetype(original.size()));
    ASSERT_GE(original.size(), 190u);
    EXPECT_EQ(recording.Frames[1].TimeUs - recording.Frames[0].TimeUs, 10000);
    // The run touched something, so the comparison covers prox and touch too.
    EXPECT_TRUE(std::any_of(original.begin(), original.end(), [](const Snapshot& s) { return s[5] != 0; }));

    TReplayTool replay(recording, true);
    Host host(replay.Backend());
    ASSERT_TRUE(host.Start()) << host.Messages.Dump();
    // The replayed chip tunes after power-up first, as the simulated one did before the recording began.
    const size_t tuning = TReplayTool::PowerUpTuningFrames;
    Play(replay, host, tuning + original.size());
    ASSERT_EQ(host.View.Seen.size(), tuning + original.size()) << host.Messages.Dump();
    EXPECT_EQ(replay.Position(), replay.FrameCount());
    EXPECT_TRUE(host.Core.FActualBaseRead);
    for (size_t i = 0; i < original.size(); ++i)
        ASSERT_EQ(host.View.Seen[tuning + i], original[i]) << "frame " << i;
    EXPECT_EQ(host.Messages.Errors(), 0) << host.Messages.Dump();
}

TEST_F(ReplaySession, PauseStepSpeedAndRewind)
{
    std::vector<Snapshot> original;
    const TRecording recording = Record(30, original);

    TReplayTool replay(recording); // on its own clock
    replay.SetPaused(true);
    replay.SetSpeed(100.0);
    EXPECT_EQ(replay.Speed(), TReplayTool::MaxSpeed);
    Host host(replay.Backend());
    ASSERT_TRUE(host.Start());

    // Paused: nothing plays until a step, and a step plays exactly one frame.
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(replay.Position(), 0);
    EXPECT_TRUE(host.View.Seen.empty());
    for (size_t n = 1; n <= TReplayTool::PowerUpTuningFrames + 1; ++n) {
        ASSERT_TRUE(PumpUntil([&] { return host.Core.FIsStreaming && replay.Streaming(); }));
        ASSERT_TRUE(replay.Step());
        ASSERT_TRUE(PumpUntil([&] { return host.View.Seen.size() == n; }));
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(host.View.Seen.size(), n);
    }
    EXPECT_EQ(replay.Position(), 1);

    // Running again, the rest plays to the end and stops there.
    PumpUntil([&] { return host.Core.FIsStreaming; });
    replay.SetPaused(false);
    ASSERT_TRUE(PumpUntil([&] { return replay.Position() == replay.FrameCount(); }, 5000));
    EXPECT_FALSE(replay.Step());

    replay.Rewind();
    EXPECT_TRUE(PumpUntil([&] { return replay.Position() > 0; }, 3000));
}

} // namespace
