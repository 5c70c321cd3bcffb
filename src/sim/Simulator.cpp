#include "sim/Simulator.h"
#include "sim/SinkToolDevice.h"

#include "toollink/ToolFilter.h"

#include <algorithm>
#include <functional>

namespace {

constexpr int DfuLeaveDelayMs = 20;  // the tool answers EnterDFU, then drops off the bus
constexpr int MaxCatchUpSamples = 1000; // after a stall the clock skips ahead instead of bursting

quint64 ChooseSeed(quint64 seed)
{
    if (seed != 0)
        return seed;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count()
                       ^ std::chrono::system_clock::now().time_since_epoch().count();
    return quint64(ticks) | 1;
}

QString ModelName(uint16_t productId)
{
    switch (productId) {
    case ToolFilter::KC60A: return QStringLiteral("KC60A");
    case ToolFilter::KD30: return QStringLiteral("KD30");
    case ToolFilter::KC70: return QStringLiteral("KC70");
    default: return QStringLiteral("KC60");
    }
}

} // namespace

TSimulator::TSimulator(const SimOptions& options, QObject* parent)
    : QObject(parent),
      FOptions(options),
      FSeed(ChooseSeed(options.seed)),
      FBackend(std::make_shared<VirtualHidBackend>()),
      FChip(FSeed),
      FFaults(options.faults, FSeed ^ 0x9E3779B97F4A7C15ull),
      FTool(options, FChip, FFaults)
{
    FChip.SetAddress(options.chipAddress);
    FFinger.SetScenario(options.scenario);

    FProductName = QStringLiteral("Korvane %1 Configuration Tool (simulated)").arg(ModelName(options.productId));
    HidDeviceInfo info;
    info.vendorId = ToolFilter::ToolVendorID;
    info.productId = options.productId;
    info.productName = FProductName;
    info.serialNumber = options.serialNumber;
    info.inputReportLength = TSimTool::ReportLength;
    info.outputReportLength = TSimTool::ReportLength;
    FDevice = std::make_shared<TSinkToolDevice>(info, [this](const QByteArray& r) { OnOutputReport(r); });

    FWorker = std::thread([this] { WorkerLoop(); });
    if (options.plugged)
        PlugTool();
}

TSimulator::~TSimulator()
{
    {
        std::lock_guard lock(FWorkerMutex);
        FStop = true;
    }
    FWake.notify_all();
    FWorker.join();
    FDevice->Disconnect();
    FBackend->Unplug(FDevice.get());
}

void TSimulator::PlugTool()
{
    bool scheduleVanish = false;
    {
        std::lock_guard lock(FMutex);
        if (FPlugged)
            return;
        FPlugged = true;
        FTool.Restart();
        scheduleVanish = FOptions.faults.vanishAfterMs >= 0 && !FVanishScheduled;
        FVanishScheduled = FVanishScheduled || scheduleVanish;
    }
    FBackend->Plug(FDevice);
    if (scheduleVanish)
        Schedule(Deferred::Unplug, FOptions.faults.vanishAfterMs);
}

void TSimulator::UnplugTool()
{
    {
        std::lock_guard lock(FMutex);
        if (!FPlugged)
            return;
        FPlugged = false;
        FTool.PowerDown();
    }
    FBackend->Unplug(FDevice.get());
}

bool TSimulator::ToolPlugged() const
{
    std::lock_guard lock(FMutex);
    return FPlugged;
}

SimToolStatus TSimulator::ToolStatus() const
{
    std::lock_guard lock(FMutex);
    return FTool.Status();
}

SimFaultCounts TSimulator::FaultCounts() const
{
    std::lock_guard lock(FMutex);
    return FFaults.Counts();
}

void TSimulator::SetChipAddress(int address)
{
    std::lock_guard lock(FMutex);
    FChip.SetAddress(address);
}

int TSimulator::ChipAddress() const
{
    std::lock_guard lock(FMutex);
    return FChip.Address();
}

SimChipStatus TSimulator::ChipStatus() const
{
    std::lock_guard lock(FMutex);
    return FChip.Status();
}

QByteArray TSimulator::ChipRegister(uint8_t address) const
{
    std::lock_guard lock(FMutex);
    return FChip.Register(address);
}

uint8_t TSimulator::ChipMemory(uint8_t address) const
{
    std::lock_guard lock(FMutex);
    return FChip.Memory(address);
}

bool TSimulator::SetScenario(const QString& name)
{
    std::lock_guard lock(FMutex);
    return FFinger.SetScenario(name);
}

QString TSimulator::Scenario() const
{
    std::lock_guard lock(FMutex);
    return FFinger.Scenario();
}

void TSimulator::SetHand(double nearness)
{
    std::lock_guard lock(FMutex);
    FFinger.SetHand(nearness);
}

void TSimulator::SetTouch(int channel, bool touched)
{
    std::lock_guard lock(FMutex);
    FFinger.SetKey(channel, touched);
}

void TSimulator::SetWheelFinger(bool touching, double position)
{
    std::lock_guard lock(FMutex);
    FFinger.SetWheel(touching, position);
}

void TSimulator::StartGesture(SimGesture gesture)
{
    std::lock_guard lock(FMutex);
    FFinger.StartGesture(gesture, double(FSamples) / FOptions.sampleRateHz);
}

double TSimulator::SimTime() const
{
    std::lock_guard lock(FMutex);
    return double(FSamples) / FOptions.sampleRateHz;
}

quint64 TSimulator::Samples() const
{
    std::lock_guard lock(FMutex);
    return FSamples;
}

void TSimulator::Advance(int samples)
{
    for (int i = 0; i < samples; ++i)
        Tick();
}

void TSimulator::Send(const TSimTool::Reports& reports)
{
    for (const QByteArray& report : reports)
        FDevice->SendInputReport(report);
}

void TSimulator::OnOutputReport(const QByteArray& report)
{
    TSimTool::Reports out;
    SimCommandVerdict verdict = SimCommandVerdict::Ignore;
    bool dfu = false;
    {
        std::lock_guard lock(FMutex);
        if (!FPlugged)
            return;
        verdict = FTool.Command(report, out);
        dfu = FTool.TakeDfuRequest();
    }
    Send(out);
    if (verdict == SimCommandVerdict::Vanish)
        UnplugTool();
    if (dfu) {
        // The tool restarts into its firmware-update mode, leaves the bus and comes back as itself.
        Schedule(Deferred::Unplug, DfuLeaveDelayMs);
        Schedule(Deferred::Plug, DfuLeaveDelayMs + FOptions.dfuDelayMs);
    }
}

void TSimulator::Tick()
{
    TSimTool::Reports out;
    {
        std::lock_guard lock(FMutex);
        const double now = double(FSamples++) / FOptions.sampleRateHz;
        const bool sampled = FChip.Sample(FFinger.Couplings(now, FChip.SliderMode()), now);
        if (FPlugged)
            FTool.Tick(sampled, out);
    }
    Send(out);
}

void TSimulator::Schedule(Deferred action, int delayMs)
{
    {
        std::lock_guard lock(FWorkerMutex);
        FSchedule.emplace_back(Clock::now() + std::chrono::milliseconds(delayMs), action);
    }
    FWake.notify_all();
}

void TSimulator::WorkerLoop()
{
    const auto period = std::chrono::nanoseconds(1000000000LL / std::max(FOptions.sampleRateHz, 1));
    auto next = Clock::now() + period;
    std::unique_lock lock(FWorkerMutex);
    while (!FStop) {
        auto wakeAt = FOptions.manualClock ? Clock::now() + std::chrono::hours(1) : next;
        for (const auto& [at, action] : FSchedule)
            wakeAt = std::min(wakeAt, at);
        FWake.wait_until(lock, wakeAt);
        if (FStop)
            break;

        const auto now = Clock::now();
        std::vector<Deferred> due;
        for (auto it = FSchedule.begin(); it != FSchedule.end();) {
            if (it->first <= now) {
                due.push_back(it->second);
                it = FSchedule.erase(it);
            } else {
                ++it;
            }
        }
        lock.unlock();
        for (Deferred action : due)
            action == Deferred::Plug ? PlugTool() : UnplugTool();
        if (!FOptions.manualClock) {
            int run = 0;
            while (next <= now && run < MaxCatchUpSamples) {
                Tick();
                next += period;
                ++run;
            }
            if (next <= now)
                next = now + period;
        }
        lock.lock();
    }
}
