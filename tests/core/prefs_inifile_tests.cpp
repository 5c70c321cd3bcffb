// Profile files: foreign content survives, values land where they belong, reads follow the Boolean and
// integer rules, 8-bit text round-trips, and a failed write never damages the old file.
#include "persist/IniFile.h"
#include "prefs_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// While it lives, folder permissions bind this thread even as root: the capability to override them is
// dropped from the effective set and raised again at the end.
class TPermissionsBind {
public:
    TPermissionsBind()
    {
        if (syscall(SYS_capget, &FHeader, FSaved) != 0)
            return;
        __user_cap_data_struct dropped[2] = {FSaved[0], FSaved[1]};
        dropped[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        FDropped = syscall(SYS_capset, &FHeader, dropped) == 0;
    }
    ~TPermissionsBind()
    {
        if (FDropped)
            syscall(SYS_capset, &FHeader, FSaved);
    }

private:
    __user_cap_header_struct FHeader{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct FSaved[2]{};
    bool FDropped = false;
};

class PrefsIniFile : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Path = Dir.filePath("test.ini");
    // As a user or another program leaves it: comments, blanks, odd spacing, foreign keys and sections.
    const QByteArray Foreign = "; made by hand\r\n\r\n[Other]\r\n  Colour = blue  \r\nnote without equals sign\r\n\r\n"
                               "[MainForm]\r\nWidth=950\r\n  Left   =   12\r\n; keep me\r\nUnknown=x\r\n\r\n\r\n"
                               "[Tail]\r\na=1\r\n";
};

TEST_F(PrefsIniFile, WritesTouchOnlyTheirOwnLines)
{
    PutFile(Path, Foreign);
    TIniFile ini(Path);
    ASSERT_TRUE(ini.WriteInteger("mainform", "LEFT", -8));    // in place, spacing kept
    ASSERT_TRUE(ini.WriteString("MainForm", "State", "Max")); // end of its section, before the blanks
    ASSERT_TRUE(ini.WriteString("ScopeForm", "YInc", "10"));  // new section at the end
    ASSERT_TRUE(ini.WriteString("Tail", "b", "2"));           // before the section appended after it
    QByteArray expected = Foreign;
    expected.replace("  Left   =   12", "  Left   =   -8");
    expected.replace("Unknown=x\r\n", "Unknown=x\r\nState=Max\r\n");
    expected.replace("a=1\r\n", "a=1\r\nb=2\r\n\r\n[ScopeForm]\r\nYInc=10\r\n");
    EXPECT_EQ(FileBytes(Path), expected);

    ASSERT_TRUE(ini.DeleteKey("MAINFORM", "unknown"));
    ASSERT_TRUE(ini.EraseSection("other"));
    ASSERT_TRUE(ini.EraseSection("not there"));
    expected.replace("Unknown=x\r\n", "");
    expected.replace("[Other]\r\n  Colour = blue  \r\nnote without equals sign\r\n\r\n", "");
    EXPECT_EQ(FileBytes(Path), expected);
}

TEST_F(PrefsIniFile, LfOnlyFileIsReadAndEveryFileIsWrittenWithCrLf)
{
    TIniFile created(Dir.filePath("new.ini"));
    ASSERT_TRUE(created.WriteInteger("MainForm", "Width", 950));
    EXPECT_EQ(FileBytes(Dir.filePath("new.ini")), "[MainForm]\r\nWidth=950\r\n");

    PutFile(Path, "[S]\nA=1\nB = two \n[T]\nC=3");
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString("S", "B", ""), "two");
    EXPECT_EQ(ini.ReadInteger("T", "C", 0), 3);
    ASSERT_TRUE(ini.WriteInteger("S", "A", 5));
    EXPECT_EQ(FileBytes(Path), "[S]\r\nA=5\r\nB = two \r\n[T]\r\nC=3\r\n");
}

TEST_F(PrefsIniFile, NamesMatchWithoutCaseAndValuesLoseBlanksAndQuotes)
{
    PutFile(Path, "[Scope Form]\r\nKey=  \"first\"  \r\nkey=second\r\nC=\"half\r\n;E=comment\r\n[scope form]\r\nO=1\r\n");
    const TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString(" SCOPE form ", "KEY", ""), "first");
    EXPECT_EQ(ini.ReadString("Scope Form", "C", ""), "\"half");
    EXPECT_FALSE(ini.ValueExists("scope form", "O")) << "the first section of a name counts";
    EXPECT_EQ(ini.ReadSection("Scope Form"), (QStringList{"Key", "C"}));
    EXPECT_EQ(ini.ReadString("Missing", "Key", "dflt"), "dflt");
}

TEST_F(PrefsIniFile, EveryLatinOneLetterMatchesItsOtherCaseAndReadsFollowEachChange)
{
    TIniFile ini(Path);
    ini.BeginUpdate();
    for (char16_t c = 0x41; c <= 0xFF; ++c) {
        if (!QChar(c).isUpper())
            continue;
        const QString upper(QChar{c});
        ASSERT_TRUE(ini.WriteInteger(upper, upper, c));
        const QString lower = upper.toLower();
        ASSERT_EQ(lower.compare(upper, Qt::CaseInsensitive), 0);
        EXPECT_EQ(ini.ReadInteger(lower, lower, -1), int(c)) << int(c);
    }
    // Each change in the batch is seen by the next read, before anything is saved.
    ASSERT_TRUE(ini.DeleteKey("A", "A"));
    EXPECT_FALSE(ini.ValueExists("a", "a"));
    ASSERT_TRUE(ini.EraseSection("B"));
    EXPECT_FALSE(ini.SectionExists("b"));
    ASSERT_TRUE(ini.WriteString("new", "k", "v"));
    EXPECT_EQ(ini.ReadString("NEW", "K", ""), "v");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(TIniFile(Path).ReadString("New", "k", ""), "v");
}

TEST_F(PrefsIniFile, BooleansAndIntegersFollowTheProjectRules)
{
    PutFile(Path, "[B]\r\nm1=-1\r\none=1\r\nzero=0\r\nbig=77\r\nT=True\r\nf=false\r\nU=TRUE\r\n"
                  "[I]\r\na= 42 \r\nb=-8\r\n"
                  "[Bad]\r\nyes=yes\r\nletters=abc\r\nfrac=1.5\r\nempty=\r\nhuge=99999999999\r\nhex=0x10\r\n");
    const TIniFile ini(Path);
    for (const char* key : {"m1", "one", "big", "T", "U"})
        EXPECT_TRUE(ini.ReadBool("B", key, false)) << key;
    EXPECT_FALSE(ini.ReadBool("B", "zero", true));
    EXPECT_FALSE(ini.ReadBool("B", "f", true));
    EXPECT_EQ(ini.ReadInteger("I", "a", 0) + ini.ReadInteger("I", "b", 0) + ini.ReadInteger("I", "none", 7), 41);
    EXPECT_FALSE(ini.ReadFailed());
    for (const char* key : {"letters", "frac", "empty", "huge", "hex"}) {
        const TIniFile fresh(Path);
        EXPECT_EQ(fresh.ReadInteger("Bad", key, 5), 5) << key << ": the default comes back";
        EXPECT_TRUE(fresh.ReadFailed()) << key;
    }
    const TIniFile fresh(Path);
    EXPECT_TRUE(fresh.ReadBool("Bad", "yes", true));
    EXPECT_TRUE(fresh.ReadFailed());
    EXPECT_TRUE(fresh.ErrorString().contains("yes"));
}

TEST_F(PrefsIniFile, EightBitTextRoundTripsAndTextThatCannotBeStoredIsRefused)
{
    PutFile(Path, "; caf\xE9 \xFF\xA0\r\n[S]\r\nName=Gr\xFC\xDF\x65\r\n");
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString("S", "Name", ""), QString::fromUtf8("Grüße"));
    ASSERT_TRUE(ini.WriteString("S", "Unit", QString::fromUtf8("µs ±5°")));
    const QByteArray written = "; caf\xE9 \xFF\xA0\r\n[S]\r\nName=Gr\xFC\xDF\x65\r\nUnit=\xB5s \xB1\x35\xB0\r\n";
    EXPECT_EQ(FileBytes(Path), written);
    EXPECT_EQ(TIniFile(Path).ReadString("S", "Unit", ""), QString::fromUtf8("µs ±5°"));

    // A line break would smuggle a section in; a character outside Latin-1 would be lost.
    EXPECT_FALSE(ini.WriteString("S", "Unit", "1\r\n[Evil]\r\nx=1"));
    EXPECT_FALSE(ini.WriteString("S", "Name", QString::fromUtf8("Ω")));
    EXPECT_FALSE(ini.WriteString("S]x", "k", "1"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "1"));
    EXPECT_FALSE(ini.WriteString("S", "", "1"));
    EXPECT_FALSE(ini.ErrorString().isEmpty());
    EXPECT_EQ(FileBytes(Path), written);
}

TEST_F(PrefsIniFile, EachWriteReachesTheDiskAtOnceUnlessBatched)
{
    TIniFile first(Path);
    TIniFile second(Path);
    ASSERT_TRUE(first.WriteInteger("A", "x", 1));
    ASSERT_TRUE(second.WriteInteger("B", "y", 2)); // reads the file again: A stays
    EXPECT_EQ(FileBytes(Path), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    {
        TIniFile ini(Path);
        ini.BeginUpdate();
        ini.WriteInteger("A", "x", 3);
        EXPECT_EQ(TIniFile(Path).ReadInteger("A", "x", 0), 1) << "held until UpdateFile";
        EXPECT_EQ(ini.ReadInteger("A", "x", 0), 3) << "reads see the batch";
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(TIniFile(Path).ReadInteger("A", "x", 0), 3);
        ini.BeginUpdate();
        ini.WriteInteger("A", "x", 4);
        ini.WriteString("A", "bad", "line\nbreak");
    }
    EXPECT_EQ(TIniFile(Path).ReadInteger("A", "x", 0), 4) << "an open batch is saved when the object goes";
    TIniFile ini(Path);
    ini.BeginUpdate();
    ini.WriteString("A", "bad", "line\nbreak");
    EXPECT_FALSE(ini.UpdateFile()) << "a failed write inside the batch is reported";
}

TEST_F(PrefsIniFile, WriteIntoReadOnlyFolderFailsAndKeepsTheOldFile)
{
    PutFile(Path, Foreign);
    QFile::setPermissions(Dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    TIniFile ini(Path);
    bool written = false;
    {
        const TPermissionsBind bind;
        written = ini.WriteInteger("MainForm", "Width", 1);
    }
    QFile::setPermissions(Dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_TRUE(ini.ErrorString().contains("Permission denied")) << ini.ErrorString().toStdString();
    EXPECT_EQ(FileBytes(Path), Foreign);
    EXPECT_EQ(ini.ReadInteger("MainForm", "Width", 0), 950);
}

TEST_F(PrefsIniFile, FullDiskLeavesTheOldFileAndNoHalfFile)
{
    PutFile(Path, Foreign);
    // A file size limit makes writes fail as a full disk does.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    TIniFile ini(Path);
    const bool written = ini.WriteString("MainForm", "Width", QString(300, QLatin1Char('9')));
    ini.BeginUpdate();
    ini.WriteString("MainForm", "Width", QString(300, QLatin1Char('8')));
    const bool updated = ini.UpdateFile();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(updated);
    EXPECT_EQ(ini.ReadInteger("MainForm", "Width", 0), 950) << "reads show the disk again";
    EXPECT_EQ(FileBytes(Path), Foreign);
    EXPECT_EQ(FolderEntries(Dir.path()), QStringList{"test.ini"});
}

TEST_F(PrefsIniFile, UnreadableFileFailsReadsAndIsNeverOverwritten)
{
    QDir().mkpath(Path); // a folder where the file should be
    TIniFile ini(Path);
    EXPECT_TRUE(ini.ReadFailed());
    EXPECT_FALSE(ini.WriteInteger("A", "x", 1));
    EXPECT_TRUE(QFileInfo(Path).isDir());
}

} // namespace
