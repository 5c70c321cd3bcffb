#pragma once
// The program's command line: help, version, the simulator options and the copy-data client.

#include "sim/SimOptions.h"

#include <QString>
#include <QStringList>

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    bool SendMessage = false;
    QString Message;
    SimOptions Sim;
    QString ReplayFile; // --replay: a recording played back as the tool
};

// Parses the arguments after the program name. With ignoreUnknown, single-dash arguments that are none of
// the program's (the toolkit's own, say) are passed over. False with error set on a bad argument.
bool ParseCommandLine(const QStringList& args, TCommandLine& commandLine, bool ignoreUnknown, QString& error);

// The text of --help.
QString CommandLineHelp();
