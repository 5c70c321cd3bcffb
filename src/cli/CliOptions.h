#pragma once
// The command line of kt610b-cli: global options, the command and its arguments.

#include "persist/DataLog.h"
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

enum class TCliCommand { None, List, Errors, Version, Stream, Read, Write, SaveSettings, LoadSettings, ExportHeader, Log, Diff, WhatIf };

struct TCliOptions {
    SimOptions Sim;
    int Tool = 0;
    bool Trace = false;
    bool Help = false;
    bool ShowVersion = false;

    TCliCommand Command = TCliCommand::None;
    // errors
    QList<uint16_t> Codes;
    // stream and log: 0 means no limit; they then run until interrupted
    int Frames = 0;
    double Seconds = 0.0;
    uint16_t StreamSetup = 0; // bits of StreamBits
    // read and write
    uint8_t Address = 0;
    int Count = 0;
    QList<uint8_t> Bytes;
    // The set-up loaded after the start road (stream, log, version), or the values of an export without a
    // tool: a settings file, or a demonstration set-up as the start-up chooser numbers them (1..4, 0 none).
    QString SettingsFile;
    uint8_t Demo = 0;
    // save-settings, load-settings, log and export-header: the file written or read.
    QString File;
    // log: the data-logging page's choices.
    TDataLogControls Log;
    // diff: the files compared; with Chip the second side is the chip.
    QString FileA, FileB;
    bool Chip = false;
    // stream and log: a frame recording written beside; global: a recording played back as the tool.
    QString RecordFile;
    QString ReplayFile;
    // whatif: the recording and the thresholds and debounce that replace the recorded ones (-1: recorded).
    int WhatIfProx = -1;
    QList<int> WhatIfTouch; // one for all touch channels, or CH1, CH2, CH3
    int WhatIfDebounce = -1;
    int WhatIfRelease = -1;

    // Runs without a configuration tool.
    bool Offline() const
    {
        return Command == TCliCommand::Diff       ? !Chip
               : Command == TCliCommand::WhatIf ? true
                                                : Command == TCliCommand::ExportHeader && !SettingsFile.isEmpty();
    }
};

struct TCliParseResult {
    TCliOptions Options;
    QString Error; // empty: the command line is valid
};

// args: the arguments after the program name.
TCliParseResult ParseCommandLine(const QStringList& args);

QString CliUsageLine();
QString CliHelp();
