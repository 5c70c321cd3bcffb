// The in-memory backend must behave like hidraw: a queue per handle, prompt failure on unplug.
#include "HidTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct VirtualBackendTest : ::testing::Test {
    std::shared_ptr<VirtualHidBackend> backend = std::make_shared<VirtualHidBackend>();
    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>(MakeInfo(0x2E3C, 0x0C60, "Tool", "7"));
    void SetUp() override { backend->Plug(device); }
};

int Read(HidHandle& handle, QByteArray& out, int timeoutMs = 0)
{
    uint8_t buffer[128] = {};
    const int n = handle.read(buffer, sizeof buffer, timeoutMs);
    out = n > 0 ? QByteArray(reinterpret_cast<char*>(buffer), n) : QByteArray();
    return n;
}

uint32_t SequenceOfReport(const QByteArray& report)
{
    return SequenceOf(reinterpret_cast<const uint8_t*>(report.constData()) + 1);
}

TEST_F(VirtualBackendTest, EveryOpenHandleSeesEveryReportPaddedToTheInputLength)
{
    auto first = backend->open(device->Info().path);
    auto second = backend->open(device->Info().path);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(device->OpenHandles(), 2);

    device->SendInputReport(NumberedReport(1));
    device->SendInputReport(NumberedReport(2));
    for (HidHandle* handle : {first.get(), second.get()}) {
        QByteArray report;
        ASSERT_EQ(Read(*handle, report), 65);
        EXPECT_EQ(SequenceOfReport(report), 1u);
        EXPECT_EQ(report.mid(6), QByteArray(59, '\0'));
        ASSERT_EQ(Read(*handle, report), 65);
        EXPECT_EQ(SequenceOfReport(report), 2u);
        EXPECT_EQ(Read(*handle, report), 0);
    }
    first.reset();
    EXPECT_EQ(device->OpenHandles(), 1);
}

TEST_F(VirtualBackendTest, WriteReachesTheDeviceWhichMayAnswerAtOnce)
{
    auto handle = backend->open(device->Info().path);
    device->OnOutput = [this](const QByteArray& report) {
        device->SendInputReport(QByteArray(1, '\0') + report.mid(1, 3));
    };
    const uint8_t command[4] = {0, 5, 0x13, 0};
    ASSERT_TRUE(handle->write(command, 4));
    ASSERT_EQ(device->Outputs().size(), 1);
    EXPECT_EQ(device->Outputs()[0].size(), 65); // padded to the output report length
    QByteArray reply;
    ASSERT_EQ(Read(*handle, reply), 65);
    EXPECT_EQ(reply[1], 5);
    EXPECT_EQ(reply[2], 0x13);

    const std::vector<uint8_t> tooLong(66, 0);
    EXPECT_FALSE(handle->write(tooLong.data(), 66));
}

TEST_F(VirtualBackendTest, UnplugFailsOpenHandlesAndWakesAWaitingRead)
{
    auto handle = backend->open(device->Info().path);
    QElapsedTimer timer;
    timer.start();
    std::thread unplugger([&] {
        QThread::msleep(50);
        backend->Unplug(device.get());
    });
    QByteArray report;
    const int result = Read(*handle, report, 5000);
    const qint64 waited = timer.elapsed();
    unplugger.join();
    EXPECT_EQ(result, -1);
    EXPECT_LT(waited, 1000);
    const uint8_t command[2] = {0, 1};
    EXPECT_FALSE(handle->write(command, 2));
    EXPECT_EQ(backend->open(device->Info().path), nullptr);
    EXPECT_TRUE(backend->enumerate().isEmpty());
}

TEST_F(VirtualBackendTest, AFullHandleQueueDropsTheOldestReports)
{
    backend->HandleQueueCapacity = 4;
    auto handle = backend->open(device->Info().path);
    for (uint32_t n = 0; n < 10; ++n)
        device->SendInputReport(NumberedReport(n));
    QByteArray report;
    for (uint32_t expected = 6; expected < 10; ++expected) {
        ASSERT_EQ(Read(*handle, report), 65);
        EXPECT_EQ(SequenceOfReport(report), expected);
    }
    EXPECT_EQ(Read(*handle, report), 0);
}

TEST_F(VirtualBackendTest, PlugAndUnplugFromAnyThreadAnnounceOnTheBackendThread)
{
    Pump(20); // the announcement of the set-up's Plug
    int announced = 0;
    Qt::HANDLE signalThread = nullptr;
    QObject::connect(backend.get(), &HidBackend::devicesChanged, backend.get(), [&] {
        ++announced;
        signalThread = QThread::currentThreadId();
    });
    auto second = std::make_shared<FakeDevice>(MakeInfo(0x04D8, 0xF3A1));
    std::thread plugger([&] {
        backend->Plug(second);
        backend->Unplug(device.get());
    });
    plugger.join();
    EXPECT_EQ(announced, 0); // nothing emitted on the plugging thread
    ASSERT_TRUE(WaitFor([&] { return announced == 2; }));
    EXPECT_EQ(signalThread, QThread::currentThreadId());
    const auto infos = backend->enumerate();
    ASSERT_EQ(infos.size(), 1);
    EXPECT_EQ(infos[0].vendorId, 0x04D8);
    EXPECT_NE(infos[0].path, device->Info().path); // paths are never reused
}

} // namespace
