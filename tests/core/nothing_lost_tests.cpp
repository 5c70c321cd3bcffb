// A process killed at any moment loses nothing: the data log holds every row it was handed, and a settings
// file being saved is either the old one or the new one, never a mix. The writer runs in a forked child
// that is killed with SIGKILL at a random moment.
#include "core/session_support.h"

#include "hid/VirtualHidBackend.h"
#include "persist/DataLog.h"
#include "persist/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Runs work in a child; kills it after the child said "go" on the pipe and delayUs more have passed.
// Returns everything else the child wrote on the pipe.
QByteArray RunAndKill(const std::function<void(int pipe)>& work, int delayUs)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        work(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    char go = 0;
    if (::read(fds[0], &go, 1) != 1) {
        ::close(fds[0]);
        ::waitpid(child, nullptr, 0);
        return {};
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QByteArray said;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, n);
    ::close(fds[0]);
    return said;
}

TEST(NothingLost, EveryRowHandedToTheLogIsInTheFileAfterSIGKILL)
{
    QTemporaryDir folder;
    std::mt19937 random(20261210);
    SessionMessages messages;
    TMainCore core(std::make_shared<VirtualHidBackend>(), &messages, nullptr);
    for (int trial = 0; trial < 12; ++trial) {
        const QString path = folder.filePath(QStringLiteral("log%1.txt").arg(trial));
        const QByteArray said = RunAndKill(
            [&](int pipe) {
                if (!core.DataLog->Start(path))
                    return;
                ::write(pipe, "g", 1);
                for (int32_t row = 0;; ++row) {
                    core.FCurrentChs[0] = row;
                    core.DataLog->FrameStep();
                    ::write(pipe, &row, sizeof row); // handed over
                }
            },
            std::uniform_int_distribution<int>(0, 30000)(random));
        int32_t last = -1; // killed before the first row was handed over
        if (said.size() >= qsizetype(sizeof last))
            std::memcpy(&last, said.constData() + said.size() - sizeof last, sizeof last);

        const QList<QByteArray> lines = ReadAll(path).split('\n');
        ASSERT_GT(lines.size(), last + 1);
        EXPECT_TRUE(lines[0].startsWith("Time Stamp\t"));
        for (int32_t row = 0; row <= last; ++row) {
            const QList<QByteArray> fields = lines[row + 1].split('\t');
            ASSERT_GT(fields.size(), 2) << "row " << row << " of " << last;
            ASSERT_EQ(fields[2].toInt(), row) << "row " << row << " of " << last;
            ASSERT_TRUE(lines[row + 1].endsWith('\r'));
        }
    }
}

TEST(NothingLost, SettingsSaveKilledLeavesTheOldOrTheNewFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("station.ini"));
    SessionMessages messages;
    TMainCore core(std::make_shared<VirtualHidBackend>(), &messages, nullptr);
    TSettingsFile files(core);

    // A file with a large foreign section, so that a save takes a while.
    QByteArray foreign = "[Station notes]\r\n";
    for (int line = 0; foreign.size() < 1024 * 1024; ++line)
        foreign += "Note" + QByteArray::number(line) + "=measured on the bench, fixture " + QByteArray::number(line % 97) + "\r\n";
    Put(path, foreign);
    ASSERT_TRUE(files.SaveSettings(path));
    const QByteArray before = ReadAll(path);
    core.Settings.SetValue(QStringLiteral("LPSpin"), 7);
    const QString copy = folder.filePath(QStringLiteral("copy.ini"));
    Put(copy, before);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(files.SaveSettings(copy));
    const int saveUs = int(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count());
    const QByteArray after = ReadAll(copy);
    ASSERT_NE(before, after);

    std::mt19937 random(7);
    int olds = 0, news = 0;
    for (int trial = 0; trial < 10; ++trial) {
        Put(path, before);
        RunAndKill(
            [&](int pipe) {
                ::write(pipe, "g", 1);
                files.SaveSettings(path);
            },
            // Most of a save is composing the text: aim at its end, where the file is written.
            std::uniform_int_distribution<int>(saveUs / 2, saveUs + saveUs / 4)(random));
        const QByteArray now = ReadAll(path);
        ASSERT_TRUE(now == before || now == after) << "trial " << trial << ": a torn file of " << now.size() << " bytes";
        (now == before ? olds : news)++;
        // A temporary file the killed save left behind is not the settings file; clear it for the next trial.
        for (const QString& name : QDir(folder.path()).entryList(QDir::Files))
            if (name != QLatin1String("station.ini") && name != QLatin1String("copy.ini"))
                QFile::remove(folder.filePath(name));
    }
    RecordProperty("old", olds);
    RecordProperty("new", news);
}

} // namespace
