#pragma once
// In-process HID devices behind the same interface as real hardware: the simulator and the test fakes
// plug in here, and everything above the HID layer treats them exactly like USB devices.

#include "hid/HidBackend.h"

#include <QByteArray>
#include <mutex>
#include <vector>

class VirtualHandle;

// A device living in this process. Subclasses answer output reports and send input reports.
class VirtualHidDevice {
public:
    explicit VirtualHidDevice(const HidDeviceInfo& info); // info.path is filled in when plugged
    virtual ~VirtualHidDevice();
    VirtualHidDevice(const VirtualHidDevice&) = delete;
    VirtualHidDevice& operator=(const VirtualHidDevice&) = delete;

    const HidDeviceInfo& Info() const { return FInfo; }

    // Called for every output report written through any open handle, on the writing thread
    // (report ID byte first, the output report length long).
    virtual void OutputReport(const QByteArray& report) = 0;

    // Copies one input report (report ID byte first) into the queue of every open handle. Any thread.
    // Shorter reports are padded with zeros to the input report length.
    void SendInputReport(const QByteArray& report);
    // Number of handles open on the device now.
    int OpenHandles() const;

private:
    friend class VirtualHidBackend;
    friend class VirtualHandle;
    bool Attach(VirtualHandle* handle); // false when the device is not plugged in
    void Detach(VirtualHandle* handle);
    void Unplugged();  // every open handle fails from now on

    HidDeviceInfo FInfo;
    mutable std::mutex FMutex;
    std::vector<VirtualHandle*> FHandles;
    bool FPlugged = false;
};

class VirtualHidBackend : public HidBackend {
    Q_OBJECT
public:
    using HidBackend::HidBackend;
    ~VirtualHidBackend() override;

    // Plugs a device in (its path becomes "virtual:N") and announces the change. Any thread; the
    // notification reaches the user-interface thread through the event loop.
    void Plug(std::shared_ptr<VirtualHidDevice> device);
    // Pulls a device out: its open handles fail at once, and the change is announced.
    void Unplug(VirtualHidDevice* device);
    std::vector<std::shared_ptr<VirtualHidDevice>> Devices() const;

    // Reports each open handle keeps until it is read; when full the oldest is dropped, like a hidraw
    // node's buffer, so a device streaming into a handle nobody reads cannot grow memory without limit.
    // Applies to handles opened afterwards.
    int HandleQueueCapacity = 16384;

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path) override;

private:
    void Announce();
    mutable std::mutex FMutex;
    std::vector<std::shared_ptr<VirtualHidDevice>> FDevices;
    int FNextId = 1;
};
