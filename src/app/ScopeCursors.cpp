#include "app/ScopeCursors.h"

#include <QStringList>
#include <cmath>

namespace ScopeCursors {

int64_t Snap(double x)
{
    return int64_t(std::llround(x));
}

TCursorReading Read(const TScopeHistory& history, int64_t x1, int64_t x2)
{
    TCursorReading reading;
    reading.DeltaSamples = x2 - x1;
    reading.DeltaMs = history.ElapsedMs(x1, x2);
    for (int t = 0; t < TScopeHistory::Traces; ++t) {
        const std::optional<int32_t> a = history.Value(t, x1);
        const std::optional<int32_t> b = history.Value(t, x2);
        if (a && b)
            reading.DeltaCounts[size_t(t)] = *b - *a;
    }
    return reading;
}

QString Text(const TCursorReading& reading, uint8_t traces)
{
    QStringList parts;
    parts << QStringLiteral("\u0394Samples %1").arg(reading.DeltaSamples);
    parts << (reading.DeltaMs ? QStringLiteral("\u0394Time %1 ms").arg(*reading.DeltaMs, 0, 'f', 1)
                              : QStringLiteral("\u0394Time -"));
    for (int t = 0; t < TScopeHistory::Traces; ++t) {
        const std::optional<int32_t>& d = reading.DeltaCounts[size_t(t)];
        if ((traces & (1u << t)) && d)
            parts << QStringLiteral("\u0394%1%2 %3")
                         .arg(t < 4 ? QStringLiteral("CS") : QStringLiteral("LT"))
                         .arg(t % 4)
                         .arg(*d);
    }
    return parts.join(QStringLiteral("   "));
}

} // namespace ScopeCursors
