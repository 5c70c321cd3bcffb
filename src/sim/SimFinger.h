#pragma once
// The hand and finger in front of the sensor: a scenario playing over time, the controls of the simulator
// window on top of it, and what that puts on each electrode.

#include <QString>
#include <QStringList>
#include <array>

enum class SimGesture { Tap, FlickLeft, FlickRight };

// Where the hand and finger are at one moment.
struct SimContact {
    double hand = 0.0;            // 0 far away .. 1 at the proximity electrode (CH0)
    double pressure = 0.0;        // finger on the wheel or slider, 0..1
    double position = 0.0;        // along the wheel or slider, 0..1 (a wheel wraps round)
    std::array<double, 4> keys{}; // a finger directly on a channel's electrode, 0..1
};

class TSimFinger {
public:
    static QStringList Scenarios(); // "demo", "idle", "wheel"
    static constexpr double DemoLoopSeconds = 20.0;
    // A finger fully on an electrode, in pF: enough for a touch at the default threshold whatever base the
    // tuning picks, also with the finger halfway between two wheel or slider electrodes.
    static constexpr double FingerPf = 1.5;

    bool SetScenario(const QString& name); // false for an unknown name (nothing changes)
    QString Scenario() const { return FScenario; }

    // Manual controls, added to the scenario.
    void SetHand(double nearness);
    void SetKey(int channel, bool touched);
    void SetWheel(bool touching, double position);
    void StartGesture(SimGesture gesture, double now);

    SimContact ContactAt(double now) const;
    // Finger and hand capacitance on CH0..CH3 in pF. The board's electrodes are laid out as the chip's slider
    // mode expects (three keys, a two-channel slider, a wheel or a three-channel slider).
    std::array<double, 4> Couplings(double now, int sliderMode) const;
    static std::array<double, 4> CouplingsFor(const SimContact& contact, int sliderMode);

private:
    SimContact ScenarioContact(double now) const;
    bool GestureContact(double now, SimContact& contact) const;

    QString FScenario = QStringLiteral("demo");
    double FHand = 0.0;
    std::array<bool, 4> FKeys{};
    bool FWheelTouched = false;
    double FWheelPosition = 0.0;
    bool FGestureActive = false;
    SimGesture FGesture = SimGesture::Tap;
    double FGestureStart = 0.0;
};
