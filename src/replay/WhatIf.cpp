#include "replay/WhatIf.h"

#include <algorithm>

namespace {

using namespace RecordedRegister;

constexpr uint8_t ProjectedFlag = 0x10, AtiBusyFlag = 0x04;
constexpr uint8_t ActiveChannelsRegister = 0x0D;

} // namespace

TWhatIfSettings RecordedWhatIfSettings(const TRecording& recording)
{
    TWhatIfSettings s;
    s.ProxThreshold = recording.SetupByte(Thresholds, 0, 4);
    for (int c = 1; c < 4; ++c)
        s.TouchThreshold[size_t(c)] = recording.SetupByte(Thresholds, c, 16);
    s.Debounce = (recording.SetupByte(ProxSettings, 3, 0) & 0x80) ? 4 : 2;
    return s;
}

TWhatIfEvaluator::TWhatIfEvaluator(const TRecording& recording, const TWhatIfSettings& settings)
    : FRecording(recording), FSettings(settings)
{
    FSettings.Debounce = std::max(FSettings.Debounce, 1);
    FSettings.Release = std::max(FSettings.Release, 1);
    FDefaultProjected = recording.SetupByte(SystemFlags, 0, 0) & ProjectedFlag;
    const uint8_t active = recording.SetupByte(ActiveChannelsRegister, 0, 0x0F);
    for (int c = 0; c < 4; ++c)
        FActive[size_t(c)] = (active >> c) & 1;
}

int TWhatIfEvaluator::TouchThreshold(int channel, int lta, bool projected) const
{
    const int64_t t = FSettings.TouchThreshold[size_t(channel)];
    const auto& base = FRecording.ActualBase;
    if (!base || (*base)[size_t(channel)] <= 0)
        return int(lta * t / 256); // without the actual base only the share of the average is known
    const uint8_t multipliers = FRecording.SetupByte(Multipliers, channel, 0);
    const int sens = (multipliers >> 4) & 3;
    const int64_t compMultiplier = (multipliers & 0x0F) + 3;
    const int64_t a = (*base)[size_t(channel)];
    if (projected) {
        const int64_t p = std::max<int64_t>(FRecording.SetupByte(Compensation, channel, 1), 1);
        return int(int64_t(lta) * t * 4096 / ((int64_t(1) << (2 * sens)) * compMultiplier * a * p));
    }
    return int(int64_t(lta) * t * 4 / ((int64_t(1) << sens) * compMultiplier * a));
}

uint8_t TWhatIfEvaluator::Frame(const TRecordedValues& v)
{
    if (v.HasFlags && (v.Flags & AtiBusyFlag)) {
        FChannels = {};
        return 0;
    }
    const bool projected = v.HasFlags ? (v.Flags & ProjectedFlag) != 0 : FDefaultProjected;
    const bool fromCounts = v.HasCounts && v.HasLta;
    uint8_t changed = 0;
    for (int c = 0; c < 4; ++c) {
        Channel& ch = FChannels[size_t(c)];
        if (!FActive[size_t(c)] || (!fromCounts && !v.HasDeltas) || (c > 0 && !v.HasLta))
            continue;
        const int count = v.Counts[size_t(c)], lta = v.Lta[size_t(c)];
        const int delta = fromCounts ? (projected ? count - lta : lta - count) : v.Deltas[size_t(c)];
        const int threshold = c == 0 ? FSettings.ProxThreshold : TouchThreshold(c, lta, projected);
        const bool over = delta >= std::max(threshold, 1);
        const bool under = int64_t(delta) * 8 < int64_t(threshold) * 7;
        ch.OnRun = over ? ch.OnRun + 1 : 0;
        ch.OffRun = under ? ch.OffRun + 1 : 0;
        if ((!ch.On && ch.OnRun >= FSettings.Debounce) || (ch.On && ch.OffRun >= FSettings.Release)) {
            ch.On = !ch.On;
            changed |= uint8_t(1 << c);
        }
    }
    return changed;
}

TWhatIfResult EvaluateWhatIf(const TRecording& recording, const TWhatIfSettings& settings)
{
    TWhatIfResult result;
    TWhatIfEvaluator evaluator(recording, settings);
    QVector<TWhatIfEvent> mine, chip;
    bool anyInput = false, anyTouchInput = false;
    uint8_t reported = 0;
    for (int i = 0; i < recording.Frames.size(); ++i) {
        const TRecordedFrame& frame = recording.Frames[i];
        const TRecordedValues v = recording.Values(frame);
        anyInput = anyInput || (v.HasCounts && v.HasLta) || v.HasDeltas;
        anyTouchInput = anyTouchInput || v.HasLta;
        const uint8_t changed = evaluator.Frame(v);
        for (int c = 0; c < 4; ++c)
            if ((changed >> c) & 1)
                mine.append({i, frame.TimeUs, c, evaluator.State(c), TWhatIfSource::wsWhatIf});
        if (v.HasTouch) {
            result.ChipReported = true;
            const uint8_t now = v.TouchByte & 0x0F;
            for (int c = 0; c < 4; ++c)
                if (((now ^ reported) >> c) & 1)
                    chip.append({i, frame.TimeUs, c, bool((now >> c) & 1), TWhatIfSource::wsChip});
            reported = now;
        }
    }

    // A chip event close to a what-if event of the same kind is the same event.
    std::vector<bool> matched(size_t(chip.size()), false);
    for (TWhatIfEvent& e : mine) {
        for (int j = 0; j < chip.size(); ++j) {
            const TWhatIfEvent& k = chip[j];
            if (!matched[size_t(j)] && k.Channel == e.Channel && k.On == e.On
                && std::abs(k.Frame - e.Frame) <= WhatIfMatchFrames) {
                matched[size_t(j)] = true;
                e.Source = TWhatIfSource::wsBoth;
                break;
            }
        }
    }
    result.Events = mine;
    for (int j = 0; j < chip.size(); ++j)
        if (!matched[size_t(j)])
            result.Events.append(chip[j]);
    std::stable_sort(result.Events.begin(), result.Events.end(), [](const TWhatIfEvent& a, const TWhatIfEvent& b) {
        return a.Frame != b.Frame ? a.Frame < b.Frame : a.Channel < b.Channel;
    });
    for (const TWhatIfEvent& e : mine)
        result.WhatIfOnsets[size_t(e.Channel)] += e.On;
    for (const TWhatIfEvent& e : chip)
        result.ChipOnsets[size_t(e.Channel)] += e.On;

    if (!anyInput)
        result.Notes.append(QStringLiteral("The recording holds neither counts with averages nor deltas: "
                                           "nothing can be evaluated."));
    else if (!anyTouchInput)
        result.Notes.append(QStringLiteral("The recording holds no long-term averages: touch thresholds cannot "
                                           "be worked out, only prox is evaluated."));
    else if (!recording.ActualBase)
        result.Notes.append(QStringLiteral("The actual base values were not recorded: touch thresholds are "
                                           "taken as their share of the average."));
    if (!result.ChipReported)
        result.Notes.append(QStringLiteral("The chip's prox and touch were not recorded: only what-if events "
                                           "are listed."));
    return result;
}

QString WhatIfEventText(const TWhatIfEvent& event)
{
    const QString state = event.On ? QStringLiteral("on") : QStringLiteral("off");
    if (event.Channel == 0)
        return QStringLiteral("Prox %1").arg(state);
    return QStringLiteral("Touch CH%1 %2").arg(event.Channel).arg(state);
}

QString WhatIfSourceText(TWhatIfSource source)
{
    switch (source) {
    case TWhatIfSource::wsWhatIf: return QStringLiteral("what-if only");
    case TWhatIfSource::wsChip: return QStringLiteral("chip only");
    case TWhatIfSource::wsBoth: return QStringLiteral("both");
    }
    return {};
}
