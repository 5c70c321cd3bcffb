#include "app/ChannelStatistics.h"

#include <algorithm>
#include <cmath>

void TChannelStatistics::TSeries::Resize(int window, bool extremes)
{
    size_t ring = 1;
    while (ring < size_t(window))
        ring <<= 1;
    FWindow = window;
    FMask = ring - 1;
    FExtremes = extremes;
    FValues.assign(ring, 0);
    FMinQ.Items.assign(extremes ? ring : 0, 0);
    FMaxQ.Items.assign(extremes ? ring : 0, 0);
    FMinQ.Mask = FMaxQ.Mask = FMask;
    Clear();
}

void TChannelStatistics::TSeries::Clear()
{
    FMinQ.Head = FMinQ.Tail = 0;
    FMaxQ.Head = FMaxQ.Tail = 0;
    FSize = 0;
    FSum = FSumSquares = 0;
}

void TChannelStatistics::TSeries::Push(int32_t value)
{
    if (FSize == FWindow) {
        const uint64_t oldest = FPushed - uint64_t(FWindow);
        const int64_t old = At(oldest);
        FSum -= old;
        FSumSquares -= old * old;
        --FSize;
        if (FExtremes) {
            if (FMinQ.Front() == oldest)
                FMinQ.PopFront();
            if (FMaxQ.Front() == oldest)
                FMaxQ.PopFront();
        }
    }
    FValues[FPushed & FMask] = value;
    FSum += value;
    FSumSquares += int64_t(value) * value;
    if (FExtremes) {
        while (!FMinQ.Empty() && At(FMinQ.Back()) >= value)
            FMinQ.PopBack();
        FMinQ.PushBack(FPushed);
        while (!FMaxQ.Empty() && At(FMaxQ.Back()) <= value)
            FMaxQ.PopBack();
        FMaxQ.PushBack(FPushed);
    }
    ++FPushed;
    ++FSize;
}

double TChannelStatistics::TSeries::Deviation() const
{
    const double mean = Mean();
    // Counts are at most 16 bits: the sums are exact and the difference keeps its precision in a double.
    return std::sqrt(std::max(0.0, double(FSumSquares) / FSize - mean * mean));
}

TChannelStatistics::TChannelStatistics(int window)
{
    SetWindow(window);
}

void TChannelStatistics::SetWindow(int frames)
{
    FWindow = std::clamp(frames, MinWindow, MaxWindow);
    Resize();
}

void TChannelStatistics::Resize()
{
    for (TChannel& ch : FChannels) {
        ch.Counts.Resize(FWindow, true);
        ch.Averages.Resize(FWindow, false);
        ch.Deltas.Resize(FWindow, false);
    }
}

void TChannelStatistics::Restart()
{
    for (TChannel& ch : FChannels) {
        ch.Counts.Clear();
        ch.Averages.Clear();
        ch.Deltas.Clear();
    }
}

void TChannelStatistics::AddFrame(const TFrameSamples& samples, bool retuning)
{
    if (retuning) {
        Restart();
        return;
    }
    for (size_t c = 0; c < FChannels.size(); ++c) {
        TChannel& ch = FChannels[c];
        const TChannelSample& s = samples[c];
        const TChannelSample& k = ch.Kind;
        if (s.HasCount != k.HasCount || s.HasLTA != k.HasLTA || s.HasDelta != k.HasDelta ||
            s.LowPower != k.LowPower) {
            ch.Counts.Clear();
            ch.Averages.Clear();
            ch.Deltas.Clear();
            ch.Kind = s;
        }
        if (s.HasCount)
            ch.Counts.Push(s.Count);
        if (s.HasLTA)
            ch.Averages.Push(s.LTA);
        if (s.HasDelta)
            ch.Deltas.Push(s.Delta);
    }
}

TChannelStats TChannelStatistics::Stats(int channel) const
{
    TChannelStats st;
    if (channel < 0 || channel >= int(FChannels.size()))
        return st;
    const TChannel& ch = FChannels[size_t(channel)];
    if (ch.Counts.Size() > 0) {
        st.HasNoise = true;
        st.Frames = ch.Counts.Size();
        st.NoisePP = ch.Counts.Max() - ch.Counts.Min();
        st.NoiseRMS = ch.Counts.Deviation();
        st.MeanCount = ch.Counts.Mean();
    }
    if (ch.Averages.Size() > 0) {
        st.HasDrift = true;
        st.Frames = std::max(st.Frames, ch.Averages.Size());
        st.Drift = ch.Averages.Newest() - ch.Averages.Oldest();
    }
    if (ch.Deltas.Size() > 0) {
        st.HasDelta = true;
        st.Frames = std::max(st.Frames, ch.Deltas.Size());
        st.MeanDelta = ch.Deltas.Mean();
        st.Delta = ch.Deltas.Newest();
    }
    return st;
}
