// Commands against the simulated tool: list, version, read, write, and the ways they fail.
#include "cli/CliProcess.h"

#include <gtest/gtest.h>

namespace {

QStringList Sim(const QStringList& args)
{
    return QStringList{"--simulate", "--seed", "11"} + args;
}

} // namespace

TEST(CliTool, ListShowsEveryToolWithItsFirmware)
{
    CliRun run = RunCli(Sim({"list"}));
    EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
    ASSERT_EQ(run.Out.size(), 1);
    const QStringList fields = run.Out[0].split('\t');
    ASSERT_EQ(fields.size(), 5) << run.Out[0].toStdString();
    EXPECT_EQ(fields[0], "0");
    EXPECT_FALSE(fields[1].isEmpty());
    EXPECT_EQ(fields[2], "2e3c:0c60");
    EXPECT_EQ(fields[3], "KC60-SIM-0001");
    EXPECT_EQ(fields[4], "V01.06 Build 19 Release Customer");

    run = RunCli(Sim({"--sim-model", "KD30", "--sim-fw-version", "0127", "--sim-fw-build", "1", "--sim-fw-release",
                      "0A", "--sim-serial", "BENCH-7", "list"}));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out.value(0).section('\t', 2), "2e3c:0d30\tBENCH-7\tV01.27 Build 1 Release Alpha");

    run = RunCli(Sim({"--sim-fw-release", "0D", "list"}));
    EXPECT_TRUE(run.Out.value(0).endsWith("Release Custom"));
}

TEST(CliTool, VersionPrintsAddressAndVersionLinesAndPowersOff)
{
    const CliRun run = RunCli(Sim({"version"}));
    EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
    EXPECT_EQ(run.Out, (QStringList{"Device Address : 44H", "Device Version (PROD:SW):  67 : 3"}));
    EXPECT_TRUE(run.ErrHas("info: Device Address : 44H"));
    EXPECT_TRUE(run.ErrHas("info: Device Version (PROD:SW):  67 : 3"));
    EXPECT_EQ(run.Err.last(), "info: Device powered off");

    const CliRun at46 = RunCli(Sim({"--sim-address", "46", "version"}));
    EXPECT_EQ(at46.ExitCode, 0);
    EXPECT_EQ(at46.Out.value(0), "Device Address : 46H");
}

TEST(CliTool, TraceShowsTheSetUpReportsInProtocolOrder)
{
    const CliRun run = RunCli(Sim({"--trace", "version"}));
    EXPECT_EQ(run.ExitCode, 0);
    const QStringList reports = run.Reports();
    ASSERT_EQ(reports.size(), 13) << run.Err.join('\n').toStdString();
    const QString zeros = QString("00 ").repeated(30);
    // Report ID, message ID from 2 on, command, count, payload; 37 bytes each.
    EXPECT_EQ(reports[0], "00 02 01 02 00 03 00 " + zeros);
    EXPECT_EQ(reports[1], "00 03 07 01 01 00 00 " + zeros);
    EXPECT_EQ(reports[2], "00 04 06 01 02 00 00 " + zeros);
    EXPECT_EQ(reports[3], "00 05 05 02 04 01 00 " + zeros);
    EXPECT_TRUE(reports[4].startsWith("00 06 0F 06 03 02 44 03 02 01 00 "));
    for (int i = 0; i < reports.size(); ++i)
        EXPECT_EQ(reports[i].mid(3, 2), QString("%1").arg(i + 2, 2, 16, QChar('0')).toUpper());
    // Power on, probe at 44, version read; then power off and event mode off.
    EXPECT_EQ(run.Commands(), (QStringList{"01", "07", "06", "05", "0F", "11", "02", "11", "0F", "12", "12", "03",
                                           "1A"}));
    EXPECT_TRUE(reports[9].startsWith("00 0B 12 01 00 02 "));
}

TEST(CliTool, NoChipOnTheBusFailsAfterProbingEveryAddress)
{
    const CliRun run = RunCli(Sim({"--trace", "--sim-address", "none", "version"}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.ErrHas("error: No chip answered on the I2C bus (addresses 44H to 47H)"));
    QStringList probed;
    for (const QString& r : run.Reports())
        if (r.mid(6, 2) == "0F")
            probed << r.mid(18, 2);
    EXPECT_EQ(probed, (QStringList{"44", "44", "45", "46", "47"})); // the set-up's own ConfigI2C first
    EXPECT_EQ(run.Commands().mid(run.Commands().size() - 2), (QStringList{"03", "1A"})); // powered off again
}

TEST(CliTool, SilentToolTimesOutWithinSeconds)
{
    const CliRun run = RunCli(Sim({"--sim-fault-silent", "version"}));
    EXPECT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Timeout during operation"));
    EXPECT_LT(run.ElapsedMs, 5000);

    // A tool that goes silent in the middle of the start road: the teardown does not wait per command.
    const CliRun late = RunCli(Sim({"--sim-fault-silent=3", "stream", "--frames", "5"}));
    EXPECT_EQ(late.ExitCode, 1);
    EXPECT_TRUE(late.ErrHas("error: Timeout during operation"));
    EXPECT_LT(late.ElapsedMs, 6000);
}

// No tool: the simulator with its tool unplugged (a real backend with none attached gives the same).
TEST(CliTool, NoToolExitsWithThree)
{
    for (const char* command : {"list", "version", "stream"}) {
        const CliRun run = RunCli(Sim({"--sim-unplugged", command}));
        EXPECT_EQ(run.ExitCode, 3) << command;
        EXPECT_TRUE(run.ErrHas("error: No configuration tool found")) << command;
    }
    const CliRun beyond = RunCli(Sim({"--tool", "1", "version"}));
    EXPECT_EQ(beyond.ExitCode, 3);
    EXPECT_TRUE(beyond.ErrHas("error: No configuration tool with index 1 (1 found)"));
}

TEST(CliTool, ReadPrintsTheRegisterBytes)
{
    CliRun run = RunCli(Sim({"read", "09", "5"}));
    EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
    EXPECT_EQ(run.Out, QStringList{"00 11 00 00 BF"});

    run = RunCli(Sim({"read", "0x0A", "8"}));
    EXPECT_EQ(run.Out, QStringList{"04 10 10 10 03 00 14 04"});

    // More than one reply carries is refused before anything is sent, not padded with zeros.
    run = RunCli(Sim({"--trace", "read", "00", "62"}));
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.ErrHas("error: This tool reads at most 61 bytes at a time"));
    EXPECT_TRUE(run.Reports().isEmpty());
}

TEST(CliTool, WriteSendsTheAddressFirstAndReportsToolErrors)
{
    CliRun run = RunCli(Sim({"--trace", "write", "0x0A", "04", "10", "10", "10", "3", "00", "14", "4"}));
    EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.ErrHas("info: Command sent successfully"));
    const QStringList writes = run.Reports().filter(QRegularExpression("^00 .. 0B "));
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].startsWith("00 0C 0B 09 0A 04 10 10 10 03 00 14 04 00 "));

    run = RunCli(Sim({"--sim-fault-error", "0B:0B01", "write", "0A", "1"}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Comms type not selected"));
    EXPECT_FALSE(run.ErrHas("info: Command sent successfully"));
    EXPECT_EQ(run.Err.last(), "info: Device powered off");
}

TEST(CliTool, FailedPowerOffIsNotSuccess)
{
    // Power-off refused by the tool: the session says "Device powered off", the exit status must not.
    const CliRun run = RunCli(Sim({"--sim-fault-error", "03:0301", "version"}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Device power could not be switched off"));
}
