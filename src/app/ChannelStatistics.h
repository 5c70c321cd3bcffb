#pragma once
// Live statistics per channel over a sliding window of frames: count noise (peak-to-peak and RMS about the
// window's mean), baseline drift (how far the long-term average moved across the window) and the delta
// (mean over the window and latest). Constant work per frame: running sums and monotonic queues for the
// extremes, no allocation after the window length is set.

#include "app/FrameSamples.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TChannelStats {
    int Frames = 0; // frames in the window for this channel
    bool HasNoise = false, HasDrift = false, HasDelta = false;
    int32_t NoisePP = 0;
    double NoiseRMS = 0;
    double MeanCount = 0;
    int32_t Drift = 0;
    double MeanDelta = 0;
    int32_t Delta = 0;
};

class TChannelStatistics {
public:
    static constexpr int DefaultWindow = 256;
    static constexpr int MinWindow = 8;
    static constexpr int MaxWindow = 16384;

    explicit TChannelStatistics(int window = DefaultWindow);

    // Window length in frames, clamped to MinWindow..MaxWindow; a new length starts every window afresh.
    void SetWindow(int frames);
    int Window() const { return FWindow; }

    // One frame. While the chip retunes (ATI) the counts jump to a new level: the windows start afresh and
    // the frame is not taken. A channel whose set of values changes (a box cleared, a block no longer
    // streamed, channel 0 entering low power) starts afresh too.
    void AddFrame(const TFrameSamples& samples, bool retuning);
    void Restart();

    TChannelStats Stats(int channel) const;

private:
    // The latest values of one series within the window, with running sums and, if asked for, its extremes.
    // The rings are a power of two long so that a position maps to its slot by a mask.
    class TSeries {
    public:
        void Resize(int window, bool extremes);
        void Clear();
        void Push(int32_t value);
        int Size() const { return FSize; }
        int32_t Oldest() const { return At(FPushed - uint64_t(FSize)); }
        int32_t Newest() const { return At(FPushed - 1); }
        int32_t Min() const { return At(FMinQ.Front()); }
        int32_t Max() const { return At(FMaxQ.Front()); }
        double Mean() const { return double(FSum) / FSize; }
        double Deviation() const;

    private:
        // Absolute positions of candidate extremes, oldest first.
        struct TQueue {
            std::vector<uint64_t> Items;
            uint64_t Mask = 0, Head = 0, Tail = 0;
            bool Empty() const { return Head == Tail; }
            uint64_t Front() const { return Items[Head & Mask]; }
            uint64_t Back() const { return Items[(Tail - 1) & Mask]; }
            void PopFront() { ++Head; }
            void PopBack() { --Tail; }
            void PushBack(uint64_t v) { Items[Tail++ & Mask] = v; }
        };
        int32_t At(uint64_t position) const { return FValues[position & FMask]; }

        std::vector<int32_t> FValues;
        uint64_t FMask = 0;
        int FWindow = 0;
        bool FExtremes = false;
        TQueue FMinQ, FMaxQ;
        uint64_t FPushed = 0;
        int FSize = 0;
        int64_t FSum = 0;
        int64_t FSumSquares = 0;
    };

    struct TChannel {
        TSeries Counts, Averages, Deltas;
        TChannelSample Kind; // which values the window holds
    };

    void Resize();

    int FWindow = DefaultWindow;
    std::array<TChannel, 4> FChannels;
};
