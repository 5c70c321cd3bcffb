// The preferences file: first run, defaults, the error rule, the write order, the reset, and where a window
// goes for a given set of monitors.
#include "persist/IniFile.h"
#include "persist/Preferences.h"
#include "prefs_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const QRect Primary(0, 0, 1920, 1080);
const QRect RightOfPrimary(1920, 0, 1280, 1024);
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
};

TEST(PrefsPlaceWindow, MaximisedWindowIsCheckedTenPixelsInside)
{
    // A maximised frame lies a few pixels outside its monitor.
    const TWindowGeometry max{1912, -8, 950, 760, true};
    EXPECT_TRUE(Same(PlaceWindow(max, {Primary, RightOfPrimary}), max));
    EXPECT_FALSE(PlaceWindow(max, {Primary}).has_value());
    EXPECT_TRUE(Same(PlaceWindow({-8, -8, 1, 1, true}, {Primary}), {-8, -8, 1, 1, true}));
    // The second monitor was unplugged: the window stays where it is.
    EXPECT_FALSE(PlaceWindow({2500, 100, 950, 760, true}, {Primary}).has_value());
    EXPECT_FALSE(PlaceWindow({-20, -20, 950, 760, true}, {Primary}).has_value());
}

TEST(PrefsPlaceWindow, NormalWindowNeedsItsCornerOnAMonitor)
{
    const TWindowGeometry onSecond{2000, 10, 640, 480, false};
    EXPECT_TRUE(Same(PlaceWindow(onSecond, {Primary, RightOfPrimary}), onSecond));
    EXPECT_FALSE(PlaceWindow(onSecond, {Primary}).has_value());
    EXPECT_FALSE(PlaceWindow({-8, -8, 640, 480, false}, {Primary}).has_value());
    // Right and bottom edges belong to the next monitor.
    EXPECT_TRUE(PlaceWindow({1919, 1079, 10, 10, false}, {Primary}).has_value());
    EXPECT_FALSE(PlaceWindow({1920, 0, 10, 10, false}, {Primary}).has_value());
    EXPECT_FALSE(PlaceWindow({0, 0, 10, 10, false}, {}).has_value());
    // Stored numbers at the integer limits must not wrap round onto a monitor.
    EXPECT_FALSE(PlaceWindow({INT_MAX, INT_MAX, 1, 1, true}, {QRect(INT_MIN, INT_MIN, 100, 100)}).has_value());
}

TEST_F(PrefsPreferences, FirstRunCreatesTheFoldersAndAFileWithTheWidthOnly)
{
    TMainFormOptions options;
    options.Hints = false; // what the window shows now stays
    options.Tips = false;
    std::optional<TWindowGeometry> placement = Current;
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, options, placement)) << Prefs.LastError().toStdString();
    EXPECT_EQ(FileBytes(Path), "[MainForm]\r\nWidth=950\r\n");
    EXPECT_TRUE(options.Tips) << "the hints-and-tips window is shown at the first start";
    EXPECT_FALSE(options.Hints);
    EXPECT_FALSE(placement.has_value());
}

TEST_F(PrefsPreferences, MissingFileGivesEveryDefaultToTheOtherWindows)
{
    TScopeFormOptions scope;
    scope.YInc = 77;
    scope.CS.fill(false);
    std::optional<TWindowGeometry> placement;
    ASSERT_TRUE(Prefs.ReadScopeForm(Current, {Primary}, scope, placement));
    EXPECT_EQ(scope.CHColor, (std::array<uint32_t, 5>{16711680, 255, 32768, 65280, 8388736}));
    EXPECT_EQ(scope.YInc, 10);
    EXPECT_EQ(scope.XRange, 600);
    EXPECT_EQ(scope.CS, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(scope.LT, (std::array<bool, 4>{false, false, false, false}));
    EXPECT_TRUE(Same(placement, Current)) << "the window stays as it is";

    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SettingsSection, Current, {Primary}, placement));
    EXPECT_TRUE(Same(placement, Current));
    EXPECT_FALSE(QFile::exists(Path)) << "only the main window creates the file";
}

TEST_F(PrefsPreferences, MainWindowRoundTripsInTheWrittenOrder)
{
    ASSERT_TRUE(Prefs.Locate());
    PutFile(Path, "[SettingsForm]\r\nWidth=700\r\n");
    const TMainFormOptions written{false, false, true, false};
    ASSERT_TRUE(Prefs.WriteMainForm({1912, -8, 1936, 1056, true}, written));
    EXPECT_EQ(FileBytes(Path), "[SettingsForm]\r\nWidth=700\r\n\r\n[MainForm]\r\nWidth=1936\r\nHeight=1056\r\n"
                               "Left=1912\r\nTop=-8\r\nState=Max\r\nHints=0\r\nTips=0\r\nUpdates=-1\r\n"
                               "Updates1=0\r\n");
    TMainFormOptions read;
    std::optional<TWindowGeometry> placement;
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary, RightOfPrimary}, read, placement));
    EXPECT_FALSE(read.Hints);
    EXPECT_FALSE(read.Tips);
    EXPECT_TRUE(read.Updates);
    EXPECT_FALSE(read.Updates1);
    // Maximised: moved and maximised, the size stays the window's own.
    EXPECT_TRUE(Same(placement, {1912, -8, Current.Width, Current.Height, true}));
}

TEST_F(PrefsPreferences, UnparsableValueIsAReadErrorAndChangesNothing)
{
    ASSERT_TRUE(Prefs.Locate());
    PutFile(Path, "[MainForm]\r\nWidth=wide\r\nHints=0\r\n");
    TMainFormOptions options;
    std::optional<TWindowGeometry> placement;
    for (int activation = 0; activation < 2; ++activation) {
        EXPECT_FALSE(Prefs.ReadMainForm(Current, {Primary}, options, placement));
        EXPECT_TRUE(options.Hints) << "defaults stay";
        EXPECT_FALSE(placement.has_value());
        EXPECT_TRUE(Prefs.LastError().contains("Width"));
    }
    PutFile(Path, "[MainForm]\r\nWidth=900\r\nHints=0\r\nTips=yes\r\n");
    EXPECT_FALSE(Prefs.ReadMainForm(Current, {Primary}, options, placement));
    PutFile(Path, "[MainForm]\r\nWidth=900\r\nHints=0\r\n");
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, options, placement));
    EXPECT_FALSE(options.Hints) << "a Hints of 0 starts with hover hints off";
    EXPECT_TRUE(Same(placement, {Current.Left, Current.Top, 900, Current.Height, false}));

    PutFile(Path, "[ScopeForm]\r\nLT2=maybe\r\n");
    TScopeFormOptions scope;
    scope.XRange = 1200;
    EXPECT_FALSE(Prefs.ReadScopeForm(Current, {Primary}, scope, placement));
    EXPECT_EQ(scope.XRange, 1200);
    std::array<bool, 4> boxes{true, true, true, true};
    EXPECT_FALSE(Prefs.ReadScopeChannelBoxes(true, boxes));
    EXPECT_TRUE(Prefs.ReadScopeChannelBoxes(false, boxes));
}

TEST_F(PrefsPreferences, MaximisedStateReadsNoSizeAndNormalStateNeedsItsCornerOnScreen)
{
    ASSERT_TRUE(Prefs.Locate());
    PutFile(Path, "[SendComForm]\r\nState=Max\r\nLeft=-8\r\nTop=-8\r\nWidth=junk\r\n"
                  "[SettingsForm]\r\nState=Nor\r\nLeft=3000\r\nTop=10\r\nWidth=640\r\nHeight=480\r\n");
    std::optional<TWindowGeometry> placement;
    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SendComSection, Current, {Primary}, placement));
    EXPECT_TRUE(Same(placement, {-8, -8, Current.Width, Current.Height, true}));
    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SettingsSection, Current, {Primary}, placement));
    EXPECT_FALSE(placement.has_value()) << "the monitor holding it is gone";
    ASSERT_TRUE(Prefs.ReadFormGeometry(TPreferences::SettingsSection, Current, {Primary, RightOfPrimary}, placement));
    EXPECT_TRUE(Same(placement, {3000, 10, 640, 480, false}));
}

TEST_F(PrefsPreferences, ScopeWindowRoundTripsColoursAndBoxes)
{
    TScopeFormOptions written;
    written.CHColor = {RgbToBgr(0x123456), 255, 32768, 65280, 8388736};
    written.YInc = 25;
    written.XRange = 1500;
    written.CS = {true, false, true, false};
    written.LT = {false, true, false, true};
    ASSERT_TRUE(Prefs.WriteScopeForm({10, 20, 944, 509, false}, written));
    const QByteArray bytes = FileBytes(Path);
    EXPECT_TRUE(bytes.startsWith("[ScopeForm]\r\nWidth=944\r\nHeight=509\r\nLeft=10\r\nTop=20\r\nState=Nor\r\n"
                                 "CH0Color=5649426\r\nCH1Color=255\r\n"));
    EXPECT_TRUE(bytes.endsWith("YInc=25\r\nXRange=1500\r\nCS0=-1\r\nCS1=0\r\nCS2=-1\r\nCS3=0\r\n"
                               "LT0=0\r\nLT1=-1\r\nLT2=0\r\nLT3=-1\r\n"));
    TScopeFormOptions read;
    std::optional<TWindowGeometry> placement;
    ASSERT_TRUE(Prefs.ReadScopeForm(Current, {Primary}, read, placement));
    EXPECT_EQ(read.CHColor, written.CHColor);
    EXPECT_EQ(BgrToRgb(read.CHColor[0]), 0x123456u);
    EXPECT_EQ(BgrToRgb(16711680), 0x0000FFu) << "stored blue";
    EXPECT_EQ(read.YInc, 25);
    EXPECT_EQ(read.XRange, 1500);
    EXPECT_EQ(read.CS, written.CS);
    EXPECT_EQ(read.LT, written.LT);
    EXPECT_TRUE(Same(placement, {10, 20, 944, 509, false}));
    std::array<bool, 4> boxes{};
    ASSERT_TRUE(Prefs.ReadScopeChannelBoxes(true, boxes));
    EXPECT_EQ(boxes, written.LT);
}

TEST_F(PrefsPreferences, ColourThatIsNoPlainColourKeepsTheDefault)
{
    ASSERT_TRUE(Prefs.Locate());
    // A system colour of the platform and a number beyond 24 bits.
    PutFile(Path, "[ScopeForm]\r\nCH0Color=-16777201\r\nCH1Color=16777216\r\nCH2Color=0\r\n");
    TScopeFormOptions read;
    std::optional<TWindowGeometry> placement;
    ASSERT_TRUE(Prefs.ReadScopeForm(Current, {Primary}, read, placement));
    EXPECT_EQ(read.CHColor[0], 16711680u);
    EXPECT_EQ(read.CHColor[1], 255u);
    EXPECT_EQ(read.CHColor[2], 0u);
}

TEST_F(PrefsPreferences, ResetDeletesTheFileWithWhatOtherWindowsWroteAndTheNextStartIsAFirstStart)
{
    TMainFormOptions options;
    std::optional<TWindowGeometry> placement;
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, options, placement));
    ASSERT_TRUE(Prefs.WriteFormGeometry(TPreferences::SettingsSection, {1, 2, 3, 4, false}));
    ASSERT_TRUE(Prefs.WriteMainForm(Current, options));
    ASSERT_TRUE(Prefs.Delete());
    EXPECT_FALSE(QFile::exists(Path));
    EXPECT_TRUE(QFileInfo(QFileInfo(Path).absolutePath()).isDir()) << "the folders stay";
    EXPECT_TRUE(Prefs.Delete()) << "nothing left to delete is no failure";

    options.Tips = false;
    ASSERT_TRUE(Prefs.ReadMainForm(Current, {Primary}, options, placement));
    EXPECT_TRUE(options.Tips);
    EXPECT_EQ(FileBytes(Path), "[MainForm]\r\nWidth=950\r\n");
}

TEST_F(PrefsPreferences, FolderThatCannotBeMadeIsAReadError)
{
    PutFile(Dir.filePath("Korvane"), "a file where the folder should be");
    TMainFormOptions options;
    std::optional<TWindowGeometry> placement;
    EXPECT_FALSE(Prefs.ReadMainForm(Current, {Primary}, options, placement));
    EXPECT_FALSE(Prefs.LastError().isEmpty());
    EXPECT_FALSE(Prefs.WriteMainForm(Current, options));
}

TEST(PrefsLocation, FileLivesUnderTheUsersDataFolder)
{
    EXPECT_TRUE(TPreferences::DefaultFilePath().endsWith("/Korvane/KT610B/KorvaneKT610B.ini"));
    EXPECT_TRUE(TPreferences::DefaultFilePath().startsWith(TPreferences::LocalDataPath()));
    EXPECT_EQ(TPreferences().FilePath(), TPreferences::DefaultFilePath());
}

} // namespace
