#include "sim/SimGestures.h"

#include <algorithm>
#include <cmath>

namespace {

// Channels that form the wheel or slider in each mode (CH1 = bit 1 ...).
bool IsSliderChannel(int mode, int channel)
{
    switch (mode) {
    case 1: return channel == 1 || channel == 2;
    case 2:
    case 3: return channel >= 1 && channel <= 3;
    default: return false;
    }
}

// Raw position from the deltas, or a negative value when the deltas give none.
double RawPosition(int mode, const std::array<double, 4>& deltas)
{
    const double d1 = std::max(deltas[1], 0.0), d2 = std::max(deltas[2], 0.0), d3 = std::max(deltas[3], 0.0);
    switch (mode) {
    case 1:
        return d1 + d2 > 0.0 ? 255.0 * d2 / (d1 + d2) : -1.0;
    case 3:
        return d1 + d2 + d3 > 0.0 ? 255.0 * (0.5 * d2 + d3) / (d1 + d2 + d3) : -1.0;
    case 2: {
        // Three electrodes a third of a turn apart: the angle of the weighted sum.
        const double x = d1 - 0.5 * (d2 + d3);
        const double y = std::sqrt(3.0) / 2.0 * (d2 - d3);
        if (x == 0.0 && y == 0.0)
            return -1.0;
        double turn = std::atan2(y, x) / (2.0 * M_PI);
        if (turn < 0.0)
            turn += 1.0;
        return turn * TSimGestures::WheelPositions;
    }
    default:
        return -1.0;
    }
}

// Shortest step from a to b on a wheel of n positions.
double WheelStep(double from, double to, double n)
{
    double d = std::fmod(to - from, n);
    if (d >= n / 2)
        d -= n;
    if (d < -n / 2)
        d += n;
    return d;
}

} // namespace

void TSimGestures::Reset()
{
    *this = TSimGestures();
}

SimGestureOutput TSimGestures::Step(const SimGestureInput& in)
{
    SimGestureOutput out;
    const bool wheel = in.sliderMode == 2;
    const double range = wheel ? WheelPositions : 255.0;

    bool anyTouch = false, sliderTouch = false;
    for (int c = 1; c < 4; ++c) {
        anyTouch = anyTouch || in.touched[c];
        sliderTouch = sliderTouch || (in.touched[c] && IsSliderChannel(in.sliderMode, c));
    }

    if (anyTouch && !FTouching) {
        FTouching = true;
        FDownTime = in.now;
        FTravel = 0;
        FHasPosition = false;
    }

    if (sliderTouch) {
        const double raw = RawPosition(in.sliderMode, in.deltas);
        if (raw >= 0.0) {
            if (!FHasPosition) {
                FFiltered = raw;
            } else {
                const double step = wheel ? WheelStep(FFiltered, raw, range) : raw - FFiltered;
                FFiltered += in.wheelFilter ? step * 0.5 : step;
                if (wheel)
                    FFiltered = std::fmod(FFiltered + range, range);
            }
            // A full unit of movement is needed before the position changes, so a still finger reads still.
            int reported = FReported;
            const double off = wheel ? WheelStep(FReported, FFiltered, range) : FFiltered - FReported;
            if (!FHasPosition || std::abs(off) >= 1.0) {
                reported = int(std::lround(FFiltered));
                reported = wheel ? reported % WheelPositions : std::clamp(reported, 0, 255);
            }
            if (FHasPosition) {
                const int moved = wheel ? int(WheelStep(FReported, reported, range)) : reported - FReported;
                out.relative = int16_t(moved);
                out.slide = moved != 0;
                FTravel += moved;
            }
            FReported = reported;
            FHasPosition = true;
            FPosition = uint8_t(reported);
        }
    }

    if (!anyTouch && FTouching) {
        FTouching = false;
        const double held = in.now - FDownTime;
        const int travel = std::abs(FTravel);
        if (in.sliderMode != 0 && in.flickThreshold > 0 && travel >= in.flickThreshold && held <= in.flickTime) {
            out.flickRight = FTravel > 0;
            out.flickLeft = FTravel < 0;
        } else if (held <= in.tapTime && travel * 2 < std::max(in.flickThreshold, 2)) {
            out.tap = true;
        }
    }

    out.position = in.sliderMode == 0 ? 0 : FPosition;
    return out;
}
