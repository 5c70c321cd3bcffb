// Frame recordings and data logs read back: what was written comes back, and damaged files give a clear
// error instead of a crash or made-up frames.

#include "replay/FrameRecording.h"
#include "replay/RecordingWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif
#include <gtest/gtest.h>

namespace {

class RecordingFiles : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& text)
    {
        const QString path = Dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    std::optional<TRecording> Read(const QString& path) { return ReadRecording(path, Error); }

    QTemporaryDir Dir;
    QString Error;
};

const QByteArray MapA = QByteArray::fromHex("0100030004000000000000000000");
const QByteArray MapB = QByteArray::fromHex("010002000004000000000000000000");

TEST_F(RecordingFiles, WrittenFramesComeBackWithSetupMapsAndTimes)
{
    const QString path = Dir.filePath("a.ktrec");
    TRecordingWriter writer;
    const std::map<uint8_t, QByteArray> setup{{0x0A, QByteArray::fromHex("0910101003001404")},
                                              {0x0D, QByteArray::fromHex("0F")}};
    ASSERT_TRUE(writer.Start(path, setup, std::nullopt, Error)) << Error.toStdString();
    std::vector<QByteArray> frames;
    for (int i = 0; i < 300; ++i) {
        const QByteArray& map = i < 200 ? MapA : MapB;
        QByteArray data(map.size(), '\0');
        for (int b = 0; b < data.size(); ++b)
            data[b] = char((i * 7 + b) & 0xFF);
        frames.push_back(data);
        if (i == 100) {
            ASSERT_TRUE(writer.AppendActualBase({100, 200, 300, 400}, Error));
        }
        ASSERT_TRUE(writer.Append(i * 1000LL, map, reinterpret_cast<const uint8_t*>(data.constData()),
                                  int(data.size()), Error));
    }
    ASSERT_TRUE(writer.Stop(Error));
    EXPECT_EQ(writer.Frames(), 300);

    const auto r = Read(path);
    ASSERT_TRUE(r) << Error.toStdString();
    EXPECT_EQ(r->Setup, setup);
    ASSERT_TRUE(r->ActualBase);
    EXPECT_EQ(*r->ActualBase, (std::array<int, 4>{100, 200, 300, 400}));
    ASSERT_EQ(r->StreamMaps.size(), 2);
    ASSERT_EQ(r->Frames.size(), 300);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(r->Frames[i].Data, frames[size_t(i)]) << i;
        EXPECT_EQ(r->Frames[i].TimeUs, i * 1000LL);
        EXPECT_EQ(r->Frames[i].Map, i < 200 ? 0 : 1);
    }
    EXPECT_TRUE(r->Notes.isEmpty());
    // Registers are found by the frame's own map: counts sit elsewhere after the map changed.
    EXPECT_EQ(r->Register(r->Frames[0], 0x04), frames[0].mid(4, 10));
    EXPECT_EQ(r->Register(r->Frames[250], 0x04), frames[250].mid(5, 10));
    EXPECT_TRUE(r->Register(r->Frames[250], 0x03).isEmpty());
}

TEST_F(RecordingFiles, FailedWritesAreReportedAndStopTheWriter)
{
    TRecordingWriter writer;
    EXPECT_FALSE(writer.Start(Dir.filePath("missing/dir/a.ktrec"), {}, std::nullopt, Error));
    EXPECT_TRUE(Error.startsWith("Unable to create the frame recording")) << Error.toStdString();
#ifdef Q_OS_LINUX
    // A full disk, as a file size limit makes it: the block that does not fit stops the writer with an error.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    TRecordingWriter full;
    ASSERT_TRUE(full.Start(Dir.filePath("full.ktrec"), {}, std::nullopt, Error)) << Error.toStdString();
    struct rlimit limit = old;
    limit.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
    const QByteArray data(MapA.size(), '\x11');
    bool ok = true;
    int written = 0;
    for (; written < 100000 && ok; ++written)
        ok = full.Append(written, MapA, reinterpret_cast<const uint8_t*>(data.constData()), int(data.size()), Error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Error.startsWith("Frame recording stopped!")) << Error.toStdString();
    EXPECT_FALSE(full.Active());
    // What reached the disk before stays readable.
    const auto r = Read(Dir.filePath("full.ktrec"));
    ASSERT_TRUE(r) << Error.toStdString();
    EXPECT_GT(r->Frames.size(), 0);
    EXPECT_LT(r->Frames.size(), written);
#endif
}

TEST_F(RecordingFiles, DamagedRecordingsGiveClearErrors)
{
    const QByteArray head = "KT610B frame recording 1\r\nRegister 0A\t04 10 10 10\r\nFrames\r\nMap\t01 00 04 00\r\n";
    struct Case {
        const char* name;
        QByteArray text;
        const char* error; // empty: read, with a note
    };
    const Case cases[] = {
        {"empty", "", "neither a frame recording nor a data log"},
        {"foreign", "[IC]\r\nDevice=KT610\r\n", "neither a frame recording nor a data log"},
        {"header cut", "KT610B frame recording 1\r\nRegister 0A\t04 10", "header is incomplete"},
        {"header damaged", "KT610B frame recording 1\r\nRegister 0A\t04 1G\r\nFrames\r\n", "line 2 of the header"},
        {"no frames", head, "holds no frames"},
        {"frame before map", "KT610B frame recording 1\r\nFrames\r\n0\t01020304\r\n", "line 3 is damaged"},
        {"wrong length", head + "0\t0102030405\r\n10\t01020304\r\n", "line 5 is damaged"},
        {"time backwards", head + "10\t01020304\r\n5\t01020304\r\n", "line 6 is damaged"},
        {"odd hex", head + "0\t0102030\r\n", "line 5 is damaged"},
        {"last line cut", head + "0\t01020304\r\n10\t0102", ""},
    };
    for (const Case& c : cases) {
        const auto r = Read(Write(QStringLiteral("x.ktrec"), c.text));
        if (*c.error) {
            EXPECT_FALSE(r) << c.name;
            EXPECT_TRUE(Error.contains(QLatin1String(c.error))) << c.name << ": " << Error.toStdString();
            EXPECT_TRUE(Error.contains("x.ktrec")) << c.name;
        } else {
            ASSERT_TRUE(r) << c.name << ": " << Error.toStdString();
            EXPECT_EQ(r->Frames.size(), 1) << c.name;
            EXPECT_TRUE(r->Notes.join(' ').contains("cut short")) << c.name;
        }
    }
    EXPECT_FALSE(Read(Dir.filePath("nothing-here.ktrec")));
    EXPECT_TRUE(Error.startsWith("Unable to open")) << Error.toStdString();
}

TEST_F(RecordingFiles, DataLogBecomesFramesOfItsRegisters)
{
    const QByteArray log = "Time Stamp\tTime Difference (ms)\tWheel Data\tRelative Coords\tCount CH0\tCount CH1\t"
                           "LTA CH0\tLTA CH1\tProx CH0\tTouch CH1\r\n"
                           "10:00:00.(000)\t-\t12\t-3\t500\t610\t505\t640\t1\t0\r\n"
                           "10:00:00.(010)\t10\t13\t32768\t501\t580\t505\t640\t0\t1\r\n"
                           "10:00:00.(030)\t20\t14\t5\t502\t581\t505\t640\t0\t1\r\n";
    const auto r = Read(Write(QStringLiteral("log.txt"), log));
    ASSERT_TRUE(r) << Error.toStdString();
    ASSERT_EQ(r->Frames.size(), 3);
    EXPECT_EQ(r->Frames[1].TimeUs, 10000);
    EXPECT_EQ(r->Frames[2].TimeUs, 30000);
    const TRecordedValues first = r->Values(r->Frames[0]);
    EXPECT_FALSE(first.HasFlags);
    EXPECT_TRUE(first.HasCounts && first.HasLta && first.HasTouch && first.HasCoordinates);
    EXPECT_FALSE(first.HasDeltas);
    EXPECT_EQ(first.Counts[0], 500);
    EXPECT_EQ(first.LpCount, 500);
    EXPECT_EQ(first.Counts[1], 610);
    EXPECT_EQ(first.Counts[2], 0);
    EXPECT_EQ(first.Lta[1], 640);
    EXPECT_EQ(first.Position, 12);
    EXPECT_EQ(first.Relative, 0xFFFD);
    EXPECT_EQ(first.TouchByte, 0x01);
    const TRecordedValues second = r->Values(r->Frames[1]);
    EXPECT_EQ(second.Relative, 0x8000);
    EXPECT_EQ(second.TouchByte, 0x02);
    // What the log lacks is said, in words.
    const QString notes = r->Notes.join(' ');
    EXPECT_TRUE(notes.contains("no register set-up")) << notes.toStdString();
    EXPECT_TRUE(notes.contains("System flags and events were not logged"));
    EXPECT_TRUE(notes.contains("CH2, CH3 not logged"));
    EXPECT_FALSE(notes.contains("Counts were not logged"));

    EXPECT_FALSE(Read(Write(QStringLiteral("bad.txt"), "Time Stamp\tTime Difference (ms)\tCount CH9\r\n")));
    EXPECT_TRUE(Error.contains("unknown column")) << Error.toStdString();
    EXPECT_FALSE(Read(Write(QStringLiteral("row.txt"), "Time Stamp\tTime Difference (ms)\tCount CH0\r\n"
                                                        "10:00:00.(000)\t-\t1\r\n10:00:00.(010)\t10\tx\r\n")));
    EXPECT_TRUE(Error.contains("line 3 of the data log is damaged")) << Error.toStdString();
    EXPECT_FALSE(Read(Write(QStringLiteral("none.txt"), "Time Stamp\tTime Difference (ms)\tCount CH0\r\n")));
    EXPECT_TRUE(Error.contains("holds no rows")) << Error.toStdString();
}

} // namespace
