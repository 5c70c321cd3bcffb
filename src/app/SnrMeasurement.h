#pragma once
// The guided signal-to-noise measurement of one channel: first the channel is left released while its
// counts give the noise, then it is touched while its deltas give the signal.
//   signal = mean delta touched - mean delta released
//   SNR    = signal / count noise peak-to-peak while released (at least 1 count: the counts are whole)
// Peak-to-peak is the noise a threshold has to clear, so it is the measure used throughout.

#include "app/FrameSamples.h"

#include <QString>
#include <cstdint>
#include <optional>

enum class TSnrStep { Idle, Release, WaitTouch, Touch, Done, Failed };

struct TSnrResult {
    int Channel = 0;
    int32_t NoisePP = 0;
    double NoiseRMS = 0;
    double ReleasedDelta = 0;
    double TouchedDelta = 0;
    double Signal = 0;
    double Snr = 0;
    double Minimum = 0;
    bool Pass = false;
    QString Advice;
};

class TSnrMeasurement {
public:
    static constexpr int DefaultFrames = 256;
    static constexpr int MinFrames = 16;
    static constexpr int MaxFrames = 16384;
    static constexpr double DefaultMinimum = 5.0;
    // Frames skipped after the touch is seen, while the finger settles.
    static constexpr int SettleFrames = 16;

    // Starts the release step of a channel (0..3); frames per step clamped to MinFrames..MaxFrames.
    void Start(int channel, int frames = DefaultFrames);
    // The finger is on: the touch step starts without waiting for the delta to rise.
    void BeginTouch();
    void Cancel();

    // One decoded frame. A retune (ATI) in the middle of a step starts that step again.
    void AddFrame(const TFrameSamples& samples, bool retuning);

    TSnrStep Step() const { return FStep; }
    bool Running() const { return FStep == TSnrStep::Release || FStep == TSnrStep::WaitTouch || FStep == TSnrStep::Touch; }
    int Channel() const { return FChannel; }
    int Frames() const { return FFrames; }
    // Frames taken in the current step.
    int Progress() const { return FTaken; }
    // Why the measurement stopped, or what interrupted a step (empty if nothing).
    QString Note() const { return FNote; }
    // Noise of the release step, once it has ended.
    int32_t NoisePP() const { return FNoiseMax - FNoiseMin; }

    // The verdict against a minimum SNR, with advice; threshold is the channel's detection threshold in
    // delta counts (prox threshold for channel 0, calculated touch threshold for the others), if known.
    TSnrResult Result(double minimum, std::optional<int32_t> threshold) const;

private:
    void Fail(const QString& text);
    void RestartStep(const QString& why);
    // The delta a touch must reach before the touch step starts by itself.
    double TouchLevel() const;

    TSnrStep FStep = TSnrStep::Idle;
    int FChannel = 0;
    int FFrames = DefaultFrames;
    int FTaken = 0;
    int FSettle = 0;
    QString FNote;
    // Release step: counts and deltas.
    int32_t FNoiseMin = 0, FNoiseMax = 0;
    int64_t FCountSum = 0, FCountSquares = 0;
    int64_t FReleasedDeltaSum = 0;
    double FNoiseRMS = 0, FReleasedDelta = 0;
    // Touch step: deltas.
    int64_t FTouchedDeltaSum = 0;
};
