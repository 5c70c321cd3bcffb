// The chip as a chip: tuning, averages, prox and touch, halt, projected mode, wheel and gestures, events,
// low power, off mode, halt charge, the parasitic-capacitance switch.
#include "sim/SimChip.h"
#include "sim/SimFinger.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Chip {
    TSimChip chip{99};
    std::array<double, 4> coupling{};
    double now = 0.0;
    static constexpr double Period = 0.01; // 100 samples per second

    Chip() { chip.SetPowered(true); }

    void Write(uint8_t address, std::initializer_list<uint8_t> bytes)
    {
        chip.BeginWrite();
        chip.WriteByte(address);
        for (uint8_t b : bytes)
            chip.WriteByte(b);
    }
    QByteArray Read(uint8_t address, int n)
    {
        chip.BeginWrite();
        chip.WriteByte(address);
        return chip.Read(n);
    }
    // Runs cycles; returns every event raised meanwhile.
    uint8_t Run(int cycles)
    {
        uint8_t events = 0;
        for (int i = 0; i < cycles; ++i) {
            chip.Sample(coupling, now);
            now += Period;
            events |= chip.CycleEvents();
        }
        return events;
    }
    void Settle() { Run(TSimChip::PowerUpAtiDelayCycles + TSimChip::FullAtiCycles + 5); }
    int Word(uint8_t reg, int w) const
    {
        const QByteArray b = chip.Register(reg);
        return uint8_t(b[2 * w]) | uint8_t(b[2 * w + 1]) << 8;
    }
    int Count(int c) const { return Word(0x04, c + 1); }
    int Lta(int c) const { return Word(0x05, c + 1); }
    int Delta(int c) const { return Word(0x06, c); }
    uint8_t Flags() const { return uint8_t(chip.Register(0x01)[0]); }
    uint8_t Touch() const { return uint8_t(chip.Register(0x03)[0]); }
    uint8_t Halt() const { return uint8_t(chip.Register(0x03)[1]); }
    uint8_t Position() const { return uint8_t(chip.Register(0x02)[0]); }
    int16_t Relative() const
    {
        const QByteArray b = chip.Register(0x02);
        return int16_t(uint8_t(b[1]) | uint8_t(b[2]) << 8);
    }
    void Finger(double position, int sliderMode, double pressure = 1.0)
    {
        SimContact contact;
        contact.pressure = pressure;
        contact.position = position;
        coupling = TSimFinger::CouplingsFor(contact, sliderMode);
    }
};

constexpr uint8_t AtiBusy = 0x04, LowPower = 0x01, ShowReset = 0x80, AtiError = 0x20, Movement = 0x40;

} // namespace

TEST(SimChip, TunesAfterPowerOn)
{
    Chip c;
    EXPECT_TRUE(c.Flags() & ShowReset);
    c.Run(TSimChip::PowerUpAtiDelayCycles);
    EXPECT_TRUE(c.Flags() & AtiBusy);
    const uint8_t events = c.Run(TSimChip::FullAtiCycles + 2);
    EXPECT_FALSE(c.Flags() & AtiBusy);
    EXPECT_FALSE(c.Flags() & AtiError);
    EXPECT_TRUE(events & 0x08); // ATI event
    EXPECT_NEAR(c.Count(0), 512, 32);
    for (int ch = 1; ch < 4; ++ch) {
        EXPECT_NEAR(c.Count(ch), 384, 24) << ch;
        EXPECT_GT(uint8_t(c.chip.Register(0x08)[ch]), 0) << ch;
    }
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_NEAR(c.Lta(ch), c.Count(ch), 5) << ch;
    // Full tuning may pick another base; the actual base memory tells which.
    EXPECT_GT(c.chip.Memory(0x7E) * 2, 74);
}

TEST(SimChip, RedoAtiAndReseedAreCommandsNotSettings)
{
    Chip c;
    c.Settle();
    c.Write(0x09, {0x10});
    EXPECT_EQ(uint8_t(c.Read(0x09, 1)[0]), 0x00);
    c.Run(1);
    EXPECT_TRUE(c.Flags() & AtiBusy);
    c.Run(TSimChip::FullAtiCycles);

    c.Write(0x08, {uint8_t(c.chip.Register(0x08)[0]), uint8_t(uint8_t(c.chip.Register(0x08)[1]) + 20)});
    c.Run(5);
    EXPECT_GT(std::abs(c.Count(1) - c.Lta(1)), 20); // the average lags behind the new count
    c.Write(0x09, {0x08});
    c.Run(1);
    EXPECT_NEAR(c.Lta(1), c.Count(1), 3);
}

TEST(SimChip, ResetAcknowledgeAndWritableFlags)
{
    Chip c;
    c.Run(5);
    c.Write(0x01, {0x12}); // bit 7 clear: acknowledge; projected and ignore-filter-halt on
    c.Run(1);
    EXPECT_FALSE(c.Flags() & ShowReset);
    EXPECT_EQ(c.Flags() & 0x12, 0x12);
    EXPECT_TRUE(c.Flags() & AtiBusy); // status bits are the chip's own
    c.Write(0x01, {0x80});            // the reset flag cannot be set by the host
    c.Run(1);
    EXPECT_FALSE(c.Flags() & ShowReset);
    EXPECT_EQ(c.Flags() & 0x12, 0);
}

TEST(SimChip, TouchAndProxFromTheThresholds)
{
    Chip c;
    c.Settle();
    c.coupling[2] = TSimFinger::FingerPf;
    uint8_t events = c.Run(6);
    EXPECT_EQ(c.Touch(), 0x04);
    EXPECT_TRUE(events & 0x02);
    EXPECT_GE(c.Delta(2), c.Lta(2) * 16 / 256);
    EXPECT_LT(c.Count(2), c.Lta(2)); // self capacitance: a finger lowers the count
    c.coupling = {0.1, 0, 0, 0};
    events = c.Run(6);
    EXPECT_EQ(c.Touch(), 0x01);
    EXPECT_TRUE(events & 0x03);
    c.coupling = {};
    c.Run(6);
    EXPECT_EQ(c.Touch(), 0x00);

    // A higher touch threshold needs more finger.
    c.Write(0x0A, {4, 16, 250, 16});
    c.coupling[2] = TSimFinger::FingerPf;
    c.Run(10);
    EXPECT_EQ(c.Touch() & 0x04, 0);
}

// The touch threshold is the threshold byte's share of the average, scaled down by the channel's gain: a
// light finger that passes a plain share of the average touches only once the compensation multiplier is high.
TEST(SimChip, TouchThresholdFollowsTheChannelGain)
{
    Chip c;
    c.Settle();
    c.coupling[2] = 0.3;
    c.Run(10);
    EXPECT_GE(c.Delta(2), c.Lta(2) * 16 / 256);
    EXPECT_EQ(c.Touch() & 0x04, 0);
    const int base = c.chip.Memory(0x99) * 2;
    EXPECT_LT(c.Delta(2), c.Lta(2) * 16 * 4 / (3 * base)); // multipliers at 1: (0 + 3)

    c.coupling = {};
    c.Write(0x07, {0x00, 0x00, 0x0F, 0x00, 0x00, 0x00}); // CH2 compensation multiplier 16
    c.Write(0x09, {0x10});
    c.Run(TSimChip::FullAtiCycles + 5);
    c.coupling[2] = 0.3;
    c.Run(10);
    const int tuned = c.chip.Memory(0x99) * 2;
    EXPECT_GE(c.Delta(2), c.Lta(2) * 16 * 4 / (18 * tuned));
    EXPECT_EQ(c.Touch() & 0x04, 0x04);
}

TEST(SimChip, DebounceOfFourTakesLonger)
{
    auto cyclesToTouch = [](bool four) {
        Chip c;
        c.Settle();
        c.Write(0x09, {0x00, 0x11, 0x00, uint8_t(four ? 0x80 : 0x00)});
        c.coupling[1] = TSimFinger::FingerPf;
        int n = 0;
        while (!(c.Touch() & 0x02) && n < 50) {
            c.Run(1);
            ++n;
        }
        return n;
    };
    EXPECT_EQ(cyclesToTouch(true) - cyclesToTouch(false), 2);
}

TEST(SimChip, ProjectedModeTurnsTheDeltaRound)
{
    Chip c;
    c.Settle();
    c.Write(0x01, {0x10});
    c.Write(0x09, {0x10});
    c.Run(TSimChip::FullAtiCycles + 5);
    c.coupling[3] = TSimFinger::FingerPf;
    c.Run(6);
    EXPECT_GT(c.Count(3), c.Lta(3)); // mutual capacitance: a finger raises the count
    EXPECT_EQ(c.Delta(3), c.Count(3) - c.Lta(3));
    EXPECT_TRUE(c.Touch() & 0x08);
}

TEST(SimChip, HaltHoldsTheAverageForTheHaltTime)
{
    Chip c;
    c.Settle();
    c.Write(0x0A, {4, 16, 16, 16, 3, 0x00, 1, 4}); // halt for 50 samples
    c.coupling[1] = TSimFinger::FingerPf;
    c.Run(10);
    EXPECT_EQ(c.Halt(), 0x02);
    EXPECT_TRUE(c.Touch() & 0x02);
    c.Run(50);
    EXPECT_EQ(c.Halt() & 0x02, 0);
    EXPECT_EQ(c.Touch() & 0x02, 0); // the average took the touched count
    EXPECT_NEAR(c.Lta(1), c.Count(1), 4);

    Chip never;
    never.Settle();
    never.Write(0x0A, {4, 16, 16, 16, 3, 0x00, 0, 4}); // "Never Halt"
    never.coupling[1] = TSimFinger::FingerPf;
    never.Run(10);
    EXPECT_EQ(never.Halt(), 0);

    Chip always;
    always.Settle();
    always.Write(0x0A, {4, 16, 16, 16, 3, 0x00, 255, 4}); // "Always Halt"
    always.coupling[1] = TSimFinger::FingerPf;
    always.Run(400);
    EXPECT_EQ(always.Halt(), 0x02);
    EXPECT_TRUE(always.Touch() & 0x02);
}

TEST(SimChip, GlobalFilterHaltUnlessIgnored)
{
    auto ltaMove = [](bool ignore) {
        Chip c;
        c.Settle();
        c.Write(0x01, {uint8_t(ignore ? 0x02 : 0x00)});
        c.coupling[1] = TSimFinger::FingerPf; // CH1 touched and halted
        c.Run(10);
        const int before = c.Lta(2);
        const QByteArray comp = c.chip.Register(0x08);
        c.Write(0x08, {uint8_t(comp[0]), uint8_t(comp[1]), uint8_t(uint8_t(comp[2]) + 15), uint8_t(comp[3])});
        c.Run(150);
        return std::abs(c.Lta(2) - before);
    };
    EXPECT_LE(ltaMove(false), 1);
    EXPECT_GE(ltaMove(true), 5);
}

TEST(SimChip, AverageFollowsWithTheChosenBeta)
{
    auto ltaMove = [](uint8_t beta) {
        Chip c;
        c.Settle();
        c.Write(0x09, {0x00, uint8_t(beta << 4 | 0x01)});
        const QByteArray comp = c.chip.Register(0x08);
        c.Write(0x08, {uint8_t(uint8_t(comp[0]) + 20)});
        c.Run(5);
        const int start = c.Lta(0);
        c.Run(100);
        return std::abs(c.Lta(0) - start);
    };
    EXPECT_GT(ltaMove(3), 3 * ltaMove(0)); // 2^6 against 2^9
}

TEST(SimChip, WheelAndSliderPositions)
{
    struct Case { uint8_t proxSettings1; int mode; double scale; };
    for (const Case& k : {Case{0x19, 2, 192.0}, Case{0x1D, 3, 255.0}, Case{0x15, 1, 255.0}}) {
        for (double p : {0.0, 1.0 / 6, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 1.0}) {
            if (k.mode == 2 && p >= 1.0)
                continue;
            Chip c;
            c.Settle();
            c.Write(0x09, {0x00, k.proxSettings1});
            c.Finger(p, k.mode);
            c.Run(12);
            double expected = p * k.scale;
            double error = std::abs(c.Position() - expected);
            if (k.mode == 2)
                error = std::min(error, 192.0 - error);
            EXPECT_LE(error, 8.0) << "mode " << k.mode << " at " << p << " gave " << int(c.Position());
        }
    }
}

TEST(SimChip, RelativeMovementAndSlideEvents)
{
    Chip c;
    c.Settle();
    c.Write(0x09, {0x00, 0x19, 0x00, 0x00, 0xFF}); // wheel, every event
    c.Finger(0.2, 2);
    c.Run(10);
    c.Run(5);
    EXPECT_EQ(c.Relative(), 0); // a finger held still
    // The relative movements add up to the change of position.
    const int start = c.Position();
    int moved = 0;
    uint8_t events = 0;
    for (int i = 1; i <= 40; ++i) {
        c.Finger(0.2 + i * 0.005, 2);
        events |= c.Run(1);
        moved += c.Relative();
    }
    EXPECT_TRUE(events & 0x04);
    EXPECT_EQ(moved, c.Position() - start);
    EXPECT_GT(moved, 25);
    int back = 0;
    for (int i = 1; i <= 20; ++i) {
        c.Finger(0.4 - i * 0.005, 2);
        c.Run(1);
        back += c.Relative();
    }
    EXPECT_LT(back, -5);
}

TEST(SimChip, TapsAndFlicks)
{
    auto gesture = [](double from, double to, int cycles, uint8_t mask) {
        Chip c;
        c.Settle();
        c.Write(0x09, {0x00, 0x1D, 0x00, 0x00, mask}); // three-channel slider
        uint8_t events = 0;
        for (int i = 0; i < cycles; ++i) {
            c.Finger(from + (to - from) * i / std::max(cycles - 1, 1), 3);
            events |= c.Run(1);
        }
        c.coupling = {};
        events |= c.Run(10);
        return events;
    };
    EXPECT_TRUE(gesture(0.5, 0.5, 8, 0xFF) & 0x20);         // a tap
    EXPECT_FALSE(gesture(0.5, 0.5, 100, 0xFF) & 0x20);      // held too long
    const uint8_t right = gesture(0.1, 0.6, 15, 0xFF);
    EXPECT_TRUE(right & 0x80);
    EXPECT_FALSE(right & 0x60);
    EXPECT_TRUE(gesture(0.9, 0.4, 15, 0xFF) & 0x40);
    EXPECT_FALSE(gesture(0.1, 0.9, 150, 0xFF) & 0xC0);      // a slow slide is no flick
    EXPECT_FALSE(gesture(0.9, 0.4, 15, 0xBF) & 0x40);       // flick left masked (the power-on mask)
    EXPECT_EQ(gesture(0.5, 0.5, 8, 0x00), 0);               // nothing passes an empty mask
}

TEST(SimChip, InactiveChannelsAreNotMeasured)
{
    Chip c;
    c.Write(0x0D, {0x0B});
    c.Settle();
    c.coupling[2] = TSimFinger::FingerPf;
    c.Run(10);
    EXPECT_EQ(c.Count(2), 0);
    EXPECT_EQ(c.Lta(2), 0);
    EXPECT_EQ(c.Touch() & 0x04, 0);
    EXPECT_GT(c.Count(1), 0);
}

TEST(SimChip, ForceSleepThenWake)
{
    Chip c;
    c.Settle();
    c.Write(0x09, {0x00, 0x11, 0x40});
    c.Run(1);
    EXPECT_TRUE(c.Flags() & LowPower);
    EXPECT_TRUE(uint8_t(c.Read(0x09, 3)[2]) & 0x40);
    c.Run(int(TSimChip::ForceSleepSeconds / Chip::Period) + 1);
    EXPECT_FALSE(c.Flags() & LowPower);
    EXPECT_FALSE(uint8_t(c.Read(0x09, 3)[2]) & 0x40);
}

TEST(SimChip, LowPowerAfterIdleAndProxWakes)
{
    Chip c;
    c.Settle();
    c.Write(0x0B, {5, 48, 64});
    c.Run(int(TSimChip::LowPowerEntrySeconds / Chip::Period) + 2);
    EXPECT_TRUE(c.Flags() & LowPower);
    const int frozen = c.Count(1);
    c.coupling[1] = TSimFinger::FingerPf; // a touch channel is not measured in low power
    c.Run(5);
    EXPECT_EQ(c.Count(1), frozen);
    c.coupling = {0.15, 0, 0, 0};
    c.Run(5);
    EXPECT_FALSE(c.Flags() & LowPower);
    EXPECT_GT(c.Word(0x04, 0), 0); // the low-power channel was measured
}

TEST(SimChip, OffModeUntilTheWakeLine)
{
    Chip c;
    c.Settle();
    c.Write(0x01, {0x00});
    c.Write(0x09, {0x00, 0x11, 0x00, 0x40});
    EXPECT_FALSE(c.chip.Sample(c.coupling, c.now));
    EXPECT_TRUE(c.chip.Status().offMode);
    c.chip.WakeLine();
    EXPECT_TRUE(c.chip.Sample(c.coupling, c.now));
    EXPECT_TRUE(c.Flags() & ShowReset); // it restarted and must be set up again
    EXPECT_EQ(c.Read(0x09, 4), QByteArray::fromHex("00110000"));
    c.Run(TSimChip::PowerUpAtiDelayCycles);
    EXPECT_TRUE(c.Flags() & AtiBusy);
}

TEST(SimChip, HaltChargeUntilTheReadyLine)
{
    Chip c;
    c.Settle();
    c.Write(0x09, {0x00, 0x11, 0x00, 0x08});
    EXPECT_FALSE(c.chip.Sample(c.coupling, c.now));
    c.chip.ReadyLine();
    EXPECT_TRUE(c.chip.Sample(c.coupling, c.now));
}

TEST(SimChip, AtiErrorWhenTheTargetIsOutOfReach)
{
    Chip c;
    c.Settle();
    c.Write(0x0B, {0, 255, 255});
    c.Write(0x09, {0x50}); // partial ATI, redo
    c.Run(TSimChip::PartialAtiCycles + 2);
    EXPECT_TRUE(c.Flags() & AtiError);
}

TEST(SimChip, AutoAtiRetunesWhenCountsDriftFar)
{
    auto retunes = [](bool autoAti) {
        Chip c;
        c.Settle();
        if (!autoAti)
            c.Write(0x09, {0x80});
        c.Write(0x07, {0x00, 0x0F}); // CH1 compensation multiplier 16: far off target
        for (int i = 0; i < 1500; ++i) {
            c.Run(1);
            if (c.Flags() & AtiBusy)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(retunes(true));
    EXPECT_FALSE(retunes(false));
}

TEST(SimChip, MovementOnChannelZero)
{
    Chip c;
    c.Settle();
    c.Write(0x09, {0x00, 0x11, 0x04}); // movement on CH0
    uint8_t events = 0;
    bool flag = false;
    for (int i = 0; i < 60; ++i) {
        c.coupling[0] = 0.005 * i;
        events |= c.Run(1);
        flag = flag || (c.Flags() & Movement);
    }
    EXPECT_TRUE(flag);
    EXPECT_TRUE(events & 0x10);
}

TEST(SimChip, ParasiticCapacitanceMeasurementGivesAFewPicofarads)
{
    // What the program does: ATI off, bases 298, retune, compensation 0, reseed, compare counts with the
    // measurement switch off and on.
    Chip c;
    c.Settle();
    c.Write(0x09, {0x80});
    c.Write(0x07, {0, 0, 0, 0, 0xEE, 0x00});
    c.Write(0x09, {0x90});
    c.Run(TSimChip::FullAtiCycles + 2);
    c.Write(0x08, {0, 0, 0, 0});
    c.Write(0x09, {0x88});
    c.Run(50);
    std::array<int, 4> before{}, after{};
    for (int ch = 0; ch < 4; ++ch)
        before[size_t(ch)] = c.Count(ch);
    c.Write(0xFC, {0x6A});
    const uint8_t mem = uint8_t(c.Read(0xFD, 1)[0]);
    c.Write(0xFD, {uint8_t(mem | 0x08)});
    c.Run(50);
    for (int ch = 0; ch < 4; ++ch) {
        after[size_t(ch)] = c.Count(ch);
        const double diff = std::max(before[size_t(ch)] - after[size_t(ch)], 1);
        const double pf = after[size_t(ch)] / diff * 0.935;
        EXPECT_NEAR(pf, SimSensing::ElectrodeCapacitance(ch), 0.25) << ch;
        EXPECT_GT(pf, 2.0);
        EXPECT_LT(pf, 5.0);
    }
}
