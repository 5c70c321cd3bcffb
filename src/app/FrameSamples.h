#pragma once
// One frame's channel values as the live display shows them: the count, the long-term average and the
// delta of each channel (channel 0 from the low-power words while the chip is in low-power mode). The
// statistics and the SNR measurement take their input from here, so they measure what the engineer sees.

#include <array>
#include <cstdint>

class TMainCore;

struct TChannelSample {
    bool HasCount = false, HasLTA = false, HasDelta = false;
    // Channel 0 in low-power mode: the values come from the low-power words.
    bool LowPower = false;
    int32_t Count = 0, LTA = 0, Delta = 0;
};

using TFrameSamples = std::array<TChannelSample, 4>;

// The latest decoded frame's values; a channel whose box is clear has none.
TFrameSamples FrameSamples(const TMainCore& core);
