// The live display's cost. With the main window streaming from the simulator (manual clock):
//  - the display update of one frame (UpdateFlagsAndValues + UpdateBarsAndScope, no painting), in µs;
//  - the whole frame path, stream report to display, in µs.
// With --stream SECONDS, the simulator runs its own clock at --rate frames per second (default 1000) with
// the window shown and painting: frames shown, data missed, CPU of the process and resident memory.

#include "BenchProcess.h"
#include "BenchWindows.h"
#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/LiveDisplay.h"
#include "app/ui/MainUnit.h"
#include "hid/HidDevice.h"
#include "sim/Simulator.h"
#include "toollink/KorvaneDevList.h"
#include "BenchReport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

// One stream report of the initial set-up, as the HID layer hands it over.
void FillReport(std::array<uint8_t, 64>& d, int frame)
{
    d.fill(0);
    d[0] = 0x0F;
    d[1] = uint8_t(frame);
    uint8_t* p = d.data() + 3;
    p[0] = 0x10;                  // projected, ATI done
    p[1] = frame % 4096 == 0 ? 0x20 : 0; // a tap now and then
    p[2] = uint8_t(frame);        // position
    p[3] = uint8_t(frame & 1 ? 0xFF : 0x01);
    p[4] = uint8_t(frame & 1 ? 0xFF : 0x00);
    p[5] = uint8_t(frame & 0x0F); // prox and touch
    for (int w = 0; w < 10; ++w) {
        const int v = 500 + (frame + w * 7) % 300;
        p[7 + 2 * w] = uint8_t(v);
        p[8 + 2 * w] = uint8_t(v >> 8);
    }
}

int Measure(long frames)
{
    TMainCore& core = MainForm->Core();
    TKorvaneDevList& list = *core.KorvaneDevList1;
    THidDevice* device = list.HidDevices().NameObjects.value(0);
    std::array<uint8_t, 64> report;
    int frame = 0;
    for (; frame < 2000; ++frame) { // the first frames run the read-back after ATI
        FillReport(report, frame);
        list.DoDeviceData(device, report.data(), int(report.size()));
    }
    PumpUntil([] { return false; }, 300);

    // The display alone, on values that change every frame as noisy counts do.
    TLiveDisplay& display = *MainForm->LiveDisplay;
    auto displayRun = [&](const char* figure) {
        const auto t0 = std::chrono::steady_clock::now();
        const TInstructionCount counted(figure, frames);
        for (long i = 0; i < frames; ++i) {
            for (int c = 0; c < 4; ++c) {
                core.FCurrentChs[size_t(c)] = 500 + (i + 3 * c) % 17;
                core.FLTAChs[size_t(c)] = 500 + (i / 64 + c) % 5;
            }
            core.FTouchBools[1] = (i / 500) % 2;
            display.FrameDecoded();
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / frames * 1e6;
    };
    const double streamingUs = displayRun("display update per frame");
    MainForm->BarTimer->stop(); // labels are then written every frame
    const double labelsUs = displayRun("display update per frame, labels written");
    MainForm->BarTimer->start();

    // The whole path: report handler, tool and chip components, decode, display.
    constexpr int Distinct = 8192;
    std::vector<std::array<uint8_t, 64>> reports(Distinct);
    for (int i = 0; i < Distinct; ++i)
        FillReport(reports[size_t(i)], frame + i);
    const auto t1 = std::chrono::steady_clock::now();
    {
        const TInstructionCount counted("frame path, report to display", frames);
        for (long i = 0; i < frames; ++i)
            list.DoDeviceData(device, reports[size_t(i % Distinct)].data(), 64);
    }
    const double pathUs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count() / frames * 1e6;

    std::printf("display update per frame (UpdateFlagsAndValues + UpdateBarsAndScope), streaming: %.2f us\n",
                streamingUs);
    std::printf("display update per frame with the value labels written every frame:           %.2f us\n",
                labelsUs);
    std::printf("whole frame path, stream report to display:                                   %.2f us\n", pathUs);
    std::printf("share of one core at 1000 frames/s (whole path, without painting): %.1f %%\n", pathUs / 10.0);
    BenchResult("display update per frame", streamingUs, "us", "<= 20");
    // Frames after a pause or stop: labels written per frame, the bars drawn once per burst.
    BenchResult("display update per frame, labels written", labelsUs, "us", "<= 50");
    BenchResult("frame path, report to display", pathUs, "us", "<= 50");
    return 0;
}

int Stream(int seconds)
{
    TMainCore& core = MainForm->Core();
    quint64 frames = 0, missed = 0;
    core.OnLogFrame = [&frames] { ++frames; };
    auto missedHandler = core.KT880Device1->OnStreamingDataMissed;
    core.KT880Device1->OnStreamingDataMissed = [&missed, missedHandler](uint8_t id) {
        ++missed;
        if (missedHandler)
            missedHandler(id);
    };
    PumpUntil([] { return false; }, 2000); // settle: ATI and the read-back
    const quint64 frames0 = frames;
    const double cpu0 = CpuSeconds();
    const long rss0 = RssKiB();
    long rssMax = rss0;
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&rssMax] { rssMax = std::max(rssMax, RssKiB()); });
    sample.start(1000);
    long rss10 = 0;
    QTimer::singleShot(std::min(seconds, 10) * 1000, [&rss10] { rss10 = RssKiB(); });
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = (CpuSeconds() - cpu0) / elapsed * 100.0;
    THidDevice* device = core.KorvaneDevList1->HidDevices().NameObjects.value(0);
    std::printf("streamed %.1f s: %.0f frames/s shown, %llu data-missed notices, %llu reports dropped\n", elapsed,
                (frames - frames0) / elapsed, (unsigned long long)missed,
                (unsigned long long)(device ? device->DroppedReports() : 0));
    std::printf("CPU of the process: %.1f %% of one core; RSS %ld KiB at start, %ld KiB after 10 s, %ld KiB at end, "
                "%ld KiB peak\n",
                cpu, rss0, rss10, RssKiB(), rssMax);
    return missed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int streamSeconds = 0, rate = 1000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--stream")
            streamSeconds = atoi(argv[i + 1]);
        else if (QByteArray(argv[i]) == "--rate")
            rate = atoi(argv[i + 1]);
    }

    SimOptions options;
    options.simulate = true;
    options.seed = 1;
    options.manualClock = streamSeconds == 0; // the measurement feeds its own reports
    options.sampleRateHz = rate;
    TBenchWindows windows(options, QStringLiteral("kt610b-bench-display"));
    if (!TBenchWindows::StartStreaming()) {
        std::fprintf(stderr, "streaming did not start\n");
        return 1;
    }
    return streamSeconds > 0 ? Stream(streamSeconds) : Measure(BenchIterations(argc, argv, 200'000));
}
