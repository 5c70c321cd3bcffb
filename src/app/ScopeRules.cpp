#include "app/ScopeRules.h"

#include <algorithm>

namespace ScopeRules {

TScopeRange TimeWindow(int32_t xRange, double axisMax, int32_t xPos)
{
    if (xRange >= axisMax)
        return {0, double(xRange)};
    return {double(xPos) - xRange, double(xPos)};
}

bool ValidXRange(int value)
{
    return value >= MinXRange && value <= MaxXRange;
}

bool ValidYInc(int value)
{
    return value >= 1 && value <= MaxYInc;
}

static bool ParseInteger(const QString& text, int& value)
{
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok, 10);
    if (ok)
        value = parsed;
    return ok;
}

TAxisEntry CheckYMax(const QString& text, double axisMin, int& value)
{
    if (!ParseInteger(text, value))
        return TAxisEntry::aeNotInteger;
    return value > axisMin ? TAxisEntry::aeAccepted : TAxisEntry::aeOutOfOrder;
}

TAxisEntry CheckYMin(const QString& text, double axisMax, int& value)
{
    if (!ParseInteger(text, value))
        return TAxisEntry::aeNotInteger;
    return value < axisMax ? TAxisEntry::aeAccepted : TAxisEntry::aeOutOfOrder;
}

static QString Refusal(TAxisEntry outcome, const char* outOfOrder)
{
    switch (outcome) {
    case TAxisEntry::aeNotInteger:
        return QStringLiteral("Invalid value entered! (no decimal values allowed)");
    case TAxisEntry::aeOutOfOrder:
        return QString::fromLatin1(outOfOrder);
    case TAxisEntry::aeAccepted:
        break;
    }
    return {};
}

QString YMaxRefusal(TAxisEntry outcome)
{
    return Refusal(outcome, "Maximum value must be larger than the minimum value!");
}

QString YMinRefusal(TAxisEntry outcome)
{
    return Refusal(outcome, "Minimum value must be smaller than the maximum value!");
}

static int64_t CeilDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return q + ((a % b != 0 && (a > 0) == (b > 0)) ? 1 : 0);
}

TScopeRange Rescale(const std::array<int32_t, 4>& counts, const std::array<int32_t, 4>& averages)
{
    int32_t hi = 0;
    int32_t lo = 50000;
    for (const auto* values : {&counts, &averages})
        for (int32_t v : *values) {
            hi = std::max(hi, v);
            lo = std::min(lo, v);
        }
    if (lo > hi)
        lo = 0;
    // lo x 0.2 and hi x 1.1, rounded up in whole numbers: 1000 gives 1100, not 1101 from a binary 1.1.
    return {double(CeilDiv(int64_t(lo) * 2, 10)), double(CeilDiv(int64_t(hi) * 11, 10))};
}

bool ActiveChannels(const std::array<bool, 4>& countBoxes, const std::array<bool, 4>& averageBoxes,
                    const std::array<bool, 4>& mainBoxes, bool deltaOnly)
{
    for (size_t c = 0; c < 4; ++c)
        if (mainBoxes[c] && (countBoxes[c] || (!deltaOnly && averageBoxes[c])))
            return true;
    return false;
}

} // namespace ScopeRules
