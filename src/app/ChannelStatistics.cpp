#include "app/ChannelStatistics.h"

#include <algorithm>
#include <cmath>

void TChannelStatistics::TSeries::Resize(int capacity)
{
    FValues.assign(size_t(capacity), 0);
    FMinQ.Items.assign(size_t(capacity), 0);
    FMaxQ.Items.assign(size_t(capacity), 0);
    Clear();
}

void TChannelStatistics::TSeries::Clear()
{
    FMinQ.Head = FMinQ.Count = 0;
    FMaxQ.Head = FMaxQ.Count = 0;
    FSize = 0;
    FSum = FSumSquares = 0;
}

void TChannelStatistics::TSeries::Push(int32_t value)
{
    const uint64_t capacity = FValues.size();
    if (uint64_t(FSize) == capacity) {
        // The oldest value leaves before its slot is reused.
        const uint64_t oldest = FPushed - capacity;
        const int64_t old = At(oldest);
        FSum -= old;
        FSumSquares -= old * old;
        --FSize;
        if (FMinQ.Front() == oldest)
            FMinQ.PopFront();
        if (FMaxQ.Front() == oldest)
            FMaxQ.PopFront();
    }
    FValues[FPushed % capacity] = value;
    FSum += value;
    FSumSquares += int64_t(value) * value;
    while (FMinQ.Count && At(FMinQ.Back()) >= value)
        FMinQ.PopBack();
    FMinQ.PushBack(FPushed);
    while (FMaxQ.Count && At(FMaxQ.Back()) <= value)
        FMaxQ.PopBack();
    FMaxQ.PushBack(FPushed);
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
        ch.Counts.Resize(FWindow);
        ch.Averages.Resize(FWindow);
        ch.Deltas.Resize(FWindow);
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
