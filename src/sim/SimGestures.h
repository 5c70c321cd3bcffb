#pragma once
// The chip's wheel and slider engine: position from the touch deltas, relative movement, and the slide, tap
// and flick gestures.

#include <array>
#include <cstdint>

struct SimGestureInput {
    int sliderMode = 0;              // 0 slider off (keys), 1 two-channel slider, 2 wheel, 3 three-channel slider
    std::array<double, 4> deltas{};  // CH0..CH3, relative to the count, positive toward touch
    std::array<bool, 4> touched{};
    bool wheelFilter = true;
    double now = 0.0;                // seconds
    double tapTime = 0.0;            // a touch at most this long, that hardly moved, is a tap (seconds)
    double flickTime = 0.0;          // a touch at most this long that travelled far is a flick (seconds)
    int flickThreshold = 0;          // travel of a flick, in position units
};

struct SimGestureOutput {
    uint8_t position = 0;  // wheel 0..191, slider 0..255; kept while nothing touches
    int16_t relative = 0;  // movement since the previous sample, 0 when still
    bool slide = false;
    bool tap = false;
    bool flickLeft = false;  // toward lower positions
    bool flickRight = false; // toward higher positions
};

class TSimGestures {
public:
    SimGestureOutput Step(const SimGestureInput& in);
    void Reset();

    static constexpr int WheelPositions = 192;

private:
    bool FTouching = false;
    bool FHasPosition = false;
    double FDownTime = 0.0;
    double FFiltered = 0.0;
    int FReported = 0;
    int FTravel = 0;
    uint8_t FPosition = 0;
};
