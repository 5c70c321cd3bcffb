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

TEST_F(PrefsMinVer, ValidFileFillsTheFieldsAndMissingKeysReadAsZero)
{
    PutFile(MinVerPath, "[Other]\r\nKC60=FFFF\r\n[CT]\r\nKD30=0127\r\nKC70=0105\r\nKC60=0106\r\nkc60a=0100010b\r\n"
                        "KC60N=0106130C\r\nKD30N=FFFFFFFF\r\n");
    const TMinVer min = ReadMinVer(MinVerPath);
    EXPECT_EQ(min.KC50, 0u);
    EXPECT_EQ(min.KD30, 0x0127u);
    EXPECT_EQ(min.KC70, 0x0105u);
    EXPECT_EQ(min.KC60, 0x0106u);
    EXPECT_EQ(min.KC60A, 0x0100010Bu);
    EXPECT_EQ(min.KC60N, 0x0106130Cu);
    EXPECT_EQ(min.KD30N, 0xFFFFFFFFu);
}

TEST_F(PrefsMinVer, ValueThatIsNotHexadecimalEndsTheReading)
{
    // KC70 is read after KD30 and before KC60.
    for (const char* bad : {"01G6", "0x0106", "", "123456789", "-1"}) {
        PutFile(MinVerPath, QByteArray("[CT]\r\nKD30=0127\r\nKC70=") + bad + "\r\nKC60=0106\r\nKD30N=0127010A\r\n");
        const TMinVer min = ReadMinVer(MinVerPath);
        EXPECT_EQ(min.KD30, 0x0127u) << bad;
        EXPECT_EQ(min.KC70 + min.KC60 + min.KD30N, 0u) << bad;
    }
}

TEST_F(PrefsMinVer, MinimaAreReadOnlyWhenTheUpdateProgramIsInstalled)
{
    PutFile(MinVerPath, "[CT]\r\nKC60=0105\r\n");
    QDir(Dir.path()).mkdir("Korvane Reflash"); // a folder of that name is no program
    EXPECT_FALSE(CheckMinimumVersions(Dir.path()).FUpdaterInstalled);
    EXPECT_EQ(CheckMinimumVersions(Dir.path()).MinVer.KC60, 0u) << "no program, no minima";
    QDir(Dir.path()).rmdir("Korvane Reflash");

    PutFile(Dir.filePath("Korvane Reflash.exe"), "program");
    const TUpdaterCheck check = CheckMinimumVersions(Dir.path());
    EXPECT_TRUE(check.FUpdaterInstalled);
    EXPECT_EQ(check.MinVer.KC60, 0x0105u);
    PutFile(Dir.filePath("Korvane Reflash"), "program");
    EXPECT_EQ(UpdaterProgram(Dir.path()), Dir.filePath("Korvane Reflash")) << "the native program first";
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
