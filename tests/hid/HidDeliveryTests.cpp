// Report delivery: readers, the per-device queue, the drain on the user-interface thread, the hold.
#include "HidTestSupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

struct Delivered {
    THidDevice* device;
    uint8_t reportId;
    uint32_t sequence;
    int size;
};

struct HidDeliveryTest : ::testing::Test {
    LayerFixture f;
    std::shared_ptr<FakeDevice> tool;
    THidDevice* device = nullptr;
    QList<Delivered> delivered;
    std::function<void(THidDevice*, const uint8_t*)> onReport; // runs inside the handler

    void SetUp() override
    {
        tool = f.Plug();
        ASSERT_TRUE(f.Settle());
        ASSERT_EQ(f.owned.size(), 1);
        device = f.owned[0];
    }
    void Attach()
    {
        f.layer.SetDeviceData([this](THidDevice* d, uint8_t id, const uint8_t* data, int size) {
            delivered.append({d, id, SequenceOf(data), size});
            if (onReport)
                onReport(d, data);
        });
    }
    bool InOrder(uint32_t first, int count) const
    {
        if (delivered.size() != count)
            return false;
        for (int i = 0; i < count; ++i)
            if (delivered[i].sequence != first + uint32_t(i))
                return false;
        return true;
    }
};

TEST_F(HidDeliveryTest, HandlerGetsTheReportIdAndTheDataAfterIt)
{
    Attach();
    tool->SendInputReport(NumberedReport(42));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    EXPECT_EQ(delivered[0].device, device);
    EXPECT_EQ(delivered[0].reportId, 0);
    EXPECT_EQ(delivered[0].sequence, 42u);
    EXPECT_EQ(delivered[0].size, 64);
}

TEST_F(HidDeliveryTest, TenThousandReportsFromAnotherThreadArriveInOrder)
{
    Attach();
    constexpr int Count = 10000;
    std::thread sender([&] {
        for (uint32_t n = 0; n < Count; ++n)
            tool->SendInputReport(NumberedReport(n));
    });
    const bool all = WaitFor([&] { return delivered.size() >= Count; }, 20000);
    sender.join();
    ASSERT_TRUE(all) << delivered.size();
    EXPECT_TRUE(InOrder(0, Count));
    EXPECT_EQ(device->DroppedReports(), 0u);
}

TEST_F(HidDeliveryTest, DrainYieldsToTheEventLoopBetweenBatches)
{
    Attach();
    f.layer.HoldDelivery();
    for (uint32_t n = 0; n < 1000; ++n)
        tool->SendInputReport(NumberedReport(n));
    Pump(200); // the reader moves them all into the device queue
    int deliveredWhenTimerRan = -1;
    onReport = [&](THidDevice*, const uint8_t*) {
        if (delivered.size() == 1)
            QTimer::singleShot(0, [&] { deliveredWhenTimerRan = int(delivered.size()); });
    };
    f.layer.ReleaseDelivery();
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1000; }));
    EXPECT_GT(deliveredWhenTimerRan, 0);
    EXPECT_LT(deliveredWhenTimerRan, 200);
    EXPECT_TRUE(InOrder(0, 1000));
}

TEST_F(HidDeliveryTest, TransactionReadSeesReportsWhileDeliveryWaitsItsTurn)
{
    Attach();
    ASSERT_TRUE(device->FlushQueue());
    std::thread sender([&] {
        QThread::msleep(50);
        tool->SendInputReport(NumberedReport(7));
    });
    uint8_t buffer[65] = {};
    const int n = device->ReadReport(buffer, sizeof buffer, 2000);
    sender.join();
    ASSERT_EQ(n, 65);
    EXPECT_EQ(SequenceOf(buffer + 1), 7u);
    EXPECT_TRUE(delivered.isEmpty()); // the user-interface thread was busy reading
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    EXPECT_EQ(delivered[0].sequence, 7u);
}

TEST_F(HidDeliveryTest, FlushDropsOnlyTheTransactionHandlesReports)
{
    Attach();
    f.layer.HoldDelivery();
    for (uint32_t n = 0; n < 5; ++n)
        tool->SendInputReport(NumberedReport(n));
    ASSERT_TRUE(device->FlushQueue());
    uint8_t buffer[65];
    EXPECT_EQ(device->ReadReport(buffer, sizeof buffer, 0), 0);
    f.layer.ReleaseDelivery();
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 5; }));
    EXPECT_TRUE(InOrder(0, 5));
}

TEST_F(HidDeliveryTest, HandlerMayRunATransactionOnTheSameDevice)
{
    // The device answers every command at once with a reply marked 'R'.
    tool->OnOutput = [this](const QByteArray& command) { tool->SendInputReport(NumberedReport(uint8_t(command[1]), 'R')); };
    Attach();
    int replies = 0;
    onReport = [&](THidDevice* d, const uint8_t* data) {
        if (data[0] != 'S')
            return;
        ASSERT_TRUE(d->FlushQueue());
        const uint8_t command[3] = {0, uint8_t(SequenceOf(data)), 0x13};
        ASSERT_TRUE(d->WriteReport(command, 3));
        uint8_t reply[65];
        for (int tries = 0; tries < 10; ++tries) {
            ASSERT_EQ(d->ReadReport(reply, sizeof reply, 1000), 65);
            if (reply[1] == 'R' && SequenceOf(reply + 1) == SequenceOf(data)) {
                ++replies;
                return;
            }
        }
    };
    for (uint32_t n = 1; n <= 20; ++n)
        tool->SendInputReport(NumberedReport(n));
    ASSERT_TRUE(WaitFor([&] { return replies == 20 && delivered.size() == 40; }));
}

TEST_F(HidDeliveryTest, HoldKeepsReportsQueuedAndReleaseDeliversThemInOrder)
{
    Attach();
    f.layer.HoldDelivery();
    f.layer.HoldDelivery();
    for (uint32_t n = 0; n < 100; ++n)
        tool->SendInputReport(NumberedReport(n));
    Pump(100);
    EXPECT_TRUE(delivered.isEmpty());
    f.layer.ReleaseDelivery();
    Pump(50);
    EXPECT_TRUE(delivered.isEmpty()); // held twice
    f.layer.ReleaseDelivery();
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 100; }));
    EXPECT_TRUE(InOrder(0, 100));
}

TEST_F(HidDeliveryTest, HoldTakenInsideTheHandlerStopsTheDrainAtOnce)
{
    Attach();
    onReport = [&](THidDevice*, const uint8_t*) {
        if (delivered.size() == 3)
            f.layer.HoldDelivery();
    };
    for (uint32_t n = 0; n < 10; ++n)
        tool->SendInputReport(NumberedReport(n));
    Pump(100);
    EXPECT_EQ(delivered.size(), 3);
    f.layer.ReleaseDelivery();
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 10; }));
    EXPECT_TRUE(InOrder(0, 10));
}

TEST_F(HidDeliveryTest, OverflowDropsTheOldestAndCountsThem)
{
    // Readers pick the capacity up when they start.
    f.layer.QueueCapacity = 10;
    Attach();
    for (uint32_t n = 0; n < 25; ++n)
        tool->SendInputReport(NumberedReport(n));
    // No event processing meanwhile, as during a long transaction.
    QElapsedTimer timer;
    timer.start();
    while (device->DroppedReports() < 15 && timer.elapsed() < 2000)
        QThread::msleep(1);
    EXPECT_EQ(device->DroppedReports(), 15u);
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 10; }));
    EXPECT_TRUE(InOrder(15, 10));
}

TEST_F(HidDeliveryTest, DetachingStopsDeliveryAndReattachingStartsIt)
{
    Attach();
    f.layer.HoldDelivery();
    tool->SendInputReport(NumberedReport(1));
    Pump(30);
    f.layer.ClearDeviceData();
    EXPECT_EQ(tool->OpenHandles(), 1); // the reader handle is closed with its reader
    f.layer.ReleaseDelivery();
    tool->SendInputReport(NumberedReport(2));
    Pump(50);
    EXPECT_TRUE(delivered.isEmpty());
    Attach();
    EXPECT_EQ(tool->OpenHandles(), 2);
    tool->SendInputReport(NumberedReport(3));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    EXPECT_EQ(delivered[0].sequence, 3u);
}

TEST_F(HidDeliveryTest, DevicesOpenedWhileAttachedGetAReader)
{
    Attach();
    auto second = f.Plug(0x2E3C, 0x0C61, "2");
    ASSERT_TRUE(WaitFor([&] { return f.owned.size() == 2; }));
    second->SendInputReport(NumberedReport(5));
    ASSERT_TRUE(WaitFor([&] { return delivered.size() == 1; }));
    EXPECT_EQ(delivered[0].device, f.owned[1]);
}

TEST_F(HidDeliveryTest, DestroyingADeviceJoinsItsReaderPromptly)
{
    f.layer.ReaderWaitMs = 1000; // neither the read slice nor the pause after a failed read may delay it
    Attach();
    auto second = f.Plug(0x2E3C, 0x0C61, "2");
    ASSERT_TRUE(WaitFor([&] { return f.owned.size() == 2; }));
    f.backend->Unplug(second.get()); // its reader now pauses after each failed read
    Pump(50);
    for (THidDevice* d : f.owned) {
        QElapsedTimer timer;
        timer.start();
        delete d;
        EXPECT_LT(timer.elapsed(), 300);
    }
    f.owned.clear();
    EXPECT_EQ(tool->OpenHandles(), 0);
}

TEST_F(HidDeliveryTest, HandlerThatDeletesTheDeviceEndsTheDrainSafely)
{
    Attach();
    onReport = [&](THidDevice* d, const uint8_t*) {
        f.owned.removeAll(d);
        delete d;
    };
    f.layer.HoldDelivery();
    for (uint32_t n = 0; n < 50; ++n)
        tool->SendInputReport(NumberedReport(n));
    Pump(50);
    f.layer.ReleaseDelivery();
    Pump(100);
    EXPECT_EQ(delivered.size(), 1);
    EXPECT_TRUE(f.owned.isEmpty());
}

TEST_F(HidDeliveryTest, HandlerMayDetachItself)
{
    Attach();
    onReport = [&](THidDevice*, const uint8_t*) { f.layer.ClearDeviceData(); };
    for (uint32_t n = 0; n < 5; ++n)
        tool->SendInputReport(NumberedReport(n));
    Pump(100);
    EXPECT_EQ(delivered.size(), 1);
    EXPECT_FALSE(f.layer.HasDeviceData());
}

// A handle whose reads always fail, counting them.
class FailingHandle : public HidHandle {
public:
    explicit FailingHandle(std::atomic<int>& reads) : FReads(reads) {}
    bool write(const uint8_t*, int) override { return false; }
    int read(uint8_t*, int, int) override { return ++FReads, -1; }
    void cancel() override {}

private:
    std::atomic<int>& FReads;
};

class FailingBackend : public HidBackend {
public:
    std::atomic<int> reads{0};
    QList<HidDeviceInfo> enumerate() override
    {
        HidDeviceInfo info = MakeInfo(1, 2);
        info.path = "failing:1";
        return {info};
    }
    std::unique_ptr<HidHandle> open(const QString&) override { return std::make_unique<FailingHandle>(reads); }
};

TEST(HidReader, AFailedReadIsRetriedAfterOneSliceWithoutSpinning)
{
    auto backend = std::make_shared<FailingBackend>();
    THidLayer layer(backend);
    layer.ReaderWaitMs = 50;
    THidDevice* device = nullptr;
    layer.OnDeviceChange = [&] { layer.Enumerate(); };
    layer.OnEnumerate = [&](THidDevice*, int index) { return (device = layer.CheckOut(index)) != nullptr; };
    layer.SetDeviceData([](THidDevice*, uint8_t, const uint8_t*, int) {});
    layer.StartScan();
    ASSERT_TRUE(WaitFor([&] { return device != nullptr; }));
    const int before = backend->reads;
    QThread::msleep(300);
    const int during = backend->reads - before;
    EXPECT_GE(during, 3);
    EXPECT_LE(during, 8);
    delete device;
}

} // namespace
