#include "app/SnrMeasurement.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

void TSnrMeasurement::Start(int channel, int frames)
{
    FChannel = std::clamp(channel, 0, 3);
    FFrames = std::clamp(frames, MinFrames, MaxFrames);
    FNote.clear();
    RestartStep(QString());
}

void TSnrMeasurement::RestartStep(const QString& why)
{
    FStep = TSnrStep::Release;
    FTaken = 0;
    FSettle = 0;
    FCountSum = FCountSquares = FReleasedDeltaSum = FTouchedDeltaSum = 0;
    FNoiseMin = FNoiseMax = 0;
    if (!why.isEmpty())
        FNote = why;
}

void TSnrMeasurement::BeginTouch()
{
    if (FStep != TSnrStep::WaitTouch)
        return;
    FStep = TSnrStep::Touch;
    FTaken = 0;
    FTouchedDeltaSum = 0;
}

void TSnrMeasurement::Cancel()
{
    if (Running())
        FStep = TSnrStep::Idle;
}

void TSnrMeasurement::Fail(const QString& text)
{
    FStep = TSnrStep::Failed;
    FNote = text;
}

double TSnrMeasurement::TouchLevel() const
{
    return FReleasedDelta + std::max(NoisePP(), 1);
}

void TSnrMeasurement::AddFrame(const TFrameSamples& samples, bool retuning)
{
    if (!Running())
        return;
    if (retuning) {
        // New tuning, new levels: the noise and the released delta are measured again.
        if (FTaken > 0 || FStep != TSnrStep::Release)
            RestartStep(QStringLiteral("The chip re-tuned (ATI): measuring again from the release step."));
        return;
    }
    const TChannelSample& s = samples[size_t(FChannel)];
    if (!s.HasCount || !s.HasDelta) {
        Fail(QStringLiteral("CH%1 gives no counts or no deltas: check the channel's box and stream the counts "
                            "and the long-term averages.")
                 .arg(FChannel));
        return;
    }
    switch (FStep) {
    case TSnrStep::Release:
        if (FTaken == 0)
            FNoiseMin = FNoiseMax = s.Count;
        FNoiseMin = std::min(FNoiseMin, s.Count);
        FNoiseMax = std::max(FNoiseMax, s.Count);
        FCountSum += s.Count;
        FCountSquares += int64_t(s.Count) * s.Count;
        FReleasedDeltaSum += s.Delta;
        if (++FTaken == FFrames) {
            const double mean = double(FCountSum) / FFrames;
            FNoiseRMS = std::sqrt(std::max(0.0, double(FCountSquares) / FFrames - mean * mean));
            FReleasedDelta = double(FReleasedDeltaSum) / FFrames;
            FStep = TSnrStep::WaitTouch;
            FTaken = 0;
            FSettle = 0;
        }
        break;
    case TSnrStep::WaitTouch:
        // The touch step starts by itself once the delta has stayed above the noise while the finger settles.
        FSettle = s.Delta > TouchLevel() ? FSettle + 1 : 0;
        if (FSettle >= SettleFrames)
            BeginTouch();
        break;
    case TSnrStep::Touch:
        FTouchedDeltaSum += s.Delta;
        if (++FTaken == FFrames)
            FStep = TSnrStep::Done;
        break;
    default:
        break;
    }
}

TSnrResult TSnrMeasurement::Result(double minimum, std::optional<int32_t> threshold) const
{
    TSnrResult r;
    r.Channel = FChannel;
    r.Minimum = minimum;
    if (FStep != TSnrStep::Done)
        return r;
    r.NoisePP = NoisePP();
    r.NoiseRMS = FNoiseRMS;
    r.ReleasedDelta = FReleasedDelta;
    r.TouchedDelta = double(FTouchedDeltaSum) / FFrames;
    r.Signal = r.TouchedDelta - r.ReleasedDelta;
    // Counts are whole numbers: noise below one count is one count.
    const int32_t noise = std::max(r.NoisePP, 1);
    r.Snr = r.Signal / noise;
    r.Pass = r.Signal > noise && r.Snr >= minimum;

    const QString ch = QStringLiteral("CH%1").arg(FChannel);
    QStringList advice;
    if (r.Signal <= noise) {
        advice << QStringLiteral("No touch stood out of the noise on %1: check that the finger is on the right key "
                                 "and that the channel is active.")
                      .arg(ch);
    } else if (!r.Pass) {
        advice << QStringLiteral("SNR below the minimum: raise %1's multipliers or compensation (Multipliers & "
                                 "Compensation) or its ATI target so that a touch moves the counts further, and "
                                 "look for the noise source (grounding, supply, long tracks).")
                      .arg(ch);
    } else {
        advice << QStringLiteral("%1 passes: a touch stands %2 times its noise.").arg(ch).arg(r.Snr, 0, 'f', 1);
    }
    if (threshold && r.Signal > noise) {
        const QString name = FChannel == 0 ? QStringLiteral("prox threshold") : QStringLiteral("touch threshold");
        const int suggested = int(std::lround(std::max(r.Signal / 2, double(noise + 1))));
        if (*threshold <= noise)
            advice << QStringLiteral("The %1 (%2) lies inside the noise (%3 p-p): noise can trigger it; move it "
                                     "up to about %4.")
                          .arg(name).arg(*threshold).arg(r.NoisePP).arg(suggested);
        else if (*threshold >= r.Signal)
            advice << QStringLiteral("The %1 (%2) is above this touch (%3): it would not be detected; move it "
                                     "down to about %4.")
                          .arg(name).arg(*threshold).arg(std::lround(r.Signal)).arg(suggested);
        else
            advice << QStringLiteral("The %1 (%2) sits between the noise and the touch.").arg(name).arg(*threshold);
    }
    r.Advice = advice.join(QLatin1Char(' '));
    return r;
}
