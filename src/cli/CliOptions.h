#pragma once
// The command line of kt610b-cli: global options, the command and its arguments.

#include "sim/SimOptions.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace CliExit {
constexpr int Success = 0;
constexpr int Failure = 1; // a tool or chip failure
constexpr int Usage = 2;
constexpr int NoTool = 3;  // no configuration tool found
}

enum class TCliCommand { None, List, Errors, Version, Stream, Read, Write };

struct TCliOptions {
    SimOptions Sim;
    int Tool = 0;
    bool Trace = false;
    bool Help = false;
    bool ShowVersion = false;

    TCliCommand Command = TCliCommand::None;
    // errors
    QList<uint16_t> Codes;
    // stream: 0 means no limit; the stream then runs until it is interrupted
    int Frames = 0;
    double Seconds = 0.0;
    uint16_t StreamSetup = 0; // bits of StreamBits
    // read and write
    uint8_t Address = 0;
    int Count = 0;
    QList<uint8_t> Bytes;
};

struct TCliParseResult {
    TCliOptions Options;
    QString Error; // empty: the command line is valid
};

// args: the arguments after the program name.
TCliParseResult ParseCommandLine(const QStringList& args);

QString CliUsageLine();
QString CliHelp();
