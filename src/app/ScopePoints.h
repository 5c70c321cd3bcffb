#pragma once
// The scope's point store: the latest FMaxNrChartPoints points of each of the eight traces, kept in plain
// arrays so that the chart can take them in bulk on its refresh, never per frame.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TScopePoints {
public:
    // Traces 0..3 hold the counts (deltas in the baseline view) of channels 0..3, traces 4..7 their averages.
    static constexpr int Traces = 8;
    static constexpr int FMaxNrChartPoints = 5000;

    TScopePoints();

    // Once per frame, before the frame's points: one more point position, shared by all traces.
    void CountChartPoint();
    // Stores (X, Y) at the current position of trace SeriesNr; a full trace drops its oldest point first.
    void AddXY(int SeriesNr, int32_t X, int32_t Y);

    // The trace has received points since it was last emptied.
    bool Changed(int SeriesNr) const { return FChanged[size_t(SeriesNr)]; }
    // Points of the trace, oldest first. A position the trace got no point for holds y = NaN, so that the
    // chart leaves it out while the x values stay in order.
    int Count(int SeriesNr) const { return FLength[size_t(SeriesNr)]; }
    const double* X(int SeriesNr) const { return FDesChartX[size_t(SeriesNr)].data() + FFirst[size_t(SeriesNr)]; }
    const double* Y(int SeriesNr) const { return FDesChartY[size_t(SeriesNr)].data() + FFirst[size_t(SeriesNr)]; }

    // Forgets every point (the x position is the caller's).
    void Clear();

    int32_t FNrOfChartPoints = 0; // point positions in use, shared by all traces
    bool FMaxPoints = false;      // capacity reached: from now on each point drops the oldest

private:
    void DropOldest(size_t t);

    // Each trace's points start at FFirst in buffers twice the capacity: dropping the oldest point moves the
    // start, and one block move every FMaxNrChartPoints drops brings it back.
    std::array<std::vector<double>, Traces> FDesChartX, FDesChartY;
    std::array<int, Traces> FFirst{};
    std::array<int, Traces> FLength{};
    std::array<bool, Traces> FChanged{};
};
