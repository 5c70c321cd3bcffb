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
    bool FlushQueue();                                   // drops every input report queued on the transaction handle
    bool WriteReport(const uint8_t* report, int length); // blocking write of one output report
    // Waits at most timeoutMs for the next input report; returns its length (report ID byte included),
    // 0 when the wait expired, -1 when the device cannot be read.
    int ReadReport(uint8_t* buffer, int capacity, int timeoutMs);

    // Reports dropped because the user-interface thread fell too far behind (oldest dropped first).
    quint64 DroppedReports() const { return FDropped.load(); }

private:
    friend class THidLayer;
    THidDevice(THidLayer* layer, const HidDeviceInfo& info);

    void StartReader();
    void StopReader();
    void ReaderLoop();
    void Drain();               // user-interface thread: hands queued reports to the layer's handler

    THidLayer* FLayer;
    HidDeviceInfo FInfo;
    std::unique_ptr<HidHandle> FTransaction;
    std::unique_ptr<HidHandle> FReader;
    std::thread FReaderThread;
    std::atomic<bool> FStopReader{false};

    std::mutex FQueueMutex;
    std::deque<std::vector<uint8_t>> FQueue; // reports waiting for the user-interface thread
    bool FDrainPosted = false;
    std::atomic<quint64> FDropped{0};
    bool FDraining = false;
};
