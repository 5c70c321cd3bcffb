#pragma once
// Fault injection on the tool's side of the wire: lost, doubled and swapped stream reports, skipped frame
// counter values, error replies, streaming errors, a hung tool and a tool pulled out mid-transaction.

#include "sim/SimOptions.h"
#include "sim/SimRandom.h"

#include <QByteArray>
#include <QList>
#include <optional>

enum class SimCommandVerdict {
    Carry,  // carry the command out and answer it
    Error,  // answer with the error code given
    Ignore, // no answer at all
    Vanish  // the tool is pulled out before it answers
};

struct SimFaultCounts {
    quint64 dropped = 0, duplicated = 0, reordered = 0, counterSkips = 0, errorReplies = 0, streamErrors = 0,
            ignoredCommands = 0;
};

class TSimFaultInjector {
public:
    TSimFaultInjector(const SimFaults& faults, uint64_t seed);

    // Called once per command received.
    SimCommandVerdict OnCommand(uint8_t command, uint16_t& code);
    // The tool hangs: it sends nothing at all.
    bool Silent() const;
    // Per stream frame.
    bool SkipCounter();
    std::optional<uint16_t> StreamError();
    // Per batch of stream reports: drops, duplicates and swaps reports in place.
    void FilterStream(QList<QByteArray>& reports);

    const SimFaultCounts& Counts() const { return FCounts; }

private:
    bool Strikes(const SimFaultRate& rate, quint64& counter);

    SimFaults FFaults;
    TSimRandom FRandom;
    quint64 FCommands = 0;
    quint64 FDropSeen = 0, FDuplicateSeen = 0, FReorderSeen = 0, FSkipSeen = 0, FFrames = 0;
    std::optional<QByteArray> FHeld; // a report waiting to go out after the next one
    SimFaultCounts FCounts;
};
