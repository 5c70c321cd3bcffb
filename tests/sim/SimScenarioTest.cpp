// The finger model and its scenarios, and repeatability from a seed.
#include "SimWire.h"

#include <gtest/gtest.h>

namespace {

// Runs `seconds` of a scenario against a chip in the given slider mode with every event enabled;
// returns every event bit and every touch bit seen.
std::pair<uint8_t, uint8_t> Watch(const QString& scenario, uint8_t proxSettings1, double seconds)
{
    SimOptions o = ManualOptions(77);
    o.scenario = scenario;
    TSimulator sim(o);
    SimWire wire(sim);
    EXPECT_EQ(wire.SetUp(), 0);
    EXPECT_EQ(wire.PowerOn(), 0);
    sim.Advance(60);
    EXPECT_EQ(wire.WriteRegister(0x09, {0x00, proxSettings1, 0x00, 0x00, 0xFF}), 0);
    EXPECT_EQ(wire.StartStream(DefaultStreamMap()), 0);
    uint8_t events = 0, touches = 0;
    for (int i = 0; i < int(seconds * 100); ++i) {
        sim.Advance(1);
        for (const QByteArray& r : wire.Stream()) {
            events |= uint8_t(r[5]);
            touches |= uint8_t(r[9]);
        }
    }
    return {events, touches};
}

} // namespace

TEST(SimScenario, DemoShowsEverythingOnTheWheel)
{
    const auto [events, touches] = Watch(QStringLiteral("demo"), 0x19, TSimFinger::DemoLoopSeconds);
    EXPECT_EQ(touches, 0x0F);                   // prox on CH0, touch on CH1..CH3
    EXPECT_EQ(events & 0xE7, 0xE7);             // prox, touch, slide, tap, both flicks
}

TEST(SimScenario, IdleShowsNothing)
{
    const auto [events, touches] = Watch(QStringLiteral("idle"), 0x19, 5.0);
    EXPECT_EQ(touches, 0);
    EXPECT_EQ(events & ~0x08, 0);
}

TEST(SimScenario, WheelScenarioCirclesTheWheel)
{
    const auto [events, touches] = Watch(QStringLiteral("wheel"), 0x19, 5.0);
    EXPECT_EQ(touches & 0x0E, 0x0E);
    EXPECT_TRUE(events & 0x04);
}

TEST(SimScenario, ManualControlsAndScenarioSwitch)
{
    TSimFinger finger;
    EXPECT_FALSE(finger.SetScenario(QStringLiteral("dance")));
    EXPECT_TRUE(finger.SetScenario(QStringLiteral("idle")));
    EXPECT_EQ(finger.Couplings(3.0, 2), (std::array<double, 4>{}));
    finger.SetKey(3, true);
    EXPECT_GT(finger.Couplings(3.0, 2)[3], 0.3);
    finger.SetKey(3, false);
    finger.SetWheel(true, 1.0 / 3);
    const auto onWheel = finger.Couplings(3.0, 2);
    EXPECT_GT(onWheel[2], 0.3); // CH2 sits a third of the way round
    EXPECT_NEAR(onWheel[1], 0.0, 1e-9);
    finger.SetWheel(false, 0.0);
    finger.StartGesture(SimGesture::Tap, 3.0);
    EXPECT_GT(finger.Couplings(3.05, 2)[1] + finger.Couplings(3.05, 2)[2] + finger.Couplings(3.05, 2)[3], 0.3);
    EXPECT_EQ(finger.Couplings(3.5, 2)[2], 0.0);
    finger.SetHand(1.0);
    EXPECT_GT(finger.Couplings(4.0, 2)[0], 0.2);
}

TEST(SimScenario, SameSeedSameStream)
{
    auto record = [](quint64 seed) {
        SimOptions o = ManualOptions(seed);
        o.scenario = QStringLiteral("demo");
        TSimulator sim(o);
        SimWire wire(sim);
        wire.SetUp();
        wire.PowerOn();
        wire.StartStream(DefaultStreamMap());
        sim.Advance(700);
        QByteArray all;
        for (const QByteArray& r : wire.Stream())
            all += r;
        return all;
    };
    const QByteArray a = record(5);
    EXPECT_EQ(a.size(), 700 * 65);
    EXPECT_EQ(a, record(5));
    EXPECT_NE(a, record(6));
}
