// Cost per frame of the tuning analysis that runs in the frame handler: the live statistics alone at the
// default and the longest window, and the whole per-frame step (display values, statistics, an SNR step).

#include "app/ChannelStatistics.h"
#include "app/MainCore.h"
#include "hid/VirtualHidBackend.h"
#include "BenchReport.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

namespace {

struct NullMessages : IMessageSink {
    int KvrAddItem(const QString&, TKvrItemType) override { return 0; }
};

// Counts that wander and jump so that the extremes leave the window from both ends.
int32_t Count(long i, int c)
{
    return 1000 + int32_t((i * 7919 + c * 104729) % 61) + int32_t((i / 300) % 40);
}

double StatisticsAlone(int window, long frames)
{
    TChannelStatistics st(window);
    TFrameSamples s;
    const auto t0 = std::chrono::steady_clock::now();
    {
        const TInstructionCount counted(window == TChannelStatistics::DefaultWindow ? "statistics, 256 frames"
                                                                                    : "statistics, 16384 frames",
                                        frames);
        for (long i = 0; i < frames; ++i) {
            for (int c = 0; c < 4; ++c)
                s[size_t(c)] = {true, true, true, false, Count(i, c), 1100, 1100 - Count(i, c)};
            st.AddFrame(s, false);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (st.Stats(3).Frames != window) {
        std::fprintf(stderr, "window not filled\n");
        std::exit(1);
    }
    return seconds / frames * 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const long frames = BenchIterations(argc, argv, 5'000'000);

    const double small = StatisticsAlone(TChannelStatistics::DefaultWindow, frames);
    const double large = StatisticsAlone(TChannelStatistics::MaxWindow, frames);

    NullMessages messages;
    TMainCore core(std::make_shared<VirtualHidBackend>(), &messages, nullptr);
    core.Snr.Start(1, TSnrMeasurement::MaxFrames);
    const auto t0 = std::chrono::steady_clock::now();
    {
        const TInstructionCount counted("analysis step of the frame handler", frames);
        for (long i = 0; i < frames; ++i) {
            for (int c = 0; c < 4; ++c)
                core.FCurrentChs[size_t(c)] = Count(i, c);
            core.AnalyseFrame();
        }
    }
    const double step = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / frames * 1e9;

    std::printf("statistics, window 256:     %.1f ns/frame\n", small);
    std::printf("statistics, window 16384:   %.1f ns/frame\n", large);
    std::printf("analysis step (all of it):  %.1f ns/frame\n", step);
    BenchResult("statistics, window 256", small, "ns/frame", "<= 500");
    BenchResult("statistics, window 16384", large, "ns/frame", "<= 500");
    BenchResult("analysis step of the frame handler", step, "ns/frame", "<= 500");
    return 0;
}
