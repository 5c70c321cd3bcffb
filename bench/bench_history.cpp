// The scope's deep history: the cost of appending a frame (8 traces and the event bits), the time of a
// decimated view of the whole history (1,000,000 frames onto 1,000 pixel columns, every trace and the event
// lanes) and the memory it holds.

#include "BenchReport.h"
#include "app/ScopeHistory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

TScopeFrame FrameAt(int64_t x)
{
    TScopeFrame frame;
    for (int t = 0; t < TScopeHistory::Traces; ++t)
        frame.Set(t, int32_t(400 + 150 * (t % 4) + (x * 7 + t * 13) % 23));
    frame.Events = uint16_t((x % 500 < 40 ? ScopeEvent::Prox0 : 0) | ScopeEvent::Wheel);
    frame.Wheel = uint8_t(x % 101);
    return frame;
}

} // namespace

int main(int argc, char** argv)
{
    const long frames = BenchIterations(argc, argv, 5'000'000);
    TScopeHistory history; // the default capacity
    std::vector<TScopeFrame> input(4096);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = FrameAt(int64_t(i));

    const Clock::time_point start = Clock::now();
    {
        const TInstructionCount counted("history append, one frame", frames);
        for (long x = 0; x < frames; ++x)
            history.Append(x, input[size_t(x) & 4095], x * 1000);
    }
    const double appendNs = Ms(Clock::now() - start) * 1e6 / double(frames);
    std::printf("history: capacity %d frames, %lld held, %.1f MB (%.1f bytes per frame)\n", history.Capacity(),
                static_cast<long long>(history.Size()), double(history.MemoryBytes()) / 1e6,
                double(history.MemoryBytes()) / history.Capacity());
    std::printf("append: %.1f ns per frame over %ld frames (wrapping the ring)\n", appendNs, frames);
    BenchResult("history append, one frame of 8 traces and events", appendNs, "ns", "<= 100");
    BenchResult("history memory, 1,048,576 frames", double(history.MemoryBytes()) / 1e6, "MB", "<= 40");

    // The whole history onto 1,000 columns, at offsets that cut blocks, as panning would.
    const double first = double(history.FirstX()), last = double(history.LastX());
    std::vector<double> traces, lanes;
    size_t points = 0;
    for (int run = 0; run < 30; ++run) {
        const double shift = run * 17;
        Clock::time_point t0 = Clock::now();
        for (int t = 0; t < TScopeHistory::Traces; ++t)
            points += history.Decimate(t, first + shift, last - 1'000 + shift, 1'000).size();
        traces.push_back(Ms(Clock::now() - t0));
        t0 = Clock::now();
        points += history.EventColumns(first + shift, last - 1'000 + shift, 1'000).size();
        lanes.push_back(Ms(Clock::now() - t0));
    }
    std::sort(traces.begin(), traces.end());
    std::sort(lanes.begin(), lanes.end());
    std::printf("view of %.0f frames on 1,000 columns: 8 traces median %.2f ms (max %.2f), one trace %.2f ms, "
                "event lanes %.2f ms (%zu points)\n",
                last - first - 1'000, traces[traces.size() / 2], traces.back(), traces[traces.size() / 2] / 8,
                lanes[lanes.size() / 2], points);
    BenchResult("history view 1,000,000 frames on 1,000 columns, 8 traces, median", traces[traces.size() / 2], "ms",
                "<= 10");
    BenchResult("history view 1,000,000 frames on 1,000 columns, event lanes, median", lanes[lanes.size() / 2],
                "ms", "<= 5");
    return 0;
}
