#pragma once
// The timeline's lanes and the event bits of a frame, taken from the decoded values the live display shows.

#include "app/ScopeHistory.h"

#include <array>
#include <cstdint>

class TMainCore;

namespace ScopeEvents {

enum class TLaneKind { lkChannel, lkEvent, lkWheel };

struct TLane {
    const char* Name;
    TLaneKind Kind;
    uint16_t Mask; // lkEvent: the bit shown; lkChannel: the channel's prox bit (its touch bit is Touch0 << c)
};

// Top to bottom: the four channels (prox, touch), the gesture events, the chip's states and the wheel.
constexpr std::array<TLane, 10> Lanes{{
    {"CH0", TLaneKind::lkChannel, ScopeEvent::Prox0 << 0},
    {"CH1", TLaneKind::lkChannel, ScopeEvent::Prox0 << 1},
    {"CH2", TLaneKind::lkChannel, ScopeEvent::Prox0 << 2},
    {"CH3", TLaneKind::lkChannel, ScopeEvent::Prox0 << 3},
    {"Tap", TLaneKind::lkEvent, ScopeEvent::Tap},
    {"Flick L", TLaneKind::lkEvent, ScopeEvent::FlickLeft},
    {"Flick R", TLaneKind::lkEvent, ScopeEvent::FlickRight},
    {"ATI busy", TLaneKind::lkEvent, ScopeEvent::ATIBusy},
    {"Low power", TLaneKind::lkEvent, ScopeEvent::LowPower},
    {"Wheel", TLaneKind::lkWheel, ScopeEvent::Wheel},
}};

constexpr uint16_t TouchBit(int channel) { return uint16_t(ScopeEvent::Touch0 << channel); }
constexpr uint16_t ProxBit(int channel) { return uint16_t(ScopeEvent::Prox0 << channel); }

// Events and wheel position (in percent) of the frame just decoded.
void Take(const TMainCore& core, TScopeFrame& frame);

} // namespace ScopeEvents
