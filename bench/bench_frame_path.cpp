// The frame path without painting: a stream report handed to the device list's report handler, through the
// tool and chip components, to the decoded values of the core (null view). Frames per second on one core.

#include "app/FrameDecoder.h"
#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "sim/Simulator.h"
#include "BenchReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>

namespace {

struct NullMessages : IMessageSink {
    int KvrAddItem(const QString&, TKvrItemType) override { return 0; }
};

bool PumpUntil(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// One stream report of the initial set-up (27 data bytes) as the HID layer hands it over: without the
// report ID byte, the input report length minus one long.
void FillReport(std::array<uint8_t, 64>& d, int frame)
{
    d.fill(0);
    d[0] = 0x0F; // tool 0, stream data
    d[1] = uint8_t(frame);
    d[2] = 0;
    uint8_t* p = d.data() + 3;
    p[0] = 0x10;                      // projected, ATI done
    p[1] = uint8_t(frame & 0x20);     // a tap now and then
    p[2] = uint8_t(frame);            // position
    p[3] = uint8_t(frame & 1 ? 0xFF : 0x01);
    p[4] = uint8_t(frame & 1 ? 0xFF : 0x00);
    p[5] = uint8_t(frame & 0x0F);     // prox and touch
    for (int w = 0; w < 10; ++w) {    // counts and averages
        const int v = 500 + (frame + w * 7) % 300;
        p[7 + 2 * w] = uint8_t(v);
        p[8 + 2 * w] = uint8_t(v >> 8);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SimOptions options;
    options.simulate = true;
    options.manualClock = true; // no frames of its own: the bench feeds them
    options.seed = 1;
    TSimulator sim(options);
    NullMessages messages;
    TMainCore core(sim.Backend(), &messages, nullptr);
    core.KorvaneDevList1->Activate();
    if (!PumpUntil([&] { return core.KorvaneHidTool1->DeviceSelected; })) {
        std::fprintf(stderr, "no tool\n");
        return 1;
    }
    core.Session->StartButtonClick();
    if (!core.FIsStreaming) {
        std::fprintf(stderr, "streaming did not start\n");
        return 1;
    }
    THidDevice* device = core.KorvaneDevList1->HidDevices().NameObjects.value(0);
    TKorvaneDevList& list = *core.KorvaneDevList1;

    // Warm-up: the first frame after the start runs the read-back of the settings.
    std::array<uint8_t, 64> report;
    int frame = 0;
    for (; frame < 1000; ++frame) {
        FillReport(report, frame);
        list.DoDeviceData(device, report.data(), int(report.size()));
    }

    // Prepared reports, so that only the frame path is timed.
    constexpr int Distinct = 256;
    std::vector<std::array<uint8_t, 64>> reports(Distinct);
    for (int i = 0; i < Distinct; ++i)
        FillReport(reports[size_t(i)], frame + i);

    const long frames = BenchIterations(argc, argv, 2'000'000);
    const auto t0 = std::chrono::steady_clock::now();
    {
        const TInstructionCount counted("frame path, report to decoded values", frames);
        for (long i = 0; i < frames; ++i)
            list.DoDeviceData(device, reports[size_t(i % Distinct)].data(), 64);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    // The decoded values follow the last report: the path ran to its end on every frame.
    const auto& last = reports[size_t((frames - 1) % Distinct)];
    const int expected = last[3 + 9] | (last[3 + 10] << 8);
    if (core.FCurrentChs[0] != expected) {
        std::fprintf(stderr, "frames were not decoded (CH0 count %d, expected %d)\n", core.FCurrentChs[0], expected);
        return 1;
    }

    // The decoder alone, for comparison.
    const auto t1 = std::chrono::steady_clock::now();
    {
        const TInstructionCount counted("frame decode alone", frames);
        for (long i = 0; i < frames; ++i) {
            const auto& r = reports[size_t(i % Distinct)];
            core.Decoder->KT880Device1Streaming(64, 0, r.data());
        }
    }
    const double decodeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();

    std::printf("frame path (report handler to decoded values): %.0f frames/s (%.1f ns/frame)\n",
                frames / seconds, seconds / frames * 1e9);
    std::printf("frame decode alone:                            %.0f frames/s (%.1f ns/frame)\n",
                frames / decodeSeconds, decodeSeconds / frames * 1e9);
    BenchResult("frame path, report to decoded values", frames / seconds, "frames/s", ">= 200000");
    BenchResult("frame decode alone", decodeSeconds / frames * 1e9, "ns/frame", "<= 2000");
    core.Session->StartButtonClick(); // stop and power off
    return 0;
}
