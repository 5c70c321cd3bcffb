#include "hid/HidDevice.h"

#include "hid/HidLayer.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <chrono>

namespace {
// A flush reads at most this many queued reports; a handle buffers far fewer, so only a device that
// floods faster than we read can reach it, and the flush must end anyway.
constexpr int MaxFlushReads = 65536;
constexpr int FallbackReportLength = 65;
} // namespace

THidDevice::THidDevice(THidLayer* layer, std::shared_ptr<HidBackend> backend, const HidDeviceInfo& info)
    : FLayer(layer), FBackend(std::move(backend)), FInfo(info)
{
}

THidDevice::~THidDevice()
{
    StopReader();
    FTransaction.reset();
    if (FLayer)
        FLayer->DeviceDestroyed(this);
}

bool THidDevice::Open()
{
    if (IsOpen())
        return true;
    if (FGone)
        return false;
    auto transaction = FBackend->open(FInfo.path);
    if (!transaction)
        return false;
    auto reader = FBackend->open(FInfo.path);
    if (!reader)
        return false;
    FTransaction = std::move(transaction);
    FReader = std::move(reader);
    FHandleFailed = false;
    if (FLayer && FLayer->HasDeviceData())
        StartReader();
    return true;
}

int THidDevice::ReadLength() const
{
    return FInfo.inputReportLength > 0 ? FInfo.inputReportLength : FallbackReportLength;
}

bool THidDevice::FlushQueue()
{
    if (!IsOpen() && !Open())
        return false;
    FFlushBuffer.resize(static_cast<size_t>(ReadLength()));
    for (int i = 0; i < MaxFlushReads; ++i) {
        const int n = FTransaction->read(FFlushBuffer.data(), int(FFlushBuffer.size()), 0);
        if (n < 0) {
            FHandleFailed = true;
            return false;
        }
        if (n == 0)
            break;
    }
    return true;
}

bool THidDevice::WriteReport(const uint8_t* report, int length)
{
    if (!FTransaction || !report || length <= 0)
        return false;
    return FTransaction->write(report, length);
}

int THidDevice::ReadReport(uint8_t* buffer, int capacity, int timeoutMs)
{
    if (!FTransaction || !buffer || capacity <= 0)
        return -1;
    const int n = FTransaction->read(buffer, capacity, timeoutMs);
    if (n < 0)
        FHandleFailed = true;
    return n;
}

void THidDevice::StartReader()
{
    if (FReaderThread.joinable() || !FTransaction || FGone)
        return;
    if (!FReader) {
        FReader = FBackend->open(FInfo.path);
        if (!FReader)
            return;
    }
    if (FLayer) {
        FWaitMs = std::max(FLayer->ReaderWaitMs, 1);
        FCapacity = std::max(FLayer->QueueCapacity, 1);
    }
    FStopReader = false;
    FReaderThread = std::thread([this] { ReaderLoop(); });
}

void THidDevice::StopReader()
{
    if (!FReaderThread.joinable())
        return;
    {
        std::lock_guard lock(FStopMutex);
        FStopReader = true;
    }
    FStopWake.notify_all();
    FReader->cancel();
    FReaderThread.join();
    // A cancelled handle stays unusable; the next start opens a fresh one.
    FReader.reset();
}

void THidDevice::ReaderLoop()
{
    const int length = ReadLength();
    std::vector<uint8_t> buffer(static_cast<size_t>(length));
    while (!FStopReader) {
        const int n = FReader->read(buffer.data(), length, FWaitMs);
        if (n > 0) {
            Enqueue(std::vector<uint8_t>(buffer.begin(), buffer.begin() + n));
        } else if (n < 0) {
            // Retry after one slice, never spin; a stop ends the pause at once.
            std::unique_lock lock(FStopMutex);
            if (!FStopReader)
                FHandleFailed = true;
            FStopWake.wait_for(lock, std::chrono::milliseconds(FWaitMs), [this] { return FStopReader.load(); });
        }
    }
}

void THidDevice::Enqueue(std::vector<uint8_t>&& report)
{
    bool post = false;
    {
        std::lock_guard lock(FQueueMutex);
        if (int(FQueue.size()) >= FCapacity) {
            FQueue.pop_front();
            ++FDropped;
        }
        FQueue.push_back(std::move(report));
        if (!FDrainPosted) {
            FDrainPosted = true;
            post = true;
        }
    }
    if (post)
        PostDrain();
}

void THidDevice::PostDrain()
{
    // The device is the context: a drain still queued when the device is destroyed is discarded with it.
    QMetaObject::invokeMethod(this, [this] { Drain(); }, Qt::QueuedConnection);
}

void THidDevice::Drain()
{
    if (FDraining)
        return; // the running drain goes on once the handler returns
    if (!FLayer) {
        ClearQueue();
        return;
    }
    if (FLayer->DeliveryHeld()) {
        FParked = true;
        return;
    }
    FDraining = true;
    const QPointer<THidDevice> alive(this);
    for (int delivered = 0;; ++delivered) {
        if (delivered == DrainBatch) {
            // Let timers and painting run before the next batch; the drain stays posted.
            FDraining = false;
            PostDrain();
            return;
        }
        std::vector<uint8_t> report;
        {
            std::lock_guard lock(FQueueMutex);
            if (FQueue.empty()) {
                FDrainPosted = false;
                break;
            }
            report = std::move(FQueue.front());
            FQueue.pop_front();
        }
        FLayer->Deliver(this, report);
        if (!alive)
            return; // the handler destroyed this device
        if (!FLayer) {
            ClearQueue();
            break;
        }
        if (FLayer->DeliveryHeld()) {
            FParked = true;
            break;
        }
    }
    FDraining = false;
}

void THidDevice::Resume()
{
    if (!FParked)
        return;
    FParked = false;
    PostDrain();
}

void THidDevice::ClearQueue()
{
    std::lock_guard lock(FQueueMutex);
    FQueue.clear();
    FDrainPosted = false;
    FParked = false;
}
