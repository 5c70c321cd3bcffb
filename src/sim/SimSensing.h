#pragma once
// The chip's analogue front end: the count a channel reads for its settings and the capacitance on it,
// and the automatic tuning (ATI) search that brings a channel's count to its target.

#include <utility>
#include <vector>

namespace SimSensing {

constexpr int ChannelCount = 4;
constexpr int MaxCount = 4095;

// The base value shown for base index 0..15.
constexpr int BaseValue(int index) { return 74 + 16 * index; }

// Capacitance of each electrode with nothing near it, in pF; the parasitic-capacitance measurement finds it.
double ElectrodeCapacitance(int channel);

struct ChannelSetup {
    int baseValue = BaseValue(0);
    int sensIndex = 0;      // sensitivity multiplier index 0..3
    int compMultiplier = 0; // compensation multiplier index 0..15
    int compensation = 0;   // 0..255
    bool projected = false;
    bool measurementSwitch = false; // memory 0x6A bit 3
};

// Noise-free count of a channel with couplingPf of finger or hand on it. drift is the electrode's relative
// change (temperature, humidity).
double Count(int channel, const ChannelSetup& setup, double couplingPf, double drift);

struct AtiResult {
    int baseValue = 0;
    int compensation = 0;
    bool error = false;                     // the target could not be reached
    std::vector<std::pair<int, int>> probes; // (base, compensation) tried, in order
};

// The delta at which a touch channel reports touch, from the average of the cycle, the threshold byte and the
// channel's gain: sensitivity and compensation multipliers, actual base and (in projected mode) compensation.
int TouchThreshold(int lta, int thresholdByte, const ChannelSetup& setup);

// Full ATI chooses the base as well; partial ATI keeps the channel's base and tunes the compensation only.
AtiResult RunAti(int channel, const ChannelSetup& setup, double couplingPf, double drift, int target, bool full);

} // namespace SimSensing
