#include "app/ThresholdLines.h"

#include "app/FrameSamples.h"
#include "app/MainCore.h"
#include "app/TouchThreshold.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr int SettingMin = 1, SettingMax = 255;
}

int TThresholdLines::Setting(int c) const
{
    const TSettingsRecord& s = FCore.Settings;
    return c == 0 ? s.ProxSpin : s.*TSettingsRecord::TouchSpin[size_t(c - 1)];
}

std::optional<int32_t> TThresholdLines::Counts(int c) const
{
    if (c == 0)
        return Setting(0);
    if (c < 1 || c > 3 || !FCore.StreamSetup.LTAActive)
        return std::nullopt;
    return CalcTouchThreshold(FCore, c, FCore.FLTAChs[size_t(c)], Setting(c));
}

std::optional<double> TThresholdLines::Level(int c, bool deltaScale) const
{
    if (c < 0 || c > 3)
        return std::nullopt;
    const TChannelSample s = FrameSamples(FCore)[size_t(c)];
    const std::optional<int32_t> th = Counts(c);
    if (!th)
        return std::nullopt;
    if (deltaScale)
        return s.HasDelta ? std::optional<double>(*th) : std::nullopt;
    if (!s.HasCount || !s.HasLTA)
        return std::nullopt;
    return FCore.FProjected ? double(s.LTA) + *th : double(s.LTA) - *th;
}

bool TThresholdLines::CanMove() const
{
    return FCore.Pages.FActivePage == spThr && !FCore.FRegBusy && !FCore.FLoadingSettings;
}

bool TThresholdLines::MoveTo(int c, double level, bool deltaScale)
{
    if (!CanMove() || !Level(c, deltaScale))
        return false;
    double target = level;
    if (!deltaScale) {
        const double lta = FrameSamples(FCore)[size_t(c)].LTA;
        target = FCore.FProjected ? level - lta : lta - level;
    }
    int setting = Setting(c);
    if (c == 0) {
        setting = int(std::clamp(std::lround(target), long(SettingMin), long(SettingMax)));
    } else {
        // The calculated threshold has no simple inverse (truncation, wrapping terms): take the setting
        // whose threshold lies nearest.
        double best = -1;
        for (int t = SettingMin; t <= SettingMax; ++t) {
            const auto th = CalcTouchThreshold(FCore, c, FCore.FLTAChs[size_t(c)], t);
            if (!th)
                continue;
            const double distance = std::abs(*th - target);
            if (best < 0 || distance < best) {
                best = distance;
                setting = t;
            }
        }
    }
    if (setting == Setting(c))
        return true;
    TSettingsRecord& s = FCore.Settings;
    s.SetInt(c == 0 ? &TSettingsRecord::ProxSpin : TSettingsRecord::TouchSpin[size_t(c - 1)], setting);
    FCore.Pages.ThrChange();
    FCore.View()->SettingsRecordChanged();
    return true;
}

bool TThresholdLines::Pending() const
{
    return FCore.Pages.PageChanged(spThr);
}
