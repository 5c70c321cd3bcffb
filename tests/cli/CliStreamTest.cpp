// The stream command: frame lines, the set-up, and every way a stream ends.
#include "cli/CliProcess.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QString Header = "frame\tflags\tevents\twheel\trelative\tprox\ttouch\thalt\tlp_count\tlp_lta\t"
                       "count0\tcount1\tcount2\tcount3\tlta0\tlta1\tlta2\tlta3\t"
                       "delta0\tdelta1\tdelta2\tdelta3\ttth1\ttth2\ttth3";

int Column(const QString& name)
{
    return int(Header.split('\t').indexOf(name));
}

QString Field(const QString& line, const QString& name)
{
    return line.split('\t').value(Column(name));
}

int Number(const QString& line, const QString& name)
{
    return Field(line, name).toInt();
}

// After the last stream start: the stop (0x0D) and then the power-off (0x03).
void ExpectStoppedAndPoweredOff(const CliRun& run)
{
    const QStringList commands = run.Commands();
    const qsizetype start = commands.lastIndexOf("15");
    ASSERT_GE(start, 0);
    const qsizetype stop = commands.indexOf("0D", start);
    ASSERT_GT(stop, start) << commands.join(' ').toStdString();
    EXPECT_GT(commands.indexOf("03", stop), stop) << commands.join(' ').toStdString();
    EXPECT_TRUE(run.ErrHas("info: Device powered off"));
}

} // namespace

TEST(CliStream, TwoHundredFramesFollowTheDemoScenario)
{
    const QStringList args{"--simulate", "--seed", "42", "stream", "--frames", "200"};
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
    ASSERT_EQ(run.Out.size(), 201);
    EXPECT_EQ(run.Out[0], Header);
    for (const char* info : {"info: Device Address : 44H", "info: Device Version (PROD:SW):  67 : 3",
                             "info: Settings reset to default", "info: Device streaming started"})
        EXPECT_TRUE(run.ErrHas(info)) << info;

    bool sawATIBusy = false;
    for (int i = 1; i <= 200; ++i) {
        const QString& line = run.Out[i];
        ASSERT_EQ(line.split('\t').size(), 25) << line.toStdString();
        EXPECT_EQ(Number(line, "frame"), i);
        const int flags = Field(line, "flags").toInt(nullptr, 16);
        sawATIBusy = sawATIBusy || (flags & 0x04);
        // Nothing touches the keys in the first seconds of the demo.
        EXPECT_EQ(Field(line, "touch"), "00") << line.toStdString();
        for (int c = 0; c < 4; ++c) {
            const QString n = QString::number(c);
            // Deltas are computed from counts and averages: the chip is in self mode here.
            EXPECT_EQ(Number(line, "delta" + n), Number(line, "lta" + n) - Number(line, "count" + n));
        }
    }
    EXPECT_TRUE(sawATIBusy);
    // After the power-up ATI the chip is tuned: counts sit on their averages, no ATI busy any more.
    const QString& last = run.Out[200];
    EXPECT_EQ(Field(last, "flags").toInt(nullptr, 16) & 0x04, 0);
    for (int c = 1; c < 4; ++c) {
        const QString n = QString::number(c);
        EXPECT_GT(Number(last, "lta" + n), 0);
        EXPECT_LT(std::abs(Number(last, "delta" + n)), Number(last, "lta" + n) / 10) << last.toStdString();
        EXPECT_GT(Number(last, "tth" + n), 0);
    }

    // The same seed gives the same chip: the tuned averages agree. (The frames themselves may start a sample
    // earlier or later, as the simulated chip runs in real time.)
    const CliRun again = RunCli(args);
    ASSERT_EQ(again.Out.size(), 201);
    for (int c = 1; c < 4; ++c) {
        const QString lta = "lta" + QString::number(c);
        EXPECT_NEAR(Number(again.Out[200], lta), Number(last, lta), 3) << lta.toStdString();
    }
}

TEST(CliStream, SetupSelectsTheStreamedBlocks)
{
    const CliRun run = RunCli({"--simulate", "--seed", "3", "--trace", "stream", "--frames", "20", "--setup", "cs"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
    ASSERT_EQ(run.Out.size(), 21);
    // Flags and counts only: a 12-byte frame, and a map with 0x01 at 0 and 0x04 at 2.
    const QStringList reports = run.Reports();
    const QStringList lengths = reports.filter(QRegularExpression("^00 .. 14 02 00 0C "));
    EXPECT_FALSE(lengths.isEmpty());
    EXPECT_FALSE(reports.filter(QRegularExpression("^00 .. 15 00 01 00 04 00 ")).isEmpty());
    const QString& line = run.Out[20];
    EXPECT_GT(Number(line, "count1"), 0);
    EXPECT_EQ(Number(line, "lta1"), 0);    // not streamed: kept at 0 since the start
    EXPECT_EQ(Number(line, "delta1"), 0);  // no averages to compute it from
    EXPECT_EQ(Field(line, "wheel"), "0");
}

TEST(CliStream, SecondsLimitTheRun)
{
    const CliRun run = RunCli({"--simulate", "stream", "--seconds", "1"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_GT(run.Out.size(), 50);   // 100 frames a second
    EXPECT_LT(run.Out.size(), 160);
    EXPECT_LT(run.ElapsedMs, 5000);
}

TEST(CliStream, InterruptStopsStreamingAndPowersOff)
{
    for (int signalNumber : {SIGINT, SIGTERM}) {
        const CliRun run = RunCli({"--simulate", "--trace", "stream"}, 20000, 30, signalNumber);
        EXPECT_TRUE(run.Finished);
        EXPECT_EQ(run.ExitCode, 0) << run.Err.join('\n').toStdString();
        EXPECT_GE(run.Out.size(), 30);
        ExpectStoppedAndPoweredOff(run);
        // Every frame line is complete.
        for (const QString& line : run.Out.mid(1))
            EXPECT_EQ(line.split('\t').size(), 25);
    }
}

TEST(CliStream, ClosedOutputPipeEndsTheStreamCleanly)
{
    // head closes the pipe after three lines; standard error goes to a file to show the teardown.
    const QString err = QString(KT610B_BINARY_DIR "/cli-pipe-test.err");
    QProcess shell;
    shell.start("/bin/sh", {"-c", QString("'%1' --simulate --trace stream 2>'%2' | head -n 3; cat '%2' >&2")
                                      .arg(CliBinary(), err)});
    ASSERT_TRUE(shell.waitForFinished(15000));
    EXPECT_EQ(Lines(shell.readAllStandardOutput()).size(), 3);
    CliRun run;
    run.Err = Lines(shell.readAllStandardError());
    ExpectStoppedAndPoweredOff(run);
    QFile::remove(err);
}

TEST(CliStream, ToolPulledOutEndsTheStreamWithAFailure)
{
    const CliRun run = RunCli({"--simulate", "--sim-fault-vanish", "1500", "stream"});
    EXPECT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Streaming device disconnected!"));
    EXPECT_LT(run.ElapsedMs, 6000);
}

TEST(CliStream, NoChipFailsTheStart)
{
    const CliRun run = RunCli({"--simulate", "--sim-address", "none", "stream", "--frames", "5"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.ErrHas("warning: Unable to start device streaming!"));
    EXPECT_TRUE(run.ErrHas("error: No chip answered on the I2C bus (addresses 44H to 47H)"));
}

TEST(CliStream, StreamingErrorsOfTheToolFailTheRun)
{
    const CliRun run = RunCli({"--simulate", "--sim-fault-stream-error", "000E:50", "stream", "--frames", "120"});
    EXPECT_EQ(run.Out.size(), 121);
    EXPECT_TRUE(run.ErrHas("error: No comms reply"));
    EXPECT_EQ(run.ExitCode, 1);
}

TEST(CliStream, DataGapsAreWarnedAboutOnceAndCounted)
{
    const CliRun run = RunCli({"--simulate", "--seed", "5", "--sim-fault-drop", "10", "stream", "--frames", "100"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out.size(), 101);
    EXPECT_EQ(run.Err.count("warning: Some Data Missed"), 1);
    EXPECT_EQ(run.Err.filter(QRegularExpression("^warning: Some Data Missed \\(\\d+ times\\)$")).size(), 1);
}
