#pragma once
// Helpers shared by the HID layer tests: a scriptable virtual device and event-loop waits.

#include "hid/HidLayer.h"
#include "hid/VirtualHidBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <mutex>

inline HidDeviceInfo MakeInfo(uint16_t vid, uint16_t pid, const QString& name = QString(),
                              const QString& serial = QString(), int inLength = 65, int outLength = 65)
{
    HidDeviceInfo info;
    info.vendorId = vid;
    info.productId = pid;
    info.productName = name;
    info.serialNumber = serial;
    info.inputReportLength = inLength;
    info.outputReportLength = outLength;
    return info;
}

// Records output reports; OnOutput may answer on the writing thread.
class FakeDevice : public VirtualHidDevice {
public:
    using VirtualHidDevice::VirtualHidDevice;
    void OutputReport(const QByteArray& report) override
    {
        {
            std::lock_guard lock(FMutex);
            FOutputs.append(report);
        }
        if (OnOutput)
            OnOutput(report);
    }
    QList<QByteArray> Outputs() const
    {
        std::lock_guard lock(FMutex);
        return FOutputs;
    }
    std::function<void(const QByteArray&)> OnOutput;

private:
    mutable std::mutex FMutex;
    QList<QByteArray> FOutputs;
};

// A report: ID 0, then a marker byte and a 32-bit sequence number, least significant byte first.
inline QByteArray NumberedReport(uint32_t n, char marker = 'S')
{
    QByteArray r(6, '\0');
    r[1] = marker;
    for (int i = 0; i < 4; ++i)
        r[2 + i] = char((n >> (8 * i)) & 0xFF);
    return r;
}

inline uint32_t SequenceOf(const uint8_t* data)
{
    // data starts after the report ID: marker, then the number
    return uint32_t(data[1]) | uint32_t(data[2]) << 8 | uint32_t(data[3]) << 16 | uint32_t(data[4]) << 24;
}

// Runs the event loop until cond holds or timeoutMs passes.
inline bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return true;
}

// Runs the event loop for ms milliseconds.
inline void Pump(int ms)
{
    WaitFor([] { return false; }, ms);
}

// A layer over a virtual backend whose device-change handler checks out every new device, as the device
// list does.
struct LayerFixture {
    std::shared_ptr<VirtualHidBackend> backend = std::make_shared<VirtualHidBackend>();
    THidLayer layer{backend};
    QList<THidDevice*> owned;
    int changes = 0;

    LayerFixture()
    {
        layer.OnDeviceChange = [this] {
            ++changes;
            layer.Enumerate();
        };
        layer.OnEnumerate = [this](THidDevice* device, int index) {
            if (!owned.contains(device))
                if (THidDevice* taken = layer.CheckOut(index))
                    owned.append(taken);
            return true;
        };
    }
    ~LayerFixture()
    {
        // Owners delete their devices before the layer goes, as the device list does.
        qDeleteAll(owned);
    }

    std::shared_ptr<FakeDevice> Plug(uint16_t vid = 0x2E3C, uint16_t pid = 0x0C60, const QString& serial = "1")
    {
        auto device = std::make_shared<FakeDevice>(MakeInfo(vid, pid, "Tool", serial));
        backend->Plug(device);
        return device;
    }
    // Scans and waits for the change to be handled.
    bool Settle()
    {
        const int before = changes;
        layer.StartScan();
        return WaitFor([&] { return changes > before; });
    }
};
