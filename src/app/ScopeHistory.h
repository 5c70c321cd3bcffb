#pragma once
// Deep history behind the scope: about a million frames of all eight traces and the frame's events, kept in
// a ring of compact arrays. Appending is O(1); zoomed-out views are drawn from per-block minima and maxima so
// that a view of any length costs about one scan of its pixel columns, and no spike is lost.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <memory>
#include <vector>

// Event bits of one frame, as the timeline lanes show them.
namespace ScopeEvent {
constexpr uint16_t Prox0 = 1u << 0;  // prox of channel c: Prox0 << c
constexpr uint16_t Touch0 = 1u << 4; // touch of channel c: Touch0 << c
constexpr uint16_t Tap = 1u << 8;
constexpr uint16_t FlickLeft = 1u << 9;
constexpr uint16_t FlickRight = 1u << 10;
constexpr uint16_t ATIBusy = 1u << 11;
constexpr uint16_t LowPower = 1u << 12;
constexpr uint16_t Wheel = 1u << 13; // the frame carries a wheel position
} // namespace ScopeEvent

// One frame as the scope feed hands it over.
struct TScopeFrame {
    std::array<int32_t, 8> Values{};
    uint8_t Present = 0; // bit t: trace t got a point in this frame
    uint16_t Events = 0;
    uint8_t Wheel = 0;

    void Set(int trace, int32_t value)
    {
        Values[size_t(trace)] = value;
        Present = uint8_t(Present | (1u << trace));
    }
};

// A plotted point of a history view.
struct TScopeSample {
    double X;
    double Y;
};

// One pixel column of the timeline: the frames it covers, the events seen in any of them and the wheel range.
struct TEventColumn {
    int64_t FirstX = 0;
    int64_t LastX = 0;
    uint16_t Events = 0;
    uint8_t WheelMin = 0;
    uint8_t WheelMax = 0;
};

class TScopeHistory {
public:
    static constexpr int Traces = 8;
    static constexpr int BlockFrames = 64;
    static constexpr int DefaultCapacity = 1 << 20;
    // Values are stored in 17 bits: counts, averages and deltas of 16-bit words all fit.
    static constexpr int32_t MinValue = -65536;
    static constexpr int32_t MaxValue = 65535;

    // The capacity is rounded up to whole blocks.
    explicit TScopeHistory(int capacity = DefaultCapacity);

    // Stores the frame at sample x, taken at timeUs (any monotonic clock). A sample that does not follow the
    // last one starts the history afresh, since the two could not be drawn on one axis.
    void Append(int64_t x, const TScopeFrame& frame, int64_t timeUs);
    void Clear();

    int Capacity() const { return FCapacity; }
    int64_t Size() const { return FTotal < FCapacity ? FTotal : FCapacity; }
    // Samples held: FirstX() up to LastX(), both included; empty when Size() is 0.
    int64_t FirstX() const { return FBaseX + Oldest(); }
    int64_t LastX() const { return FBaseX + FTotal - 1; }
    bool Contains(int64_t x) const { return Size() > 0 && x >= FirstX() && x <= LastX(); }

    std::optional<int32_t> Value(int trace, int64_t x) const;
    uint16_t Events(int64_t x) const;
    uint8_t Wheel(int64_t x) const;
    // Time from sample x1 to sample x2 in milliseconds (negative when x2 came first).
    std::optional<double> ElapsedMs(int64_t x1, int64_t x2) const;

    // The trace between fromX and toX on the given number of pixel columns: every point while they fit twice
    // over, otherwise each column's minimum and maximum.
    std::vector<TScopeSample> Decimate(int trace, double fromX, double toX, int columns) const;
    // The events between fromX and toX, one entry per column (or per sample while there are fewer samples).
    std::vector<TEventColumn> EventColumns(double fromX, double toX, int columns) const;

    // Bytes held by the ring and its block summaries.
    size_t MemoryBytes() const;

private:
    struct TBlock {
        std::array<int32_t, Traces> Min;
        std::array<int32_t, Traces> Max;
        uint16_t Events;
        uint8_t WheelMin;
        uint8_t WheelMax;
    };

    int64_t Oldest() const { return FTotal > FCapacity ? FTotal - FCapacity : 0; }
    size_t Slot(int64_t frame) const { return size_t(frame % FCapacity); }
    int32_t StoredValue(size_t slot, int trace) const;
    // Stored frames whose samples lie in [fromX, toX]; false when none.
    bool FrameRange(double fromX, double toX, int64_t& first, int64_t& last) const;
    // The block of absolute block number k holds only frames still stored and is complete.
    bool WholeBlock(int64_t k) const { return k * BlockFrames >= Oldest() && (k + 1) * BlockFrames <= FTotal; }
    void ResetBlock(TBlock& block);
    // Visits the frames [first, end): whole blocks still held through onBlock(block), the rest one by one
    // through onFrame(slot).
    template <typename Frame, typename Block>
    void Scan(int64_t first, int64_t end, Frame onFrame, Block onBlock) const;
    // Minimum and maximum of a trace over the frames [first, end); false when it has no point there.
    bool MinMax(int trace, int64_t first, int64_t end, int32_t& lo, int32_t& hi) const;
    TEventColumn Column(int64_t first, int64_t end) const;

    int FCapacity;
    int64_t FBaseX = 0; // sample of absolute frame 0
    int64_t FTotal = 0; // frames appended since the history started
    // Left uninitialised: a slot is read only after it was written, and the system commits the pages of
    // the 27 MB as frames fill them instead of when the scope window is made.
    std::unique_ptr<uint16_t[]> FLow;    // low 16 bits of each value, Traces per frame
    std::unique_ptr<uint8_t[]> FHigh;    // bit t: bit 16 (the sign) of trace t's value
    std::unique_ptr<uint8_t[]> FPresent; // bit t: trace t has a point
    std::unique_ptr<uint16_t[]> FEvents;
    std::unique_ptr<uint8_t[]> FWheel;
    std::unique_ptr<uint32_t[]> FTime;   // tenths of a millisecond, modulo 2^32
    std::vector<TBlock> FBlocks;
};
