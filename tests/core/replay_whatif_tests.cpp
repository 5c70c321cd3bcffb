// What-if on scripted frames: thresholds and debounce move the events the way the chip would move them.

#include "replay/WhatIf.h"

#include <gtest/gtest.h>

namespace {

// Frames of system flags, prox/touch bytes, counts and averages, one per 10 ms. CH0 counts dip by
// prox[i] under their average of 500; CH1 dips by touch[i] under 1000; the chip reported chip[i].
TRecording Scripted(const std::vector<int>& prox, const std::vector<int>& touch, const std::vector<int>& chip)
{
    TRecording r;
    QByteArray map(2 + 2 + 10 + 10, '\0');
    map[0] = 0x01;
    map[2] = 0x03;
    map[4] = 0x04;
    map[14] = 0x05;
    r.StreamMaps.append(map);
    r.Setup[0x0A] = QByteArray::fromHex("0410101003001404"); // prox 4, touch 16/256
    const auto word = [](QByteArray& d, int at, int v) {
        d[at] = char(v & 0xFF);
        d[at + 1] = char(v >> 8);
    };
    for (size_t i = 0; i < prox.size(); ++i) {
        QByteArray d(map.size(), '\0');
        d[2] = char(chip.empty() ? 0 : chip[i]);
        const int counts[4] = {500 - prox[i], 1000 - (touch.empty() ? 0 : touch[i]), 800, 800};
        const int averages[4] = {500, 1000, 800, 800};
        for (int c = 0; c < 4; ++c) {
            word(d, 4 + 2 * (c + 1), counts[c]);
            word(d, 14 + 2 * (c + 1), averages[c]);
        }
        r.Frames.append({qint64(i) * 10000, 0, d});
    }
    return r;
}

std::vector<std::pair<int, bool>> Fired(const TWhatIfResult& result, int channel)
{
    std::vector<std::pair<int, bool>> fired;
    for (const TWhatIfEvent& e : result.Events)
        if (e.Channel == channel && e.Source != TWhatIfSource::wsChip)
            fired.emplace_back(e.Frame, e.On);
    return fired;
}

TEST(WhatIf, ThresholdAndDebounceMoveProxEvents)
{
    //                             0  1  2  3   4   5   6   7  8  9 10 11
    const std::vector<int> prox = {0, 0, 6, 6, 12, 12, 12, 12, 0, 0, 0, 0};
    const TRecording r = Scripted(prox, {}, {});
    TWhatIfSettings s = RecordedWhatIfSettings(r);
    EXPECT_EQ(s.ProxThreshold, 4);
    EXPECT_EQ(s.Debounce, 2);

    // Over 4 from frame 2: set on the second frame over, cleared on the second frame under.
    using E = std::vector<std::pair<int, bool>>;
    EXPECT_EQ(Fired(EvaluateWhatIf(r, s), 0), (E{{3, true}, {9, false}}));
    // A threshold of 10 passes the 6s by: the event comes with the 12s.
    s.ProxThreshold = 10;
    EXPECT_EQ(Fired(EvaluateWhatIf(r, s), 0), (E{{5, true}, {9, false}}));
    // Above every delta nothing fires.
    s.ProxThreshold = 13;
    EXPECT_TRUE(Fired(EvaluateWhatIf(r, s), 0).empty());
    // Debounce 4 delays the onset by two frames; release 3 the end by one.
    s.ProxThreshold = 4;
    s.Debounce = 4;
    s.Release = 3;
    EXPECT_EQ(Fired(EvaluateWhatIf(r, s), 0), (E{{5, true}, {10, false}}));
    // Shorter than the debounce never sets.
    s.Debounce = 7;
    EXPECT_TRUE(Fired(EvaluateWhatIf(r, s), 0).empty());
}

TEST(WhatIf, TouchThresholdIsAShareOfTheAverage)
{
    // CH1's average is 1000: 16/256 of it is a threshold of 62.
    const std::vector<int> none(8, 0);
    const std::vector<int> touch = {0, 61, 61, 62, 62, 62, 0, 0};
    TRecording r = Scripted(none, touch, {});
    TWhatIfSettings s = RecordedWhatIfSettings(r);
    using E = std::vector<std::pair<int, bool>>;
    EXPECT_EQ(Fired(EvaluateWhatIf(r, s), 1), (E{{4, true}, {7, false}}));
    s.TouchThreshold[1] = 17; // 66: never reached
    EXPECT_TRUE(Fired(EvaluateWhatIf(r, s), 1).empty());

    // With the actual base known, the threshold is scaled by the channel's gain: base 100 at multiplier 0
    // makes 1000 x 16 x 4 / (1 x 3 x 100) = 213.
    r.ActualBase = std::array<int, 4>{100, 100, 100, 100};
    s.TouchThreshold[1] = 16;
    EXPECT_EQ(TWhatIfEvaluator(r, s).TouchThreshold(1, 1000, false), 213);
    EXPECT_TRUE(Fired(EvaluateWhatIf(r, s), 1).empty());
}

TEST(WhatIf, ChipEventsAreMatchedAndTuningClearsEverything)
{
    const std::vector<int> prox = {0, 0, 6, 6, 6, 6, 6, 6, 6, 6};
    //                            chip: set at 3, as the what-if does; another set at 8 that it does not
    const std::vector<int> chip = {0, 0, 0, 1, 1, 1, 1, 0, 1, 1};
    TRecording r = Scripted(prox, {}, chip);
    const TWhatIfResult result = EvaluateWhatIf(r, RecordedWhatIfSettings(r));
    ASSERT_TRUE(result.ChipReported);
    ASSERT_EQ(result.Events.size(), 3);
    EXPECT_EQ(result.Events[0].Source, TWhatIfSource::wsBoth);
    EXPECT_EQ(result.Events[1].Source, TWhatIfSource::wsChip);
    EXPECT_FALSE(result.Events[1].On);
    EXPECT_EQ(result.Events[2].Source, TWhatIfSource::wsChip);
    EXPECT_EQ(result.WhatIfOnsets[0], 1);
    EXPECT_EQ(result.ChipOnsets[0], 2);

    // ATI busy in frames 4 and 5: the channel starts over and sets again two frames after.
    r.Frames[4].Data[0] = 0x04;
    r.Frames[5].Data[0] = 0x04;
    using E = std::vector<std::pair<int, bool>>;
    EXPECT_EQ(Fired(EvaluateWhatIf(r, RecordedWhatIfSettings(r)), 0), (E{{3, true}, {7, true}}));
}

} // namespace
