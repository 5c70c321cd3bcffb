#pragma once
// One HID device as the HID layer presents it (see HidLayer.h for the threading design).

#include "hid/HidBackend.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class THidLayer;

class THidDevice : public QObject {
    Q_OBJECT
public:
    ~THidDevice() override;

    uint16_t VendorID() const { return FInfo.vendorId; }
    uint16_t ProductID() const { return FInfo.productId; }
    QString ProductName() const { return FInfo.productName; }
    // Read from the device once, when it was first seen, and remembered.
    QString SerialNumber() const { return FInfo.serialNumber; }
    int InputReportLength() const { return FInfo.inputReportLength; }
    int OutputReportLength() const { return FInfo.outputReportLength; }
    QString Path() const { return FInfo.path; }

    // Opens the transaction handle and the reader handle. True when both are open.
    bool Open();
    bool IsOpen() const { return FTransaction != nullptr; }

    // Transaction side, used on the user-interface thread only.
    // Drops every input report queued on the transaction handle, without waiting. False only when the
    // handle cannot be used (a device that could not be opened is tried once more first).
    bool FlushQueue();
    bool WriteReport(const uint8_t* report, int length); // blocking write of one output report
    // Waits at most timeoutMs for the next input report; returns its length (report ID byte included),
    // 0 when the wait expired, -1 when the device cannot be read.
    int ReadReport(uint8_t* buffer, int capacity, int timeoutMs);

    // Reports dropped because the user-interface thread fell too far behind (oldest dropped first).
    quint64 DroppedReports() const { return FDropped.load(); }

private:
    friend class THidLayer;
    THidDevice(THidLayer* layer, std::shared_ptr<HidBackend> backend, const HidDeviceInfo& info);

    // Reports handed over per drain call before it yields to the event loop (timers, painting).
    static constexpr int DrainBatch = 64;

    void StartReader();
    void StopReader();
    void ReaderLoop();
    void Enqueue(std::vector<uint8_t>&& report); // reader thread
    void PostDrain();
    void Drain();               // user-interface thread: hands queued reports to the layer's handler
    void Resume();              // delivery released: continue a drain parked by the hold
    void ClearQueue();
    int ReadLength() const;     // buffer size for one input report

    THidLayer* FLayer;          // null once the layer is gone
    std::shared_ptr<HidBackend> FBackend;
    HidDeviceInfo FInfo;
    bool FCheckedOut = false;   // owned by the caller of CheckOut
    bool FGone = false;         // no longer plugged in: its path may soon name another device
    std::unique_ptr<HidHandle> FTransaction;
    std::unique_ptr<HidHandle> FReader;
    std::atomic<bool> FHandleFailed{false}; // a read reported the device gone

    std::thread FReaderThread;
    std::atomic<bool> FStopReader{false};
    std::mutex FStopMutex;
    std::condition_variable FStopWake; // ends the pause after a failed read at once when stopping
    int FWaitMs = 100;                 // copied for the reader thread when it starts
    int FCapacity = 16384;

    std::vector<uint8_t> FFlushBuffer; // transaction side: reports dropped by FlushQueue land here

    std::mutex FQueueMutex;
    std::deque<std::vector<uint8_t>> FQueue; // reports waiting for the user-interface thread
    bool FDrainPosted = false;               // a drain is posted or running; the reader posts no other
    std::atomic<quint64> FDropped{0};
    bool FDraining = false;
    bool FParked = false;                    // the drain stopped for a hold; release posts it again
};
