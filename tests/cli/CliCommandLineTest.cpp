// The command line itself: usage errors, help, and the commands that need no tool.
#include "cli/CliProcess.h"

#include <gtest/gtest.h>

namespace {

void ExpectUsageError(const QStringList& args)
{
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.ExitCode, 2) << args.join(' ').toStdString();
    ASSERT_EQ(run.Err.size(), 2) << run.Err.join('\n').toStdString();
    EXPECT_TRUE(run.Err[0].startsWith("error: "));
    EXPECT_TRUE(run.Err[1].startsWith("usage: kt610b-cli")); // the one-line hint
    EXPECT_TRUE(run.Out.isEmpty());
}

} // namespace

TEST(CliCommandLine, UsageErrorsExitWithTwoAndAHint)
{
    ExpectUsageError({});
    ExpectUsageError({"frobnicate"});
    ExpectUsageError({"--bogus", "list"});
    ExpectUsageError({"errors"});
    ExpectUsageError({"errors", "65536"});
    ExpectUsageError({"errors", "0x10000"});
    ExpectUsageError({"errors", "12abc"});
    ExpectUsageError({"version", "extra"});
    ExpectUsageError({"read", "09"});
    ExpectUsageError({"read", "100", "1"});
    ExpectUsageError({"read", "09", "0"});
    ExpectUsageError({"write", "0A"});
    ExpectUsageError({"write", "0A", "1FF"});
    ExpectUsageError({"--tool"});
    ExpectUsageError({"--tool", "x", "list"});
    ExpectUsageError({"stream", "--frames", "0"});
    ExpectUsageError({"stream", "--frames", "10", "--seconds", "1"});
    ExpectUsageError({"stream", "--seconds", "-1"});
    ExpectUsageError({"stream", "--setup", "wheel,bogus"});
    ExpectUsageError({"save-settings"});
    ExpectUsageError({"load-settings", "a.ini", "b.ini"});
    ExpectUsageError({"export-header"});
    ExpectUsageError({"export-header", "-o"});
    ExpectUsageError({"version", "-o", "x.h"});
    ExpectUsageError({"diff", "a.ini"});
    ExpectUsageError({"diff", "a.ini", "b.ini", "--chip"});
    ExpectUsageError({"version", "--chip"});
    ExpectUsageError({"read", "09", "1", "--settings", "a.ini"});
    ExpectUsageError({"stream", "--demo", "dial"});
    ExpectUsageError({"stream", "--demo", "wheel", "--settings", "a.ini"});
    ExpectUsageError({"stream", "--demo", "wheel", "--setup", "cs"});
    ExpectUsageError({"export-header", "--demo", "wheel", "-o", "x.h"});
    ExpectUsageError({"log"});
    ExpectUsageError({"log", "x.txt", "--mode", "every:0"});
    ExpectUsageError({"log", "x.txt", "--mode", "every:101"});
    ExpectUsageError({"log", "x.txt", "--mode", "some"});
    ExpectUsageError({"log", "x.txt", "--channels", "4"});
    ExpectUsageError({"log", "x.txt", "--columns", "counts,heat"});
    ExpectUsageError({"log", "x.txt", "--events", "touch"}); // events need --mode events
    ExpectUsageError({"log", "x.txt", "--setup", "cs"});
    ExpectUsageError({"stream", "--mode", "all"});
    ExpectUsageError({"version", "--frames", "5"});
    // The simulator's own options are checked by its parser.
    ExpectUsageError({"--simulate=nowhere", "version"});
    ExpectUsageError({"--simulate", "--sim-address", "80", "version"});
    ExpectUsageError({"--seed", "5", "version"}); // a simulator option without --simulate
}

TEST(CliCommandLine, LogRefusesSelectionsAsTheLoggingPageDoes)
{
    const QList<QPair<QStringList, QString>> cases{
        {{"--columns", "counts", "--channels", "none"},
         "error: Please select at least 1 channel to log the selected data option(s)."},
        {{"--columns", "none"}, "error: Please select at least 1 data logging option."},
        {{"--columns", "wheel"}, "error: Please select at least 1 channel specific data logging option."}};
    for (const auto& [options, text] : cases) {
        const CliRun run = RunCli(QStringList{"--simulate", "log", "x.txt"} + options);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Err.value(0), text);
    }
}

TEST(CliCommandLine, DeltasAloneAreRefusedAsTheSettingsWindowRefusesThem)
{
    const CliRun run = RunCli({"--simulate", "stream", "--setup", "deltas"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.value(0).contains("at least one of wheel, pt, cs, lta"));
}

TEST(CliCommandLine, ErrorsPrintsOneTextPerCode)
{
    const CliRun run = RunCli({"errors", "0x0203", "515", "3", "0x0BFE", "0x0C06", "0", "0x0a02", "0x1202"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, (QStringList{"Power already on", "Power already on", "Timeout during operation",
                                    "Invalid Parameter", "Unknown error code", "Unknown error code",
                                    "No. of Bytes exceed maximum", "No of Bytes exceed maximum"}));
    EXPECT_TRUE(run.Err.isEmpty());
}

TEST(CliCommandLine, HelpAndVersion)
{
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    const QString text = help.Out.join('\n');
    for (const char* part : {"usage: kt610b-cli", "stream [--frames N | --seconds S]", "--sim-fault-silent",
                             "--sim-address", "Exit status: 0 success"})
        EXPECT_TRUE(text.contains(part)) << part;

    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, QStringList{"kt610b-cli " KT610B_VERSION});
}
