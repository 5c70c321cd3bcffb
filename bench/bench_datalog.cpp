// The cost of the data log: every frame decoded and logged ("Log All Samples", every column) against the
// same frames decoded without a log. Reports the CPU time per row and the share of one core at 1,000 frames
// per second, both from a tight loop and from a run paced at 1,000 frames per second.

#include "app/FrameDecoder.h"
#include "app/MainCore.h"
#include "hid/VirtualHidBackend.h"
#include "persist/DataLog.h"
#include "BenchReport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>
#include <time.h>

namespace {

struct NullMessages : IMessageSink {
    int KvrAddItem(const QString&, TKvrItemType) override { return 0; }
};

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// A frame of the default stream set-up: flags, coordinates, prox and touch, counts, averages.
void FillFrame(std::array<uint8_t, 64>& d, int frame)
{
    d.fill(0);
    d[0] = 0x0F;
    d[1] = uint8_t(frame);
    uint8_t* p = d.data() + 3;
    p[0] = 0x10;
    p[2] = uint8_t(frame);
    p[3] = uint8_t(frame & 1 ? 0xFF : 0x01);
    p[5] = uint8_t(frame & 0x0F);
    for (int w = 0; w < 10; ++w) {
        const int v = 500 + (frame + w * 7) % 300;
        p[7 + 2 * w] = uint8_t(v);
        p[8 + 2 * w] = uint8_t(v >> 8);
    }
}

struct Run {
    double cpu = 0; // seconds
    int frames = 0;
};

Run Feed(TMainCore& core, int frames, bool paced)
{
    std::array<uint8_t, 64> frame;
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    for (int n = 0; n < frames; ++n) {
        if (paced)
            std::this_thread::sleep_until(start + std::chrono::microseconds(1000 * n));
        FillFrame(frame, n);
        core.Decoder->KT880Device1Streaming(uint16_t(frame.size()), 0, frame.data());
    }
    return {CpuSeconds() - cpu, frames};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    NullMessages messages;
    TMainCore core(std::make_shared<VirtualHidBackend>(), &messages, nullptr);
    TDataLog& log = *core.DataLog;
    TDataLogControls& c = log.Controls;
    c.LogWheelCheck = c.LogRelativeCheck = c.LogDeltaCheck = c.LogProxCheck = c.LogTouchCheck = true;
    QTemporaryDir dir;

    const auto measure = [&](int frames, bool paced, bool logging) {
        if (logging) {
            log.PrepareMode();
            log.FirstTime = true;
            if (!log.Start(dir.filePath("bench.txt"))) {
                std::fprintf(stderr, "cannot start the log\n");
                std::exit(1);
            }
        }
        const Run r = Feed(core, frames, paced);
        if (logging)
            log.Stop();
        return r;
    };

    const int loopFrames = int(BenchIterations(argc, argv, 200000));
    measure(std::min(loopFrames, 20000), false, true); // warm-up
    const Run plain = measure(loopFrames, false, false);
    Run logged;
    {
        const TInstructionCount counted("frame decode + log row", loopFrames);
        logged = measure(loopFrames, false, true);
    }
    const double rowUs = (logged.cpu - plain.cpu) / loopFrames * 1e6;
    std::printf("tight loop, %d frames: decode %.2f us/frame, decode + row %.2f us/frame\n", loopFrames,
                plain.cpu / loopFrames * 1e6, logged.cpu / loopFrames * 1e6);
    std::printf("row cost: %.2f us per row = %.2f %% of one core at 1000 rows/s\n", rowUs, rowUs / 10.0);
    BenchResult("log row write", rowUs, "us", "<= 20");
    BenchResult("frame decode + log row", logged.cpu / loopFrames * 1e6, "us", "<= 30");

    const int pacedFrames = 5000;
    const Run pacedPlain = measure(pacedFrames, true, false);
    const Run pacedLogged = measure(pacedFrames, true, true);
    const double seconds = pacedFrames / 1000.0;
    std::printf("paced at 1000 frames/s for %.0f s: %.2f %% of one core without the log, %.2f %% with it "
                "(%.2f %% extra)\n",
                seconds, pacedPlain.cpu / seconds * 100, pacedLogged.cpu / seconds * 100,
                (pacedLogged.cpu - pacedPlain.cpu) / seconds * 100);
    return 0;
}
