#pragma once
// What the built-in simulator is asked to be: chip address, clock, tool identity and injected faults,
// and the command-line options that set them.

#include <QList>
#include <QString>
#include <cstdint>

// How often a stream-report fault strikes: every Nth report, or with a probability per report.
struct SimFaultRate {
    int everyNth = 0;         // 0: not by count
    double probability = 0.0; // 0: not by chance
    bool Active() const { return everyNth > 0 || probability > 0.0; }
};

// A command answered with an error reply instead of being carried out.
struct SimErrorFault {
    uint8_t command = 0;
    uint16_t code = 0;
    int times = -1; // -1: every time; otherwise only the next N times
};

// An error report sent by the tool, unasked, every Nth stream frame.
struct SimStreamErrorFault {
    uint16_t code = 0;
    int everyNth = 0;
};

// Every fault is off by default.
struct SimFaults {
    SimFaultRate drop;        // stream reports lost
    SimFaultRate duplicate;   // stream reports sent twice
    SimFaultRate reorder;     // a stream report swapped with the one after it
    SimFaultRate skipCounter; // a frame counter value skipped
    QList<SimErrorFault> errors;
    SimStreamErrorFault streamError;
    int silentAfterCommands = -1; // -1: never; N: the tool hangs after answering N commands (0: from the start)
    int vanishAfterMs = -1;       // -1: never; the tool is pulled out this long after it was plugged in
    int vanishAtCommand = -1;     // -1: never; the tool is pulled out when its Nth command arrives, unanswered
};

struct SimOptions {
    bool simulate = false;       // --simulate was given
    QString scenario = QStringLiteral("demo");
    int chipAddress = 0x44;      // -1: no chip on the bus
    quint64 seed = 0;            // 0: from the clock
    bool manualClock = false;    // samples only on Advance()
    int sampleRateHz = 100;
    bool plugged = true;         // the tool is plugged in at start
    uint16_t productId = 0x0C60; // KC60
    uint32_t firmwareVersion = 0x0106;
    uint8_t firmwareBuild = 19;
    uint8_t firmwareRelease = 0x0C;
    QString serialNumber = QStringLiteral("KC60-SIM-0001");
    int dfuDelayMs = 3000;       // how long the tool stays away after EnterDFU
    SimFaults faults;
};

constexpr int SimMaxSampleRateHz = 20000;

// Handles one command-line argument if it is a simulator option. Returns false when it is not one.
// When it is, returns true; error is then empty on success or says what is wrong with the value.
// next is the following argument; consumedNext tells whether the option took it as its value.
bool ParseSimulatorArgument(const QString& arg, const QString& next, SimOptions& options, bool& consumedNext,
                            QString& error);

// The lines describing every simulator option, for --help.
QString SimulatorOptionsHelp();
