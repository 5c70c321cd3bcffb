// Injected faults at the report level: lost, doubled, swapped and renumbered stream reports, error replies,
// streaming errors, a hung tool, a tool pulled out, EnterDFU.
#include "SimWire.h"

#include <QThread>
#include <gtest/gtest.h>

namespace {

SimOptions WithFaults(const std::function<void(SimFaults&)>& set)
{
    SimOptions o = ManualOptions();
    set(o.faults);
    return o;
}

// Frame counters of the stream reports of `frames` samples of the default set-up.
QList<int> StreamCounters(TSimulator& sim, SimWire& wire, int frames)
{
    EXPECT_EQ(wire.SetUp(), 0);
    EXPECT_EQ(wire.PowerOn(), 0);
    EXPECT_EQ(wire.StartStream(DefaultStreamMap()), 0);
    sim.Advance(frames);
    QList<int> counters;
    for (const QByteArray& r : wire.Stream())
        if ((uint8_t(r[1]) & 0x0F) == 0xF)
            counters.append(uint8_t(r[2]));
    return counters;
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    for (int waited = 0; waited < ms; waited += 5) {
        if (done())
            return true;
        QThread::msleep(5);
    }
    return done();
}

} // namespace

TEST(SimFaults, DropEveryThirdReport)
{
    TSimulator sim(WithFaults([](SimFaults& f) { f.drop.everyNth = 3; }));
    SimWire wire(sim);
    const QList<int> counters = StreamCounters(sim, wire, 30);
    ASSERT_EQ(counters.size(), 20);
    EXPECT_EQ(counters[0], 0);
    EXPECT_EQ(counters[1], 1);
    EXPECT_EQ(counters[2], 3); // frame 2 lost
    EXPECT_EQ(sim.FaultCounts().dropped, 10u);
}

TEST(SimFaults, DuplicateReorderAndSkip)
{
    {
        TSimulator sim(WithFaults([](SimFaults& f) { f.duplicate.everyNth = 4; }));
        SimWire wire(sim);
        const QList<int> counters = StreamCounters(sim, wire, 8);
        EXPECT_EQ(counters, (QList<int>{0, 1, 2, 3, 3, 4, 5, 6, 7, 7}));
    }
    {
        TSimulator sim(WithFaults([](SimFaults& f) { f.reorder.everyNth = 3; }));
        SimWire wire(sim);
        const QList<int> counters = StreamCounters(sim, wire, 8);
        EXPECT_EQ(counters, (QList<int>{0, 1, 3, 2, 4, 5, 7, 6}));
    }
    {
        TSimulator sim(WithFaults([](SimFaults& f) { f.skipCounter.everyNth = 3; }));
        SimWire wire(sim);
        const QList<int> counters = StreamCounters(sim, wire, 6);
        EXPECT_EQ(counters, (QList<int>{0, 1, 3, 4, 5, 7}));
    }
    {
        TSimulator sim(WithFaults([](SimFaults& f) { f.drop.probability = 0.25; }));
        SimWire wire(sim);
        const int got = int(StreamCounters(sim, wire, 2000).size());
        EXPECT_NEAR(got, 1500, 80);
    }
}

TEST(SimFaults, VanishesAfterATime)
{
    TSimulator sim(WithFaults([](SimFaults& f) { f.vanishAfterMs = 100; }));
    EXPECT_TRUE(sim.ToolPlugged());
    EXPECT_TRUE(WaitFor([&] { return !sim.ToolPlugged(); }, 2000));
    EXPECT_TRUE(sim.Backend()->enumerate().isEmpty());
}

TEST(SimFaults, EnterDfuLeavesAndComesBack)
{
    SimOptions o = ManualOptions();
    o.dfuDelayMs = 150;
    o.serialNumber = QStringLiteral("SER-42");
    TSimulator sim(o);
    SimWire wire(sim);
    ASSERT_EQ(wire.Run(0x08, 1, {7}), 0);
    EXPECT_EQ(wire.Run(0xFF, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return !sim.ToolPlugged(); }, 1000));
    EXPECT_TRUE(WaitFor([&] { return sim.ToolPlugged(); }, 2000));
    const auto devices = sim.Backend()->enumerate();
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0].serialNumber, QStringLiteral("SER-42"));
    SimWire again(sim);
    EXPECT_EQ(uint8_t(again.Command(0x09, 0)[1]) >> 4, 7); // the tool ID lives in the tool's EEPROM
}
