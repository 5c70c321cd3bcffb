// Live statistics, the guided SNR measurement and the threshold lines, on scripted frames.
#include "core/session_support.h"

#include "app/ChannelStatistics.h"
#include "app/SnrMeasurement.h"
#include "app/ThresholdLines.h"
#include "hid/VirtualHidBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

TFrameSamples Samples(int32_t count, int32_t lta, int channel = 1)
{
    TFrameSamples s;
    s[size_t(channel)] = {true, true, true, false, count, lta, lta - count};
    return s;
}

TEST(ChannelStatistics, NoiseDriftAndDeltaOverTheWindow)
{
    TChannelStatistics st(8);
    // Counts 100, 104 alternating: p-p 4, RMS 2 about the mean 102; the average climbs by 1 a frame.
    for (int i = 0; i < 8; ++i)
        st.AddFrame(Samples(i % 2 ? 104 : 100, 110 + i), false);
    TChannelStats s = st.Stats(1);
    EXPECT_EQ(s.Frames, 8);
    EXPECT_EQ(s.NoisePP, 4);
    EXPECT_DOUBLE_EQ(s.NoiseRMS, 2.0);
    EXPECT_DOUBLE_EQ(s.MeanCount, 102.0);
    EXPECT_EQ(s.Drift, 7);
    EXPECT_EQ(s.Delta, 117 - 104);
    EXPECT_DOUBLE_EQ(s.MeanDelta, (110 + 117) / 2.0 - 102);

    // A spike leaves the window after 8 frames; the window never holds more than 8.
    st.AddFrame(Samples(150, 117), false);
    EXPECT_EQ(st.Stats(1).NoisePP, 50);
    for (int i = 0; i < 8; ++i)
        st.AddFrame(Samples(102, 117), false);
    s = st.Stats(1);
    EXPECT_EQ(s.Frames, 8);
    EXPECT_EQ(s.NoisePP, 0);
    EXPECT_DOUBLE_EQ(s.NoiseRMS, 0.0);
    EXPECT_EQ(s.Drift, 0);
    // Channels without values have no statistics.
    EXPECT_FALSE(st.Stats(0).HasNoise);
    EXPECT_FALSE(st.Stats(7).HasNoise);
}

TEST(ChannelStatistics, MatchesADirectComputationOnAnyWindow)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-30, 30);
    for (int window : {8, 13, 256}) {
        TChannelStatistics st(window);
        std::vector<int32_t> counts;
        for (int i = 0; i < 3 * window + 5; ++i) {
            // A slow ramp with noise: extremes leave from either end of the window.
            const int32_t c = 1000 + (i % 50) * 3 + noise(rng);
            counts.push_back(c);
            st.AddFrame(Samples(c, 1200), false);
            const size_t n = std::min<size_t>(counts.size(), size_t(window));
            const auto first = counts.end() - ptrdiff_t(n);
            const auto [lo, hi] = std::minmax_element(first, counts.end());
            double mean = 0, sq = 0;
            for (auto it = first; it != counts.end(); ++it)
                mean += *it;
            mean /= double(n);
            for (auto it = first; it != counts.end(); ++it)
                sq += (*it - mean) * (*it - mean);
            const TChannelStats s = st.Stats(1);
            ASSERT_EQ(s.NoisePP, *hi - *lo) << "window " << window << " frame " << i;
            ASSERT_NEAR(s.NoiseRMS, std::sqrt(sq / double(n)), 1e-9);
        }
    }
}

TEST(ChannelStatistics, RetuningAndChangedInputsStartAfresh)
{
    TChannelStatistics st(16);
    for (int i = 0; i < 10; ++i)
        st.AddFrame(Samples(100 + i, 200), false);
    st.AddFrame(Samples(500, 200), true); // ATI: not taken, window emptied
    EXPECT_FALSE(st.Stats(1).HasNoise);
    st.AddFrame(Samples(300, 310), false);
    EXPECT_EQ(st.Stats(1).Frames, 1);

    // The average is no longer streamed: the window restarts with counts only.
    TFrameSamples countsOnly;
    countsOnly[1] = {true, false, false, false, 302, 0, 0};
    st.AddFrame(countsOnly, false);
    TChannelStats s = st.Stats(1);
    EXPECT_EQ(s.Frames, 1);
    EXPECT_FALSE(s.HasDrift);
    EXPECT_FALSE(s.HasDelta);

    st.SetWindow(1); // clamped
    EXPECT_EQ(st.Window(), TChannelStatistics::MinWindow);
    EXPECT_FALSE(st.Stats(1).HasNoise);
}

// Runs a release step of 32 frames (counts 1000/1006, delta 0 or -6), then touch frames of delta `touch`.
TSnrMeasurement Measured(int32_t touch, int touchFrames = 16 + 32)
{
    TSnrMeasurement m;
    m.Start(1, 32);
    for (int i = 0; i < 32; ++i)
        m.AddFrame(Samples(i % 2 ? 1006 : 1000, 1003), false);
    EXPECT_EQ(m.Step(), TSnrStep::WaitTouch);
    for (int i = 0; i < touchFrames; ++i)
        m.AddFrame(Samples(1003 - touch, 1003), false);
    return m;
}

TEST(SnrMeasurement, StepsSignalNoiseAndVerdict)
{
    TSnrMeasurement m = Measured(60);
    ASSERT_EQ(m.Step(), TSnrStep::Done);
    // Noise 6 p-p; released delta 0 on average; touched 60: SNR 10.
    TSnrResult r = m.Result(5, 20);
    EXPECT_EQ(r.NoisePP, 6);
    EXPECT_DOUBLE_EQ(r.NoiseRMS, 3.0);
    EXPECT_DOUBLE_EQ(r.Signal, 60.0);
    EXPECT_DOUBLE_EQ(r.Snr, 10.0);
    EXPECT_TRUE(r.Pass);
    EXPECT_TRUE(r.Advice.contains("sits between")) << r.Advice.toStdString();
    // The same measurement against a higher minimum fails and says how to get more signal.
    r = m.Result(12, 20);
    EXPECT_FALSE(r.Pass);
    EXPECT_TRUE(r.Advice.contains("multipliers")) << r.Advice.toStdString();
    // Thresholds in the noise and above the touch are named with a better value (half the signal).
    EXPECT_TRUE(m.Result(5, 4).Advice.contains("move it up to about 30"));
    EXPECT_TRUE(m.Result(5, 70).Advice.contains("move it down to about 30"));

    // The touch step waits for the finger: frames that stay in the noise do not start it.
    TSnrMeasurement idle = Measured(3, 200);
    EXPECT_EQ(idle.Step(), TSnrStep::WaitTouch);
    EXPECT_EQ(idle.Progress(), 0);
    // A touch begun by hand that shows no signal fails with advice to check the finger.
    idle.BeginTouch();
    for (int i = 0; i < 32; ++i)
        idle.AddFrame(Samples(1000, 1003), false);
    r = idle.Result(5, std::nullopt);
    EXPECT_FALSE(r.Pass);
    EXPECT_TRUE(r.Advice.contains("No touch")) << r.Advice.toStdString();
}

TEST(SnrMeasurement, NoiselessCountsRetuningAndMissingValues)
{
    // Counts that never move count as one count of noise: no division by zero.
    TSnrMeasurement m;
    m.Start(2, 16);
    for (int i = 0; i < 16; ++i)
        m.AddFrame(Samples(1000, 1000, 2), false);
    m.BeginTouch();
    for (int i = 0; i < 16; ++i)
        m.AddFrame(Samples(990, 1000, 2), false);
    ASSERT_EQ(m.Step(), TSnrStep::Done);
    EXPECT_DOUBLE_EQ(m.Result(5, std::nullopt).Snr, 10.0);

    // A retune half-way through starts again from the release step.
    m.Start(1, 16);
    for (int i = 0; i < 16; ++i)
        m.AddFrame(Samples(1000, 1000), false);
    m.AddFrame(Samples(1000, 1000), true);
    EXPECT_EQ(m.Step(), TSnrStep::Release);
    EXPECT_EQ(m.Progress(), 0);
    EXPECT_TRUE(m.Note().contains("re-tuned"));

    // A channel without deltas cannot be measured.
    m.AddFrame(TFrameSamples{}, false);
    EXPECT_EQ(m.Step(), TSnrStep::Failed);
    EXPECT_TRUE(m.Note().contains("CH1"));
}

class ThresholdLinesTest : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    TMainCore Core{std::make_shared<VirtualHidBackend>(), &Messages, &View};
    TThresholdLines Lines{Core};

    // A frame of the initial set-up in self mode.
    void Frame(std::vector<uint16_t> counts, std::vector<uint16_t> ltas)
    {
        counts.resize(5);
        ltas.resize(5);
        FrameBuilder f;
        f.Flags(0, 0).Coordinates(0, 0, 0).ProxTouch(0, 0);
        for (uint16_t w : counts)
            f.Word(w);
        for (uint16_t w : ltas)
            f.Word(w);
        Feed(Core, f);
    }
};

TEST_F(ThresholdLinesTest, LevelsOnBothScalesAndDragsIntoTheRecord)
{
    Frame({0, 990, 1000, 1000, 1000}, {0, 1000, 1024, 1024, 1024});
    // Frames reach the statistics through the decode.
    EXPECT_EQ(Core.Statistics.Stats(1).Frames, 1);
    // Prox threshold 4; touch threshold 16/256 of 1024 = 64. Self mode: the count must fall below average -
    // threshold.
    EXPECT_EQ(Lines.Level(0, true), 4.0);
    EXPECT_EQ(Lines.Level(0, false), 996.0);
    EXPECT_EQ(Lines.Level(1, true), 64.0);
    EXPECT_EQ(Lines.Level(1, false), 960.0);

    // Not on the Thresholds page: nothing moves.
    EXPECT_FALSE(Lines.MoveTo(0, 20, true));
    EXPECT_EQ(Core.Settings.ProxSpin, 4);

    Core.Pages.SetActivePage(spThr);
    EXPECT_TRUE(Lines.MoveTo(0, 19.6, true));
    EXPECT_EQ(Core.Settings.ProxSpin, 20);
    EXPECT_TRUE(Core.Pages.FThrSetupChanged);
    EXPECT_TRUE(Core.Pages.Changed());
    EXPECT_TRUE(Lines.Pending());
    // On the count scale: a touch line dragged to 896 is a threshold of 128 = 32/256 of 1024.
    EXPECT_TRUE(Lines.MoveTo(2, 896, false));
    EXPECT_EQ(Core.Settings.Touch2Spin, 32);
    EXPECT_EQ(Lines.Level(2, false), 896.0);
    // Beyond the setting's range the line stops at its end.
    EXPECT_TRUE(Lines.MoveTo(0, 900, true));
    EXPECT_EQ(Core.Settings.ProxSpin, 255);
    // Back to the snapshot: the page is clean again.
    Lines.MoveTo(0, 4, true);
    Lines.MoveTo(2, 960, false);
    EXPECT_FALSE(Core.Pages.Changed());

    // A cleared channel box has no line.
    Core.CHCheck[3] = false;
    Frame({0, 990, 1000, 1000, 1000}, {0, 1000, 1024, 1024, 1024});
    EXPECT_FALSE(Lines.Level(3, false));
    EXPECT_FALSE(Lines.MoveTo(3, 900, false));
}

} // namespace
