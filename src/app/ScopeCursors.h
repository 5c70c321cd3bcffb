#pragma once
// The two scope cursors: what lies between them, read from the deep history.

#include "app/ScopeHistory.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct TCursorReading {
    int64_t DeltaSamples = 0;
    std::optional<double> DeltaMs;                                         // both samples still held
    std::array<std::optional<int32_t>, TScopeHistory::Traces> DeltaCounts; // traces with a point at both
};

namespace ScopeCursors {

// Cursor positions are whole samples: the nearest one.
int64_t Snap(double x);
// From cursor 1 at x1 to cursor 2 at x2 (the deltas are x2's values minus x1's).
TCursorReading Read(const TScopeHistory& history, int64_t x1, int64_t x2);
// The read-out: "ΔSamples", "ΔTime", then Δ of every listed trace that has both values.
QString Text(const TCursorReading& reading, uint8_t traces);

} // namespace ScopeCursors
