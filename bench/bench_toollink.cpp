// Tool link figures: report handling with frame reassembly, and transaction round trips on the virtual
// backend with a tool that answers at once.
#include "hid/HidDevice.h"
#include "hid/VirtualHidBackend.h"
#include "toollink/KorvaneDevList.h"
#include "toollink/KorvaneHIDTool.h"
#include "BenchReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

namespace {

constexpr int ReportLength = 65;

// Answers every command with a success reply carrying its message ID.
class InstantTool : public VirtualHidDevice {
public:
    InstantTool()
        : VirtualHidDevice([] {
              HidDeviceInfo info;
              info.vendorId = 0x2E3C;
              info.productId = 0x0C60;
              info.productName = QStringLiteral("Bench tool");
              info.inputReportLength = ReportLength;
              info.outputReportLength = ReportLength;
              return info;
          }())
    {
    }
    void OutputReport(const QByteArray& report) override
    {
        QByteArray reply(ReportLength, '\0');
        reply[1] = 0x01;
        reply[2] = report[1];
        SendInputReport(reply);
    }
};

void Settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The reports of frames of the given stream length, sequence values 0..255.
std::vector<std::vector<uint8_t>> StreamReports(int length)
{
    std::vector<std::vector<uint8_t>> reports;
    for (int seq = 0; seq < 256; ++seq) {
        for (int piece = 0; piece * 32 < length; ++piece) {
            std::vector<uint8_t> d(ReportLength - 1, 0);
            d[0] = 0x0F;
            d[1] = uint8_t(seq);
            d[2] = uint8_t(piece);
            for (int i = 0; i < 32; ++i)
                d[size_t(3 + i)] = uint8_t(piece * 32 + i);
            reports.push_back(std::move(d));
        }
    }
    return reports;
}

void BenchReports(TKorvaneDevList& list, TKorvaneHidTool& tool, THidDevice* device, int length, const char* label,
                  const char* figure, long rounds)
{
    TKvrByteArray map{};
    if (tool.SetLongStreamingLength(uint16_t(length)) != 0 || tool.StartLongStreaming(map) != 0) {
        std::printf("%s: could not start the stream\n", label);
        return;
    }
    long frames = 0;
    tool.OnStreaming = [&](uint16_t, uint8_t, const uint8_t*) { ++frames; };
    const auto reports = StreamReports(length);
    QElapsedTimer timer;
    timer.start();
    {
        const TInstructionCount counted(figure, rounds * long(reports.size()));
        for (long round = 0; round < rounds; ++round) {
            for (const auto& d : reports)
                list.DoDeviceData(device, d.data(), int(d.size()));
        }
    }
    const qint64 ns = timer.nsecsElapsed();
    const double count = double(rounds) * double(reports.size());
    std::printf("%-34s %8.1f ns per report  %8.1f ns per frame  (%ld frames, %.0f reports)\n", label, ns / count,
                ns / double(frames), frames, count);
    BenchResult(figure, ns / count, "ns/report", "<= 2000");
    tool.OnStreaming = nullptr;
    tool.StopStreaming();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    auto backend = std::make_shared<VirtualHidBackend>();
    auto fake = std::make_shared<InstantTool>();
    backend->Plug(fake);
    TKorvaneDevList list(backend);
    TKorvaneHidTool tool;
    tool.SetKorvaneDevList(&list);
    list.Activate();
    for (int i = 0; i < 200 && list.HidDevices().Count < 1; ++i)
        Settle(10);
    if (!tool.SetCurrentDevice(0)) {
        std::printf("no tool found\n");
        return 1;
    }
    THidDevice* device = tool.GetCurrentDevice();

    const long rounds = BenchIterations(argc, argv, 4000);
    BenchReports(list, tool, device, 20, "DoDeviceData, 1-report frames:", "report handler, 1-report frames", rounds);
    BenchReports(list, tool, device, 70, "DoDeviceData, 3-piece frames:", "reassembly, 3-piece frames", rounds);
    Settle(50);

    long transactions = 0;
    long failures = 0;
    QElapsedTimer timer;
    timer.start();
    const long maxTransactions = BenchIterations(argc, argv, 100'000'000);
    {
        TInstructionCount counted("transaction round trip", 0);
        while (timer.elapsed() < 2000 && transactions < maxTransactions) {
            if (tool.PowerOffDUT() != 0)
                ++failures;
            if (++transactions % 256 == 0)
                QCoreApplication::processEvents(); // the replies also reach the report handler
        }
        counted.SetOps(transactions);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%-34s %8.0f per second  (%.1f us each, %ld failed)\n", "Transaction round trips:",
                transactions / seconds, seconds * 1e6 / transactions, failures);
    BenchResult("transaction round trip", seconds * 1e6 / transactions, "us", "<= 100");
    return failures == 0 ? 0 : 1;
}
