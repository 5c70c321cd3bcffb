#include "cli/CliWhatIf.h"

#include "cli/CliTerminal.h"
#include "replay/WhatIf.h"

namespace CliWhatIf {

int Run(const TCliOptions& o)
{
    QString error;
    const auto recording = ReadRecording(o.File, error);
    if (!recording) {
        TCliTerminal::Err(QStringLiteral("error: ") + error);
        return CliExit::Failure;
    }
    TWhatIfSettings s = RecordedWhatIfSettings(*recording);
    if (o.WhatIfProx >= 0)
        s.ProxThreshold = o.WhatIfProx;
    for (int c = 1; c < 4 && !o.WhatIfTouch.isEmpty(); ++c)
        s.TouchThreshold[size_t(c)] = o.WhatIfTouch.size() == 1 ? o.WhatIfTouch[0] : o.WhatIfTouch[c - 1];
    if (o.WhatIfDebounce > 0)
        s.Debounce = o.WhatIfDebounce;
    if (o.WhatIfRelease > 0)
        s.Release = o.WhatIfRelease;

    const TWhatIfResult result = EvaluateWhatIf(*recording, s);
    for (const QString& note : recording->Notes + result.Notes)
        TCliTerminal::Err(QStringLiteral("info: ") + note);
    TCliTerminal::Err(QStringLiteral("info: prox threshold %1, touch thresholds %2 %3 %4, debounce %5, release %6")
                          .arg(s.ProxThreshold)
                          .arg(s.TouchThreshold[1])
                          .arg(s.TouchThreshold[2])
                          .arg(s.TouchThreshold[3])
                          .arg(s.Debounce)
                          .arg(s.Release));
    if (!TCliTerminal::Out(QStringLiteral("time\tframe\tchannel\tevent\tsource")))
        return CliExit::Success;
    for (const TWhatIfEvent& e : result.Events) {
        const QString source = e.Source == TWhatIfSource::wsBoth     ? QStringLiteral("both")
                               : e.Source == TWhatIfSource::wsWhatIf ? QStringLiteral("what-if")
                                                                     : QStringLiteral("chip");
        const QString line = QStringLiteral("%1\t%2\t%3\t%4\t%5")
                                 .arg(e.TimeUs / 1e6, 0, 'f', 3)
                                 .arg(e.Frame + 1)
                                 .arg(e.Channel)
                                 .arg(e.Channel == 0 ? QStringLiteral("prox") : QStringLiteral("touch"))
                                 .arg(e.On ? QStringLiteral("on") : QStringLiteral("off"));
        if (!TCliTerminal::Out(line + u'\t' + source))
            return CliExit::Success;
    }
    for (int c = 0; c < 4; ++c)
        TCliTerminal::Err(QStringLiteral("info: CH%1 onsets: what-if %2, chip %3")
                              .arg(c)
                              .arg(result.WhatIfOnsets[size_t(c)])
                              .arg(result.ChipReported ? QString::number(result.ChipOnsets[size_t(c)])
                                                       : QStringLiteral("not recorded")));
    return CliExit::Success;
}

} // namespace CliWhatIf
