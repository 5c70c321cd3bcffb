#pragma once
// The platform side of the HID layer: enumeration, opening and change notification.
//
// One backend talks to real hardware (hidapi on hidraw, libudev for hot-plug); the virtual backend holds
// in-process devices (the simulator, test fakes). Everything above this interface is the same for both.

#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

struct HidDeviceInfo {
    QString path;              // unique while the device is plugged in
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    QString productName;       // may be empty
    QString serialNumber;      // may be empty
    int inputReportLength = 0;  // bytes, including the leading report ID byte
    int outputReportLength = 0; // bytes, including the leading report ID byte
};

// One open handle of a device. Like a Windows HID handle or an open hidraw node, every handle has its own
// input queue: each input report the device sends is seen by every open handle.
// A handle is used by one thread at a time, except cancel(), which any thread may call.
class HidHandle {
public:
    virtual ~HidHandle() = default;
    // Writes one output report (report ID byte first). Blocks until the report is taken.
    virtual bool write(const uint8_t* report, int length) = 0;
    // Waits at most timeoutMs for one input report and copies it (report ID byte first) into buffer.
    // Returns its length, 0 when the wait expired, -1 when the handle cannot be read (device gone).
    virtual int read(uint8_t* buffer, int capacity, int timeoutMs) = 0;
    // Ends a read that is waiting, on any thread; later reads return -1.
    virtual void cancel() = 0;
};

class HidBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HidBackend() override = default;
    // Every device plugged in now, in a stable order.
    virtual QList<HidDeviceInfo> enumerate() = 0;
    // Opens the device for reading and writing; null when it cannot be opened.
    virtual std::unique_ptr<HidHandle> open(const QString& path) = 0;

signals:
    // A device was attached or detached. Emitted on the thread the backend lives on (the user-interface thread).
    void devicesChanged();
};
