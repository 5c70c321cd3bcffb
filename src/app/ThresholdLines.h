#pragma once
// The detection thresholds as lines on the graphs: the prox threshold of CH0 and the calculated touch
// thresholds of CH1..CH3, taken from the settings record (the values Apply writes, so an edit shows at once).
// Dragging a line moves the setting in the record through the Thresholds page's change tracking.

#include <cstdint>
#include <optional>

class TMainCore;

class TThresholdLines {
public:
    explicit TThresholdLines(TMainCore& core) : FCore(core) {}

    // Channel c's threshold in delta counts; empty when it cannot be had (a touch threshold needs the
    // streamed average of its channel).
    std::optional<int32_t> Counts(int c) const;
    // Height of channel c's line. On a delta scale (baseline view) the threshold itself; on a count scale
    // the count at which the delta reaches it: average - threshold in self mode, average + threshold in
    // projected mode. Empty when the line is not drawn (box clear, values not streamed).
    std::optional<double> Level(int c, bool deltaScale) const;

    // A line may be dragged: the Thresholds page is the tracked page and no register operation runs.
    bool CanMove() const;
    // Moves channel c's threshold as near to a line at `level` as the setting allows, marks the Thresholds
    // page changed and has the views show the record. False when the line cannot be moved.
    bool MoveTo(int c, double level, bool deltaScale);
    // The Thresholds page holds changes not yet written to the chip.
    bool Pending() const;

private:
    // The record's threshold setting of channel c (ProxSpin, Touch1Spin..Touch3Spin).
    int Setting(int c) const;

    TMainCore& FCore;
};
