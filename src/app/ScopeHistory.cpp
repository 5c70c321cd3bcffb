#include "app/ScopeHistory.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int64_t TicksPerMs = 10;

} // namespace

TScopeHistory::TScopeHistory(int capacity)
{
    const int blocks = std::max(1, (capacity + BlockFrames - 1) / BlockFrames);
    FCapacity = blocks * BlockFrames;
    const size_t frames = size_t(FCapacity);
    FLow.reset(new uint16_t[frames * Traces]);
    FHigh.reset(new uint8_t[frames]);
    FPresent.reset(new uint8_t[frames]);
    FEvents.reset(new uint16_t[frames]);
    FWheel.reset(new uint8_t[frames]);
    FTime.reset(new uint32_t[frames]);
    FBlocks.resize(size_t(blocks));
}

void TScopeHistory::Clear()
{
    FTotal = 0;
    FBaseX = 0;
}

void TScopeHistory::ResetBlock(TBlock& block)
{
    block.Min.fill(std::numeric_limits<int32_t>::max());
    block.Max.fill(std::numeric_limits<int32_t>::min());
    block.Events = 0;
    block.WheelMin = 0xFF;
    block.WheelMax = 0;
}

void TScopeHistory::Append(int64_t x, const TScopeFrame& frame, int64_t timeUs)
{
    if (FTotal > 0 && x != LastX() + 1)
        Clear();
    if (FTotal == 0)
        FBaseX = x;
    const size_t slot = Slot(FTotal);
    TBlock& block = FBlocks[slot / BlockFrames];
    if (slot % BlockFrames == 0)
        ResetBlock(block); // the oldest block is overwritten from here on

    uint8_t high = 0;
    uint16_t* low = &FLow[slot * Traces];
    for (int t = 0; t < Traces; ++t) {
        if (!(frame.Present & (1u << t))) {
            low[t] = 0;
            continue;
        }
        const int32_t v = std::clamp(frame.Values[size_t(t)], MinValue, MaxValue);
        low[t] = uint16_t(v & 0xFFFF);
        high = uint8_t(high | (((v >> 16) & 1) << t));
        block.Min[size_t(t)] = std::min(block.Min[size_t(t)], v);
        block.Max[size_t(t)] = std::max(block.Max[size_t(t)], v);
    }
    FHigh[slot] = high;
    FPresent[slot] = frame.Present;
    FEvents[slot] = frame.Events;
    FWheel[slot] = frame.Wheel;
    FTime[slot] = uint32_t(timeUs * TicksPerMs / 1000);
    block.Events = uint16_t(block.Events | frame.Events);
    if (frame.Events & ScopeEvent::Wheel) {
        block.WheelMin = std::min(block.WheelMin, frame.Wheel);
        block.WheelMax = std::max(block.WheelMax, frame.Wheel);
    }
    ++FTotal;
}

int32_t TScopeHistory::StoredValue(size_t slot, int trace) const
{
    const int32_t low = FLow[slot * Traces + size_t(trace)];
    return (FHigh[slot] >> trace) & 1 ? low - 65536 : low;
}

std::optional<int32_t> TScopeHistory::Value(int trace, int64_t x) const
{
    if (trace < 0 || trace >= Traces || !Contains(x))
        return std::nullopt;
    const size_t slot = Slot(x - FBaseX);
    if (!(FPresent[slot] & (1u << trace)))
        return std::nullopt;
    return StoredValue(slot, trace);
}

uint16_t TScopeHistory::Events(int64_t x) const
{
    return Contains(x) ? FEvents[Slot(x - FBaseX)] : 0;
}

uint8_t TScopeHistory::Wheel(int64_t x) const
{
    return Contains(x) ? FWheel[Slot(x - FBaseX)] : 0;
}

std::optional<double> TScopeHistory::ElapsedMs(int64_t x1, int64_t x2) const
{
    if (!Contains(x1) || !Contains(x2))
        return std::nullopt;
    const uint32_t t1 = FTime[Slot(x1 - FBaseX)];
    const uint32_t t2 = FTime[Slot(x2 - FBaseX)];
    // The clock wraps after about five days; a difference within the history is still right.
    const double ticks = x2 >= x1 ? double(uint32_t(t2 - t1)) : -double(uint32_t(t1 - t2));
    return ticks / TicksPerMs;
}

bool TScopeHistory::FrameRange(double fromX, double toX, int64_t& first, int64_t& last) const
{
    if (Size() == 0 || !(toX >= fromX))
        return false;
    const double lo = std::max(std::ceil(fromX), double(FirstX()));
    const double hi = std::min(std::floor(toX), double(LastX()));
    if (lo > hi)
        return false;
    first = int64_t(lo) - FBaseX;
    last = int64_t(hi) - FBaseX;
    return true;
}

template <typename Frame, typename Block>
void TScopeHistory::Scan(int64_t first, int64_t end, Frame onFrame, Block onBlock) const
{
    auto frames = [&](int64_t from, int64_t to) {
        size_t slot = Slot(from);
        for (int64_t f = from; f < to; ++f) {
            onFrame(slot);
            if (++slot == size_t(FCapacity))
                slot = 0;
        }
    };
    int64_t f = first;
    while (f < end) {
        const int64_t next = std::min(end, (f / BlockFrames + 1) * BlockFrames);
        if (f % BlockFrames == 0 && next - f == BlockFrames && WholeBlock(f / BlockFrames))
            onBlock(FBlocks[Slot(f) / BlockFrames]);
        else
            frames(f, next);
        f = next;
    }
}

bool TScopeHistory::MinMax(int trace, int64_t first, int64_t end, int32_t& lo, int32_t& hi) const
{
    int32_t l = std::numeric_limits<int32_t>::max();
    int32_t h = std::numeric_limits<int32_t>::min();
    const uint8_t bit = uint8_t(1u << trace);
    Scan(
        first, end,
        [&](size_t slot) {
            if (FPresent[slot] & bit) {
                const int32_t v = StoredValue(slot, trace);
                l = std::min(l, v);
                h = std::max(h, v);
            }
        },
        [&](const TBlock& block) {
            l = std::min(l, block.Min[size_t(trace)]);
            h = std::max(h, block.Max[size_t(trace)]);
        });
    lo = l;
    hi = h;
    return lo <= hi;
}

std::vector<TScopeSample> TScopeHistory::Decimate(int trace, double fromX, double toX, int columns) const
{
    std::vector<TScopeSample> points;
    int64_t first = 0, last = 0;
    if (trace < 0 || trace >= Traces || columns <= 0 || !FrameRange(fromX, toX, first, last))
        return points;
    const int64_t n = last - first + 1;
    const uint8_t bit = uint8_t(1u << trace);
    if (n <= 2 * int64_t(columns)) {
        points.reserve(size_t(n));
        for (int64_t f = first; f <= last; ++f) {
            const size_t slot = Slot(f);
            if (FPresent[slot] & bit)
                points.push_back({double(FBaseX + f), double(StoredValue(slot, trace))});
        }
        return points;
    }
    points.reserve(2 * size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const int64_t a = first + n * c / columns;
        const int64_t b = first + n * (c + 1) / columns;
        int32_t lo = 0, hi = 0;
        if (!MinMax(trace, a, b, lo, hi))
            continue;
        // Both at the column's first sample: they fall on the same pixel column either way.
        const double x = double(FBaseX + a);
        points.push_back({x, double(lo)});
        points.push_back({x, double(hi)});
    }
    return points;
}

TEventColumn TScopeHistory::Column(int64_t first, int64_t end) const
{
    TEventColumn column;
    column.FirstX = FBaseX + first;
    column.LastX = FBaseX + end - 1;
    uint16_t events = 0;
    uint8_t wheelMin = 0xFF, wheelMax = 0;
    Scan(
        first, end,
        [&](size_t slot) {
            events = uint16_t(events | FEvents[slot]);
            if (FEvents[slot] & ScopeEvent::Wheel) {
                wheelMin = std::min(wheelMin, FWheel[slot]);
                wheelMax = std::max(wheelMax, FWheel[slot]);
            }
        },
        [&](const TBlock& block) {
            events = uint16_t(events | block.Events);
            wheelMin = std::min(wheelMin, block.WheelMin);
            wheelMax = std::max(wheelMax, block.WheelMax);
        });
    column.Events = events;
    if (events & ScopeEvent::Wheel) {
        column.WheelMin = wheelMin;
        column.WheelMax = wheelMax;
    }
    return column;
}

std::vector<TEventColumn> TScopeHistory::EventColumns(double fromX, double toX, int columns) const
{
    std::vector<TEventColumn> result;
    int64_t first = 0, last = 0;
    if (columns <= 0 || !FrameRange(fromX, toX, first, last))
        return result;
    const int64_t n = last - first + 1;
    const int64_t count = std::min<int64_t>(n, columns);
    result.reserve(size_t(count));
    for (int64_t c = 0; c < count; ++c)
        result.push_back(Column(first + n * c / count, first + n * (c + 1) / count));
    return result;
}

size_t TScopeHistory::MemoryBytes() const
{
    const size_t perFrame = Traces * sizeof(uint16_t) + sizeof(uint8_t) * 3 + sizeof(uint16_t) + sizeof(uint32_t);
    return size_t(FCapacity) * perFrame + FBlocks.size() * sizeof(TBlock);
}
