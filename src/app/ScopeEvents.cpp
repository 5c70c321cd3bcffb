#include "app/ScopeEvents.h"

#include "app/MainCore.h"

namespace ScopeEvents {

void Take(const TMainCore& core, TScopeFrame& frame)
{
    uint16_t events = 0;
    for (int c = 0; c < 4; ++c) {
        if (core.FProxBools[size_t(c)])
            events |= ProxBit(c);
        if (core.FTouchBools[size_t(c)])
            events |= TouchBit(c);
    }
    if (core.FETap)
        events |= ScopeEvent::Tap;
    if (core.FEFlickLeft)
        events |= ScopeEvent::FlickLeft;
    if (core.FEFlickRight)
        events |= ScopeEvent::FlickRight;
    if (core.FATIBusy)
        events |= ScopeEvent::ATIBusy;
    if (core.FLP)
        events |= ScopeEvent::LowPower;
    frame.Wheel = 0;
    if (core.StreamSetup.WheelActive) {
        events |= ScopeEvent::Wheel;
        frame.Wheel = uint8_t(core.FWheelPercent);
    }
    frame.Events = events;
}

} // namespace ScopeEvents
