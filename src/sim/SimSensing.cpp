#include "sim/SimSensing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace SimSensing {

namespace {
constexpr double CountScale = 8.0;          // count x pF per unit of base value
constexpr double CompensationStepPf = 0.008; // per compensation unit at multiplier 1
constexpr double MinimumCapacitancePf = 0.05;
constexpr double MeasurementCapacitorPf = 0.935; // switched in parallel by the measurement switch
constexpr double ProjectedCouplingSign = -0.8;   // a finger takes mutual capacitance away
} // namespace

double ElectrodeCapacitance(int channel)
{
    static constexpr double pf[ChannelCount] = {4.2, 2.6, 2.9, 3.1};
    return pf[std::clamp(channel, 0, ChannelCount - 1)];
}

double Count(int channel, const ChannelSetup& setup, double couplingPf, double drift)
{
    const double electrode = ElectrodeCapacitance(channel);
    const double sign = setup.projected ? ProjectedCouplingSign : 1.0;
    double cx = electrode * (1.0 + drift) + sign * couplingPf
                - setup.compensation * CompensationStepPf * (setup.compMultiplier + 1);
    cx = std::max(cx, MinimumCapacitancePf);
    const double gain = 4.0 / (4.0 + setup.sensIndex);
    double count = setup.baseValue * gain * CountScale / cx;
    if (setup.measurementSwitch)
        count *= electrode / (electrode + MeasurementCapacitorPf);
    return std::clamp(count, 0.0, double(MaxCount));
}

int TouchThreshold(int lta, int thresholdByte, const ChannelSetup& setup)
{
    const int64_t base = std::max(setup.baseValue, 1);
    const int64_t compMultiplier = setup.compMultiplier + 3;
    int64_t numerator, denominator;
    if (setup.projected) {
        numerator = int64_t(lta) * thresholdByte * 4096;
        denominator = (int64_t(1) << (2 * setup.sensIndex)) * compMultiplier * base * std::max(setup.compensation, 1);
    } else {
        numerator = int64_t(lta) * thresholdByte * 4;
        denominator = (int64_t(1) << setup.sensIndex) * compMultiplier * base;
    }
    return int(numerator / denominator);
}

namespace {

int CountAt(int channel, ChannelSetup setup, int base, int compensation, double coupling, double drift)
{
    setup.baseValue = base;
    setup.compensation = compensation;
    return int(std::lround(Count(channel, setup, coupling, drift)));
}

// Smallest compensation whose count reaches the target, or the one below when that is closer.
int SearchCompensation(int channel, const ChannelSetup& setup, int base, double coupling, double drift, int target,
                       std::vector<std::pair<int, int>>& probes)
{
    int lo = 0, hi = 255;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        probes.emplace_back(base, mid);
        if (CountAt(channel, setup, base, mid, coupling, drift) < target)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo > 0) {
        const int above = std::abs(CountAt(channel, setup, base, lo, coupling, drift) - target);
        const int below = std::abs(CountAt(channel, setup, base, lo - 1, coupling, drift) - target);
        if (below < above)
            --lo;
    }
    return lo;
}

} // namespace

AtiResult RunAti(int channel, const ChannelSetup& setup, double couplingPf, double drift, int target, bool full)
{
    AtiResult result;
    result.baseValue = setup.baseValue;
    if (full) {
        // The smallest base that can reach the target leaves the most compensation, hence the most sensitivity.
        int index = 0;
        for (; index < 15; ++index) {
            result.probes.emplace_back(BaseValue(index), 255);
            if (CountAt(channel, setup, BaseValue(index), 255, couplingPf, drift) >= target)
                break;
        }
        result.baseValue = BaseValue(index);
    }
    result.compensation = SearchCompensation(channel, setup, result.baseValue, couplingPf, drift, target, result.probes);
    const int reached = CountAt(channel, setup, result.baseValue, result.compensation, couplingPf, drift);
    result.error = std::abs(reached - target) > std::max(target / 16, 2);
    return result;
}

} // namespace SimSensing
