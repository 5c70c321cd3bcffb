#pragma once
// The scope's axis and channel rules, apart from the window that applies them.

#include <QString>
#include <array>
#include <cstdint>

struct TScopeRange {
    double Min = 0;
    double Max = 0;
    bool operator==(const TScopeRange&) const = default;
};

namespace ScopeRules {

constexpr int MinXRange = 100;
constexpr int MaxXRange = 1500;
constexpr int MaxYInc = 1000;

// The time axis: from 0 while the range still covers the axis' maximum, otherwise the latest xRange samples.
TScopeRange TimeWindow(int32_t xRange, double axisMax, int32_t xPos);

bool ValidXRange(int value);
// Steps above 1000 are refused, and so are steps below 1, which would leave the axis without ticks.
bool ValidYInc(int value);

// Outcome of a "Set Y Max" or "Set Y Min" entry.
enum class TAxisEntry { aeAccepted, aeNotInteger, aeOutOfOrder };
TAxisEntry CheckYMax(const QString& text, double axisMin, int& value);
TAxisEntry CheckYMin(const QString& text, double axisMax, int& value);
// The error box texts for a refused entry.
QString YMaxRefusal(TAxisEntry outcome);
QString YMinRefusal(TAxisEntry outcome);

// "Rescale Scope View" outside the baseline view: the vertical axis from the channels' counts and averages.
TScopeRange Rescale(const std::array<int32_t, 4>& counts, const std::array<int32_t, 4>& averages);

// Some channel can receive points: its count box and main-window box are checked, or, outside the baseline
// view, its average box and main-window box.
bool ActiveChannels(const std::array<bool, 4>& countBoxes, const std::array<bool, 4>& averageBoxes,
                    const std::array<bool, 4>& mainBoxes, bool deltaOnly);

} // namespace ScopeRules
