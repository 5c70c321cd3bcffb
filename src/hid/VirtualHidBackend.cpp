#include "hid/VirtualHidBackend.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>

// One open handle: its own bounded input queue, filled by the device from any thread.
class VirtualHandle : public HidHandle {
public:
    VirtualHandle(std::shared_ptr<VirtualHidDevice> device, int capacity)
        : FDevice(std::move(device)), FCapacity(std::max(capacity, 1))
    {
    }
    ~VirtualHandle() override { FDevice->Detach(this); }

    bool write(const uint8_t* report, int length) override
    {
        const int outputLength = FDevice->Info().outputReportLength;
        if (!report || length <= 0 || (outputLength > 0 && length > outputLength))
            return false;
        {
            std::lock_guard lock(FMutex);
            if (FFailed)
                return false;
        }
        QByteArray padded(reinterpret_cast<const char*>(report), length);
        if (padded.size() < outputLength)
            padded.append(outputLength - padded.size(), '\0');
        // No lock held: the device may answer at once through SendInputReport.
        FDevice->OutputReport(padded);
        return true;
    }

    int read(uint8_t* buffer, int capacity, int timeoutMs) override
    {
        std::unique_lock lock(FMutex);
        // A poll must not register as a waiter: every report pushed meanwhile would then pay for a wake-up.
        if (timeoutMs > 0)
            FReady.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return FFailed || !FQueue.empty(); });
        if (FFailed)
            return -1;
        if (FQueue.empty())
            return 0;
        const QByteArray report = std::move(FQueue.front());
        FQueue.pop_front();
        lock.unlock();
        const int length = std::min<int>(std::max(capacity, 0), report.size());
        if (length > 0)
            std::memcpy(buffer, report.constData(), size_t(length));
        return length;
    }

    void cancel() override { Fail(); }

    // Called by the device with its own lock held.
    void Push(const QByteArray& report)
    {
        {
            std::lock_guard lock(FMutex);
            if (FFailed)
                return;
            if (int(FQueue.size()) >= FCapacity)
                FQueue.pop_front();
            FQueue.push_back(report);
        }
        // Outside the lock, so that the woken reader does not block on it at once.
        FReady.notify_one();
    }

    void Fail()
    {
        std::lock_guard lock(FMutex);
        FFailed = true;
        FQueue.clear();
        FReady.notify_all();
    }

private:
    std::shared_ptr<VirtualHidDevice> FDevice; // keeps the device alive while the handle is open
    const int FCapacity;
    std::mutex FMutex;
    std::condition_variable FReady;
    std::deque<QByteArray> FQueue;
    bool FFailed = false;
};

VirtualHidDevice::VirtualHidDevice(const HidDeviceInfo& info) : FInfo(info) {}

VirtualHidDevice::~VirtualHidDevice() = default;

void VirtualHidDevice::SendInputReport(const QByteArray& report)
{
    QByteArray sized = report;
    const int length = FInfo.inputReportLength;
    if (length > 0) {
        if (sized.size() < length)
            sized.append(length - sized.size(), '\0');
        else if (sized.size() > length)
            sized.truncate(length); // a device cannot send more than its report holds
    }
    if (sized.isEmpty())
        return;
    std::lock_guard lock(FMutex);
    if (!FPlugged)
        return;
    for (VirtualHandle* handle : FHandles)
        handle->Push(sized);
}

int VirtualHidDevice::OpenHandles() const
{
    std::lock_guard lock(FMutex);
    return int(FHandles.size());
}

bool VirtualHidDevice::Attach(VirtualHandle* handle)
{
    std::lock_guard lock(FMutex);
    if (!FPlugged)
        return false;
    FHandles.push_back(handle);
    return true;
}

void VirtualHidDevice::Detach(VirtualHandle* handle)
{
    std::lock_guard lock(FMutex);
    std::erase(FHandles, handle);
}

void VirtualHidDevice::Unplugged()
{
    std::lock_guard lock(FMutex);
    FPlugged = false;
    for (VirtualHandle* handle : FHandles)
        handle->Fail();
}

VirtualHidBackend::~VirtualHidBackend()
{
    std::vector<std::shared_ptr<VirtualHidDevice>> devices;
    {
        std::lock_guard lock(FMutex);
        devices.swap(FDevices);
    }
    for (const auto& device : devices)
        device->Unplugged();
}

void VirtualHidBackend::Plug(std::shared_ptr<VirtualHidDevice> device)
{
    if (!device)
        return;
    {
        std::lock_guard lock(FMutex);
        if (std::find(FDevices.begin(), FDevices.end(), device) != FDevices.end())
            return;
        {
            std::lock_guard deviceLock(device->FMutex);
            device->FInfo.path = QStringLiteral("virtual:%1").arg(FNextId++);
            device->FPlugged = true;
        }
        FDevices.push_back(std::move(device));
    }
    Announce();
}

void VirtualHidBackend::Unplug(VirtualHidDevice* device)
{
    std::shared_ptr<VirtualHidDevice> removed;
    {
        std::lock_guard lock(FMutex);
        auto it = std::find_if(FDevices.begin(), FDevices.end(),
                               [device](const auto& d) { return d.get() == device; });
        if (it == FDevices.end())
            return;
        removed = std::move(*it);
        FDevices.erase(it);
    }
    removed->Unplugged();
    Announce();
}

std::vector<std::shared_ptr<VirtualHidDevice>> VirtualHidBackend::Devices() const
{
    std::lock_guard lock(FMutex);
    return FDevices;
}

QList<HidDeviceInfo> VirtualHidBackend::enumerate()
{
    std::lock_guard lock(FMutex);
    QList<HidDeviceInfo> infos;
    for (const auto& device : FDevices)
        infos.append(device->Info());
    return infos;
}

std::unique_ptr<HidHandle> VirtualHidBackend::open(const QString& path)
{
    std::shared_ptr<VirtualHidDevice> device;
    int capacity = 0;
    {
        std::lock_guard lock(FMutex);
        auto it = std::find_if(FDevices.begin(), FDevices.end(),
                               [&path](const auto& d) { return d->Info().path == path; });
        if (it == FDevices.end())
            return nullptr;
        device = *it;
        capacity = HandleQueueCapacity;
    }
    auto handle = std::make_unique<VirtualHandle>(device, capacity);
    if (!device->Attach(handle.get()))
        return nullptr; // pulled out meanwhile
    return handle;
}

void VirtualHidBackend::Announce()
{
    QMetaObject::invokeMethod(this, [this] { emit devicesChanged(); }, Qt::QueuedConnection);
}
