#pragma once
// The live display of the main window: labels, indicators, flags and events, the bar series, the wheel
// and relative read-outs, the gesture pictures, and the scope feed. Updated once per decoded frame; nothing
// is painted here per frame (BarTimer repaints the bar graph, the widgets repaint when their value changed).

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>

class QLabel;
class QTimer;
class TMainCore;
class TMainForm;
class TScopeForm;

class TLiveDisplay : public QObject {
    Q_OBJECT
public:
    TLiveDisplay(TMainForm& form, TMainCore& core);

    // Picture states of the channel indicators.
    enum TPicture : uint8_t { pcNone = 0, pcProx = 1, pcTouch = 2 };

    // The frame handler's last step.
    void FrameDecoded();
    void UpdateFlagsAndValues();
    void UpdateBarsAndScope();

    // The wheel or slider position of the frame (percent 0..100); read-outs change only when it does.
    void WheelPosition(int percent);
    // Moves the relative marker by step pixels, kept inside the strip.
    void MoveRelativeMarker(int step);
    void SetChannel0Label(const QString& text);
    // Start of a session: indicators show nothing, bar series empty.
    void ResetLiveDisplay();
    // An unchecked channel: its indicators show nothing.
    void SetChannelEmpty(int channel);
    // Baseline view on or off from the settings record's DeltaCheck.
    void Delta();
    // "Show Events" changed (TMainCore::EventsCheck): the group's text shows whether events are followed.
    void EventsCheckClick();
    // BarTimer: the value labels and the relative marker take the latest frame's values and the bar graph
    // is repainted once. Also run when BarTimer stops and for frames that arrive while it is stopped.
    void BarTimerTimer();

    // Ends a flick or tap picture (200 ms, one-shot).
    QTimer* Timer1;
    // Clears the held event labels in event mode (100 ms, one-shot).
    QTimer* EventTimer;

    // The held event labels, in the order they are evaluated.
    enum THeld { heProx, heTouch, heSlider, heTap, HeldCount };
    // Frames without the event since its label went "Yes" (FEProxCount, FETouchCount, FESliderCount,
    // FETapCount).
    uint8_t HeldFrames(THeld event) const { return FHeld[event].Count; }

private:
    // Writes the latest values to the value labels and redraws a moved relative marker.
    void ShowPending();
    // A channel value label. Values change every frame: the latest is kept and written to the label (and
    // its text rebuilt) only when the label is next shown, and only when it differs.
    struct TValueLabel {
        QLabel* Label = nullptr;
        int64_t Value = NotAvailable;
        int64_t Shown = Unset;
        static constexpr int64_t Unset = INT64_MIN, NotAvailable = INT64_MIN + 1;
        void Set(int64_t value) { Value = value; }
        void SetNA() { Value = NotAvailable; }
        void Push();
    };
    struct TFlagLabel {
        QLabel* Label = nullptr;
        int Shown = -1; // -1 unknown, 0 "No", 1 "Yes"
        void Show(bool yes);
    };
    struct THeldEvent {
        QLabel* Label = nullptr;
        QColor Colour;
        bool Yes = false;
        uint8_t Count = 0;
    };

    void ConnectControls();
    // The channel boxes, "All" and "Show Events" show the core's state.
    void ShowChannelBoxes();
    void DrawRelativeMarker();
    void UpdateIndicators();
    void UpdateValueLabels();
    void UpdateFlags();
    void UpdateEvents();
    void FeedScope();
    void SetIndicator(int channel, TPicture picture);
    QColor EventsTextColour() const;
    void SetEventLabel(QLabel* label, bool yes, const QColor& colour);
    void SetHeld(THeldEvent& event, bool yes);
    void RestartEventTimer();
    void EventTimerTimer();
    void Timer1Timer();
    void ShowGesture(bool flickLeft, bool flickRight, bool tap);

    // Delta of channel c as the baseline view shows it (0 when it cannot be had).
    int32_t BaselineDelta(int c) const;
    bool LowPowerChannel(int c) const;

    TMainForm& FForm;
    TMainCore& FCore;

    std::array<TPicture, 4> FShownPicture{};
    std::array<TValueLabel, 4> FCSLabels, FLTALabels, FDTLabels, FTTLabels;
    TFlagLabel FReset, FFilterHalt, FLowPower, FProjected, FATIBusy, FATIError, FMovement, FEAti, FEMov;
    std::array<THeldEvent, HeldCount> FHeld;
    QPoint FPressPos;
    bool FMarkerMoved = false;
    int FHaltBits = -1;
    int FWheelPercent = -1;
    int FWheelPosition = -1;
};
