// The data log over decoded frames: header and rows, the three row triggers, and failures of the file.
#include "core/session_support.h"
#include "hid/VirtualHidBackend.h"
#include "persist/DataLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

namespace {

class DataLogTest : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    std::unique_ptr<TMainCore> Core =
        std::make_unique<TMainCore>(std::make_shared<VirtualHidBackend>(), &Messages, &View);
    TDataLog& Log = *Core->DataLog;
    QTemporaryDir Dir;
    QString FileName = Dir.filePath("log.txt");
    QDateTime Clock = QDateTime(QDate(2026, 3, 14), QTime(14, 3, 27, 42));
    int Stops = 0;

    void SetUp() override
    {
        // Flags, coordinates, prox and touch, counts, averages: what the default set-up streams.
        TStreamSetup& s = Core->StreamSetup;
        s.SysFlagsActive = s.WheelActive = s.PTActive = s.CSActive = s.LTAActive = true;
        s.DeltasActive = false;
        s.SysFlagsStartIndex = 3, s.WheelStartIndex = 5, s.PTStartIndex = 8, s.CSStartIndex = 10;
        s.LTAStartIndex = 20;
        s.FStreamLength = 27;
        Log.Now = [this] { return Clock; };
        Log.OnStopped = [this] { ++Stops; };
    }

    // One frame: flags, wheel position, prox/touch status, and count and average c*100 + base for channel c.
    void Frame(uint8_t flags, uint8_t status, int base = 1000, uint8_t wheel = 40)
    {
        FrameBuilder f;
        f.Flags(flags, 0).Coordinates(wheel, 0x02, 0x00).ProxTouch(status, 0).Word(0);
        for (int c = 0; c < 4; ++c)
            f.Word(uint16_t(base + c * 100));
        f.Word(0);
        for (int c = 0; c < 4; ++c)
            f.Word(uint16_t(base + 10 + c * 100));
        Feed(*Core, f);
        Clock = Clock.addMSecs(10);
    }

    bool Start(int mode)
    {
        Log.Controls.LogCombo = mode;
        Log.PrepareMode();
        Log.FirstTime = true;
        return Log.Start(FileName);
    }

    QStringList Lines() const
    {
        QFile f(FileName);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QString text = QString::fromLatin1(f.readAll());
        EXPECT_TRUE(text.isEmpty() || text.endsWith("\r\n"));
        text.chop(2);
        return text.split("\r\n");
    }
    QStringList Rows() const { return Lines().mid(1); }
};

TEST_F(DataLogTest, HeaderColumnsFollowTheChoices)
{
    TDataLogControls& c = Log.Controls;
    EXPECT_EQ(Log.HeaderLine(), "Time Stamp\tTime Difference (ms)\tCount CH0\tCount CH1\tCount CH2\tCount CH3"
                                "\tLTA CH0\tLTA CH1\tLTA CH2\tLTA CH3\r\n");

    c = TDataLogControls{};
    c.LogChCheck = {false, true, false, true};
    c.LogWheelCheck = c.LogRelativeCheck = c.LogDeltaCheck = c.LogProxCheck = c.LogTouchCheck = true;
    c.LogLTACheck = false;
    // No prox column without channel 0; touch never has channel 0.
    EXPECT_EQ(Log.HeaderLine(), "Time Stamp\tTime Difference (ms)\tWheel Data\tRelative Coords\tCount CH1\tCount CH3"
                                "\tDelta CH1\tDelta CH3\tTouch CH1\tTouch CH3\r\n");
    c.LogChCheck = {true, false, false, false};
    c.LogCountsCheck = c.LogDeltaCheck = c.LogWheelCheck = c.LogRelativeCheck = false;
    EXPECT_EQ(Log.HeaderLine(), "Time Stamp\tTime Difference (ms)\tProx CH0\r\n");

    c = TDataLogControls{};
    c.LogChCheck = {false, false, false, false};
    c.LogCountsCheck = c.LogLTACheck = false;
    c.LogWheelCheck = true;
    EXPECT_EQ(Log.HeaderLine(), "Time Stamp\tTime Difference (ms)\tWheel Data\r\n");
}

TEST_F(DataLogTest, SelectionChecksInTheirOrder)
{
    TDataLogControls& c = Log.Controls;
    EXPECT_EQ(Log.ValidationError(), QString());
    c.LogChCheck = {false, false, false, false};
    EXPECT_EQ(Log.ValidationError(), "Please select at least 1 channel to log the selected data option(s).");
    c.LogCountsCheck = c.LogLTACheck = false;
    EXPECT_EQ(Log.ValidationError(), "Please select at least 1 data logging option.");
    c.LogRelativeCheck = true;
    EXPECT_EQ(Log.ValidationError(), QString());
    c.LogChCheck[2] = true;
    EXPECT_EQ(Log.ValidationError(), "Please select at least 1 channel specific data logging option.");
}

TEST_F(DataLogTest, MissingStreamsAreFoundAndSelected)
{
    TDataLogControls& c = Log.Controls;
    TStreamSetup& s = Core->StreamSetup;
    EXPECT_FALSE(Log.StreamsMissing());
    s.LTAActive = false;
    s.WheelActive = false;
    c.LogDeltaCheck = true; // deltas are not part of the check
    EXPECT_TRUE(Log.StreamsMissing());
    Core->Settings.LTACheck = Core->Settings.WheelCheck = false;
    Log.SelectMissingStreams();
    EXPECT_TRUE(Core->Settings.LTACheck);
    EXPECT_FALSE(Core->Settings.WheelCheck); // no coordinates wanted
    c.LogLTACheck = false;
    EXPECT_FALSE(Log.StreamsMissing());
    c.LogTouchCheck = true;
    s.PTActive = false;
    EXPECT_TRUE(Log.StreamsMissing());
}

TEST_F(DataLogTest, RowsCarryTimeDifferenceAndValuesInHeaderOrder)
{
    TDataLogControls& c = Log.Controls;
    c.LogWheelCheck = c.LogRelativeCheck = c.LogDeltaCheck = c.LogProxCheck = c.LogTouchCheck = true;
    c.LogChCheck = {true, false, true, true};
    ASSERT_TRUE(Start(lmAllSamples));
    EXPECT_TRUE(Messages.HasInfo("Data log started"));
    Frame(0x00, 0x05, 1000); // prox and a touch on channel 2
    Clock = Clock.addMSecs(1234);
    Frame(0x00, 0x00, 2000);
    Log.Stop();
    EXPECT_TRUE(Messages.HasInfo("Data log stopped"));
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Time Stamp\tTime Difference (ms)\tWheel Data\tRelative Coords\tCount CH0\tCount CH2\t"
                        "Count CH3\tLTA CH0\tLTA CH2\tLTA CH3\tDelta CH0\tDelta CH2\tDelta CH3\tProx CH0\t"
                        "Touch CH2\tTouch CH3");
    // Self-capacitance: delta = average - count.
    EXPECT_EQ(lines[1], "14:03:27.(042)\t-\t40\t2\t1000\t1200\t1300\t1010\t1210\t1310\t10\t10\t10\t1\t1\t0");
    EXPECT_EQ(lines[2], "14:03:28.(286)\t1244\t40\t2\t2000\t2200\t2300\t2010\t2210\t2310\t10\t10\t10\t0\t0\t0");
}

TEST_F(DataLogTest, EachLogStartsWithADashAndMidnightCountsForward)
{
    Clock = QDateTime(QDate(2026, 3, 14), QTime(23, 59, 59, 990));
    ASSERT_TRUE(Start(lmAllSamples));
    Frame(0, 0);
    Frame(0, 0); // 00:00:00.000 of the next day
    Log.Stop();
    QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].startsWith("23:59:59.(990)\t-\t"));
    EXPECT_TRUE(rows[1].startsWith("00:00:00.(000)\t10\t"));

    ASSERT_TRUE(Start(lmAllSamples));
    Frame(0, 0);
    Log.Stop();
    rows = Rows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].section('\t', 1, 1), "-");
}

TEST_F(DataLogTest, EveryFifthFrameFromTheFifth)
{
    Log.Controls.SampleRateSpin = 5;
    ASSERT_TRUE(Start(lmEverySamples));
    for (int n = 1; n <= 12; ++n)
        Frame(0, 0, n);
    const QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].section('\t', 2, 2), "5");
    EXPECT_EQ(rows[1].section('\t', 2, 2), "10");
    EXPECT_EQ(rows[1].section('\t', 1, 1), "50");
}

TEST_F(DataLogTest, EventsOnlyLogsAThreeFrameProxAsFourRows)
{
    Log.Controls.ProxEventCheck = true;
    ASSERT_TRUE(Start(lmEventsOnly));
    EXPECT_TRUE(Core->FLogEvents);
    const uint8_t statuses[] = {0, 0, 1, 1, 1, 0, 0, 0x02, 0x02, 0};
    for (int n = 0; n < 10; ++n)
        Frame(0, statuses[n], n + 1);
    // Frames 3 to 5 with prox, frame 6 as it ends; touches are not chosen.
    const QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 4);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(rows[r].section('\t', 2, 2), QString::number(r + 3));
}

TEST_F(DataLogTest, EventsOnlyFollowsTouchesWheelAndLowPowerWhenChosen)
{
    Log.Controls.TouchEventCheck = true;
    Log.Controls.LowPowerCheck = true;
    ASSERT_TRUE(Start(lmEventsOnly));
    Frame(0, 0, 1);
    Frame(0, 0x08, 2); // touch on channel 3
    Frame(0, 0, 3);    // released
    Frame(0, 0, 4);
    Frame(0x01, 0, 5); // low power entered: rows while it lasts
    Frame(0x01, 0, 6);
    Frame(0x00, 0, 7); // left
    Frame(0x00, 0, 8);
    QStringList counts;
    for (const QString& row : Rows())
        counts << row.section('\t', 2, 2);
    EXPECT_EQ(counts, (QStringList{"2", "3", "5", "6"}));

    // The wheel event holds on every frame that carries coordinates.
    Log.Stop();
    Log.Controls = TDataLogControls{};
    Log.Controls.WheelEventCheck = true;
    ASSERT_TRUE(Start(lmEventsOnly));
    Frame(0, 0, 1);
    Frame(0, 0, 2);
    EXPECT_EQ(Rows().size(), 2);
}

TEST_F(DataLogTest, AllSamplesWritesAndFlushesEveryFrame)
{
    ASSERT_TRUE(Start(lmAllSamples));
    for (int n = 0; n < 3; ++n) {
        Frame(0, 0, n);
        // On disk before the next frame.
        EXPECT_EQ(Rows().size(), n + 1);
    }
    // No rows while nothing logs.
    Log.Stop();
    Frame(0, 0);
    EXPECT_EQ(Rows().size(), 3);
}

TEST_F(DataLogTest, AFileThatCannotBeCreatedFailsTheStart)
{
    FileName = Dir.filePath("missing/log.txt");
    EXPECT_FALSE(Start(lmAllSamples));
    EXPECT_FALSE(Log.FDoLog);
    EXPECT_TRUE(Messages.HasError("Unabled to start data log!"));
    EXPECT_FALSE(Messages.HasInfo("Data log started"));
}

TEST_F(DataLogTest, AFullDiskStopsTheLogAndKeepsItsRows)
{
    ASSERT_TRUE(Start(lmAllSamples));
    Frame(0, 0);
    Frame(0, 0);
    QFile f(FileName);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = rlim_t(before.size() + 20); // room for part of one row
    setrlimit(RLIMIT_FSIZE, &small);
    Frame(0, 0);
    Frame(0, 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(Log.FDoLog);
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(Messages.Errors(), 1) << Messages.Dump();
    EXPECT_TRUE(Messages.Items.last().startsWith("E: Data log stopped! Unable to write"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    EXPECT_TRUE(after.startsWith(before));
    // Further frames write nothing.
    Frame(0, 0);
    EXPECT_EQ(QFileInfo(FileName).size(), after.size());
}

TEST_F(DataLogTest, ARemovedFileStopsTheLog)
{
    ASSERT_TRUE(Start(lmAllSamples));
    Frame(0, 0);
    ASSERT_TRUE(QFile::remove(FileName));
    Frame(0, 0);
    EXPECT_FALSE(Log.FDoLog);
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(Messages.Errors(), 1) << Messages.Dump();
}

} // namespace

#include "app/SessionControl.h"
#include "sim/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

// A live session on the simulator at its default rate: one row per decoded frame, no frame missed, and time
// differences that add up to the time logged. KT610B_LOG_SECONDS sets the length (default 3 s).
TEST(DataLogSimulator, EveryFrameOfALiveSessionGetsItsRow)
{
    const int seconds = qEnvironmentVariableIntValue("KT610B_LOG_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("KT610B_LOG_SECONDS") : 3;
    SimOptions options;
    options.simulate = true;
    options.seed = 5;
    SimSession session(options);
    SessionMessages& messages = session.Messages;
    SessionView& view = session.View;
    TMainCore& core = session.Core;
    ASSERT_TRUE(session.Start()) << messages.Dump();
    QElapsedTimer t;

    QTemporaryDir dir;
    TDataLog& log = *core.DataLog;
    log.PrepareMode();
    log.FirstTime = true;
    ASSERT_TRUE(log.Start(dir.filePath("live.txt")));
    const int first = view.Frames;
    t.restart();
    while (t.elapsed() < seconds * 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    log.Stop();
    const int frames = view.Frames - first;
    const qint64 elapsed = t.elapsed();

    QFile f(dir.filePath("live.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.takeLast(), QByteArray());
    lines.removeFirst();
    ASSERT_EQ(lines.size(), frames);
    EXPECT_GE(frames, seconds * 100 * 8 / 10) << "the simulator streams 100 frames/s";
    EXPECT_FALSE(view.Called("DataMissed"));
    qint64 sum = 0, longest = 0;
    for (int i = 1; i < lines.size(); ++i) {
        bool ok = false;
        const qint64 diff = lines[i].split('\t').value(1).toLongLong(&ok);
        ASSERT_TRUE(ok) << lines[i].toStdString();
        sum += diff;
        longest = std::max(longest, diff);
    }
    EXPECT_LE(sum, elapsed);
    EXPECT_GE(sum, elapsed - 1000);
    EXPECT_LT(longest, 500);
    std::printf("%d rows in %lld ms, longest gap %lld ms\n", frames, elapsed, longest);
}

} // namespace
