#include "sim/SimFaults.h"

TSimFaultInjector::TSimFaultInjector(const SimFaults& faults, uint64_t seed) : FFaults(faults), FRandom(seed) {}

bool TSimFaultInjector::Strikes(const SimFaultRate& rate, quint64& counter)
{
    if (!rate.Active())
        return false;
    ++counter;
    if (rate.everyNth > 0 && counter % quint64(rate.everyNth) == 0)
        return true;
    return FRandom.Chance(rate.probability);
}

bool TSimFaultInjector::Silent() const
{
    return FFaults.silentAfterCommands >= 0 && FCommands >= quint64(FFaults.silentAfterCommands);
}

SimCommandVerdict TSimFaultInjector::OnCommand(uint8_t command, uint16_t& code)
{
    if (Silent()) {
        ++FCounts.ignoredCommands;
        return SimCommandVerdict::Ignore;
    }
    ++FCommands;
    if (FFaults.vanishAtCommand > 0 && FCommands == quint64(FFaults.vanishAtCommand))
        return SimCommandVerdict::Vanish;
    for (SimErrorFault& fault : FFaults.errors) {
        if (fault.command != command || fault.times == 0)
            continue;
        if (fault.times > 0)
            --fault.times;
        code = fault.code;
        ++FCounts.errorReplies;
        return SimCommandVerdict::Error;
    }
    return SimCommandVerdict::Carry;
}

bool TSimFaultInjector::SkipCounter()
{
    const bool skip = Strikes(FFaults.skipCounter, FSkipSeen);
    FCounts.counterSkips += skip ? 1 : 0;
    return skip;
}

std::optional<uint16_t> TSimFaultInjector::StreamError()
{
    if (FFaults.streamError.everyNth <= 0)
        return std::nullopt;
    if (++FFrames % quint64(FFaults.streamError.everyNth) != 0)
        return std::nullopt;
    ++FCounts.streamErrors;
    return FFaults.streamError.code;
}

void TSimFaultInjector::FilterStream(QList<QByteArray>& reports)
{
    if (!FFaults.drop.Active() && !FFaults.duplicate.Active() && !FFaults.reorder.Active() && !FHeld)
        return;
    QList<QByteArray> out;
    for (const QByteArray& report : reports) {
        if (Strikes(FFaults.drop, FDropSeen)) {
            ++FCounts.dropped;
            continue;
        }
        if (!FHeld && Strikes(FFaults.reorder, FReorderSeen)) {
            FHeld = report;
            ++FCounts.reordered;
            continue;
        }
        out.append(report);
        if (FHeld) {
            out.append(*FHeld);
            FHeld.reset();
        }
        if (Strikes(FFaults.duplicate, FDuplicateSeen)) {
            out.append(report);
            ++FCounts.duplicated;
        }
    }
    // When the stream has ended, a held report still goes out, late.
    if (reports.isEmpty() && FHeld) {
        out.append(*FHeld);
        FHeld.reset();
    }
    reports = out;
}
