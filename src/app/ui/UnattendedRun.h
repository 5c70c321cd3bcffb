#pragma once
// Options for runs without a user at the screen (soak runs, demonstrations): start streaming, show the
// scope, log every frame and print the run's counters at exit.

#include <QString>
#include <QStringList>

struct TUnattendedRun {
    bool AutoStart = false;
    bool ShowScope = false;
    QString LogFile;
    bool ExitStats = false;
};

// Takes these options out of args. False with error set on a bad one.
bool TakeUnattendedOptions(QStringList& args, TUnattendedRun& run, QString& error);

// Lines for --help.
QString UnattendedHelp();

// Call once the windows exist.
void StartUnattended(const TUnattendedRun& run);

// The run's counters on standard output: frames decoded, data-missed notices, reports dropped.
void PrintRunStatistics();
