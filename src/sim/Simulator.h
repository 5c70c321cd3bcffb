#pragma once
// The built-in simulator: a configuration tool with a KT610B on its I2C bus, plugged into an in-process HID
// backend. The host stack talks to it exactly as to real hardware; nothing here uses the host's code.
//
// Threading: the host writes command reports on its own thread and the tool answers at once; a worker thread
// runs the sample clock (unless the clock is manual) and timed events (EnterDFU, vanishing). One mutex
// guards the tool, the chip and the finger; reports are sent after it is released.

#include "sim/SimChip.h"
#include "sim/SimFaults.h"
#include "sim/SimFinger.h"
#include "sim/SimOptions.h"
#include "sim/SimTool.h"

#include "hid/VirtualHidBackend.h"

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TSinkToolDevice;

class TSimulator : public QObject {
    Q_OBJECT
public:
    explicit TSimulator(const SimOptions& options, QObject* parent = nullptr);
    ~TSimulator() override;

    std::shared_ptr<VirtualHidBackend> Backend() const { return FBackend; }
    const SimOptions& Options() const { return FOptions; }
    quint64 Seed() const { return FSeed; } // the seed in use, drawn from the clock when the options gave 0

    // The tool on the USB. It is plugged in at construction unless the options say otherwise.
    void PlugTool();
    void UnplugTool();
    bool ToolPlugged() const;
    SimToolStatus ToolStatus() const;
    SimFaultCounts FaultCounts() const;
    QString ProductName() const { return FProductName; }

    // The chip on the tool's bus.
    void SetChipAddress(int address); // -1: no chip
    int ChipAddress() const;
    SimChipStatus ChipStatus() const;
    QByteArray ChipRegister(uint8_t address) const;
    uint8_t ChipMemory(uint8_t address) const;

    // The hand and finger: a scenario, and manual controls on top of it.
    static QStringList Scenarios() { return TSimFinger::Scenarios(); }
    bool SetScenario(const QString& name);
    QString Scenario() const;
    void SetHand(double nearness);               // 0 far .. 1 at the proximity electrode
    void SetTouch(int channel, bool touched);    // a finger right on CH0..CH3
    void SetWheelFinger(bool touching, double position); // along the wheel or slider, 0..1
    void StartGesture(SimGesture gesture);       // a tap or flick, played from now

    // Time. Advance runs samples at once, on the calling thread; with the manual clock nothing else does.
    void Advance(int samples);
    double SimTime() const; // seconds of samples run
    quint64 Samples() const;

private:
    enum class Deferred { Plug, Unplug };
    using Clock = std::chrono::steady_clock;

    void OnOutputReport(const QByteArray& report);
    void Tick();
    void Send(const TSimTool::Reports& reports);
    void Schedule(Deferred action, int delayMs);
    void WorkerLoop();

    const SimOptions FOptions;
    const quint64 FSeed;
    QString FProductName;
    std::shared_ptr<VirtualHidBackend> FBackend;
    std::shared_ptr<TSinkToolDevice> FDevice;

    mutable std::mutex FMutex; // the models below
    TSimChip FChip;
    TSimFaultInjector FFaults;
    TSimTool FTool;
    TSimFinger FFinger;
    quint64 FSamples = 0;
    bool FPlugged = false;
    bool FVanishScheduled = false;

    std::mutex FWorkerMutex; // the schedule below
    std::condition_variable FWake;
    bool FStop = false;
    std::vector<std::pair<Clock::time_point, Deferred>> FSchedule;
    std::thread FWorker;
};
