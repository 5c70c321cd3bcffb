// Streaming as the host expects it: frames built from the chip's registers in map order, pieces of 32 bytes,
// the frame counter, stop, event mode, a chip lost from the bus.
#include "SimWire.h"

#include <QThread>
#include <gtest/gtest.h>

namespace {

struct StreamingSim {
    explicit StreamingSim(SimOptions options = ManualOptions()) : sim(options), wire(sim)
    {
        EXPECT_EQ(wire.SetUp(), 0);
        EXPECT_EQ(wire.PowerOn(), 0);
    }
    TSimulator sim;
    SimWire wire;
};

uint8_t Type(const QByteArray& r) { return uint8_t(r[1]) & 0x0F; }
uint8_t Counter(const QByteArray& r) { return uint8_t(r[2]); }
uint8_t Piece(const QByteArray& r) { return uint8_t(r[3]); }

} // namespace

TEST(SimStream, LongFramesArriveInPiecesOfThirtyTwo)
{
    StreamingSim s;
    QByteArray map(70, '\0');
    map[0] = 0x04;
    map[10] = 0x05;
    map[20] = 0x06;
    map[28] = 0x0A; // thresholds: 8 bytes, then zeros up to the end
    ASSERT_EQ(s.wire.StartStream(map), 0);
    s.sim.Advance(2);
    const auto reports = s.wire.Stream();
    ASSERT_EQ(reports.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Piece(reports[i]), i % 3);
        EXPECT_EQ(Counter(reports[i]), i / 3);
    }
    // Piece 2 carries the last 6 bytes: zeros after the thresholds.
    QByteArray frame = reports[3].mid(4, 32) + reports[4].mid(4, 32) + reports[5].mid(4, 6);
    EXPECT_EQ(frame.mid(0, 10), s.sim.ChipRegister(0x04));
    EXPECT_EQ(frame.mid(20, 8), s.sim.ChipRegister(0x06));
    EXPECT_EQ(frame.mid(28, 8), QByteArray::fromHex("0410101003001404"));
    EXPECT_EQ(frame.mid(36), QByteArray(34, '\0'));
    EXPECT_EQ(reports[5].mid(10), QByteArray(65 - 10, '\0'));
}

TEST(SimStream, CounterRunsOnAcrossStreamsAndWraps)
{
    StreamingSim s;
    ASSERT_EQ(s.wire.StartStream(DefaultStreamMap()), 0);
    s.sim.Advance(200);
    ASSERT_EQ(s.wire.Run(0x0D, 0), 0);
    s.sim.Advance(5);
    auto reports = s.wire.Stream();
    ASSERT_EQ(reports.size(), 200);
    EXPECT_EQ(Counter(reports.back()), 199);
    EXPECT_EQ(s.wire.Run(0x0D, 0), 0x0D01);

    ASSERT_EQ(s.wire.StartStream(DefaultStreamMap()), 0);
    s.sim.Advance(100);
    reports = s.wire.Stream();
    ASSERT_EQ(reports.size(), 100);
    EXPECT_EQ(Counter(reports.front()), 200);
    EXPECT_EQ(Counter(reports[55]), 255);
    EXPECT_EQ(Counter(reports[56]), 0);
}

TEST(SimStream, PowerOffEndsTheStream)
{
    StreamingSim s;
    ASSERT_EQ(s.wire.StartStream(DefaultStreamMap()), 0);
    s.sim.Advance(3);
    ASSERT_EQ(s.wire.Run(0x03, 0), 0);
    s.wire.Stream();
    s.sim.Advance(10);
    EXPECT_TRUE(s.wire.Stream().isEmpty());
    EXPECT_FALSE(s.sim.ToolStatus().streaming);
}

TEST(SimStream, PiecesOutOfOrderAreRefused)
{
    StreamingSim s;
    QByteArray map(40, '\0');
    map[0] = 0x04;
    ASSERT_EQ(s.wire.Run(0x14, 2, {0, 40}), 0);
    const uint8_t piece[8] = {};
    EXPECT_EQ(SimWire::Result(s.wire.CommandBytes(0x15, 1, piece, 8)), 0x15FE);
    EXPECT_FALSE(s.sim.ToolStatus().streaming);
    EXPECT_EQ(s.wire.Run(0x14, 2, {0, 0}), 0x14FE);
}

TEST(SimStream, ChipInEventModeSendsOnlyCyclesWithEvents)
{
    StreamingSim s;
    s.sim.Advance(100);
    ASSERT_EQ(s.wire.WriteRegister(0x09, {0x00, 0x51}), 0); // CommsMode: event mode
    ASSERT_EQ(s.wire.StartStream(DefaultStreamMap()), 0);
    s.sim.Advance(50);
    EXPECT_TRUE(s.wire.Stream().isEmpty()); // nothing happens, nothing is sent
    s.sim.SetTouch(2, true);
    s.sim.Advance(30);
    s.sim.SetTouch(2, false);
    s.sim.Advance(30);
    const auto reports = s.wire.Stream();
    ASSERT_GE(reports.size(), 2); // touch and release
    EXPECT_LE(reports.size(), 6);
    for (const QByteArray& r : reports)
        EXPECT_NE(uint8_t(r[5]), 0) << "a frame without an event";
    // The counter numbers every cycle, so frames show gaps.
    EXPECT_GT(Counter(reports.back()) - Counter(reports.front()), reports.size());
}

TEST(SimStream, ToolEventModeSendsEventReportsWhileNotStreaming)
{
    StreamingSim s;
    s.sim.Advance(100);
    ASSERT_EQ(s.wire.Run(0x1A, 1, {1}), 0);
    s.wire.Stream();
    s.sim.SetTouch(1, true);
    s.sim.Advance(20);
    const auto reports = s.wire.Stream();
    ASSERT_FALSE(reports.isEmpty());
    bool touchEvent = false;
    for (const QByteArray& r : reports) {
        EXPECT_EQ(Type(r), 0xB);
        EXPECT_EQ(uint8_t(r[2]), 0xFF);
        touchEvent = touchEvent || (uint8_t(r[5]) & 0x02);
    }
    EXPECT_TRUE(touchEvent);
}

TEST(SimStream, ChipLostFromTheBusGivesOneStreamingError)
{
    StreamingSim s;
    ASSERT_EQ(s.wire.StartStream(DefaultStreamMap()), 0);
    s.sim.Advance(3);
    s.sim.SetChipAddress(-1);
    s.sim.Advance(10);
    s.sim.SetChipAddress(0x44);
    s.sim.Advance(2);
    const auto reports = s.wire.Stream();
    ASSERT_EQ(reports.size(), 6);
    EXPECT_EQ(Type(reports[3]), 0xE);
    EXPECT_EQ(uint8_t(reports[3][2]), 0);
    EXPECT_EQ(SimWire::Result(reports[3]), 0x000E);
    EXPECT_EQ(Type(reports[4]), 0xF);
    EXPECT_EQ(Counter(reports[4]), 3);
}

TEST(SimStream, RateIsKeptByTheClock)
{
    SimOptions o;
    o.seed = 7;
    o.scenario = QStringLiteral("idle");
    o.sampleRateHz = 1000;
    StreamingSim s(o);
    ASSERT_EQ(s.wire.StartStream(DefaultStreamMap()), 0);
    const double t0 = s.sim.SimTime();
    const auto start = std::chrono::steady_clock::now();
    QThread::msleep(300);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double simulated = s.sim.SimTime() - t0;
    EXPECT_NEAR(simulated, wall, 0.05);
    EXPECT_GT(s.wire.Stream().size(), 200);
}
