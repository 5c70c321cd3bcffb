// The scope's deep history: the ring, min/max decimation, cursor read-outs and the event lanes.
#include "core/session_support.h"

#include "app/ScopeCursors.h"
#include "app/ScopeEvents.h"
#include "app/ScopeHistory.h"
#include "hid/VirtualHidBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TScopeFrame Values(std::initializer_list<std::pair<int, int32_t>> points)
{
    TScopeFrame frame;
    for (auto [t, v] : points)
        frame.Set(t, v);
    return frame;
}

} // namespace

TEST(ScopeHistory, RingKeepsTheLatestFramesWithTheirFullValueRange)
{
    TScopeHistory history(200); // rounded up to 4 blocks of 64
    ASSERT_EQ(history.Capacity(), 256);
    const int64_t start = 1000, frames = 1000;
    for (int64_t x = start; x < start + frames; ++x) {
        // Trace 2 only on even samples; trace 7 swings over the whole stored range.
        TScopeFrame f = Values({{0, int32_t(x)}, {7, x % 2 ? TScopeHistory::MinValue : TScopeHistory::MaxValue}});
        if (x % 2 == 0)
            f.Set(2, -int32_t(x));
        history.Append(x, f, x * 1000);
    }
    EXPECT_EQ(history.Size(), 256);
    EXPECT_EQ(history.FirstX(), start + frames - 256);
    EXPECT_EQ(history.LastX(), start + frames - 1);
    EXPECT_FALSE(history.Value(0, history.FirstX() - 1));
    for (int64_t x = history.FirstX(); x <= history.LastX(); ++x) {
        ASSERT_EQ(history.Value(0, x), int32_t(x)) << x;
        ASSERT_EQ(history.Value(7, x), x % 2 ? -65536 : 65535) << x;
        if (x % 2 == 0)
            ASSERT_EQ(history.Value(2, x), -int32_t(x)) << x;
        else
            ASSERT_FALSE(history.Value(2, x)) << x; // no point, not a zero
        ASSERT_FALSE(history.Value(1, x));
    }
    // Out of the 17-bit range: held at the nearest end, never wrapped round to the other sign.
    history.Append(history.LastX() + 1, Values({{0, 70000}, {1, -70000}}), 0);
    EXPECT_EQ(history.Value(0, history.LastX()), TScopeHistory::MaxValue);
    EXPECT_EQ(history.Value(1, history.LastX()), TScopeHistory::MinValue);

    // A sample that does not follow starts afresh.
    history.Append(5, Values({{0, 1}}), 0);
    EXPECT_EQ(history.Size(), 1);
    EXPECT_EQ(history.FirstX(), 5);
    EXPECT_FALSE(history.Value(0, 1999));
}

TEST(ScopeHistory, DecimationKeepsEveryColumnsExtremesAcrossTheWrap)
{
    TScopeHistory history(64 * 40);
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> noise(480, 520);
    // Wrapped, and ending mid-block, so the oldest and newest blocks are only partly held.
    const int64_t frames = 64 * 40 * 3 + 37;
    std::vector<int32_t> values(static_cast<size_t>(frames));
    for (int64_t x = 0; x < frames; ++x) {
        int32_t v = noise(random);
        if (x % 997 == 0)
            v = x % 2 ? 3000 : -3000; // single-frame spikes
        values[size_t(x)] = v;
        TScopeFrame f;
        if (x % 5 != 3) // trace 1 misses some frames
            f.Set(1, v);
        history.Append(x, f, 0);
    }
    for (int columns : {7, 100, 333}) {
        const std::vector<TScopeSample> points =
            history.Decimate(1, double(history.FirstX()), double(history.LastX()), columns);
        ASSERT_EQ(points.size(), size_t(2 * columns));
        const int64_t first = history.FirstX(), n = history.Size();
        for (int c = 0; c < columns; ++c) {
            const int64_t a = first + n * c / columns, b = first + n * (c + 1) / columns;
            int32_t lo = INT32_MAX, hi = INT32_MIN;
            for (int64_t x = a; x < b; ++x)
                if (x % 5 != 3)
                    lo = std::min(lo, values[size_t(x)]), hi = std::max(hi, values[size_t(x)]);
            ASSERT_EQ(points[size_t(2 * c)].Y, lo) << columns << " " << c;
            ASSERT_EQ(points[size_t(2 * c + 1)].Y, hi) << columns << " " << c;
            ASSERT_EQ(points[size_t(2 * c)].X, double(a));
        }
    }
    // Zoomed in: the samples themselves, frames without a point left out, the view clipped to what is held.
    const std::vector<TScopeSample> near = history.Decimate(1, history.LastX() - 9.5, history.LastX() + 50, 100);
    ASSERT_EQ(near.size(), 8u);
    for (const TScopeSample& p : near)
        EXPECT_EQ(p.Y, values[size_t(p.X)]);
    EXPECT_TRUE(history.Decimate(1, -100, double(history.FirstX()) - 1, 100).empty());
}

TEST(ScopeHistory, CursorsReadSamplesTimeAndCountsBetweenThem)
{
    TScopeHistory history(1024);
    // 2 ms apart; trace 4 only from sample 10 on.
    for (int64_t x = 0; x < 100; ++x) {
        TScopeFrame f = Values({{0, int32_t(500 + x)}});
        if (x >= 10)
            f.Set(4, 400);
        history.Append(x, f, 5'000'000 + x * 2000);
    }
    TCursorReading r = ScopeCursors::Read(history, 20, 70);
    EXPECT_EQ(r.DeltaSamples, 50);
    ASSERT_TRUE(r.DeltaMs);
    EXPECT_DOUBLE_EQ(*r.DeltaMs, 100.0);
    EXPECT_EQ(r.DeltaCounts[0], 50);
    EXPECT_EQ(r.DeltaCounts[4], 0);
    EXPECT_FALSE(r.DeltaCounts[1]);
    // Swapped cursors give negative deltas; a cursor on a sample without that trace gives none.
    r = ScopeCursors::Read(history, 70, 5);
    EXPECT_EQ(r.DeltaSamples, -65);
    EXPECT_DOUBLE_EQ(*r.DeltaMs, -130.0);
    EXPECT_EQ(r.DeltaCounts[0], -65);
    EXPECT_FALSE(r.DeltaCounts[4]);
    EXPECT_EQ(ScopeCursors::Text(r, 0x11), QStringLiteral("\u0394Samples -65   \u0394Time -130.0 ms   \u0394CS0 -65"));
    // Beyond the history: samples still count, time cannot be told.
    r = ScopeCursors::Read(history, 50, 150);
    EXPECT_EQ(r.DeltaSamples, 100);
    EXPECT_FALSE(r.DeltaMs);
    EXPECT_EQ(ScopeCursors::Snap(41.5), 42);
    EXPECT_EQ(ScopeCursors::Snap(-0.4), 0);

    // The clock of the history wraps (tenths of a millisecond in 32 bits); a delta across the wrap is right.
    TScopeHistory wrapped(64);
    const int64_t wrapUs = (int64_t(1) << 32) * 100;
    wrapped.Append(0, Values({{0, 1}}), wrapUs - 1000);
    wrapped.Append(1, Values({{0, 1}}), wrapUs + 3000);
    EXPECT_DOUBLE_EQ(*wrapped.ElapsedMs(0, 1), 4.0);
}

namespace {

// Frames of the initial stream set-up through the frame decode, then into the history as the scope feeds it.
class ScopeLanes : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    TMainCore Core{std::make_shared<VirtualHidBackend>(), &Messages, &View};
    TScopeHistory History{4096};
    int64_t X = 0;

    void Frame(uint8_t flags, uint8_t events, uint8_t status, uint8_t wheel)
    {
        FrameBuilder f;
        f.Flags(flags, events).Coordinates(wheel, 0, 0).ProxTouch(status, 0);
        for (int i = 0; i < 10; ++i)
            f.Word(500);
        Feed(Core, f);
        TScopeFrame frame;
        frame.Set(0, Core.FCurrentChs[0]);
        ScopeEvents::Take(Core, frame);
        History.Append(X++, frame, 0);
    }
};

} // namespace

TEST_F(ScopeLanes, LanesFollowTheDecodedFramesAndNoShortEventIsLost)
{
    using namespace ScopeEvent;
    Frame(0x00, 0x00, 0x00, 0);      // nothing
    Frame(0x00, 0x20, 0x01, 64);     // tap, prox (channel 0), wheel a quarter round
    Frame(0x00, 0x40, 0x04, 128);    // flick left, touch channel 2
    Frame(0x00, 0x80, 0x00, 255);    // flick right
    Frame(0x04, 0x28, 0x00, 0);      // ATI busy; the ATI event masks the tap
    Frame(0x01, 0x00, 0x0E, 0);      // low power, touch on channels 1 to 3
    const uint16_t expected[] = {Wheel,
                                 Wheel | Tap | ScopeEvents::ProxBit(0),
                                 Wheel | FlickLeft | ScopeEvents::TouchBit(2),
                                 Wheel | FlickRight,
                                 Wheel | ATIBusy,
                                 Wheel | LowPower | ScopeEvents::TouchBit(1) | ScopeEvents::TouchBit(2) |
                                     ScopeEvents::TouchBit(3)};
    for (int64_t x = 0; x < 6; ++x)
        EXPECT_EQ(History.Events(x), expected[x]) << x;
    EXPECT_EQ(History.Wheel(1), 25);
    EXPECT_EQ(History.Wheel(3), 100);

    // One column per sample while they fit, aligned with the samples.
    const std::vector<TEventColumn> fine = History.EventColumns(0, 5, 100);
    ASSERT_EQ(fine.size(), 6u);
    for (int64_t x = 0; x < 6; ++x) {
        EXPECT_EQ(fine[size_t(x)].FirstX, x);
        EXPECT_EQ(fine[size_t(x)].LastX, x);
        EXPECT_EQ(fine[size_t(x)].Events, expected[x]);
    }

    // Thousands of quiet frames with one tap: zoomed out onto a few columns, the tap's column still shows it,
    // the others do not, and the wheel range covers every position of its column.
    for (int i = 0; i < 3000; ++i)
        Frame(0x00, i == 2222 ? 0x20 : 0x00, 0x00, uint8_t(i % 100));
    const std::vector<TEventColumn> coarse = History.EventColumns(6, double(History.LastX()), 30);
    ASSERT_EQ(coarse.size(), 30u);
    const int64_t tapX = 6 + 2222;
    for (const TEventColumn& c : coarse) {
        const bool holdsTap = c.FirstX <= tapX && tapX <= c.LastX;
        EXPECT_EQ(bool(c.Events & Tap), holdsTap) << c.FirstX;
        EXPECT_EQ(c.WheelMin, 0);
        EXPECT_EQ(c.WheelMax, 39); // position 99 of 256
    }
}
