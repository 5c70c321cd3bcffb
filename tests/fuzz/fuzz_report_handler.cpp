// The tool list's report handler: frame counter check and long-frame reassembly over arbitrary reports.
//
// Input: byte 0 = flags (bit 0 long stream, bit 1 the missed-data handler stops the stream, bit 2 a stream
// was just stopped, bits 4..7 the streaming tool's ID), bytes 1..2 = stream length (big-endian), then
// records [n][n bytes]: n > 0 is a report of n bytes as the reader delivers it (after the report ID);
// n == 0 is a set-up change whose 2 bytes give the new stream length.

#include "fuzz/FuzzSupport.h"

#include "hid/HidDevice.h"
#include "hid/VirtualHidBackend.h"
#include "toollink/KorvaneDevList.h"

#include <QThread>
#include <algorithm>
#include <memory>

namespace {

// The longest stream the tool command component accepts.
constexpr int MaxStreamLength = int(std::tuple_size_v<TKvrByteArray>) - 3;

class QuietTool : public VirtualHidDevice {
public:
    QuietTool() : VirtualHidDevice([] {
        HidDeviceInfo info;
        info.vendorId = 0x2E3C;
        info.productId = 0x0C60;
        info.productName = QStringLiteral("KORVANE CT");
        info.inputReportLength = 65;
        info.outputReportLength = 65;
        return info;
    }()) {}
    void OutputReport(const QByteArray&) override {}
};

struct Bench {
    std::shared_ptr<VirtualHidBackend> Backend = std::make_shared<VirtualHidBackend>();
    std::unique_ptr<TKorvaneDevList> List = std::make_unique<TKorvaneDevList>(Backend);
    THidDevice* Device = nullptr;
    bool StopOnMissed = false;
    int Length = 0;

    Bench()
    {
        Backend->Plug(std::make_shared<QuietTool>());
        List->Activate();
        for (int i = 0; i < 500 && List->HidDevices().Count < 1; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        if (List->HidDevices().Count < 1)
            std::abort();
        Device = List->HidDevices().NameObjects[0];
        List->OnStreaming = [this](uint16_t Size, uint8_t HIDToolID, const uint8_t* Data) { Frame(Size, HIDToolID, Data); };
        List->OnStreamingDataMissed = [this](uint8_t) {
            if (StopOnMissed)
                Stop();
        };
        List->OnStreamingError = [](uint16_t) {};
    }

    void Frame(uint16_t size, uint8_t id, const uint8_t* data)
    {
        FUZZ_CHECK(size >= 1 && size <= std::tuple_size_v<TKvrByteArray>);
        // Reads every byte handed over: a frame longer than its buffer shows up as an overflow.
        unsigned sum = 0;
        for (int i = 0; i < size; ++i)
            sum += data[i];
        volatile unsigned sink = sum;
        (void)sink;
        if (size > 255) { // only a joined frame is longer than any report
            FUZZ_CHECK(data[2] == 0xFF);
            FUZZ_CHECK(id == data[0] >> 4);
        }
    }

    // What the tool command component's stop does to the list.
    void Stop()
    {
        List->StreamingDevices = TStreamingDevices{};
        List->StreamingCounter = TStreamingCounter{};
        List->IsStreaming = false;
        List->DoLongStream = false;
    }

    // What a successful set-length and start do to the list.
    void SetLength(int length)
    {
        Length = length % (MaxStreamLength + 1);
        List->LongStreamingLength = uint16_t(Length);
        List->LongStreamingPackets = Length > 0 ? (Length - 1) / 32 : 0;
    }

    void Start(uint8_t flags)
    {
        Stop();
        StopOnMissed = false;
        // Two different piece numbers on a one-piece stream: at least one does not continue whatever frame
        // the last input left half done, so every input starts from an empty reassembly.
        const int length = Length;
        SetLength(0);
        List->IsStreaming = true;
        List->DoLongStream = true;
        List->StreamingCounter.DevID = {TKorvaneDevList::DecimalText(0)};
        List->StreamingCounter.Counter = {TKorvaneDevList::DecimalText(0)};
        for (uint8_t piece : {0xFE, 0xFF}) {
            const uint8_t report[64] = {0x0F, 0, piece};
            List->DoDeviceData(Device, report, 64);
        }
        Stop();
        SetLength(length);
        List->IsStreaming = true;
        List->DoLongStream = flags & 0x01;
        StopOnMissed = flags & 0x02;
        List->JustStopped = flags & 0x04;
        List->JustFixed = false;
        List->StreamingDevices.NumberOfDevices = 1;
        List->SetStreamingDevice(0, Device);
        List->SetStreamingDeviceID(0, flags >> 4);
        List->StreamingCounter.DevID = {TKorvaneDevList::DecimalText(flags >> 4)};
        List->StreamingCounter.Counter = {TKorvaneDevList::DecimalText(0)};
    }
};

Bench& TheBench()
{
    Fuzz::App();
    static Bench bench;
    return bench;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    Bench& bench = TheBench();
    bench.SetLength(data[1] << 8 | data[2]);
    bench.Start(data[0]);
    size_t at = 3;
    while (at < size) {
        const size_t n = data[at++];
        if (n == 0) {
            if (size - at < 2)
                break;
            bench.SetLength(data[at] << 8 | data[at + 1]);
            at += 2;
            continue;
        }
        // An exact copy: reading past the report is caught.
        const size_t take = std::min(n, size - at);
        std::unique_ptr<uint8_t[]> report(new uint8_t[take]);
        std::copy(data + at, data + at + take, report.get());
        at += take;
        bench.List->DoDeviceData(bench.Device, report.get(), int(take));
    }
    return 0;
}
