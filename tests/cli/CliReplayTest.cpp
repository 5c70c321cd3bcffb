// Recording a stream on the command line, replaying it as the tool and the what-if over it.

#include "cli/CliProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The stream columns that come from the chip: everything but the frame number.
QStringList Values(const QStringList& lines)
{
    QStringList values;
    for (const QString& line : lines)
        values << line.section(QLatin1Char('\t'), 1);
    return values;
}

TEST(CliReplay, RecordedStreamReplaysAndFeedsTheWhatIf)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("run.ktrec");
    const CliRun recorded = RunCli({"--simulate=wheel", "--seed", "5", "stream", "--frames", "300", "--record", file});
    ASSERT_EQ(recorded.ExitCode, 0) << recorded.Err.join('\n').toStdString();
    ASSERT_EQ(recorded.Out.size(), 301);

    // The replayed stream prints the recorded frames after the replayed chip's own power-up tuning, then ends
    // with the recording.
    const CliRun replayed = RunCli({"--replay", file, "stream"});
    ASSERT_EQ(replayed.ExitCode, 0) << replayed.Err.join('\n').toStdString();
    EXPECT_TRUE(replayed.ErrHas("info: End of recording"));
    ASSERT_GE(replayed.Out.size(), 301);
    // The recording began with streaming, before the program had read the actual base values; the replaying
    // program reads them during the replayed chip's tuning, so only the first frame's touch thresholds differ.
    const QStringList tail = replayed.Out.mid(replayed.Out.size() - 299);
    const QStringList expected = Values(recorded.Out.mid(2));
    EXPECT_TRUE(Values(tail) == expected) << "first difference at frame "
                                          << std::distance(expected.begin(), std::mismatch(expected.begin(),
                                                 expected.end(), Values(tail).begin()).first) + 2;

    const CliRun same = RunCli({"whatif", file});
    ASSERT_EQ(same.ExitCode, 0) << same.Err.join('\n').toStdString();
    ASSERT_GE(same.Out.size(), 2);
    EXPECT_EQ(same.Out[0], "time\tframe\tchannel\tevent\tsource");
    const int touches = int(same.Out.filter("\ttouch\ton\t").size());
    EXPECT_GT(touches, 0);
    // With the recorded thresholds the touches are the chip's own.
    EXPECT_EQ(same.Out.filter("\ttouch\ton\tboth").size(), touches);

    // A touch threshold above every touch leaves only the chip's events.
    const CliRun high = RunCli({"whatif", file, "--touch-th", "255", "--prox-th", "255"});
    ASSERT_EQ(high.ExitCode, 0);
    EXPECT_TRUE(high.Out.filter("what-if").isEmpty());
    EXPECT_TRUE(high.Out.filter("both").isEmpty());
    EXPECT_EQ(high.Out.filter("\ton\tchip").size(), same.Out.filter("\ton\tboth").size()
                                                          + same.Out.filter("\ton\tchip").size());

    EXPECT_EQ(RunCli({"whatif", file, "--debounce", "0"}).ExitCode, 2);
    EXPECT_EQ(RunCli({"whatif", file, "--touch-th", "1,2"}).ExitCode, 2);
    EXPECT_EQ(RunCli({"stream", "--prox-th", "3"}).ExitCode, 2);
    const CliRun missing = RunCli({"whatif", dir.filePath("none.ktrec")});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_TRUE(missing.Err.join('\n').contains("Unable to open"));
}

} // namespace
