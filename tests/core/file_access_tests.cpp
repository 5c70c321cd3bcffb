// Who may touch what the program leaves behind: no file or folder it writes is writable by every user, even
// under a umask of 0; the copy-data socket is its user's alone; the update program gets a file name as one
// argument, never through a shell; the udev rule opens the tool to the user at the seat only.
#include "core/session_support.h"

#include "app/CopyDataServer.h"
#include "app/CtSetup.h"
#include "hid/VirtualHidBackend.h"
#include "persist/AtomicFile.h"
#include "persist/DataLog.h"
#include "persist/Preferences.h"
#include "persist/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t Mode(const QString& path)
{
    struct stat st {};
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? st.st_mode : mode_t(07777);
}

// Runs with no umask at all, so that only the program's own care keeps the world-write bit off.
class NoUmask : public ::testing::Test {
protected:
    void SetUp() override { FOld = ::umask(0); }
    void TearDown() override { ::umask(FOld); }
    mode_t FOld = 022;
};

TEST_F(NoUmask, NoWrittenFileOrFolderIsWorldWritable)
{
    QTemporaryDir folder;
    SessionMessages messages;
    TMainCore core(std::make_shared<VirtualHidBackend>(), &messages, nullptr);

    const QString settings = folder.filePath("station.ini");
    TSettingsFile files(core);
    ASSERT_TRUE(files.SaveSettings(settings));
    ASSERT_TRUE(files.SaveSettings(settings)); // and when it replaces the file

    const QString prefs = folder.filePath("user/KT610B/KorvaneKT610B.ini");
    TPreferences preferences(prefs);
    ASSERT_TRUE(preferences.WriteFormGeometry(QStringLiteral("Scope"), {}));

    const QString log = folder.filePath("run.txt");
    ASSERT_TRUE(core.DataLog->Start(log));
    core.DataLog->FrameStep();
    core.DataLog->Stop();

    const QString header = folder.filePath("KT610_Init.h");
    ASSERT_TRUE(AtomicFile::Write(header, "#define X 1\r\n"));

    for (const QString& path : {settings, prefs, QFileInfo(prefs).absolutePath(), log, header}) {
        ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        EXPECT_FALSE(Mode(path) & S_IWOTH) << path.toStdString() << std::oct << " mode " << Mode(path);
    }
    // Nothing else was left behind: no temporary file of a save.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3);
}

TEST(CopyData, SocketIsItsUsersAlone)
{
    const QString name = QStringLiteral("kt610b-access-test-%1").arg(QCoreApplication::applicationPid());
    TCopyDataServer server;
    ASSERT_TRUE(server.Listen(name)) << server.ErrorString().toStdString();
    const QString path = QDir::temp().filePath(name);
    ASSERT_TRUE(S_ISSOCK(Mode(path))) << path.toStdString();
    EXPECT_EQ(Mode(path) & 077, 0u) << std::oct << Mode(path);

    // The name every instance uses lies in a folder no other account can enter or write.
    const QFileInfo standard(TCopyDataServer::ServerName());
    ASSERT_TRUE(standard.isAbsolute()) << standard.filePath().toStdString();
    EXPECT_EQ(Mode(standard.absolutePath()) & 077, 0u) << std::oct << Mode(standard.absolutePath());
    EXPECT_EQ(QFileInfo(standard.absolutePath()).ownerId(), uint(getuid()));
}

// The stand-in update program writes each argument it got on its own line.
TEST(UpdateProgram, TakesAFileNameWithShellCharactersAsOneArgument)
{
    QTemporaryDir updater, program;
    const QString reflash = updater.filePath("Korvane Reflash");
    {
        QFile script(reflash);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    }
    QFile::setPermissions(reflash, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    SessionMessages messages;
    TMainCore core(std::make_shared<VirtualHidBackend>(), &messages, nullptr);
    core.FUpdaterPath = updater.path();
    struct YesView : ICtSetupView {
        bool AskYesNo(const QString&) override { return true; }
    } view;
    TCtSetup setup(core, view);
    const QString trap = program.filePath("x; touch pwned $(touch pwned2) `touch pwned3` 'q\" >out.dfu");
    setup.UpdateCustom(trap);

    QFile args(reflash + ".args");
    for (int waited = 0; !args.exists() && waited < 3000; waited += 10)
        QThread::msleep(10);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), trap + "\nY\n");
    for (const QString& folder : {updater.path(), program.path(), QDir::currentPath()})
        for (const char* made : {"pwned", "pwned2", "pwned3", "out.dfu"})
            EXPECT_FALSE(QFile::exists(QDir(folder).filePath(made))) << made;
}

TEST(UdevRule, OpensTheToolToTheUserAtTheSeatOnly)
{
    QFile rules(QStringLiteral(KT610B_SOURCE_DIR "/packaging/70-kt610b-tool.rules"));
    ASSERT_TRUE(rules.open(QIODevice::ReadOnly));
    int toolLines = 0;
    for (const QByteArray& raw : rules.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        ++toolLines;
        EXPECT_TRUE(line.contains(QStringLiteral("TAG+=\"uaccess\""))) << line.toStdString();
        EXPECT_TRUE(line.contains(QStringLiteral("SUBSYSTEM==\"hidraw\""))) << line.toStdString();
        EXPECT_TRUE(line.contains(QStringLiteral("ATTRS{idVendor}=="))) << line.toStdString();
        EXPECT_FALSE(line.contains(QRegularExpression(QStringLiteral("\\b(MODE|GROUP|OWNER)\\s*:?=")))) << line.toStdString();
        EXPECT_FALSE(line.contains(QStringLiteral("RUN"))) << line.toStdString();
    }
    EXPECT_EQ(toolLines, 3);
}

} // namespace
