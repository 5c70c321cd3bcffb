#pragma once
// The simulated KT610B: its registers and indirect memory as seen over I2C, and the sensing that fills them
// each measuring cycle (counts, long-term averages, prox and touch, halt, automatic tuning, low power,
// off mode, wheel and slider, events).

#include "sim/SimGestures.h"
#include "sim/SimRandom.h"
#include "sim/SimSensing.h"

#include <QByteArray>
#include <array>
#include <cstdint>

// The chip's register addresses, as its datasheet numbers them.
namespace SimRegister {
constexpr uint8_t DeviceInfo = 0x00;
constexpr uint8_t SystemFlags = 0x01;
constexpr uint8_t Coordinates = 0x02;
constexpr uint8_t TouchBytes = 0x03;
constexpr uint8_t Counts = 0x04;
constexpr uint8_t LTA = 0x05;
constexpr uint8_t Deltas = 0x06;
constexpr uint8_t Multipliers = 0x07;
constexpr uint8_t Compensation = 0x08;
constexpr uint8_t ProxSettings = 0x09;
constexpr uint8_t Thresholds = 0x0A;
constexpr uint8_t Timings = 0x0B;
constexpr uint8_t GestureTimers = 0x0C;
constexpr uint8_t ActiveChannels = 0x0D;
constexpr uint8_t IndirectAddress = 0xFC;
constexpr uint8_t IndirectData = 0xFD;
// Indirect memory.
constexpr uint8_t ActualBaseMemory[4] = {0x7E, 0x7F, 0x99, 0x3F};
constexpr uint8_t CalCapMemory = 0x6A;
constexpr uint8_t CalCapBit = 0x08;
} // namespace SimRegister

struct SimChipStatus {
    bool powered = false;
    bool measuring = false; // powered and neither in off mode nor halted by halt charge
    bool offMode = false;
    bool haltCharge = false;
    bool atiBusy = false;
    bool atiError = false;
    bool lowPower = false;
    bool showReset = false;
    std::array<int, 4> counts{}, lta{}, deltas{};
    std::array<bool, 4> active{}; // prox on CH0, touch on CH1..CH3
    uint8_t position = 0;
    quint64 cycles = 0;
};

class TSimChip {
public:
    explicit TSimChip(uint64_t seed);

    static constexpr uint8_t ProductNumber = 67;
    static constexpr uint8_t SoftwareVersion = 3;
    static constexpr int PowerUpAtiDelayCycles = 3;
    static constexpr int FullAtiCycles = 48;
    static constexpr int PartialAtiCycles = 24;
    static constexpr double GestureTimerUnit = 0.032;  // seconds per unit of the tap and flick timers
    static constexpr double LowPowerEntrySeconds = 2.0; // without prox or touch, when a low-power time is set
    static constexpr double ForceSleepSeconds = 1.0;

    // Supply and presence on the bus.
    void SetPowered(bool on);
    bool Powered() const { return FPowered; }
    void SetAddress(int address) { FAddress = address; } // -1: not on the bus
    int Address() const { return FAddress; }
    bool Acknowledges(uint8_t address) const { return FPowered && FAddress >= 0 && address == FAddress; }

    // I2C transfers as the tool drives them: a write's first byte points at a register, the following bytes
    // fill it from byte 0; a read returns bytes 0.. of the register pointed at.
    void BeginWrite() { FExpectPointer = true; }
    void WriteByte(uint8_t value);
    QByteArray Read(int count);

    // Tool IO lines wired to the chip.
    void WakeLine();  // IO line 7: leaves off mode (the chip restarts)
    void ReadyLine(); // IO line 10: ends halt charge

    // One measuring cycle at time now (seconds). False when the chip did not measure.
    bool Sample(const std::array<double, 4>& couplingPf, double now);
    uint8_t CycleEvents() const { return FCycleEvents; } // raised by the last cycle, after the event mask
    bool EventMode() const { return (FReg[SimRegister::ProxSettings][1] & 0x40) != 0; }
    int SliderMode() const { return (FReg[SimRegister::ProxSettings][1] >> 2) & 3; }

    // A register or memory byte set as a finished cycle left it, for a tool that plays recorded cycles back.
    // The events byte of SystemFlags counts as this cycle's events.
    void LoadRegister(uint8_t address, const QByteArray& bytes);
    void LoadMemory(uint8_t address, uint8_t value) { FMemory[address] = value; }

    // Inspection, without the side effects of a bus read.
    QByteArray Register(uint8_t address) const;
    static int RegisterLength(uint8_t address);
    uint8_t Memory(uint8_t address) const { return FMemory[address]; }
    SimChipStatus Status() const;

private:
    struct Channel {
        double count = 0.0; // after the AC filter
        double lta = 0.0;
        double delta = 0.0;
        bool on = false;    // prox (CH0) or touch (CH1..CH3)
        int onRun = 0, offRun = 0;
        bool halted = false, haltExpired = false;
        int haltCycles = 0;
        bool measured = false;
    };

    void Reset();
    void StoreByte(uint8_t address, int index, uint8_t value);
    void SetActualBase(int channel, int base);
    SimSensing::ChannelSetup Setup(int channel) const;
    bool ChannelActive(int channel) const { return (FReg[SimRegister::ActiveChannels][0] >> channel) & 1; }
    bool Projected() const { return (FReg[SimRegister::SystemFlags][0] & 0x10) != 0; }
    int Target(int channel) const;

    void Measure(const std::array<double, 4>& couplingPf, double now);
    void MeasureLowPowerChannel(double coupling, double now);
    void StartAti();
    void StepAti(const std::array<double, 4>& couplingPf, double now);
    void Reseed();
    void UpdateAverages();
    void Decide();
    void UpdateMovement();
    void UpdateGestures(double now);
    void UpdateLowPower(double now);
    void CheckAutoAti(double now);
    void ComposeRegisters();
    double Drift(int channel, double now) const;
    void Raise(uint8_t eventBits);

    TSimRandom FRandom;
    std::array<std::array<uint8_t, 10>, 256> FReg{};
    std::array<uint8_t, 256> FMemory{};
    bool FPowered = false;
    int FAddress = 0x44;
    bool FExpectPointer = true;
    uint8_t FPointer = 0;
    int FWriteIndex = 0;

    std::array<Channel, 4> FChannels{};
    std::array<int, 4> FActualBase{};
    std::array<double, 4> FLastCoupling{};
    double FLpCount = 0.0, FLpLta = 0.0;
    int FLpWakeRun = 0;
    double FNow = 0.0;
    quint64 FCycles = 0;

    bool FShowReset = false;
    bool FAtiError = false;
    bool FMovement = false;
    double FMoveFast = 0.0, FMoveSlow = 0.0;
    bool FMoveSeeded = false;
    uint8_t FPendingEvents = 0;
    uint8_t FCycleEvents = 0;

    bool FOffMode = false;
    bool FHaltCharge = false;
    bool FLowPower = false;
    bool FForcedSleep = false;
    double FForcedUntil = 0.0;
    double FIdleSince = 0.0;

    int FAtiCountdown = 0;
    bool FAtiBusy = false;
    bool FAtiFull = false;
    int FAtiCycle = 0, FAtiLength = 0;
    bool FAtiDone = false;
    double FAtiEndedAt = 0.0;
    std::array<SimSensing::AtiResult, 4> FAti{};

    TSimGestures FGestures;
    SimGestureOutput FGesture;
};
