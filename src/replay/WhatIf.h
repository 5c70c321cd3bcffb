#pragma once
// What-if: a recording's counts and averages evaluated against other thresholds and debounce, as the chip
// decides prox and touch, beside the prox and touch the chip reported.

#include "replay/FrameRecording.h"

#include <QVector>
#include <array>

struct TWhatIfSettings {
    int ProxThreshold = 4;                           // delta counts on CH0
    std::array<int, 4> TouchThreshold{0, 16, 16, 16}; // CH1..CH3: share of the average, in 256ths
    int Debounce = 2;                                // frames at or over the threshold before it sets
    int Release = 2;                                 // frames under 7/8 of the threshold before it clears
};

// The thresholds and debounce of the recorded set-up (the chip's power-up values where it holds none).
TWhatIfSettings RecordedWhatIfSettings(const TRecording& recording);

enum class TWhatIfSource { wsWhatIf, wsChip, wsBoth };

struct TWhatIfEvent {
    int Frame = 0; // 0-based frame of the recording
    qint64 TimeUs = 0;
    int Channel = 0;
    bool On = false; // set or cleared
    TWhatIfSource Source = TWhatIfSource::wsWhatIf;
};

struct TWhatIfResult {
    QVector<TWhatIfEvent> Events; // by frame
    std::array<int, 4> WhatIfOnsets{}, ChipOnsets{};
    bool ChipReported = false; // the recording carries the chip's prox and touch
    QStringList Notes;
};

// Decides prox and touch frame by frame: set after Debounce frames at or over the threshold, cleared after
// Release frames under 7/8 of it; tuning (ATI busy) clears every channel without an event.
class TWhatIfEvaluator {
public:
    TWhatIfEvaluator(const TRecording& recording, const TWhatIfSettings& settings);
    // The channels that changed in this frame, as bits; state(c) tells the new value.
    uint8_t Frame(const TRecordedValues& values);
    bool State(int channel) const { return FChannels[size_t(channel)].On; }
    int TouchThreshold(int channel, int lta, bool projected) const;

private:
    struct Channel {
        bool On = false;
        int OnRun = 0, OffRun = 0;
    };
    const TRecording& FRecording;
    TWhatIfSettings FSettings;
    bool FDefaultProjected = false;
    std::array<bool, 4> FActive{true, true, true, true};
    std::array<Channel, 4> FChannels{};
};

// Frames a chip event and a what-if event of the same channel and direction may lie apart and still count
// as one.
constexpr int WhatIfMatchFrames = 2;

TWhatIfResult EvaluateWhatIf(const TRecording& recording, const TWhatIfSettings& settings);

QString WhatIfEventText(const TWhatIfEvent& event); // "Prox on", "Touch CH2 off"
QString WhatIfSourceText(TWhatIfSource source);   // "what-if only", "chip only", "both"
