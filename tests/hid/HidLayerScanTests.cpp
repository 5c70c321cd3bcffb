// Scans, arrival notification, device objects and their ownership.
#include "HidTestSupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <atomic>

namespace {

TEST(HidLayerScan, StartUpScanWithoutDevicesReportsOneChange)
{
    LayerFixture f;
    f.layer.StartScan();
    EXPECT_EQ(f.changes, 0); // only once the event loop runs
    Pump(100);
    EXPECT_EQ(f.changes, 1);
    EXPECT_TRUE(f.owned.isEmpty());
}

TEST(HidLayerScan, BurstsOfNotificationsGiveOneScan)
{
    LayerFixture f;
    ASSERT_TRUE(f.Settle());
    for (int i = 0; i < 5; ++i)
        emit f.backend->devicesChanged();
    f.Plug(0x2E3C, 0x0C60, "1");
    f.Plug(0x2E3C, 0x0C61, "2");
    f.Plug(0x2E3C, 0x0D30, "3");
    Pump(150);
    EXPECT_EQ(f.changes, 2);
    EXPECT_EQ(f.owned.size(), 3);
    f.layer.StartScan(); // the start-up scan merges with a pending one too
    emit f.backend->devicesChanged();
    Pump(100);
    EXPECT_EQ(f.changes, 3);
}

TEST(HidLayerScan, ArrivalOnlyForDevicesNotSeenBefore)
{
    LayerFixture f;
    QList<QString> arrivals;
    int changesAtLastArrival = -1;
    f.layer.OnDeviceArrival = [&](THidDevice* device) {
        arrivals.append(device->SerialNumber());
        changesAtLastArrival = f.changes;
    };
    f.Plug(0x2E3C, 0x0C60, "A");
    ASSERT_TRUE(f.Settle());
    EXPECT_EQ(arrivals, QList<QString>{"A"});
    EXPECT_EQ(changesAtLastArrival, 0); // before the change notification

    f.Plug(0x1234, 0x0001, "B");
    ASSERT_TRUE(WaitFor([&] { return f.changes == 2; }));
    EXPECT_EQ(arrivals, (QList<QString>{"A", "B"}));

    emit f.backend->devicesChanged(); // nothing new
    ASSERT_TRUE(WaitFor([&] { return f.changes == 3; }));
    EXPECT_EQ(arrivals.size(), 2);
}

TEST(HidLayerScan, ObjectsStayTheSameWhileTheirDeviceStaysPlugged)
{
    LayerFixture f;
    QList<THidDevice*> seen;
    f.layer.OnEnumerate = [&](THidDevice* device, int) { // nothing checked out
        seen.append(device);
        return true;
    };
    f.layer.OnDeviceChange = [&] {
        ++f.changes;
        seen.clear();
        f.layer.Enumerate();
    };
    auto a = f.Plug(0x2E3C, 0x0C60, "A");
    auto b = f.Plug(0x2E3C, 0x0C61, "B");
    ASSERT_TRUE(f.Settle());
    ASSERT_EQ(seen.size(), 2);
    const QPointer<THidDevice> objectA = seen[0];
    const QPointer<THidDevice> objectB = seen[1];
    EXPECT_EQ(objectA->SerialNumber(), "A"); // backend order
    EXPECT_EQ(objectB->SerialNumber(), "B");

    f.Plug(0x2E3C, 0x0D30, "C");
    ASSERT_TRUE(WaitFor([&] { return f.changes == 2; }));
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], objectA.data());
    EXPECT_EQ(seen[1], objectB.data());

    // A device nobody took into use is the layer's, and goes with its device.
    f.backend->Unplug(a.get());
    ASSERT_TRUE(WaitFor([&] { return f.changes == 3; }));
    EXPECT_TRUE(objectA.isNull());
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], objectB.data());
}

TEST(HidLayerScan, CheckedOutDevicesBelongToTheCaller)
{
    LayerFixture f;
    auto tool = f.Plug();
    ASSERT_TRUE(f.Settle());
    ASSERT_EQ(f.owned.size(), 1);
    QPointer<THidDevice> device = f.owned[0];
    EXPECT_TRUE(device->IsOpen());
    EXPECT_EQ(tool->OpenHandles(), 2); // transaction and reader handle
    EXPECT_EQ(f.layer.CheckOut(1), nullptr);
    EXPECT_EQ(f.layer.CheckOut(-1), nullptr);

    // Pulled out: the object stays until its owner deletes it, and is no longer enumerated.
    f.backend->Unplug(tool.get());
    int enumerated = 0;
    f.layer.OnEnumerate = [&](THidDevice*, int) { return ++enumerated, true; };
    ASSERT_TRUE(WaitFor([&] { return f.changes == 2; }));
    ASSERT_FALSE(device.isNull());
    EXPECT_EQ(enumerated, 0);
    EXPECT_FALSE(device->FlushQueue());
    uint8_t buffer[65];
    EXPECT_EQ(device->ReadReport(buffer, sizeof buffer, 10), -1);
    delete device.data();
    f.owned.clear();
}

TEST(HidLayerScan, ADestroyedDeviceUnregistersAndComesBackAsANewObject)
{
    LayerFixture f;
    QList<THidDevice*> arrivals;
    f.layer.OnDeviceArrival = [&](THidDevice* device) { arrivals.append(device); };
    f.Plug();
    ASSERT_TRUE(f.Settle());
    ASSERT_EQ(f.owned.size(), 1);
    delete f.owned.takeFirst();

    int enumerated = 0;
    f.layer.OnEnumerate = [&](THidDevice*, int) { return ++enumerated, true; };
    f.layer.Enumerate();
    EXPECT_EQ(enumerated, 0);

    f.layer.OnEnumerate = [&](THidDevice* device, int index) {
        f.owned.append(f.layer.CheckOut(index));
        return device != nullptr;
    };
    ASSERT_TRUE(f.Settle());
    ASSERT_EQ(f.owned.size(), 1);
    EXPECT_TRUE(f.owned[0]->IsOpen());
    EXPECT_EQ(arrivals.size(), 1); // the device never left
}

TEST(HidLayerScan, ADeviceThatCannotBeOpenedIsHandedOverUnopened)
{
    LayerFixture f;
    auto tool = f.Plug();
    f.layer.OnDeviceChange = [&] { ++f.changes; };
    ASSERT_TRUE(f.Settle());
    // Pulled out between the scan and the hand-over: the backend refuses to open it.
    f.backend->Unplug(tool.get());
    int index = -1;
    f.layer.OnEnumerate = [&](THidDevice*, int i) { return index = i, true; };
    f.layer.Enumerate();
    ASSERT_EQ(index, 0);
    THidDevice* device = f.layer.CheckOut(index);
    ASSERT_NE(device, nullptr);
    f.owned.append(device);
    EXPECT_FALSE(device->IsOpen());
    EXPECT_FALSE(device->FlushQueue());
    const uint8_t report[2] = {0, 1};
    EXPECT_FALSE(device->WriteReport(report, 2));
}

TEST(HidLayerScan, LayerGoneBeforeItsCheckedOutDevices)
{
    auto backend = std::make_shared<VirtualHidBackend>();
    auto tool = std::make_shared<FakeDevice>(MakeInfo(0x2E3C, 0x0C60));
    backend->Plug(tool);
    THidDevice* device = nullptr;
    {
        THidLayer layer(backend);
        layer.OnDeviceChange = [&] { layer.Enumerate(); };
        layer.OnEnumerate = [&](THidDevice*, int index) { return (device = layer.CheckOut(index)) != nullptr; };
        layer.SetDeviceData([](THidDevice*, uint8_t, const uint8_t*, int) {});
        layer.StartScan();
        ASSERT_TRUE(WaitFor([&] { return device != nullptr; }));
        tool->SendInputReport(NumberedReport(1));
    }
    // Still usable for transactions; its pending delivery is dropped.
    Pump(20);
    EXPECT_TRUE(device->FlushQueue());
    delete device;
}

// Plays back a list of devices, as hidraw would show them; reads fail once the device is marked gone.
class ScriptedBackend : public HidBackend {
public:
    QList<HidDeviceInfo> devices;
    std::shared_ptr<std::atomic<bool>> failing = std::make_shared<std::atomic<bool>>(false);
    QList<HidDeviceInfo> enumerate() override { return devices; }
    std::unique_ptr<HidHandle> open(const QString&) override { return std::make_unique<Handle>(failing); }

private:
    class Handle : public HidHandle {
    public:
        explicit Handle(std::shared_ptr<std::atomic<bool>> failing) : FFailing(std::move(failing)) {}
        bool write(const uint8_t*, int) override { return !*FFailing; }
        int read(uint8_t*, int, int) override { return *FFailing ? -1 : 0; }
        void cancel() override {}

    private:
        std::shared_ptr<std::atomic<bool>> FFailing;
    };
};

HidDeviceInfo NodeInfo(const QString& path, const QString& serial)
{
    HidDeviceInfo info = MakeInfo(0x2E3C, 0x0C60, "Tool", serial);
    info.path = path;
    return info;
}

struct ScriptedLayer {
    std::shared_ptr<ScriptedBackend> backend = std::make_shared<ScriptedBackend>();
    THidLayer layer{backend};
    QList<THidDevice*> arrivals;
    QList<THidDevice*> seen; // the latest enumeration

    explicit ScriptedLayer(const QString& serial)
    {
        layer.OnDeviceArrival = [this](THidDevice* device) { arrivals.append(device); };
        layer.OnEnumerate = [this](THidDevice* device, int) { return seen.append(device), true; };
        layer.OnDeviceChange = [this] {
            seen.clear();
            layer.Enumerate();
        };
        backend->devices = {NodeInfo("/dev/hidraw0", serial)};
        layer.StartScan();
    }
    bool Rescan(int arrivalsExpected)
    {
        emit backend->devicesChanged();
        return WaitFor([&] { return arrivals.size() == arrivalsExpected; });
    }
};

TEST(HidLayerScan, AReusedNodeWithAnotherDeviceGetsANewObject)
{
    ScriptedLayer s("A");
    ASSERT_TRUE(WaitFor([&] { return s.seen.size() == 1; }));
    const QPointer<THidDevice> first = s.seen[0];
    s.backend->devices = {NodeInfo("/dev/hidraw0", "B")};
    ASSERT_TRUE(s.Rescan(2));
    ASSERT_EQ(s.seen.size(), 1);
    EXPECT_EQ(s.seen[0]->SerialNumber(), "B");
    EXPECT_TRUE(first.isNull());
}

TEST(HidLayerScan, ACheckedOutDeviceThatLostItsNodeIsReplacedAtTheNextScan)
{
    ScriptedLayer s("A");
    ASSERT_TRUE(WaitFor([&] { return s.seen.size() == 1; }));
    std::unique_ptr<THidDevice> old(s.layer.CheckOut(0));
    ASSERT_TRUE(old->IsOpen());
    // Pulled out and plugged in again between two scans: the old handles fail, the node looks the same.
    *s.backend->failing = true;
    uint8_t buffer[65];
    EXPECT_EQ(old->ReadReport(buffer, sizeof buffer, 0), -1);
    *s.backend->failing = false;
    ASSERT_TRUE(s.Rescan(2));
    ASSERT_EQ(s.seen.size(), 1);
    EXPECT_NE(s.seen[0], old.get());
}

} // namespace
