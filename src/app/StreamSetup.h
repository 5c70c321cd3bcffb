#pragma once
// The stream set-up: which register blocks the frames carry, the map sent to the tool and the block offsets.

#include "common/KvrTypes.h"

struct TStreamSetup {
    TKvrByteArray FStreamBytes{};
    int32_t FStreamLength = 0;
    bool SysFlagsActive = false, WheelActive = false, PTActive = false, CSActive = false, LTAActive = false,
         DeltasActive = false;
    int32_t SysFlagsStartIndex = 0, WheelStartIndex = 0, PTStartIndex = 0, CSStartIndex = 0, LTAStartIndex = 0,
            DeltasStartIndex = 0;
    uint16_t FCurSetup = 0;
    uint16_t FPrevSetup = 0;
    bool FStreamSetupChanged = false;
};
