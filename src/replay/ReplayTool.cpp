#include "replay/ReplayTool.h"
#include "sim/SinkToolDevice.h"

#include "toollink/ToolFilter.h"

#include <algorithm>
#include <functional>

namespace {

constexpr auto StreamPoll = std::chrono::milliseconds(20); // how soon a stream start is noticed
constexpr uint8_t AtiBusyFlag = 0x04, AtiEvent = 0x08;
constexpr auto MaxLag = std::chrono::seconds(1);           // further behind, the timing starts afresh

} // namespace

TReplayTool::TReplayTool(TRecording recording, bool manualClock, QObject* parent)
    : QObject(parent),
      FRecording(std::move(recording)),
      FManualClock(manualClock),
      FBackend(std::make_shared<VirtualHidBackend>()),
      FChip(1),
      FFaults(SimFaults{}, 1),
      FTool(SimOptions{}, FChip, FFaults)
{
    HidDeviceInfo info;
    info.vendorId = ToolFilter::ToolVendorID;
    info.productId = ToolFilter::KC60;
    info.productName = ProductName();
    info.serialNumber = QStringLiteral("KC60-REPLAY");
    info.inputReportLength = TSimTool::ReportLength;
    info.outputReportLength = TSimTool::ReportLength;
    FDevice = std::make_shared<TSinkToolDevice>(info, [this](const QByteArray& r) { OnOutputReport(r); });
    FWorker = std::thread([this] { WorkerLoop(); });
    FBackend->Plug(FDevice);
}

TReplayTool::~TReplayTool()
{
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FWake.notify_all();
    FWorker.join();
    FDevice->Disconnect();
    FBackend->Unplug(FDevice.get());
}

QString TReplayTool::ProductName() const
{
    return QStringLiteral("Korvane KC60 Configuration Tool (replay)");
}

void TReplayTool::SetPaused(bool paused)
{
    {
        std::lock_guard lock(FMutex);
        FPaused = paused;
        FAnchored = false;
    }
    FWake.notify_all();
}

bool TReplayTool::Paused() const
{
    std::lock_guard lock(FMutex);
    return FPaused;
}

void TReplayTool::SetSpeed(double speed)
{
    {
        std::lock_guard lock(FMutex);
        FSpeed = std::clamp(speed, MinSpeed, MaxSpeed);
        FAnchored = false;
    }
    FWake.notify_all();
}

double TReplayTool::Speed() const
{
    std::lock_guard lock(FMutex);
    return FSpeed;
}

bool TReplayTool::Step()
{
    TSimTool::Reports out;
    bool played = false;
    {
        std::lock_guard lock(FMutex);
        played = PlayFrame(out);
        FAnchored = false;
    }
    Send(out);
    return played;
}

void TReplayTool::Rewind()
{
    {
        std::lock_guard lock(FMutex);
        FPosition = 0;
        FAnchored = false;
    }
    FWake.notify_all();
}

int TReplayTool::Advance(int frames)
{
    int played = 0;
    while (played < frames && Step())
        ++played;
    return played;
}

int TReplayTool::Position() const
{
    std::lock_guard lock(FMutex);
    return FPosition;
}

bool TReplayTool::Streaming() const
{
    std::lock_guard lock(FMutex);
    return FTool.Status().streaming;
}

SimToolStatus TReplayTool::ToolStatus() const
{
    std::lock_guard lock(FMutex);
    return FTool.Status();
}

void TReplayTool::OnOutputReport(const QByteArray& report)
{
    TSimTool::Reports out;
    {
        std::lock_guard lock(FMutex);
        const bool wasPowered = FChip.Powered();
        FTool.Command(report, out);
        // A chip that powers up comes up with the recorded set-up.
        if (!wasPowered && FChip.Powered())
            LoadSetup();
    }
    Send(out);
    FWake.notify_all();
}

void TReplayTool::LoadSetup()
{
    const TRecordedValues first = FRecording.Values(FRecording.Frames.front());
    FTuningFrames = first.HasFlags && (first.Flags & AtiBusyFlag) ? 0 : PowerUpTuningFrames;
    for (const auto& [address, bytes] : FRecording.Setup)
        FChip.LoadRegister(address, bytes);
    if (FRecording.ActualBase)
        for (int c = 0; c < 4; ++c)
            FChip.LoadMemory(RecordedRegister::ActualBaseMemory[size_t(c)],
                             uint8_t(std::clamp((*FRecording.ActualBase)[size_t(c)] / 2, 0, 255)));
}

bool TReplayTool::PlayFrame(TSimTool::Reports& out)
{
    if (!FTool.Status().streaming || FPosition >= FRecording.Frames.size())
        return false;
    const bool tuning = FTuningFrames > 0;
    const TRecordedFrame& frame = FRecording.Frames[tuning ? FPosition : FPosition++];
    const QByteArray& map = FRecording.StreamMaps[frame.Map];
    for (int i = 0; i < map.size() && i < frame.Data.size(); ++i)
        if (map[i] != 0)
            FChip.LoadRegister(uint8_t(map[i]), FRecording.Register(frame, uint8_t(map[i])));

    // Without recorded deltas the chip still has them: the difference of its counts and averages.
    const TRecordedValues v = FRecording.Values(frame);
    if (!v.HasDeltas && v.HasCounts && v.HasLta) {
        const bool projected = FChip.Register(RecordedRegister::SystemFlags)[0] & 0x10;
        QByteArray deltas(8, '\0');
        for (int c = 0; c < 4; ++c) {
            const int d = std::max(projected ? v.Counts[size_t(c)] - v.Lta[size_t(c)]
                                             : v.Lta[size_t(c)] - v.Counts[size_t(c)], 0);
            deltas[2 * c] = char(d & 0xFF);
            deltas[2 * c + 1] = char((d >> 8) & 0xFF);
        }
        FChip.LoadRegister(RecordedRegister::Deltas, deltas);
    }
    if (tuning) {
        QByteArray flags = FChip.Register(RecordedRegister::SystemFlags);
        const bool busy = --FTuningFrames > 0;
        flags[0] = char(busy ? flags[0] | AtiBusyFlag : flags[0] & ~AtiBusyFlag);
        flags[1] = char(busy ? 0 : AtiEvent);
        FChip.LoadRegister(RecordedRegister::SystemFlags, flags);
    }
    FTool.Tick(true, out);
    return true;
}

void TReplayTool::Send(const TSimTool::Reports& reports)
{
    for (const QByteArray& report : reports)
        FDevice->SendInputReport(report);
}

void TReplayTool::WorkerLoop()
{
    std::unique_lock lock(FMutex);
    while (!FStop) {
        const auto now = Clock::now();
        auto wake = now + StreamPoll;
        const bool running = !FManualClock && !FPaused && FTool.Status().streaming
                             && FPosition < FRecording.Frames.size();
        if (!running) {
            FAnchored = false;
        } else {
            const qint64 at = FRecording.Frames[FPosition].TimeUs;
            if (!FAnchored) {
                FAnchored = true;
                FAnchorWall = now;
                FAnchorTimeUs = at;
            }
            const auto due = FAnchorWall
                             + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double, std::micro>((at - FAnchorTimeUs) / FSpeed));
            if (due <= now) {
                if (now - due > MaxLag)
                    FAnchored = false;
                TSimTool::Reports out;
                PlayFrame(out);
                lock.unlock();
                Send(out);
                lock.lock();
                continue;
            }
            wake = std::min(wake, due);
        }
        FWake.wait_until(lock, wake);
    }
}
