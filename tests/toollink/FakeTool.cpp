#include "FakeTool.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

FakeTool::FakeTool(uint16_t vendorId, uint16_t productId, const QString& product, const QString& serial,
                   int reportLength)
    : VirtualHidDevice([&] {
          HidDeviceInfo info;
          info.vendorId = vendorId;
          info.productId = productId;
          info.productName = product;
          info.serialNumber = serial;
          info.inputReportLength = reportLength;
          info.outputReportLength = reportLength;
          return info;
      }())
{
}

void FakeTool::Queue(Reply reply)
{
    std::lock_guard lock(FMutex);
    FReplies.push_back(std::move(reply));
}

std::vector<QByteArray> FakeTool::Written() const
{
    std::lock_guard lock(FMutex);
    return FWritten;
}

void FakeTool::ClearWritten()
{
    std::lock_guard lock(FMutex);
    FWritten.clear();
}

std::vector<int> FakeTool::Commands() const
{
    std::vector<int> codes;
    for (const QByteArray& report : Written())
        codes.push_back(uint8_t(report[2]));
    return codes;
}

QByteArray FakeTool::ReplyReport(uint8_t type, uint8_t messageID, const QByteArray& data) const
{
    QByteArray report(4, '\0');
    report[1] = char((Id << 4) | type);
    report[2] = char(messageID);
    return report + data;
}

QByteArray FakeTool::StreamReport(uint8_t sequence, uint8_t piece, const QByteArray& bytes) const
{
    QByteArray report(4, '\0');
    report[1] = char((Id << 4) | 0x0F);
    report[2] = char(sequence);
    report[3] = char(piece);
    return report + bytes;
}

void FakeTool::SendStream(uint8_t sequence, uint8_t piece, const QByteArray& bytes)
{
    SendInputReport(StreamReport(sequence, piece, bytes));
}

void FakeTool::SendErrorReport(uint16_t code)
{
    SendInputReport(ReplyReport(0x0E, 0, Bytes({code >> 8, code & 0xFF})));
}

void FakeTool::OutputReport(const QByteArray& report)
{
    Reply reply;
    {
        std::lock_guard lock(FMutex);
        FWritten.push_back(report);
        if (!FReplies.empty()) {
            reply = std::move(FReplies.front());
            FReplies.pop_front();
        }
    }
    for (const QByteArray& ahead : reply.before)
        SendInputReport(ahead);
    const uint8_t messageID = uint8_t(report[1]);
    switch (reply.kind) {
    case Reply::Ok: {
        QByteArray data = reply.data;
        if (data.isEmpty() && uint8_t(report[2]) == 0x09) {
            const uint32_t v = FirmwareVersion;
            data = Bytes({int(v >> 24), int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v & 0xFF), 7, 3});
        }
        SendInputReport(ReplyReport(0x01, messageID, data));
        break;
    }
    case Reply::Error:
        SendInputReport(ReplyReport(0x0E, messageID, Bytes({reply.code >> 8, reply.code & 0xFF})));
        break;
    case Reply::Raw:
        SendInputReport(reply.data);
        break;
    case Reply::Silent:
        break;
    }
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(uint8_t(v)));
    return bytes;
}

QByteArray Counting(int count, int first)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(uint8_t(first + i)));
    return bytes;
}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void ToolLinkTest::SetUp()
{
    backend = std::make_shared<VirtualHidBackend>();
    list = std::make_unique<TKorvaneDevList>(backend);
    tool = std::make_unique<TKorvaneHidTool>();
    tool->SetKorvaneDevList(list.get());
    tool->ReadWaitMs = 300;
    list->OnDeviceChange = [this](QObject*, bool arrived) {
        ++deviceChanges;
        lastArrived = arrived;
    };
    tool->OnStreaming = [this](uint16_t size, uint8_t id, const uint8_t* data) {
        frames.push_back({size, id, QByteArray(reinterpret_cast<const char*>(data), size)});
    };
    tool->OnStreamingError = [this](uint16_t code) { streamingErrors.push_back(code); };
    tool->OnStreamingDataMissed = [this](uint8_t id) { missed.push_back(id); };
}

void ToolLinkTest::TearDown()
{
    tool.reset();
    list.reset();
    backend.reset();
}

void ToolLinkTest::Activate()
{
    list->Activate();
    ASSERT_TRUE(WaitUntil([this] { return deviceChanges >= 1; }));
}

std::shared_ptr<FakeTool> ToolLinkTest::Plug(std::shared_ptr<FakeTool> device)
{
    const int before = deviceChanges;
    backend->Plug(device);
    EXPECT_TRUE(WaitUntil([&] { return deviceChanges > before; }));
    return device;
}

void ToolLinkTest::Unplug(const std::shared_ptr<FakeTool>& device)
{
    const int before = deviceChanges;
    backend->Unplug(device.get());
    EXPECT_TRUE(WaitUntil([&] { return deviceChanges > before; }));
}

std::shared_ptr<FakeTool> ToolLinkTest::ActivateWithTool()
{
    auto device = std::make_shared<FakeTool>();
    backend->Plug(device);
    list->Activate();
    EXPECT_TRUE(WaitUntil([this] { return list->HidDevices().Count == 1; }));
    EXPECT_TRUE(tool->SetCurrentDevice(0));
    return device;
}

void ToolLinkTest::StartStream(uint16_t length)
{
    TKvrByteArray map{};
    for (int i = 0; i < length; ++i)
        map[size_t(i)] = uint8_t(i + 1);
    ASSERT_EQ(tool->SetLongStreamingLength(length), 0);
    ASSERT_EQ(tool->StartLongStreaming(map), 0);
}
