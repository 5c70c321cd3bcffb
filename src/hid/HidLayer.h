#pragma once
// The HID layer: the devices the platform reports, their readers and device-change notification.
//
// Threading design. Every device taken into use is opened twice, and each open handle has its own input
// queue (hidraw gives each open() its own copy of every input report; the virtual backend copies each
// report into every open handle):
//  - the reader handle is read only by the device's reader thread. The reader appends each report to a
//    bounded per-device queue and posts one queued drain call to the user-interface thread; it never waits
//    for that thread, which may be blocked in a transaction. On overflow the oldest reports are dropped and
//    counted; the frame counter check above this layer then reports the gap.
//  - the transaction handle is used on the user-interface thread: flush drains it without waiting, then the
//    command is written and replies are read with a bounded wait.
// So a transaction waiting for its reply sees every input report, while delivery of the same reports to the
// data handler waits its turn on the user-interface thread: no deadlock, nothing dropped silently, arrival
// order kept. The drain hands reports over one by one and never re-enters itself; after a batch it re-posts
// itself so that timers and painting keep running at high report rates. HoldDelivery() lets a long register
// operation keep the event loop running while reports wait, as if the thread were blocked.
//
// Device objects. A scan keeps one THidDevice per plugged-in path: the same device keeps its object while it
// stays plugged in. Objects not checked out belong to the layer and are deleted when their device goes; a
// checked-out object belongs to its caller, who deletes it (it then unregisters itself). Backend change
// notifications arriving within ScanDelayMs are coalesced into one scan.

#include "hid/HidBackend.h"
#include "hid/HidDevice.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class THidLayer : public QObject {
    Q_OBJECT
public:
    explicit THidLayer(std::shared_ptr<HidBackend> backend, QObject* parent = nullptr);
    ~THidLayer() override;

    HidBackend* Backend() const { return FBackend.get(); }

    // Notifications, all on the user-interface thread.
    std::function<void()> OnDeviceChange;                    // after every scan (the start-up scan counts as one)
    std::function<void(THidDevice*)> OnDeviceArrival;        // a device not seen before, before OnDeviceChange
    std::function<bool(THidDevice*, int index)> OnEnumerate; // per plugged-in device; false ends the enumeration
    // Input reports of every opened device, in arrival order: (device, report ID, data after the ID, size).
    using DataHandler = std::function<void(THidDevice*, uint8_t reportId, const uint8_t* data, int size)>;

    // Attaching the data handler starts a reader for every opened device; detaching stops and joins them
    // and drops the reports still waiting.
    void SetDeviceData(DataHandler handler);
    void ClearDeviceData();
    bool HasDeviceData() const { return static_cast<bool>(FOnDeviceData); }

    // Reader wait slice in milliseconds (the device list sets 100). Both values are taken by a reader
    // when it starts.
    int ReaderWaitMs = 100;
    // Reports kept per device while the user-interface thread is busy.
    int QueueCapacity = 16384;
    // Change notifications within this time give one scan.
    static constexpr int ScanDelayMs = 10;

    // Schedules the start-up scan: once the event loop runs, the layer scans and reports a device change
    // even when nothing changed.
    void StartScan();
    // Calls OnEnumerate for every plugged-in device, in the backend's order, until it returns false.
    void Enumerate();
    // Hands the device at enumeration position index over to the caller and opens it for reading and
    // writing. The caller owns it from then on. Null when the index is out of range. A device that cannot
    // be opened (no permission, in use elsewhere) is handed over all the same, with IsOpen() false: its
    // flush tries to open it again and fails while it still cannot be opened.
    THidDevice* CheckOut(int index);

    // While held (counted), reports stay queued; released delivery resumes in order.
    void HoldDelivery();
    void ReleaseDelivery();
    bool DeliveryHeld() const { return FHoldCount > 0; }

private:
    friend class THidDevice;
    void ScheduleScan(int delayMs);
    void Scan();
    THidDevice* FindPresent(const HidDeviceInfo& info) const;
    void DeviceDestroyed(THidDevice* device);
    void Deliver(THidDevice* device, const std::vector<uint8_t>& report);

    std::shared_ptr<HidBackend> FBackend;
    DataHandler FOnDeviceData;
    QList<THidDevice*> FEnumerated;        // one object per device of the latest scan, in the backend's order
                                           // (null: destroyed by its owner since)
    QList<THidDevice*> FKnown;             // every device object alive (owned by the caller once checked out)
    QList<QString> FSeenPaths;             // paths present at the latest scan
    int FHoldCount = 0;
    QTimer FScanTimer;
    bool FScanning = false;
    bool FRescan = false;                  // a change came in during the scan
};
