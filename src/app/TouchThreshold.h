#pragma once
// The calculated touch threshold of a touch channel in counts ("Touch THs"): the share T/256 of the
// channel's average, or, once the actual base values are known, that share scaled by the channel's
// multipliers, actual base and (projected mode) compensation.

#include <cstdint>
#include <optional>

class TMainCore;

// Channel c (1..3), average L, threshold setting T (1..255), with the multipliers the settings record has
// cached. Empty when it cannot be had (a zero divisor).
std::optional<int32_t> CalcTouchThreshold(const TMainCore& core, int c, int32_t L, int32_t T);
