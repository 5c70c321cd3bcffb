// minver.ini and the update program's folder: the minimum firmware versions the tool check compares with.
#include "persist/MinVer.h"
#include "prefs_support.h"

#include <gtest/gtest.h>

namespace {

class PrefsMinVer : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString MinVerPath = Dir.filePath("minver.ini");
};

TEST_F(PrefsMinVer, ValidFileFillsEveryField)
{
    PutFile(MinVerPath, "[Other]\r\nKC60=FFFF\r\n[CT]\r\nKC50=0101\r\nKD30=0127\r\nKR30=0002\r\nKC70=0105\r\n"
                        "KC60=0106\r\nkc60a=0100010b\r\nKC60N=0106130C\r\nKD30N=FFFFFFFF\r\n");
    const TMinVer min = ReadMinVer(MinVerPath);
    EXPECT_EQ(min.KC50, 0x0101u);
    EXPECT_EQ(min.KD30, 0x0127u);
    EXPECT_EQ(min.KR30, 0x0002u);
    EXPECT_EQ(min.KC70, 0x0105u);
    EXPECT_EQ(min.KC60, 0x0106u);
    EXPECT_EQ(min.KC60A, 0x0100010Bu);
    EXPECT_EQ(min.KC60N, 0x0106130Cu);
    EXPECT_EQ(min.KD30N, 0xFFFFFFFFu);
}

TEST_F(PrefsMinVer, MissingKeysReadAsZero)
{
    PutFile(MinVerPath, "[CT]\nKC60=0105\n");
    const TMinVer min = ReadMinVer(MinVerPath);
    EXPECT_EQ(min.KC60, 0x0105u);
    EXPECT_EQ(min.KD30, 0u);
    EXPECT_EQ(min.KC60N, 0u);
    EXPECT_EQ(ReadMinVer(Dir.filePath("absent.ini")).KC60, 0u);
}

TEST_F(PrefsMinVer, ValueThatIsNotHexadecimalEndsTheReading)
{
    // KC70 is read before KC60: what came before it stays, nothing after it is read.
    for (const char* bad : {"01G6", "0x0106", "", "123456789", "-1"}) {
        PutFile(MinVerPath, QByteArray("[CT]\r\nKD30=0127\r\nKC70=") + bad + "\r\nKC60=0106\r\nKD30N=0127010A\r\n");
        const TMinVer min = ReadMinVer(MinVerPath);
        EXPECT_EQ(min.KD30, 0x0127u) << bad;
        EXPECT_EQ(min.KC70, 0u) << bad;
        EXPECT_EQ(min.KC60, 0u) << bad;
        EXPECT_EQ(min.KD30N, 0u) << bad;
    }
}

TEST_F(PrefsMinVer, MinimaAreReadOnlyWhenTheUpdateProgramIsInstalled)
{
    PutFile(MinVerPath, "[CT]\r\nKC60=0105\r\n");
    TUpdaterCheck check = CheckMinimumVersions(Dir.path());
    EXPECT_FALSE(check.FUpdaterInstalled);
    EXPECT_EQ(check.MinVer.KC60, 0u) << "no program, no minima: no tool is outdated";

    PutFile(Dir.filePath("Korvane Reflash.exe"), "program");
    check = CheckMinimumVersions(Dir.path());
    EXPECT_TRUE(check.FUpdaterInstalled);
    EXPECT_EQ(check.FUpdaterPath, Dir.path());
    EXPECT_EQ(check.MinVer.KC60, 0x0105u);
    EXPECT_EQ(UpdaterProgram(Dir.path()), Dir.filePath("Korvane Reflash.exe"));

    QFile::remove(MinVerPath);
    check = CheckMinimumVersions(Dir.path());
    EXPECT_TRUE(check.FUpdaterInstalled);
    EXPECT_EQ(check.MinVer.KC60, 0u);

    EXPECT_FALSE(CheckMinimumVersions(QString()).FUpdaterInstalled);
}

TEST_F(PrefsMinVer, NativeProgramIsPreferredAndAFolderOfThatNameIsNoProgram)
{
    QDir(Dir.path()).mkdir("Korvane Reflash");
    EXPECT_TRUE(UpdaterProgram(Dir.path()).isEmpty());
    QDir(Dir.path()).rmdir("Korvane Reflash");
    PutFile(Dir.filePath("Korvane Reflash"), "program");
    PutFile(Dir.filePath("Korvane Reflash.exe"), "program");
    EXPECT_EQ(UpdaterProgram(Dir.path()), Dir.filePath("Korvane Reflash"));
}

TEST_F(PrefsMinVer, FolderComesFromTheEnvironmentOrTheConfigurationFile)
{
    const QByteArray saved = qgetenv("KORVANE_REFLASH_DIR");
    const QString config = Dir.filePath("reflash.conf");
    PutFile(config, "# where the update program lives\nInstall_Dir = /opt/korvane/reflash \n");
    qunsetenv("KORVANE_REFLASH_DIR");
    EXPECT_EQ(UpdaterInstallDir(config), "/opt/korvane/reflash");
    EXPECT_TRUE(UpdaterInstallDir(Dir.filePath("none.conf")).isEmpty());
    qputenv("KORVANE_REFLASH_DIR", "/srv/reflash");
    EXPECT_EQ(UpdaterInstallDir(config), "/srv/reflash");
    if (saved.isNull())
        qunsetenv("KORVANE_REFLASH_DIR");
    else
        qputenv("KORVANE_REFLASH_DIR", saved);
}

} // namespace
