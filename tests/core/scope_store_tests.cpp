#include "app/ScopePoints.h"
#include "app/ScopeRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int Capacity = TScopePoints::FMaxNrChartPoints;

// One frame as the main window feeds it: every listed trace gets y = x.
void Frame(TScopePoints& store, int32_t x, std::initializer_list<int> traces)
{
    store.CountChartPoint();
    for (int t : traces)
        store.AddXY(t, x, x);
}

} // namespace

TEST(ScopeStore, EachTraceKeepsTheLatestPointsInOrderAcrossTheBlockMoves)
{
    TScopePoints store;
    // Past two block moves, with the traces on different y so that a mix-up shows.
    const int frames = 2 * Capacity + 137;
    for (int x = 0; x < frames; ++x) {
        Frame(store, x, {0, 3, 7});
        store.AddXY(5, x, -x);
    }
    for (int t : {0, 3, 5, 7}) {
        ASSERT_EQ(store.Count(t), Capacity) << t;
        for (int i = 0; i < Capacity; ++i) {
            const int x = frames - Capacity + i;
            ASSERT_EQ(store.X(t)[i], x) << t << " " << i;
            ASSERT_EQ(store.Y(t)[i], t == 5 ? -x : x) << t << " " << i;
        }
    }
    EXPECT_TRUE(store.FMaxPoints);
    EXPECT_EQ(store.FNrOfChartPoints, Capacity);
    EXPECT_FALSE(store.Changed(1));
    EXPECT_EQ(store.Count(1), 0);
}

TEST(ScopeStore, FramesATraceMissedAreBlanksThatKeepTheTimeOrder)
{
    TScopePoints store;
    for (int x = 0; x < 10; ++x)
        Frame(store, x, x < 3 || x >= 7 ? std::initializer_list<int>{0, 4} : std::initializer_list<int>{0});
    // Trace 4 missed frames 3..6: no invented points at y = 0, and x never goes backwards.
    ASSERT_EQ(store.Count(4), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(std::isnan(store.Y(4)[i]), i >= 3 && i < 7) << i;
        if (i > 0) {
            EXPECT_LE(store.X(4)[i - 1], store.X(4)[i]) << i;
        }
    }
    // A trace that stopped early holds only what it got.
    Frame(store, 10, {4});
    EXPECT_EQ(store.Count(0), 10);
    EXPECT_EQ(store.X(0)[9], 9);
}

TEST(ScopeStore, NothingIsStoredBeforeTheFirstCountAndBadTracesAreIgnored)
{
    TScopePoints store;
    store.AddXY(0, 5, 5);
    EXPECT_FALSE(store.Changed(0));
    store.CountChartPoint();
    store.AddXY(-1, 1, 1);
    store.AddXY(TScopePoints::Traces, 1, 1);
    store.AddXY(2, 1, 1);
    EXPECT_EQ(store.Count(2), 1);

    // Counting on without points (no trace takes any) stops at one past the capacity.
    for (int i = 0; i < 3 * Capacity; ++i)
        store.CountChartPoint();
    EXPECT_EQ(store.FNrOfChartPoints, Capacity + 1);
    store.AddXY(2, 9, 9);
    EXPECT_EQ(store.FNrOfChartPoints, Capacity);
    EXPECT_EQ(store.X(2)[store.Count(2) - 1], 9);
    EXPECT_LE(store.Count(2), Capacity);

    store.Clear();
    EXPECT_FALSE(store.Changed(2));
    EXPECT_EQ(store.FNrOfChartPoints, 0);
    EXPECT_FALSE(store.FMaxPoints);
}

TEST(ScopeRules, TimeWindowStartsAtZeroUntilTheRangeNoLongerCoversTheAxis)
{
    EXPECT_EQ(ScopeRules::TimeWindow(600, 600, 250), (TScopeRange{0, 600}));
    EXPECT_EQ(ScopeRules::TimeWindow(1000, 600, 250), (TScopeRange{0, 1000}));
    EXPECT_EQ(ScopeRules::TimeWindow(600, 7000, 7100), (TScopeRange{6500, 7100}));
    EXPECT_EQ(ScopeRules::TimeWindow(100, 600, 50), (TScopeRange{-50, 50}));
}

TEST(ScopeRules, AxisEntriesAndRangesAreRefusedOutsideTheirLimits)
{
    using ScopeRules::TAxisEntry;
    int v = 0;
    EXPECT_EQ(ScopeRules::CheckYMax(QStringLiteral("12.5"), 0, v), TAxisEntry::aeNotInteger);
    EXPECT_EQ(ScopeRules::CheckYMax(QStringLiteral(""), 0, v), TAxisEntry::aeNotInteger);
    EXPECT_EQ(ScopeRules::CheckYMax(QStringLiteral("0x20"), 0, v), TAxisEntry::aeNotInteger);
    EXPECT_EQ(ScopeRules::CheckYMax(QStringLiteral("0"), 0, v), TAxisEntry::aeOutOfOrder);
    EXPECT_EQ(ScopeRules::CheckYMax(QStringLiteral(" 2000 "), 0, v), TAxisEntry::aeAccepted);
    EXPECT_EQ(v, 2000);
    EXPECT_EQ(ScopeRules::CheckYMin(QStringLiteral("1500"), 1500, v), TAxisEntry::aeOutOfOrder);
    EXPECT_EQ(ScopeRules::CheckYMin(QStringLiteral("-200"), 1500, v), TAxisEntry::aeAccepted);
    EXPECT_EQ(v, -200);
    EXPECT_EQ(ScopeRules::YMinRefusal(TAxisEntry::aeOutOfOrder),
              QStringLiteral("Minimum value must be smaller than the maximum value!"));
    EXPECT_EQ(ScopeRules::YMaxRefusal(TAxisEntry::aeOutOfOrder),
              QStringLiteral("Maximum value must be larger than the minimum value!"));
    EXPECT_EQ(ScopeRules::YMinRefusal(TAxisEntry::aeNotInteger),
              QStringLiteral("Invalid value entered! (no decimal values allowed)"));

    for (int x : {99, 1501, 1600, 0, -100})
        EXPECT_FALSE(ScopeRules::ValidXRange(x)) << x;
    for (int x : {100, 600, 1500})
        EXPECT_TRUE(ScopeRules::ValidXRange(x)) << x;
    for (int y : {0, -5, 1001})
        EXPECT_FALSE(ScopeRules::ValidYInc(y)) << y;
    EXPECT_TRUE(ScopeRules::ValidYInc(1000));
}

TEST(ScopeRules, RescaleUsesTheLowestAndHighestValues)
{
    EXPECT_EQ(ScopeRules::Rescale({1000, 900, 800, 700}, {990, 905, 810, 705}), (TScopeRange{140, 1100}));
    // Rounded up: 0.2 x 701 = 140.2, 1.1 x 1001 = 1101.1.
    EXPECT_EQ(ScopeRules::Rescale({1001, 901, 801, 701}, {1001, 901, 801, 701}), (TScopeRange{141, 1102}));
    // Negative values pull the minimum below zero; the maximum never goes below zero.
    EXPECT_EQ(ScopeRules::Rescale({-150, -20, -5, -1}, {-150, -20, -5, -1}), (TScopeRange{-30, 0}));
    // Values not yet received count as 0.
    EXPECT_EQ(ScopeRules::Rescale({600, 0, 0, 0}, {600, 0, 0, 0}), (TScopeRange{0, 660}));
}

TEST(ScopeRules, AChannelIsActiveWithItsMainBoxAndAScopeBox)
{
    const std::array<bool, 4> none{}, only2{false, false, true, false}, all{true, true, true, true};
    EXPECT_TRUE(ScopeRules::ActiveChannels(only2, none, only2, false));
    EXPECT_FALSE(ScopeRules::ActiveChannels(only2, none, {true, true, false, true}, false));
    // Averages count outside the baseline view only.
    EXPECT_TRUE(ScopeRules::ActiveChannels(none, only2, all, false));
    EXPECT_FALSE(ScopeRules::ActiveChannels(none, only2, all, true));
    EXPECT_TRUE(ScopeRules::ActiveChannels(only2, none, all, true));
    EXPECT_FALSE(ScopeRules::ActiveChannels(all, all, none, false));
}
