#include "app/TouchThreshold.h"

#include "app/MainCore.h"

#include <cmath>

std::optional<int32_t> CalcTouchThreshold(const TMainCore& core, int c, int32_t L, int32_t T)
{
    const auto& base = core.FActualBase;
    const bool exact = core.FActualBaseRead && base[1] > 0 && base[2] > 0 && base[3] > 0;
    const TSettingsRecord& s = core.Settings;
    const int32_t S = s.SensMultiplier(c);
    const int32_t M = s.CompMultiplier(c);
    // A multiplier box with no selection (a settings file's index out of range) gives no exact formula.
    if (!exact || S < 0 || M < 0)
        return int32_t(std::nearbyint(L * (T / 256.0)));
    const int32_t P = s.Compensation(c);
    const int64_t A = base[size_t(c)];
    // Both terms wrap as 32-bit signed integers would; the division is done in floating point.
    int32_t numerator, denominator;
    if (core.FProjected) {
        numerator = int32_t(int64_t(L) * T * 4096);
        denominator = int32_t((int64_t(1) << (2 * S)) * (M + 3) * A * P);
    } else {
        numerator = int32_t(int64_t(L) * T * 4);
        denominator = int32_t((int64_t(1) << S) * (M + 3) * A);
    }
    if (denominator == 0)
        return std::nullopt;
    return int32_t(std::trunc(double(numerator) / double(denominator)));
}
