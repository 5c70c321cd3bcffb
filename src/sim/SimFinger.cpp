#include "sim/SimFinger.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double HandPf = 0.30;     // a hand right at the proximity electrode
constexpr double NearbyHandPf = 0.04; // the hand of a finger touching the keys, seen by CH0

constexpr double TapSeconds = 0.10;
constexpr double FlickSeconds = 0.15;
constexpr double FlickTravel = 0.5; // of the wheel or slider

double SmoothStep(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

// 0 outside [start, end], 1 inside, with smooth edges of the given length.
double Pulse(double t, double start, double end, double edge)
{
    if (t <= start || t >= end)
        return 0.0;
    return std::min(SmoothStep((t - start) / edge), SmoothStep((end - t) / edge));
}

double Triangle(double distance, double halfWidth)
{
    return std::max(0.0, 1.0 - std::abs(distance) / halfWidth);
}

// A finger on the wheel or slider during [start, start + length], moving from `from` to `to`.
void Stroke(double t, double start, double length, double from, double to, SimContact& contact)
{
    const double p = Pulse(t, start, start + length, 0.02);
    if (p > contact.pressure) {
        contact.pressure = p;
        contact.position = from + (to - from) * std::clamp((t - start) / length, 0.0, 1.0);
    }
}

} // namespace

QStringList TSimFinger::Scenarios()
{
    return {QStringLiteral("demo"), QStringLiteral("idle"), QStringLiteral("wheel")};
}

bool TSimFinger::SetScenario(const QString& name)
{
    if (!Scenarios().contains(name))
        return false;
    FScenario = name;
    return true;
}

void TSimFinger::SetHand(double nearness)
{
    FHand = std::clamp(nearness, 0.0, 1.0);
}

void TSimFinger::SetKey(int channel, bool touched)
{
    if (channel >= 0 && channel < 4)
        FKeys[size_t(channel)] = touched;
}

void TSimFinger::SetWheel(bool touching, double position)
{
    FWheelTouched = touching;
    FWheelPosition = std::clamp(position, 0.0, 1.0);
}

void TSimFinger::StartGesture(SimGesture gesture, double now)
{
    FGesture = gesture;
    FGestureStart = now;
    FGestureActive = true;
}

SimContact TSimFinger::ScenarioContact(double now) const
{
    SimContact c;
    if (FScenario == QLatin1String("demo")) {
        const double t = std::fmod(std::max(now, 0.0), DemoLoopSeconds);
        // A hand comes close to the proximity electrode and goes again, then stays near while the keys are used.
        c.hand = std::max(Pulse(t, 1.5, 5.5, 1.5), 0.4 * Pulse(t, 5.8, 17.0, 0.3));
        c.keys[1] = Pulse(t, 6.0, 7.0, 0.03);
        c.keys[2] = Pulse(t, 7.5, 8.5, 0.03);
        c.keys[3] = Pulse(t, 9.0, 10.0, 0.03);
        Stroke(t, 10.5, 3.0, 0.0, 1.0, c);                             // once round the wheel
        Stroke(t, 14.0, TapSeconds, 0.5, 0.5, c);                      // a tap
        Stroke(t, 15.0, FlickSeconds, 0.15, 0.15 + FlickTravel, c);    // a flick to the right
        Stroke(t, 16.5, FlickSeconds, 0.85, 0.85 - FlickTravel, c);    // and one to the left
    } else if (FScenario == QLatin1String("wheel")) {
        // A finger circling the wheel, one turn in four seconds, lifting for a second after each turn (also
        // at first, so that the tuning after power-on sees the bare electrodes).
        const double t = std::fmod(std::max(now, 0.0), 5.0);
        Stroke(t, 1.0, 4.0, 0.0, 1.0, c);
    }
    return c;
}

bool TSimFinger::GestureContact(double now, SimContact& contact) const
{
    if (!FGestureActive)
        return false;
    const double t = now - FGestureStart;
    SimContact g;
    switch (FGesture) {
    case SimGesture::Tap: Stroke(t, 0.0, TapSeconds, 0.5, 0.5, g); break;
    case SimGesture::FlickRight: Stroke(t, 0.0, FlickSeconds, 0.25, 0.25 + FlickTravel, g); break;
    case SimGesture::FlickLeft: Stroke(t, 0.0, FlickSeconds, 0.75, 0.75 - FlickTravel, g); break;
    }
    if (g.pressure <= 0.0)
        return false;
    contact.pressure = g.pressure;
    contact.position = g.position;
    return true;
}

SimContact TSimFinger::ContactAt(double now) const
{
    SimContact c = ScenarioContact(now);
    c.hand = std::max(c.hand, FHand);
    for (size_t k = 0; k < 4; ++k)
        c.keys[k] = std::max(c.keys[k], FKeys[k] ? 1.0 : 0.0);
    // One finger on the wheel at a time: a hand-made gesture or the manual finger wins over the scenario.
    if (!GestureContact(now, c) && FWheelTouched) {
        c.pressure = 1.0;
        c.position = FWheelPosition;
    }
    return c;
}

std::array<double, 4> TSimFinger::CouplingsFor(const SimContact& contact, int sliderMode)
{
    std::array<double, 4> pf{};
    bool fingerDown = contact.pressure > 0.0;
    for (size_t k = 0; k < 4; ++k) {
        pf[k] += TSimFinger::FingerPf * contact.keys[k];
        fingerDown = fingerDown || (k > 0 && contact.keys[k] > 0.0);
    }
    pf[0] += HandPf * contact.hand * contact.hand + (fingerDown ? NearbyHandPf : 0.0);

    if (contact.pressure > 0.0) {
        const double p = contact.position;
        for (int k = 1; k <= 3; ++k) {
            double share = 0.0;
            switch (sliderMode) {
            case 1: // CH1 at one end, CH2 at the other; CH3 is a key of its own
                share = k == 3 ? 0.0 : Triangle(p - (k - 1), 1.0);
                break;
            case 2: { // a wheel: electrodes a third of a turn apart
                double d = std::fmod(p - (k - 1) / 3.0 + 1.5, 1.0) - 0.5;
                share = Triangle(d, 1.0 / 3.0);
                break;
            }
            case 3:
                share = Triangle(p - (k - 1) * 0.5, 0.5);
                break;
            default: // three keys in a row
                share = Triangle(p - (2 * k - 1) / 6.0, 1.0 / 6.0);
                break;
            }
            pf[size_t(k)] += TSimFinger::FingerPf * contact.pressure * share;
        }
    }
    return pf;
}

std::array<double, 4> TSimFinger::Couplings(double now, int sliderMode) const
{
    return CouplingsFor(ContactAt(now), sliderMode);
}
