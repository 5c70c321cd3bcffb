#include "hid/HidLayer.h"

THidLayer::THidLayer(std::shared_ptr<HidBackend> backend, QObject* parent)
    : QObject(parent), FBackend(std::move(backend))
{
    FScanTimer.setSingleShot(true);
    connect(&FScanTimer, &QTimer::timeout, this, &THidLayer::Scan);
    connect(FBackend.get(), &HidBackend::devicesChanged, this, [this] { ScheduleScan(ScanDelayMs); });
}

THidLayer::~THidLayer()
{
    FOnDeviceData = nullptr;
    const QList<THidDevice*> known = FKnown;
    FKnown.clear();
    FEnumerated.clear();
    for (THidDevice* device : known) {
        device->StopReader();
        device->FLayer = nullptr;
        if (!device->FCheckedOut)
            delete device;
    }
}

void THidLayer::SetDeviceData(DataHandler handler)
{
    if (!handler) {
        ClearDeviceData();
        return;
    }
    FOnDeviceData = std::move(handler);
    for (THidDevice* device : FKnown)
        device->StartReader();
}

void THidLayer::ClearDeviceData()
{
    FOnDeviceData = nullptr;
    for (THidDevice* device : FKnown) {
        device->StopReader();
        device->ClearQueue();
    }
}

void THidLayer::StartScan()
{
    ScheduleScan(0);
}

void THidLayer::ScheduleScan(int delayMs)
{
    if (FScanning) {
        FRescan = true;
        return;
    }
    // A scan already due soon covers this notification too.
    if (!FScanTimer.isActive() || FScanTimer.remainingTime() > delayMs)
        FScanTimer.start(delayMs);
}

THidDevice* THidLayer::FindPresent(const HidDeviceInfo& info) const
{
    for (THidDevice* device : FEnumerated) {
        if (!device || device->FInfo.path != info.path)
            continue;
        // A node number can be reused by another device plugged in between two scans: only the same
        // device, with handles that still work, keeps its object.
        if (device->VendorID() != info.vendorId || device->ProductID() != info.productId
            || device->SerialNumber() != info.serialNumber || device->FHandleFailed)
            return nullptr;
        return device;
    }
    return nullptr;
}

void THidLayer::Scan()
{
    FScanning = true;
    const QList<HidDeviceInfo> infos = FBackend->enumerate();
    QList<THidDevice*> objects;
    QList<THidDevice*> arrived;
    QList<QString> paths;
    for (const HidDeviceInfo& info : infos) {
        THidDevice* device = FindPresent(info);
        if (!device) {
            device = new THidDevice(this, FBackend, info);
            FKnown.append(device);
            arrived.append(device);
        }
        objects.append(device);
        paths.append(info.path);
    }
    QList<THidDevice*> gone;
    QList<QString> gonePaths;
    for (THidDevice* device : FEnumerated) {
        if (device && !objects.contains(device)) {
            gone.append(device);
            gonePaths.append(device->Path());
        }
    }

    FEnumerated = objects;
    const QList<QString> seenBefore = FSeenPaths;
    FSeenPaths = paths;

    for (THidDevice* device : gone) {
        if (device->FCheckedOut) {
            // Its owner deletes it; the reports already queued still go out.
            device->FGone = true;
            device->StopReader();
        } else {
            delete device;
        }
    }
    for (THidDevice* device : arrived) {
        // A new object at a path seen before is no arrival when its owner destroyed the old object while
        // the device stayed plugged in; it is one when the old object was replaced (another device, or
        // the device came back between two scans).
        const QString path = device->Path();
        if ((gonePaths.contains(path) || !seenBefore.contains(path)) && OnDeviceArrival)
            OnDeviceArrival(device);
    }
    if (OnDeviceChange)
        OnDeviceChange();
    FScanning = false;
    if (FRescan) {
        FRescan = false;
        ScheduleScan(ScanDelayMs);
    }
}

void THidLayer::Enumerate()
{
    // The handler may check devices out or destroy them; entries are never removed meanwhile.
    for (int i = 0; i < FEnumerated.size(); ++i) {
        THidDevice* device = FEnumerated[i];
        if (!device)
            continue;
        if (!OnEnumerate || !OnEnumerate(device, i))
            break;
    }
}

THidDevice* THidLayer::CheckOut(int index)
{
    if (index < 0 || index >= FEnumerated.size())
        return nullptr;
    THidDevice* device = FEnumerated[index];
    if (!device)
        return nullptr;
    device->Open();
    device->FCheckedOut = true;
    return device;
}

void THidLayer::HoldDelivery()
{
    ++FHoldCount;
}

void THidLayer::ReleaseDelivery()
{
    if (FHoldCount == 0)
        return;
    if (--FHoldCount > 0)
        return;
    for (THidDevice* device : FKnown)
        device->Resume();
}

void THidLayer::DeviceDestroyed(THidDevice* device)
{
    FKnown.removeAll(device);
    const int i = FEnumerated.indexOf(device);
    if (i >= 0)
        FEnumerated[i] = nullptr;
}

void THidLayer::Deliver(THidDevice* device, const std::vector<uint8_t>& report)
{
    if (!FOnDeviceData || report.empty())
        return;
    // A copy: the handler may detach itself while it runs.
    const DataHandler handler = FOnDeviceData;
    handler(device, report[0], report.data() + 1, int(report.size()) - 1);
}
