#pragma once
// The stream set-up: which register blocks the frames carry, the map sent to the tool and the block offsets.
// The five "Streaming Setup" boxes live on the settings record; this object turns them into the map.

#include "common/KvrTypes.h"

class TMainCore;

// Stream set-up bits of the five boxes.
namespace StreamBits {
constexpr uint16_t Wheel = 0x01;
constexpr uint16_t PT = 0x02;
constexpr uint16_t CS = 0x04;
constexpr uint16_t LTA = 0x08;
constexpr uint16_t Deltas = 0x10;
}

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

    // The core whose settings record holds the boxes. The session control attaches it when the core is
    // built; the first set-up is taken then and counts as applied.
    void Attach(TMainCore& core);

    // Rebuilds the map, the length, the active flags and the start indexes from the five boxes, and
    // enables or clears the "Baseline View" box.
    void SetupStreaming();
    // FCurSetup := the five boxes as bits.
    void GetStreamingSetup();
    // Checks or clears the five boxes from the bits (Undo).
    void SetStreamingSetup(uint8_t setup);
    // Click handler of the five boxes: true when the set-up now differs from the applied one. The settings
    // window re-evaluates its pending changes afterwards.
    bool StreamChangeClick();
    // Apply of a changed stream set-up: refused (false) when no block but the deltas is selected;
    // otherwise the stream is stopped, rebuilt and restarted. The caller re-evaluates pending changes.
    bool ApplyStreamSetup();

private:
    TMainCore* FCore = nullptr;
};
