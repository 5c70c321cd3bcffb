#include "app/FrameSamples.h"

#include "app/MainCore.h"

TFrameSamples FrameSamples(const TMainCore& core)
{
    const TStreamSetup& setup = core.StreamSetup;
    TFrameSamples samples;
    for (int c = 0; c < 4; ++c) {
        if (!core.CHCheck[c])
            continue;
        TChannelSample& s = samples[c];
        s.LowPower = c == 0 && core.FLP;
        const int32_t count = s.LowPower ? core.FLPcsCH : core.FCurrentChs[c];
        const int32_t average = s.LowPower ? core.FLPltaCH : core.FLTAChs[c];
        s.HasCount = setup.CSActive;
        s.Count = count;
        s.HasLTA = setup.LTAActive;
        s.LTA = average;
        // The delta as the delta labels show it: streamed, or computed from count and average.
        const int32_t computed = core.FProjected ? count - average : average - count;
        if (setup.DeltasActive) {
            s.HasDelta = true;
            s.Delta = s.LowPower ? computed : core.FDeltaChs[c];
        } else if (setup.CSActive && setup.LTAActive) {
            s.HasDelta = true;
            s.Delta = computed;
        }
    }
    return samples;
}
