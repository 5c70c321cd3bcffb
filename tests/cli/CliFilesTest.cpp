// The file commands against the simulated tool and temporary files: settings files, header export, data log,
// diff, and the set-ups loaded at the start.
#include "cli/CliProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Sim(const QStringList& args)
{
    return QStringList{"--simulate", "--seed", "11"} + args;
}

QString Demo(const char* name)
{
    return QStringLiteral(KT610B_BINARY_DIR "/") + QLatin1String(name);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QString Errors(const CliRun& run)
{
    return run.Err.join('\n');
}

} // namespace

TEST(CliFiles, SavedSettingsMatchTheChipAndKeepForeignLines)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("bench.ini");
    WriteFile(file, "[Station]\r\nLine=7\r\n[IC]\r\nDevice=Other\r\n");
    CliRun run = RunCli(Sim({"save-settings", file}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_TRUE(run.ErrHas("info: Settings saved successfully"));
    EXPECT_EQ(run.Err.last(), "info: Device powered off");
    const QByteArray text = ReadAll(file);
    EXPECT_TRUE(text.startsWith("[Station]\r\nLine=7\r\n[IC]\r\nDevice=KT610B\r\n"));
    EXPECT_TRUE(text.contains("[Thresholds]\r\nProx=4\r\nTouch1=16\r\n"));

    // What was read from the chip is what the chip holds.
    run = RunCli(Sim({"diff", file, "--chip"}));
    EXPECT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.ErrHas("info: No differences"));

    // A folder that does not exist cannot take the file.
    run = RunCli(Sim({"save-settings", dir.filePath("none/bench.ini")}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Error saving settings!"));
    EXPECT_EQ(run.Err.last(), "info: Device powered off");
}

TEST(CliFiles, LoadSettingsWritesTheSetUpAndPrintsTheItems)
{
    CliRun run = RunCli(Sim({"load-settings", Demo("KT610 Wheel.ini")}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    ASSERT_FALSE(run.Out.isEmpty());
    EXPECT_EQ(run.Out.last(), "Settings loaded successfully");
    EXPECT_GE(run.Out.count("Command sent successfully"), 6);
    EXPECT_EQ(run.Err.last(), "info: Device powered off");

    QTemporaryDir dir;
    const QString wrong = dir.filePath("wrong.ini");
    WriteFile(wrong, "[IC]\r\nDevice=KT610\r\n");
    run = RunCli(Sim({"load-settings", wrong}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Invalid settings file selected!"));
    EXPECT_TRUE(run.ErrHas("error: The selected settings file is invalid or ment for a different device."));
    EXPECT_TRUE(run.Out.contains("Invalid settings file selected!"));
    EXPECT_EQ(run.Err.last(), "info: Device powered off");

    const QString bad = dir.filePath("bad.ini");
    WriteFile(bad, "[IC]\r\nDevice=KT610B\r\n[Thresholds]\r\nHaltRB0=yes\r\n");
    run = RunCli(Sim({"load-settings", bad}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Error loading settings!"));
}

TEST(CliFiles, DiffComparesFilesKeyByKey)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.ini"), b = dir.filePath("b.ini");
    // Missing keys take their defaults; "True" is a checked box like -1; names match in any letter case.
    WriteFile(a, "[IC]\r\nDevice=KT610B\r\n[Thresholds]\r\nHaltRB1=True\r\n");
    WriteFile(b, "[ic]\r\ndevice=KT610B\r\n[thresholds]\r\nprox = 4\r\nHaltRB1=-1\r\n");
    CliRun run = RunCli({"diff", a, b});
    EXPECT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_TRUE(run.Out.isEmpty());

    WriteFile(b, "[IC]\r\nDevice=KT610B\r\n[Thresholds]\r\nProx=9\r\n[Base]\r\nRest=3\r\n[Other]\r\nDeltaOnly=1\r\n");
    run = RunCli({"diff", a, b});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, (QStringList{"Base/Rest\tMultipliers (07H)\t0\t3", "Thresholds/Prox\tThresholds (0AH)\t4\t9",
                                    "Thresholds/HaltRB1\tThresholds (0AH)\t-1\t0", "Other/DeltaOnly\t-\t0\t-1"}));
    EXPECT_TRUE(run.ErrHas("info: 4 keys differ"));

    // Against the chip only what a read-all brings back counts.
    const QString chip = dir.filePath("chip.ini");
    ASSERT_EQ(RunCli(Sim({"save-settings", chip})).ExitCode, 0);
    QByteArray text = ReadAll(chip);
    text.replace("\r\nRest=0\r\n", "\r\nRest=3\r\n").replace("\r\nProx=4\r\n", "\r\nProx=9\r\n");
    text.replace("\r\nDeltaOnly=0\r\n", "\r\nDeltaOnly=-1\r\n").replace("[Channels]\r\nCH0=-1", "[Channels]\r\nCH0=0");
    WriteFile(chip, text);
    run = RunCli(Sim({"diff", chip, "--chip"}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, (QStringList{"Base/Rest\tMultipliers (07H)\t3\t0", "Thresholds/Prox\tThresholds (0AH)\t9\t4"}));

    WriteFile(b, "[IC]\r\nDevice=KT610\r\n");
    run = RunCli({"diff", a, b});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.ErrHas(QString("error: \"%1\": Invalid settings file selected!").arg(b)));
    run = RunCli({"diff", a, dir.filePath("missing.ini")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas(QString("error: Unable to read \"%1\"").arg(dir.filePath("missing.ini"))));
}

TEST(CliFiles, HeaderFromAFileMatchesTheHeaderFromTheChip)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath("chip.ini"), fromChip = dir.filePath("chip.h"),
                  fromFile = dir.filePath("file.h");
    ASSERT_EQ(RunCli(Sim({"save-settings", saved})).ExitCode, 0);
    CliRun run = RunCli(Sim({"export-header", "-o", fromChip}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_TRUE(run.ErrHas("info: H file exported successfully"));
    // No tool is used: no simulator given, and still a header.
    run = RunCli({"export-header", "--settings", saved, "-o", fromFile});
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_EQ(run.Err, QStringList{"info: H file exported successfully"});

    // The streamed events byte is the one value a file cannot carry.
    const QByteArray events = "#define SYSTEM_EVENTS_VAL\t\t\t\t\t0x";
    QList<QByteArray> chipLines = ReadAll(fromChip).split('\n'), fileLines = ReadAll(fromFile).split('\n');
    ASSERT_EQ(chipLines.size(), fileLines.size());
    for (qsizetype i = 0; i < chipLines.size(); ++i)
        if (!chipLines[i].startsWith(events)) {
            EXPECT_EQ(chipLines[i], fileLines[i]) << i;
        }

    // The system flags byte from the file's projected and filter-halt keys; multipliers packed per register.
    const QString file = dir.filePath("proj.ini");
    WriteFile(file, "[IC]\r\nDevice=KT610B\r\n[Other]\r\nProjected=1\r\nGlobalFH=1\r\n[Multiplier]\r\nSens0=3\r\n"
                    "Comp0=15\r\n[Base]\r\nCH0=0\r\nRest=15\r\n[Channels]\r\nCH0=0\r\nCH3=0\r\n");
    ASSERT_EQ(RunCli({"export-header", "--settings", file, "-o", fromFile}).ExitCode, 0);
    const QByteArray header = ReadAll(fromFile);
    EXPECT_TRUE(header.contains("#define SYSTEM_FLAGS_VAL\t\t\t\t\t0x12\r\n"));
    EXPECT_TRUE(header.contains("#define SYSTEM_EVENTS_VAL\t\t\t\t\t0x00\r\n"));
    EXPECT_TRUE(header.contains("#define MULTIPLIERS_CH0\t\t\t\t\t\t0x3F\r\n"));
    EXPECT_TRUE(header.contains("#define BASE_VAL1\t\t\t\t\t\t\t0xF0\r\n"));
    EXPECT_TRUE(header.contains("#define ACTIVE_CHS\t\t\t\t\t\t0x06\r\n"));

    // A rejected file leaves no header behind.
    WriteFile(file, "[IC]\r\nDevice=kt610b\r\n");
    const QString none = dir.filePath("none.h");
    run = RunCli({"export-header", "--settings", file, "-o", none});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Invalid settings file selected!"));
    EXPECT_FALSE(QFile::exists(none));
}

TEST(CliFiles, LogWritesTheLoggingPagesRows)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("log.txt");
    CliRun run = RunCli(Sim({"log", log, "--frames", "20", "--columns", "counts,wheel,touch", "--channels", "0,2"}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.ErrHas("info: Data log started"));
    EXPECT_TRUE(run.ErrHas("info: Data log stopped"));
    QList<QByteArray> rows = ReadAll(log).split('\n');
    ASSERT_EQ(rows.size(), 22); // header, 20 rows, the empty piece after the last CR LF
    EXPECT_EQ(rows[0], "Time Stamp\tTime Difference (ms)\tWheel Data\tCount CH0\tCount CH2\tTouch CH2\r");
    EXPECT_TRUE(QString::fromLatin1(rows[1]).contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\(\\d{3}\\)\t-\t")));
    EXPECT_EQ(rows[20].count('\t'), 5);

    // Every 5th of 20 frames.
    run = RunCli(Sim({"log", log, "--frames", "20", "--mode", "every:5"}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    rows = ReadAll(log).split('\n');
    EXPECT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[0], "Time Stamp\tTime Difference (ms)\tCount CH0\tCount CH1\tCount CH2\tCount CH3\tLTA CH0\t"
                       "LTA CH1\tLTA CH2\tLTA CH3\r");

    // Events only, and no event on an untouched board: the header alone.
    run = RunCli(Sim({"log", log, "--frames", "20", "--mode", "events", "--events", "touch"}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_EQ(ReadAll(log).count('\n'), 1);

    // Counts asked for while the set-up does not stream them: they are switched on, as the page's "Yes" does.
    const QString noCounts = dir.filePath("nocounts.ini");
    WriteFile(noCounts, "[IC]\r\nDevice=KT610B\r\n[ProxSettings1]\r\nCommsMode=1\r\n[Streaming]\r\nCS=0\r\n");
    run = RunCli(Sim({"--settings", noCounts, "log", log, "--frames", "5", "--columns", "counts", "--channels", "1"}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    rows = ReadAll(log).split('\n');
    ASSERT_EQ(rows.size(), 7);
    EXPECT_GT(rows[5].split('\t').value(2).trimmed().toInt(), 0);

    run = RunCli(Sim({"log", dir.filePath("none/log.txt"), "--frames", "5"}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.ErrHas("error: Unabled to start data log!"));
    EXPECT_EQ(run.Err.last(), "info: Device powered off");
}

TEST(CliFiles, SetUpsLoadBeforeOutputBegins)
{
    CliRun run = RunCli(Sim({"--demo", "wheel", "--trace", "stream", "--frames", "3"}));
    ASSERT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    ASSERT_EQ(run.Out.size(), 4);
    const qsizetype loaded = run.Err.indexOf("info: Settings loaded successfully");
    EXPECT_GT(loaded, run.Err.indexOf("info: Device streaming started"));

    QTemporaryDir dir;
    const QString wrong = dir.filePath("wrong.ini");
    WriteFile(wrong, "[IC]\r\nDevice=KT610A\r\n");
    for (const QString& command : {QString("version"), QString("stream"), QString("log")}) {
        QStringList args{"--settings", wrong, command};
        if (command == "log")
            args << dir.filePath("log.txt");
        run = RunCli(Sim(args));
        EXPECT_EQ(run.ExitCode, 1) << command.toStdString();
        EXPECT_TRUE(run.Out.isEmpty()) << command.toStdString();
        EXPECT_TRUE(run.ErrHas("error: Invalid settings file selected!"));
        EXPECT_EQ(run.Err.last(), "info: Device powered off");
    }

    run = RunCli(Sim({"--settings", Demo("KT610 3Channel Slider.ini"), "version"}));
    EXPECT_EQ(run.ExitCode, 0) << Errors(run).toStdString();
    EXPECT_EQ(run.Out, (QStringList{"Device Address : 44H", "Device Version (PROD:SW):  67 : 3"}));
    EXPECT_TRUE(run.ErrHas("info: Settings loaded successfully"));
}
