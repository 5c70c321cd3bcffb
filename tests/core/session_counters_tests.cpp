// The run counters an unattended run prints at exit: frames decoded and data-missed notices.
#include "core/session_support.h"

#include "app/SessionControl.h"
#include "sim/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct TRun {
    SessionMessages Messages;
    SessionView View;
    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TMainCore> Core;

    explicit TRun(int dropEveryNth)
    {
        SimOptions options;
        options.simulate = true;
        options.manualClock = true;
        options.seed = 3;
        options.faults.drop.everyNth = dropEveryNth;
        Sim = std::make_unique<TSimulator>(options);
        Core = std::make_unique<TMainCore>(Sim->Backend(), &Messages, &View);
        Core->KorvaneDevList1->Activate();
    }
    ~TRun()
    {
        Core.reset();
        Sim.reset();
    }
    // Streams samples after the start and waits until their frames have been decoded.
    bool StartAndStream(int samples, int expectedFrames)
    {
        if (!PumpUntil([&] { return Core->KorvaneHidTool1->DeviceSelected; }))
            return false;
        Core->Session->StartButtonClick();
        if (!Core->FIsStreaming)
            return false;
        const int target = View.Frames + expectedFrames;
        Sim->Advance(samples);
        return PumpUntil([&] { return View.Frames >= target; });
    }
};

TEST(RunCounters, CountEveryDecodedFrameAndEveryGapOfTheStream)
{
    TRun clean(0);
    ASSERT_TRUE(clean.StartAndStream(300, 300)) << clean.Messages.Dump();
    EXPECT_EQ(clean.Core->FFramesDecoded, uint64_t(clean.View.Frames));
    EXPECT_EQ(clean.Core->FDataMissedCount, 0u);

    // Every 50th stream report lost: the gaps while streaming are seen and counted.
    TRun lossy(50);
    ASSERT_TRUE(lossy.StartAndStream(300, 290)) << lossy.Messages.Dump();
    EXPECT_EQ(lossy.Core->FFramesDecoded, uint64_t(lossy.View.Frames));
    EXPECT_GT(lossy.Core->FDataMissedCount, 0u);
    EXPECT_TRUE(lossy.View.Called("DataMissed"));
}

} // namespace
