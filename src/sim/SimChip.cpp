#include "sim/SimChip.h"

#include <algorithm>
#include <cmath>

using namespace SimRegister;

namespace {

constexpr double NoiseCounts = 1.5; // raw count noise, one standard deviation

// Event bits of System Events and of the event mask.
constexpr uint8_t EvProx = 0x01, EvTouch = 0x02, EvSlide = 0x04, EvAti = 0x08, EvMov = 0x10, EvTap = 0x20,
                  EvFlickLeft = 0x40, EvFlickRight = 0x80;

// System Flags bits that the host may write; the others are the chip's status.
constexpr uint8_t WritableFlags = 0x10 | 0x08 | 0x02;

uint16_t Word(double value)
{
    return uint16_t(std::clamp<long>(std::lround(value), 0, 0xFFFF));
}

void PutWord(std::array<uint8_t, 10>& reg, int word, double value)
{
    const uint16_t v = Word(value);
    reg[size_t(2 * word)] = uint8_t(v & 0xFF);
    reg[size_t(2 * word + 1)] = uint8_t(v >> 8);
}

} // namespace

TSimChip::TSimChip(uint64_t seed) : FRandom(seed)
{
    Reset();
}

int TSimChip::RegisterLength(uint8_t address)
{
    switch (address) {
    case DeviceInfo: return 2;
    case SystemFlags: return 2;
    case Coordinates: return 3;
    case TouchBytes: return 2;
    case Counts: return 10;
    case LTA: return 10;
    case Deltas: return 8;
    case Multipliers: return 6;
    case Compensation: return 4;
    case ProxSettings: return 5;
    case Thresholds: return 8;
    case Timings: return 3;
    case GestureTimers: return 3;
    case ActiveChannels: return 1;
    case IndirectAddress: return 1;
    case IndirectData: return 1;
    default: return 0;
    }
}

void TSimChip::Reset()
{
    for (auto& reg : FReg)
        reg.fill(0);
    FReg[DeviceInfo] = {ProductNumber, SoftwareVersion};
    FReg[ProxSettings] = {0x00, 0x11, 0x00, 0x00, 0xBF};
    FReg[Thresholds] = {4, 16, 16, 16, 3, 0x00, 20, 4};
    FReg[Timings] = {0, 48, 64};
    FReg[GestureTimers] = {5, 20, 50};
    FReg[ActiveChannels] = {0x0F};
    // Working memory holds whatever the firmware keeps there; only a few bytes mean something to the host.
    for (int a = 0; a < 256; ++a)
        FMemory[size_t(a)] = uint8_t((a * 37 + 11) & 0xFF);
    FMemory[CalCapMemory] = 0x21;
    for (int c = 0; c < 4; ++c)
        SetActualBase(c, SimSensing::BaseValue(0));

    FChannels = {};
    FLpCount = FLpLta = 0.0;
    FLpWakeRun = 0;
    FShowReset = true;
    FAtiError = false;
    FMovement = false;
    FMoveSeeded = false;
    FPendingEvents = FCycleEvents = 0;
    FOffMode = FHaltCharge = false;
    FLowPower = FForcedSleep = false;
    FIdleSince = FNow;
    FAtiCountdown = PowerUpAtiDelayCycles;
    FAtiBusy = false;
    FAtiDone = false;
    FExpectPointer = true;
    FPointer = 0;
    FWriteIndex = 0;
    FGestures.Reset();
    FGesture = {};
    ComposeRegisters();
}

void TSimChip::SetPowered(bool on)
{
    if (on && !FPowered)
        Reset();
    FPowered = on;
}

void TSimChip::SetActualBase(int channel, int base)
{
    FActualBase[size_t(channel)] = base;
    FMemory[ActualBaseMemory[channel]] = uint8_t(std::clamp(base / 2, 0, 255));
}

void TSimChip::WriteByte(uint8_t value)
{
    if (FExpectPointer) {
        FPointer = value;
        FWriteIndex = 0;
        FExpectPointer = false;
        return;
    }
    StoreByte(FPointer, FWriteIndex++, value);
}

void TSimChip::StoreByte(uint8_t address, int index, uint8_t value)
{
    if (index >= RegisterLength(address))
        return;
    auto& reg = FReg[address];
    switch (address) {
    case SystemFlags:
        if (index == 0) {
            reg[0] = uint8_t((reg[0] & ~WritableFlags) | (value & WritableFlags));
            if (!(value & 0x80))
                FShowReset = false; // the host acknowledges the reset
        }
        break;
    case Multipliers:
        reg[size_t(index)] = value;
        if (index == 4) {
            SetActualBase(0, SimSensing::BaseValue(value & 0x0F));
            SetActualBase(1, SimSensing::BaseValue(value >> 4));
        } else if (index == 5) {
            SetActualBase(2, SimSensing::BaseValue(value & 0x0F));
            SetActualBase(3, SimSensing::BaseValue(value >> 4));
        }
        break;
    case ProxSettings:
        if (index == 0) {
            reg[0] = value & ~0x18; // Redo ATI and Reseed are commands, not settings
            if (value & 0x10)
                StartAti();
            else if (value & 0x08)
                Reseed();
        } else if (index == 2) {
            if ((value & 0x40) && !FForcedSleep) {
                FForcedSleep = true;
                FLowPower = true;
                FForcedUntil = FNow + ForceSleepSeconds;
                FLpCount = FChannels[0].count;
                FLpLta = FChannels[0].lta;
                for (Channel& ch : FChannels) {
                    ch.on = ch.halted = false;
                    ch.onRun = ch.offRun = 0;
                }
            }
            reg[2] = uint8_t((value & ~0x40) | (FForcedSleep ? 0x40 : 0));
        } else if (index == 3) {
            reg[3] = value;
            if (value & 0x40)
                FOffMode = true;
            FHaltCharge = (value & 0x08) != 0;
        } else {
            reg[size_t(index)] = value;
        }
        break;
    case Compensation:
    case Thresholds:
    case Timings:
    case GestureTimers:
    case IndirectAddress:
        reg[size_t(index)] = value;
        break;
    case ActiveChannels:
        reg[0] = value & 0x0F;
        break;
    case IndirectData: {
        const uint8_t at = FReg[IndirectAddress][0];
        FMemory[at] = value;
        for (int c = 0; c < 4; ++c)
            if (ActualBaseMemory[c] == at)
                FActualBase[size_t(c)] = value * 2;
        break;
    }
    default:
        break; // read-only registers ignore writes
    }
}

QByteArray TSimChip::Read(int count)
{
    FExpectPointer = true;
    QByteArray data = Register(FPointer);
    if (FPointer == IndirectData)
        data = QByteArray(1, char(FMemory[FReg[IndirectAddress][0]]));
    if (FPointer == SystemFlags && count >= 2)
        FPendingEvents = 0; // events are cleared once they have been read
    data = data.left(std::max(count, 0));
    if (data.size() < count)
        data.append(count - data.size(), '\0');
    return data;
}

void TSimChip::LoadRegister(uint8_t address, const QByteArray& bytes)
{
    auto& reg = FReg[address];
    const int n = std::min<int>(int(bytes.size()), int(reg.size()));
    for (int i = 0; i < n; ++i)
        reg[size_t(i)] = uint8_t(bytes[i]);
    if (address == SystemFlags && n >= 2)
        FPendingEvents = FCycleEvents = uint8_t(bytes[1]);
}

QByteArray TSimChip::Register(uint8_t address) const
{
    const int length = RegisterLength(address);
    QByteArray bytes(reinterpret_cast<const char*>(FReg[address].data()), length);
    if (address == SystemFlags)
        bytes[1] = char(FPendingEvents);
    if (address == IndirectData)
        bytes[0] = char(FMemory[FReg[IndirectAddress][0]]);
    return bytes;
}

void TSimChip::WakeLine()
{
    if (!FPowered || !FOffMode)
        return;
    Reset(); // leaving off mode restarts the chip: the host sets it up again
}

void TSimChip::ReadyLine()
{
    FHaltCharge = false;
}

SimSensing::ChannelSetup TSimChip::Setup(int channel) const
{
    SimSensing::ChannelSetup s;
    const uint8_t mult = FReg[Multipliers][size_t(channel)];
    s.sensIndex = (mult >> 4) & 3;
    s.compMultiplier = mult & 0x0F;
    s.compensation = FReg[Compensation][size_t(channel)];
    s.baseValue = FActualBase[size_t(channel)];
    s.projected = Projected();
    s.measurementSwitch = (FMemory[CalCapMemory] & CalCapBit) != 0;
    if (FAtiBusy && !FAti[size_t(channel)].probes.empty()) {
        const auto& probes = FAti[size_t(channel)].probes;
        const size_t step = std::min(probes.size() - 1, size_t(FAtiCycle) * probes.size() / size_t(FAtiLength));
        s.baseValue = probes[step].first;
        s.compensation = probes[step].second;
    }
    return s;
}

int TSimChip::Target(int channel) const
{
    return 8 * (channel == 0 ? FReg[Timings][2] : FReg[Timings][1]);
}

double TSimChip::Drift(int channel, double now) const
{
    // Slow temperature drift, a few tenths of a percent over minutes.
    return 0.002 * std::sin(2.0 * M_PI * now / 317.0 + 1.7 * channel);
}

void TSimChip::Measure(const std::array<double, 4>& couplingPf, double now)
{
    const int acf = FReg[ProxSettings][1] & 3;
    const double alpha = 1.0 / double(1 << acf);
    for (int c = 0; c < 4; ++c) {
        Channel& ch = FChannels[size_t(c)];
        if (!ChannelActive(c)) {
            ch = Channel{};
            continue;
        }
        const double raw = SimSensing::Count(c, Setup(c), couplingPf[size_t(c)], Drift(c, now))
                           + NoiseCounts * FRandom.Gauss();
        // The AC filter smooths the counts; while tuning the count follows each step at once.
        ch.count = (ch.measured && !FAtiBusy) ? ch.count + (raw - ch.count) * alpha : raw;
        ch.count = std::clamp(ch.count, 0.0, double(SimSensing::MaxCount));
        if (!ch.measured)
            ch.lta = ch.count;
        ch.measured = true;
    }
}

void TSimChip::MeasureLowPowerChannel(double coupling, double now)
{
    const double raw = SimSensing::Count(0, Setup(0), coupling, Drift(0, now)) + NoiseCounts * FRandom.Gauss();
    FLpCount = std::clamp(raw, 0.0, double(SimSensing::MaxCount));
    const int shift = 9 - ((FReg[ProxSettings][1] >> 4) & 3);
    FLpLta += (FLpCount - FLpLta) / double(1 << shift);
}

bool TSimChip::Sample(const std::array<double, 4>& couplingPf, double now)
{
    if (!FPowered || FOffMode || FHaltCharge)
        return false;
    FNow = now;
    ++FCycles;
    FCycleEvents = 0;
    FLastCoupling = couplingPf;

    if (FAtiCountdown > 0 && --FAtiCountdown == 0)
        StartAti();

    if (FLowPower) {
        MeasureLowPowerChannel(couplingPf[0], now);
    } else {
        Measure(couplingPf, now);
    }

    if (FAtiBusy) {
        StepAti(couplingPf, now);
    } else if (!FLowPower) {
        UpdateAverages();
        Decide();
        UpdateMovement();
        UpdateGestures(now);
        CheckAutoAti(now);
    }
    UpdateLowPower(now);
    ComposeRegisters();
    FPendingEvents |= FCycleEvents;
    return true;
}

void TSimChip::Raise(uint8_t eventBits)
{
    FCycleEvents |= eventBits & FReg[ProxSettings][4];
}

void TSimChip::StartAti()
{
    FAtiCountdown = 0;
    FAtiFull = (FReg[ProxSettings][0] & 0x40) == 0; // PartialATI clear: tune the base as well
    FAtiLength = FAtiFull ? FullAtiCycles : PartialAtiCycles;
    FAtiCycle = 0;
    FAtiBusy = false; // the search below starts from the settings, not from a running search
    for (int c = 0; c < 4; ++c) {
        FAti[size_t(c)] = ChannelActive(c) ? SimSensing::RunAti(c, Setup(c), FLastCoupling[size_t(c)],
                                                                 Drift(c, FNow), Target(c), FAtiFull)
                                           : SimSensing::AtiResult{};
        Channel& ch = FChannels[size_t(c)];
        ch.on = false;
        ch.onRun = ch.offRun = 0;
        ch.halted = ch.haltExpired = false;
    }
    FAtiBusy = true;
}

void TSimChip::StepAti(const std::array<double, 4>& couplingPf, double now)
{
    // While tuning, the averages go with the counts: no channel reports a delta.
    for (Channel& ch : FChannels) {
        ch.lta = ch.count;
        ch.delta = 0.0;
    }
    if (++FAtiCycle < FAtiLength)
        return;
    FAtiBusy = false;
    FAtiError = false;
    for (int c = 0; c < 4; ++c) {
        if (!ChannelActive(c))
            continue;
        const auto& result = FAti[size_t(c)];
        FReg[Compensation][size_t(c)] = uint8_t(result.compensation);
        SetActualBase(c, result.baseValue);
        FAtiError = FAtiError || result.error;
    }
    FAtiDone = true;
    FAtiEndedAt = now;
    Measure(couplingPf, now);
    Reseed();
    Raise(EvAti);
}

void TSimChip::Reseed()
{
    for (Channel& ch : FChannels) {
        ch.lta = ch.count;
        ch.haltCycles = 0;
    }
    FLpLta = FLpCount;
}

void TSimChip::UpdateAverages()
{
    const int shift = 9 - ((FReg[ProxSettings][1] >> 4) & 3);
    const uint8_t haltTime = FReg[Thresholds][6];
    const uint8_t reseedBlock = FReg[Thresholds][5];
    bool anyHalted = false;
    for (int c = 0; c < 4; ++c) {
        Channel& ch = FChannels[size_t(c)];
        if (haltTime == 0 || !ch.on) {
            ch.halted = ch.haltExpired = false;
            ch.haltCycles = 0;
        } else if (!ch.haltExpired) {
            ch.halted = true;
            if (haltTime != 255 && ++ch.haltCycles > haltTime * 50) {
                // The halt ran out: the average takes the count, unless the channel blocks that reseed.
                ch.halted = false;
                ch.haltExpired = true;
                if (!((reseedBlock >> c) & 1))
                    ch.lta = ch.count;
            }
        }
        anyHalted = anyHalted || ch.halted;
    }
    const bool ignoreGlobalHalt = (FReg[SystemFlags][0] & 0x02) != 0;
    const bool forceHalt = (FReg[ProxSettings][0] & 0x01) != 0;
    const bool globalHalt = forceHalt || (anyHalted && !ignoreGlobalHalt);
    for (int c = 0; c < 4; ++c) {
        Channel& ch = FChannels[size_t(c)];
        if (ch.measured && !ch.halted && !globalHalt)
            ch.lta += (ch.count - ch.lta) / double(1 << shift);
        ch.delta = Projected() ? ch.count - ch.lta : ch.lta - ch.count;
    }
}

void TSimChip::Decide()
{
    const int debounce = (FReg[ProxSettings][3] & 0x80) ? 4 : 2;
    uint8_t changed = 0;
    for (int c = 0; c < 4; ++c) {
        Channel& ch = FChannels[size_t(c)];
        if (!ch.measured) {
            ch.on = false;
            continue;
        }
        bool over, under;
        if (c == 0) {
            // Prox against a count threshold.
            const double threshold = FReg[Thresholds][0];
            over = ch.delta >= std::max(threshold, 1.0);
            under = ch.delta < threshold * 7.0 / 8.0;
        } else {
            // Touch against the average scaled by the channel's gain, on the whole counts the chip reports, so
            // that a host sees the numbers it compared.
            const int count = int(std::lround(ch.count));
            const int lta = int(std::lround(ch.lta));
            const int delta = Projected() ? count - lta : lta - count;
            const int threshold = SimSensing::TouchThreshold(lta, FReg[Thresholds][size_t(c)], Setup(c));
            over = delta >= std::max(threshold, 1);
            under = delta * 8 < threshold * 7;
        }
        ch.onRun = over ? ch.onRun + 1 : 0;
        ch.offRun = under ? ch.offRun + 1 : 0;
        if (!ch.on && ch.onRun >= debounce) {
            ch.on = true;
            changed |= c == 0 ? EvProx : EvTouch;
        } else if (ch.on && ch.offRun >= 2) {
            ch.on = false;
            changed |= c == 0 ? EvProx : EvTouch;
        }
    }
    Raise(changed);
}

void TSimChip::UpdateMovement()
{
    const int mode = (FReg[ProxSettings][2] >> 2) & 3;
    const int c = mode == 1 ? 0 : 3;
    const bool was = FMovement;
    if (mode == 0 || !FChannels[size_t(c)].measured) {
        FMovement = false;
        FMoveSeeded = false;
        return;
    }
    const double count = FChannels[size_t(c)].count;
    if (!FMoveSeeded) {
        FMoveFast = FMoveSlow = count;
        FMoveSeeded = true;
    }
    FMoveFast += (count - FMoveFast) / 2.0;
    FMoveSlow += (count - FMoveSlow) / 16.0;
    FMovement = std::abs(FMoveFast - FMoveSlow) >= std::max<int>(FReg[Thresholds][4], 1);
    if (FMovement && !was)
        Raise(EvMov);
}

void TSimChip::UpdateGestures(double now)
{
    SimGestureInput in;
    in.sliderMode = SliderMode();
    for (int c = 0; c < 4; ++c) {
        // The relative change of each electrode grows in step with the finger's share of it, also for a
        // finger large enough to take most of the count away.
        const Channel& ch = FChannels[size_t(c)];
        in.deltas[size_t(c)] = ch.count > 0.0 ? ch.delta / ch.count : 0.0;
        in.touched[size_t(c)] = FChannels[size_t(c)].on;
    }
    in.wheelFilter = (FReg[ProxSettings][2] & 0x10) == 0;
    in.now = now;
    in.tapTime = FReg[GestureTimers][0] * GestureTimerUnit;
    in.flickTime = FReg[GestureTimers][1] * GestureTimerUnit;
    in.flickThreshold = FReg[GestureTimers][2];
    FGesture = FGestures.Step(in);
    Raise((FGesture.slide ? EvSlide : 0) | (FGesture.tap ? EvTap : 0) | (FGesture.flickLeft ? EvFlickLeft : 0)
          | (FGesture.flickRight ? EvFlickRight : 0));
}

void TSimChip::UpdateLowPower(double now)
{
    const uint8_t lowPowerTime = FReg[Timings][0];
    if (FForcedSleep) {
        if (now >= FForcedUntil) {
            FForcedSleep = false;
            FLowPower = false;
            FReg[ProxSettings][2] &= uint8_t(~0x40);
            FIdleSince = now;
        }
        return;
    }
    if (FLowPower) {
        // Prox seen on the low-power channel wakes the chip.
        const double lpDelta = Projected() ? FLpCount - FLpLta : FLpLta - FLpCount;
        FLpWakeRun = lpDelta >= std::max<int>(FReg[Thresholds][0], 1) ? FLpWakeRun + 1 : 0;
        if (lowPowerTime == 0 || FLpWakeRun >= 2) {
            FLowPower = false;
            FIdleSince = now;
        }
        return;
    }
    bool busy = FAtiBusy;
    for (const Channel& ch : FChannels)
        busy = busy || ch.on;
    if (busy || lowPowerTime == 0)
        FIdleSince = now;
    else if (now - FIdleSince >= LowPowerEntrySeconds) {
        FLowPower = true;
        FLpCount = FChannels[0].count;
        FLpLta = FChannels[0].lta;
        FLpWakeRun = 0;
    }
}

void TSimChip::CheckAutoAti(double now)
{
    const bool autoAti = (FReg[ProxSettings][0] & 0x80) == 0;
    // Not again while the last tuning failed, and not straight after one.
    if (!autoAti || !FAtiDone || FAtiError || FAtiCountdown > 0 || now - FAtiEndedAt < 1.0)
        return;
    for (int c = 0; c < 4; ++c) {
        const Channel& ch = FChannels[size_t(c)];
        const int target = Target(c);
        if (ch.measured && !ch.on && !ch.halted && target > 0 && std::abs(ch.lta - target) > target / 4.0) {
            StartAti();
            return;
        }
    }
}

void TSimChip::ComposeRegisters()
{
    auto& flags = FReg[SystemFlags][0];
    flags = uint8_t((flags & WritableFlags) | (FShowReset ? 0x80 : 0) | (FMovement ? 0x40 : 0)
                    | (FAtiError ? 0x20 : 0) | (FAtiBusy ? 0x04 : 0) | (FLowPower ? 0x01 : 0));

    FReg[Coordinates][0] = FGesture.position;
    FReg[Coordinates][1] = uint8_t(uint16_t(FGesture.relative) & 0xFF);
    FReg[Coordinates][2] = uint8_t(uint16_t(FGesture.relative) >> 8);

    uint8_t touch = 0, halt = 0;
    for (int c = 0; c < 4; ++c) {
        const Channel& ch = FChannels[size_t(c)];
        touch |= uint8_t((ch.on ? 1 : 0) << c);
        halt |= uint8_t((ch.halted ? 1 : 0) << c);
    }
    FReg[TouchBytes] = {touch, halt};

    auto& counts = FReg[Counts];
    auto& lta = FReg[LTA];
    auto& deltas = FReg[Deltas];
    PutWord(counts, 0, FLpCount);
    PutWord(lta, 0, FLpLta);
    for (int c = 0; c < 4; ++c) {
        const Channel& ch = FChannels[size_t(c)];
        PutWord(counts, c + 1, ch.count);
        PutWord(lta, c + 1, ch.lta);
        // The delta of the whole counts, as a host would work it out from the counts and averages.
        const long count = std::lround(ch.count), average = std::lround(ch.lta);
        PutWord(deltas, c, double(std::max(Projected() ? count - average : average - count, 0L)));
    }
}

SimChipStatus TSimChip::Status() const
{
    SimChipStatus s;
    s.powered = FPowered;
    s.measuring = FPowered && !FOffMode && !FHaltCharge;
    s.offMode = FOffMode;
    s.haltCharge = FHaltCharge;
    s.atiBusy = FAtiBusy;
    s.atiError = FAtiError;
    s.lowPower = FLowPower;
    s.showReset = FShowReset;
    for (int c = 0; c < 4; ++c) {
        const Channel& ch = FChannels[size_t(c)];
        s.counts[size_t(c)] = int(std::lround(ch.count));
        s.lta[size_t(c)] = int(std::lround(ch.lta));
        s.deltas[size_t(c)] = int(std::lround(ch.delta));
        s.active[size_t(c)] = ch.on;
    }
    s.position = FGesture.position;
    s.cycles = FCycles;
    return s;
}
