// The preferences file: first run, defaults, the error rule, the write order, the reset, and where a window
// goes for a given set of monitors.
#include "persist/Preferences.h"
#include "prefs_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const QRect Primary(0, 0, 1920, 1080);
const QRect Second(1920, 0, 1280, 1024);
const TWindowGeometry Current{100, 50, 950, 760, false};

bool Same(const std::optional<TWindowGeometry>& g, const TWindowGeometry& e)
{
    return g && g->Left == e.Left && g->Top == e.Top && g->Width == e.Width && g->Height == e.Height &&
           g->Maximised == e.Maximised;
}

class PrefsPreferences : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    // Both folders are missing at the start, as on a new account.
    QString Path = Dir.filePath("Korvane/KT610B/KorvaneKT610B.ini");
    TPreferences Prefs{Path};
    TMainFormOptions Options;
    std::optional<TWindowGeometry> Placement;
};

TEST(PrefsPlaceWindow, StoredPositionMustLieOnAMonitor)
{
    // A maximised frame reaches a few pixels beyond its monitor: checked 10 pixels inside.
    const TWindowGeometry max{1912, -8, 950, 760, true};
    EXPECT_TRUE(Same(PlaceWindow(max, {Primary, Second}), max));
    EXPECT_FALSE(PlaceWindow(max, {Primary}).has_value()) << "second monitor unplugged";
    EXPECT_TRUE(PlaceWindow({-8, -8, 1, 1, true}, {Primary}).has_value());
    EXPECT_FALSE(PlaceWindow({-8, -8, 1, 1, false}, {Primary}).has_value());
    const TWindowGeometry normal{2000, 10, 640, 480, false};
    EXPECT_TRUE(Same(PlaceWindow(normal, {Primary, Second}), normal));
    EXPECT_FALSE(PlaceWindow(normal, {Primary}).has_value());
    EXPECT_TRUE(PlaceWindow({1919, 1079, 10, 10, false}, {Primary}).has_value());
    EXPECT_FALSE(PlaceWindow({1920, 0, 10, 10, false}, {Primary}).has_value());
    // The offset must not wrap a stored number at the limit round onto a monitor.
    EXPECT_FALSE(PlaceWindow({INT_MAX, INT_MAX, 1, 1, true}, {QRect(INT_MIN, INT_MIN, 100, 100)}).has_value());
}

TEST_F(PrefsPreferences, FirstRunCreatesTheFileWithTheWidthOnlyAndShowsTheTips)
{
    Options.Hints = false; // what the window shows stays
    Options.Tips = false;
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, Options, Placement)) << Prefs.LastError().toStdString();
    EXPECT_EQ(FileBytes(Path), "[MainForm]\r\nWidth=950\r\n");
    EXPECT_TRUE(Options.Tips);
    EXPECT_FALSE(Options.Hints);
    EXPECT_FALSE(Placement.has_value());
}

TEST_F(PrefsPreferences, MissingFileGivesTheOtherWindowsEveryDefault)
{
    TScopeFormOptions scope;
    scope.YInc = 77;
    scope.CS.fill(false);
    ASSERT_TRUE(Prefs.ReadScopeForm(Current, {Primary}, scope, Placement));
    EXPECT_EQ(scope.CHColor, (std::array<uint32_t, 5>{16711680, 255, 32768, 65280, 8388736}));
    EXPECT_EQ(scope.YInc, 10);
    EXPECT_EQ(scope.XRange, 600);
    EXPECT_EQ(scope.CS, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(scope.LT, (std::array<bool, 4>{}));
    EXPECT_TRUE(Same(Placement, Current)) << "the window stays as it is";
    EXPECT_FALSE(QFile::exists(Path)) << "only the main window creates the file";
}

TEST_F(PrefsPreferences, MainWindowRoundTripsInTheWrittenOrder)
{
    ASSERT_TRUE(Prefs.Locate());
    PutFile(Path, "[SettingsForm]\r\nWidth=700\r\n");
    ASSERT_TRUE(Prefs.WriteMainForm({1912, -8, 1936, 1056, true}, {false, false, true, false}));
    EXPECT_EQ(FileBytes(Path), "[SettingsForm]\r\nWidth=700\r\n\r\n[MainForm]\r\nWidth=1936\r\nHeight=1056\r\n"
                               "Left=1912\r\nTop=-8\r\nState=Max\r\nHints=0\r\nTips=0\r\nUpdates=-1\r\nUpdates1=0\r\n");
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary, Second}, Options, Placement));
    EXPECT_FALSE(Options.Hints);
    EXPECT_FALSE(Options.Tips);
    EXPECT_TRUE(Options.Updates);
    EXPECT_FALSE(Options.Updates1);
    EXPECT_TRUE(Same(Placement, {1912, -8, Current.Width, Current.Height, true})) << "maximised keeps its size";
}

TEST_F(PrefsPreferences, UnparsableValueIsAReadErrorAtEveryTryAndChangesNothing)
{
    ASSERT_TRUE(Prefs.Locate());
    PutFile(Path, "[MainForm]\r\nWidth=wide\r\nHints=0\r\n");
    for (int activation = 0; activation < 2; ++activation) {
        EXPECT_FALSE(Prefs.ReadMainForm(Current, {Primary}, Options, Placement));
        EXPECT_TRUE(Options.Hints) << "defaults stay";
        EXPECT_TRUE(Prefs.LastError().contains("Width"));
    }
    PutFile(Path, "[MainForm]\r\nWidth=900\r\nHints=0\r\n");
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, Options, Placement));
    EXPECT_FALSE(Options.Hints) << "Hints=0 starts with hover hints off";
    EXPECT_TRUE(Same(Placement, {Current.Left, Current.Top, 900, Current.Height, false}));

    PutFile(Path, "[ScopeForm]\r\nXRange=900\r\nLT2=maybe\r\n");
    TScopeFormOptions scope;
    EXPECT_FALSE(Prefs.ReadScopeForm(Current, {Primary}, scope, Placement));
    EXPECT_EQ(scope.XRange, 600);
    std::array<bool, 4> boxes{};
    EXPECT_FALSE(Prefs.ReadScopeChannelBoxes(true, boxes));
    EXPECT_TRUE(Prefs.ReadScopeChannelBoxes(false, boxes));
    EXPECT_EQ(boxes, (std::array<bool, 4>{true, true, true, true}));
}

TEST_F(PrefsPreferences, MaximisedStateReadsNoSizeAndAPositionOffScreenIsIgnored)
{
    ASSERT_TRUE(Prefs.Locate());
    PutFile(Path, "[SendComForm]\r\nState=Max\r\nLeft=-8\r\nTop=-8\r\nWidth=junk\r\n"
                  "[SettingsForm]\r\nState=Nor\r\nLeft=3000\r\nTop=10\r\nWidth=640\r\nHeight=480\r\n");
    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SendComSection, Current, {Primary}, Placement));
    EXPECT_TRUE(Same(Placement, {-8, -8, Current.Width, Current.Height, true}));
    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SettingsSection, Current, {Primary}, Placement));
    EXPECT_FALSE(Placement.has_value());
    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SettingsSection, Current, {Primary, Second}, Placement));
    EXPECT_TRUE(Same(Placement, {3000, 10, 640, 480, false}));
}

TEST_F(PrefsPreferences, ScopeWindowRoundTripsAndKeepsDefaultsForColoursThatAreNotPlain)
{
    TScopeFormOptions written;
    written.CHColor[0] = RgbToBgr(0x123456);
    written.YInc = 25;
    written.CS = {true, false, true, false};
    written.LT = {false, true, false, true};
    ASSERT_TRUE(Prefs.WriteScopeForm({10, 20, 944, 509, false}, written));
    const QByteArray bytes = FileBytes(Path);
    EXPECT_TRUE(bytes.startsWith("[ScopeForm]\r\nWidth=944\r\nHeight=509\r\nLeft=10\r\nTop=20\r\nState=Nor\r\n"
                                 "CH0Color=5649426\r\nCH1Color=255\r\n"));
    EXPECT_TRUE(bytes.endsWith("YInc=25\r\nXRange=600\r\nCS0=-1\r\nCS1=0\r\nCS2=-1\r\nCS3=0\r\n"
                               "LT0=0\r\nLT1=-1\r\nLT2=0\r\nLT3=-1\r\n"));
    TScopeFormOptions read;
    ASSERT_TRUE(Prefs.ReadScopeForm(Current, {Primary}, read, Placement));
    EXPECT_EQ(read.CHColor, written.CHColor);
    EXPECT_EQ(read.YInc, 25);
    EXPECT_EQ(read.CS, written.CS);
    EXPECT_EQ(read.LT, written.LT);
    EXPECT_TRUE(Same(Placement, {10, 20, 944, 509, false}));

    // A system colour of the platform and a number beyond 24 bits.
    PutFile(Path, "[ScopeForm]\r\nCH0Color=-16777201\r\nCH1Color=16777216\r\nCH2Color=0\r\n");
    ASSERT_TRUE(Prefs.ReadScopeForm(Current, {Primary}, read, Placement));
    EXPECT_EQ(read.CHColor[0], 16711680u);
    EXPECT_EQ(read.CHColor[1], 255u);
    EXPECT_EQ(read.CHColor[2], 0u);
}

TEST_F(PrefsPreferences, ResetRemovesEverySectionAndTheNextStartIsAFirstStart)
{
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, Options, Placement));
    ASSERT_TRUE(Prefs.WriteFormGeometry(TPreferences::SettingsSection, {1, 2, 3, 4, false}));
    ASSERT_TRUE(Prefs.WriteMainForm(Current, Options));
    ASSERT_TRUE(Prefs.Delete());
    EXPECT_FALSE(QFile::exists(Path));
    EXPECT_TRUE(QFileInfo(QFileInfo(Path).absolutePath()).isDir()) << "the folders stay";
    Options.Tips = false;
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, Options, Placement));
    EXPECT_TRUE(Options.Tips);
    EXPECT_EQ(FileBytes(Path), "[MainForm]\r\nWidth=950\r\n");

    PutFile(Dir.filePath("blocked"), "a file where the folder should be");
    TPreferences blocked(Dir.filePath("blocked/KT610B/KorvaneKT610B.ini"));
    EXPECT_FALSE(blocked.ReadMainForm(Current, {Primary}, Options, Placement));
    EXPECT_FALSE(blocked.WriteMainForm(Current, Options));
}

} // namespace
