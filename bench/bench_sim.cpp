// The simulator's throughput: samples per second it can produce with streaming on, and the stream rate the
// program's device list takes in from it through the HID layer at a few kHz, with the frames it missed.
#include "sim/Simulator.h"

#include "toollink/KorvaneDevList.h"
#include "toollink/KorvaneHIDTool.h"

#include "BenchReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

namespace {

TKvrByteArray AllBlocksMap(int& length)
{
    TKvrByteArray map{};
    const uint8_t reg[6] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    const int len[6] = {2, 3, 2, 10, 10, 8};
    int p = 0;
    for (int b = 0; b < 6; ++b) {
        map[size_t(p)] = reg[b];
        p += len[b];
    }
    length = p;
    return map;
}

bool SetUp(TKorvaneHidTool& tool)
{
    return tool.SetICType(TICType::it43) == 0 && tool.SetDUTVoltage(TDUTVoltage::dv3_3V) == 0
           && tool.SetLSVoltage(TVoltageFollow::vfVDDHI) == 0
           && tool.SetupComms(TCommsType::ctI2C, TCommsSpeed::csFast) == 0
           && tool.ConfigI2C(TI2CType::RDY_ActiveLow, TPullUpResistors::prConnected, 0x44, TReadyPin::rpPin10,
                             TI2CStopCommand::scUseStop, TI2CPolling::ipNoPolling) == 0
           && tool.PowerOnDUT() == 0;
}

// Samples per second on the manual clock, every sample streamed (35-byte frames, two reports each).
void RawSamples()
{
    SimOptions o;
    o.seed = 1;
    o.manualClock = true;
    TSimulator sim(o);
    TKorvaneDevList list(sim.Backend());
    TKorvaneHidTool tool;
    tool.SetKorvaneDevList(&list);
    list.Activate();
    for (int i = 0; i < 200 && list.HidDevices().Count == 0; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    tool.SetCurrentDevice(0);
    int length = 0;
    const TKvrByteArray map = AllBlocksMap(length);
    if (!SetUp(tool) || tool.SetLongStreamingLength(uint16_t(length)) || tool.StartLongStreaming(map)) {
        std::printf("raw: set-up failed\n");
        return;
    }
    constexpr int Samples = 200000;
    QElapsedTimer timer;
    timer.start();
    sim.Advance(Samples);
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("manual clock: %d samples streamed in %.3f s = %.0f samples/s (%.2f us each)\n", Samples, seconds,
                Samples / seconds, seconds * 1e6 / Samples);
    BenchResult("simulator samples, manual clock", Samples / seconds, "samples/s", ">= 20000");
}

// The real clock at a high rate into the device list, for a few seconds.
void LiveStream(int rateHz, double seconds)
{
    SimOptions o;
    o.seed = 2;
    o.sampleRateHz = rateHz;
    o.scenario = QStringLiteral("demo");
    TSimulator sim(o);
    TKorvaneDevList list(sim.Backend());
    TKorvaneHidTool tool;
    tool.SetKorvaneDevList(&list);
    quint64 frames = 0, missed = 0;
    tool.OnStreaming = [&](uint16_t, uint8_t, const uint8_t*) { ++frames; };
    tool.OnStreamingDataMissed = [&](uint8_t) { ++missed; };
    list.Activate();
    for (int i = 0; i < 200 && list.HidDevices().Count == 0; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    tool.SetCurrentDevice(0);
    int length = 0;
    const TKvrByteArray map = AllBlocksMap(length);
    if (!SetUp(tool) || tool.SetLongStreamingLength(uint16_t(length)) || tool.StartLongStreaming(map)) {
        std::printf("live %d Hz: set-up failed\n", rateHz);
        return;
    }
    const quint64 sentBefore = sim.ToolStatus().framesSent;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < qint64(seconds * 1000))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    tool.StopStreaming();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double elapsed = timer.elapsed() / 1000.0;
    const quint64 sent = sim.ToolStatus().framesSent - sentBefore;
    std::printf("live %5d Hz: %.0f frames/s sent, %.0f frames/s delivered, %llu data-missed notices in %.1f s\n",
                rateHz, sent / elapsed, frames / elapsed, static_cast<unsigned long long>(missed), elapsed);
    if (rateHz == 1000)
        BenchResult("simulator at 1,000 Hz, data missed", double(missed), "notices", "<= 0");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RawSamples();
    for (int rate : {100, 1000, 5000, 10000})
        LiveStream(rate, 3.0);
    return 0;
}
