// The options of unattended runs, taken out before the program's own command line is parsed.

#include "app/ui/CommandLine.h"
#include "app/ui/UnattendedRun.h"

#include <gtest/gtest.h>

namespace {

TEST(UnattendedRun, OptionsAreTakenOutAndTheRestKeepsItsOrder)
{
    QStringList args{"--simulate", "--autostart", "--sim-rate", "1000", "--log-file", "/tmp/a b.tsv",
                     "--show-scope", "--seed=3", "--exit-stats"};
    TUnattendedRun run;
    QString error;
    ASSERT_TRUE(TakeUnattendedOptions(args, run, error)) << error.toStdString();
    EXPECT_EQ(args, QStringList({"--simulate", "--sim-rate", "1000", "--seed=3"}));
    EXPECT_TRUE(run.AutoStart && run.ShowScope && run.ExitStats);
    EXPECT_EQ(run.LogFile, QStringLiteral("/tmp/a b.tsv"));
    // What is left is the program's own command line.
    TCommandLine commandLine;
    ASSERT_TRUE(ParseCommandLine(args, commandLine, false, error)) << error.toStdString();
    EXPECT_EQ(commandLine.Sim.sampleRateHz, 1000);

    QStringList eq{"--log-file=rows.tsv"};
    TUnattendedRun withEquals;
    ASSERT_TRUE(TakeUnattendedOptions(eq, withEquals, error));
    EXPECT_EQ(withEquals.LogFile, QStringLiteral("rows.tsv"));
    EXPECT_TRUE(eq.isEmpty());
}

TEST(UnattendedRun, ALogFileOptionWithoutANameIsRefused)
{
    for (QStringList args : {QStringList{"--log-file"}, QStringList{"--log-file="}, QStringList{"--log-file", ""}}) {
        TUnattendedRun run;
        QString error;
        EXPECT_FALSE(TakeUnattendedOptions(args, run, error)) << args.join(' ').toStdString();
        EXPECT_EQ(error, QStringLiteral("--log-file needs a file name"));
    }
}

} // namespace
