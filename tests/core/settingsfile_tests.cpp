// Settings files against a tool with a register file behind it: what a saved file holds, what a load puts
// into the record and writes to the chip, and the files a load must refuse without touching anything.
#include "core/prefs_support.h"
#include "core/registers_support.h"

#include "persist/SettingsFile.h"
#include "settings/RegisterMap.h"

#include <csignal>
#include <sys/resource.h>

using namespace registers;
using namespace KT610B;

namespace {

struct FileView : View {
    QStringList ErrorBoxes;
    void ShowErrorBox(const QString& text) override { ErrorBoxes << text; }
};

// Key names of a file, "[Section]" and "Key" lines in file order.
QStringList Layout(const QByteArray& bytes)
{
    QStringList names;
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray l = line.trimmed();
        if (!l.isEmpty())
            names << QString::fromLatin1(l.startsWith('[') ? l : l.left(l.indexOf('=')));
    }
    return names;
}

const QString DemoFolder = QStringLiteral(KT610B_SOURCE_DIR "/resources/demo");

class SettingsFileTest : public RegistersTest {
protected:
    void SetUp() override
    {
        RegistersTest::SetUp();
        Core->SetView(&Screen);
        File = std::make_unique<TSettingsFile>(*Core);
        File->DemoFolder = DemoFolder;
    }
    void TearDown() override
    {
        File.reset();
        RegistersTest::TearDown();
    }
    QString Path(const QString& name = QStringLiteral("setup.ini")) const { return Dir.filePath(name); }
    bool Load(const QByteArray& bytes)
    {
        PutFile(Path(), bytes);
        Core->FSettingsFile = Path();
        Tool->Clear();
        return File->LoadSettings();
    }
    // Every stored value of the record and of the main window's checks.
    QList<int> Stored() const
    {
        QList<int> values;
        for (const auto& c : TSettingsRecord::Controls())
            if (c.Kind != TControlKind::ckText && !QStringList{"VoltageCombo", "GraphMinSpin", "GraphMaxSpin",
                                                               "GraphIncSpin", "LoadSettingsCheck",
                                                               "ReadOnStartCheck", "DeltaStrCheck"}
                                                        .contains(c.Name))
                values << Core->Settings.Value(c.Name);
        for (bool b : {Core->EventsCheck, Core->WheelCheck, Core->SliderCheck, Core->RelativeCheck})
            values << b;
        for (bool b : Core->CHCheck)
            values << b;
        return values;
    }

    QTemporaryDir Dir;
    FileView Screen;
    std::unique_ptr<TSettingsFile> File;
};

// Far from every default, and with automatic tuning off.
void Unusual(TMainCore& core)
{
    TSettingsRecord& s = core.Settings;
    s.ProjectedRiadioGroup = 1;
    s.IgnoreFHRadioGroup = 1;
    s.ATIRadio = 0;
    s.ATIPartialRadio = 1;
    s.BandRadio = 1;
    s.WDTRadio = 1;
    s.CommsModeRadio = 1;
    s.LTABetaRadio = 3;
    s.SliderRadio = 2;
    s.ACFRadio = 2;
    s.MovementRadio = 2;
    s.OutRadio = 3;
    s.TDebounceRadio = 1;
    s.TurboRadio = 1;
    s.FlickLeftRadio = 0;
    s.TapRadio = 0;
    s.Sens0Combo = 3;
    s.Comp2Combo = 15;
    s.CH0BaseCombo = 4;
    s.CH1BaseCombo = 9;
    s.CH3BaseCombo = 15;
    s.Comp1Spin = 200;
    s.ProxSpin = 9;
    s.Touch3Spin = 40;
    s.FHCheckCh2 = true;
    s.HaltSpin = 255;
    s.TimeoutSpin = 7;
    s.LPSpin = 3;
    s.Targ2Spin = 100;
    s.FlickThrSpin = 80;
    s.DeltaCheck = true;
    s.PTCheck = false;
    core.EventsCheck = false;
    core.RelativeCheck = false;
    core.CHCheck = {true, false, true, true};
}

TEST_F(SettingsFileTest, SaveThenLoadGivesTheSameRecordAndTheSameChipWrites)
{
    Unusual(*Core);
    const QList<int> saved = Stored();
    ASSERT_TRUE(File->SaveSettings(Path("a.ini")));
    EXPECT_TRUE(Msgs.Infos.contains("Settings saved successfully"));
    const QByteArray first = FileBytes(Path("a.ini"));
    EXPECT_TRUE(first.startsWith("[IC]\r\nDevice=KT610B\r\n"));
    EXPECT_FALSE(first.contains('\n' + QByteArray("CH1=") + QByteArray::number(9))); // channel 1's base is "Rest"
    EXPECT_TRUE(first.contains("[Base]\r\nCH0=4\r\nRest=9\r\nCH2=0\r\nCH3=15\r\n"));
    EXPECT_TRUE(first.contains("HaltTime=255\r\nTimeOut=7\r\n"));
    EXPECT_TRUE(first.contains("[Timings]\r\nTimeOut=3\r\n"));
    EXPECT_TRUE(first.contains("[Other]\r\nEventsCheck=0\r\nWheelCheck=-1\r\n"));
    // The demonstration files were written from the same table: the same keys in the same order.
    EXPECT_EQ(Layout(first), Layout(FileBytes(DemoFolder + "/KT610 Wheel.ini")));

    Core->Settings = TSettingsRecord();
    Core->CHCheck = {true, true, true, true};
    Core->EventsCheck = Core->RelativeCheck = true;
    Core->FSettingsFile = Path("a.ini");
    Tool->Clear();
    ASSERT_TRUE(File->LoadSettings()) << Msgs.Errors.join('\n').toStdString();
    EXPECT_EQ(Stored(), saved);
    EXPECT_TRUE(Msgs.Infos.contains("Settings loaded successfully"));
    const auto writes = Tool->Writes();
    const auto registers = Tool->Registers;

    // Saved again, the file is the same; loaded again, the chip gets the same writes and ends the same (the
    // system flags are read, changed and written back, so their intermediate bytes follow the chip).
    ASSERT_TRUE(File->SaveSettings(Path("b.ini")));
    EXPECT_EQ(FileBytes(Path("b.ini")), first);
    Core->FSettingsFile = Path("b.ini");
    Tool->Clear();
    ASSERT_TRUE(File->LoadSettings());
    const auto again = Tool->Writes();
    ASSERT_EQ(again.size(), writes.size());
    for (size_t i = 0; i < writes.size(); ++i) {
        if (writes[i][0] != SystemFlags) {
            EXPECT_EQ(again[i], writes[i]);
        }
    }
    EXPECT_EQ(Tool->Registers, registers);

    // What the chip holds: channel 1 off, slider mode wheel, the multipliers and the thresholds.
    EXPECT_EQ(Tool->Registers[ActiveChannels][0], 0x0D);
    EXPECT_EQ((Tool->Registers[ProxSettings][1] >> 2) & 3, 2);
    EXPECT_EQ(Tool->Registers[Multipliers][4], 0x94);
    EXPECT_EQ(Tool->Registers[Compensation][1], 200);
    EXPECT_EQ(Tool->Registers[Thresholds][0], 9);
    EXPECT_EQ(Tool->Registers[Thresholds][7], 7);
}

TEST_F(SettingsFileTest, OnlyTheExactIdentityIsAcceptedAndARejectedFileChangesNothing)
{
    Unusual(*Core);
    const QList<int> before = Stored();
    for (const QByteArray& file :
         {QByteArray("[IC]\r\nDevice=KT610\r\n[Thresholds]\r\nProx=30\r\n"), QByteArray("[IC]\r\nDevice=kt610b\r\n"),
          QByteArray("[Thresholds]\r\nProx=30\r\n"), QByteArray()}) {
        Msgs.Errors.clear();
        Screen.ErrorBoxes.clear();
        EXPECT_FALSE(Load(file));
        EXPECT_EQ(Msgs.Errors, QStringList{"Invalid settings file selected!"});
        EXPECT_EQ(Screen.ErrorBoxes,
                  QStringList{"The selected settings file is invalid or ment for a different device."});
        EXPECT_TRUE(Tool->Commands().empty());
        EXPECT_EQ(Stored(), before);
    }
    // A missing file has no identity either; one that cannot be read is a load error.
    Core->FSettingsFile = Path("none.ini");
    EXPECT_FALSE(File->LoadSettings());
    Msgs.Errors.clear();
    Core->FSettingsFile = Dir.path();
    EXPECT_FALSE(File->LoadSettings());
    EXPECT_EQ(Msgs.Errors, QStringList{"Error loading settings!"});
    // The section and key names match in any letter case, blanks around them and the value do not count.
    EXPECT_TRUE(Load("[ic]\r\n device = KT610B \r\n"));
}

TEST_F(SettingsFileTest, AFileWithOnlyTheIdentityLoadsEveryDefault)
{
    Unusual(*Core);
    Core->FEventMode = false;
    ASSERT_TRUE(Load("[IC]\r\nDevice=KT610B\r\n"));
    const TSettingsRecord& s = Core->Settings;
    EXPECT_EQ(s.IgnoreFHRadioGroup, -1);
    EXPECT_EQ(s.ProjectedRiadioGroup, 0);
    EXPECT_EQ(s.ATIRadio, 1);
    EXPECT_EQ(s.CommsModeRadio, 0);
    EXPECT_EQ(s.SliderRadio, 0);
    EXPECT_EQ(s.MovementRadio, 0);
    EXPECT_EQ(s.FlickLeftRadio, 1);
    EXPECT_EQ(s.ProxSpin, 4);
    EXPECT_EQ(s.Touch1Spin, 16);
    EXPECT_EQ(s.HaltSpin, 20);
    EXPECT_EQ(s.TimeoutSpin, 4);
    EXPECT_EQ(s.LPSpin, 0);
    EXPECT_EQ(s.Targ2Spin, 64);
    EXPECT_EQ(s.FlickThrSpin, 50);
    EXPECT_EQ(s.CH1BaseCombo, 0);
    EXPECT_FALSE(s.FHCheckCh2 || s.DeltaCheck);
    EXPECT_TRUE(s.LTACheck && s.CSCheck && s.PTCheck && s.WheelCheck);
    EXPECT_TRUE(Core->EventsCheck && Core->RelativeCheck);
    EXPECT_EQ(Core->CHCheck, (std::array<bool, 4>{true, true, true, true}));
    // Global filter halt is not ignored; event mode is the default mode and the tool follows it.
    EXPECT_EQ(Tool->Registers[SystemFlags][0] & 0x02, 0);
    EXPECT_TRUE(Core->FEventMode);
    bool eventMode = false;
    for (const ToolCommand& c : Tool->Commands())
        eventMode = eventMode || (c.Code == 0x1A && c.Payload == V({1}));
    EXPECT_TRUE(eventMode);
    EXPECT_EQ(Tool->Registers[Thresholds][0], 4);
    EXPECT_EQ(Tool->Registers[Timings][2], 64);
}

TEST_F(SettingsFileTest, IndexesOutsideTheItemsAndTheRestKey)
{
    ASSERT_TRUE(Load("[IC]\r\nDevice=KT610B\r\n[Multiplier]\r\nSens0=7\r\nSens1=-1\r\nComp3=15\r\n"
                     "[Base]\r\nCH1=5\r\nCH2=16\r\n[ProxSettings1]\r\nSlider=9\r\nCommsMode=1\r\n"
                     "[ProxSettings0]\r\nBand=-5\r\n[EventMask]\r\nTap=-1\r\n[Thresholds]\r\nProx=999\r\n"));
    const TSettingsRecord& s = Core->Settings;
    EXPECT_EQ(s.Sens0Combo, -1);
    EXPECT_EQ(s.Sens1Combo, -1);
    EXPECT_EQ(s.Comp3Combo, 15);
    EXPECT_EQ(s.CH1BaseCombo, 0); // "CH1" is not channel 1's key
    EXPECT_EQ(s.CH2BaseCombo, -1);
    EXPECT_EQ(s.SliderRadio, 3); // "3CH Slider"
    EXPECT_EQ(s.BandRadio, -1);
    EXPECT_EQ(s.TapRadio, -1);
    EXPECT_EQ(s.ProxSpin, 255);

    ASSERT_TRUE(Load("[IC]\r\nDevice=KT610B\r\n[Base]\r\nRest=5\r\n"));
    EXPECT_EQ(Core->Settings.CH1BaseCombo, 5);
    EXPECT_EQ(Tool->Registers[Multipliers][4] >> 4, 5);
}

TEST_F(SettingsFileTest, CheckBoxSpellingsAndValuesThatAbortTheLoad)
{
    ASSERT_TRUE(Load("[IC]\r\nDevice=KT610B\r\n[Thresholds]\r\nHaltRB0=1\r\nHaltRB1=-1\r\nHaltRB2=True\r\n"
                     "HaltRB3=true\r\n[Other]\r\nDeltaOnly=7\r\nEventsCheck=FALSE\r\n[Channels]\r\nCH2=0\r\n"));
    const TSettingsRecord& s = Core->Settings;
    EXPECT_TRUE(s.FHCheckCh0 && s.FHCheckCh1 && s.FHCheckCh2 && s.FHCheckCh3);
    EXPECT_TRUE(s.DeltaCheck);
    EXPECT_FALSE(Core->EventsCheck);
    EXPECT_FALSE(Core->CHCheck[2]);

    // A bad value anywhere, even in a key applied after the writes began: the record and the chip stay.
    const QList<int> before = Stored();
    for (const QByteArray& bad :
         {QByteArray("[Thresholds]\r\nProx=20\r\nHaltRB0=yes\r\n"), QByteArray("[Thresholds]\r\nProx=abc\r\n"),
          QByteArray("[Streaming]\r\nPT=\r\n"), QByteArray("[ProxSettings1]\r\nCommsMode=x\r\n"),
          QByteArray("[Thresholds]\r\nProx=20\r\n[ProxSettings0]\r\nAutoATI=1.5\r\n")}) {
        Msgs.Errors.clear();
        EXPECT_FALSE(Load("[IC]\r\nDevice=KT610B\r\n" + bad));
        EXPECT_EQ(Msgs.Errors, QStringList{"Error loading settings!"});
        EXPECT_TRUE(Tool->Commands().empty()) << bad.constData();
        EXPECT_EQ(Stored(), before);
        EXPECT_FALSE(Core->FLoadingSettings);
    }
}

TEST_F(SettingsFileTest, AutomaticTuningOffInAFileIsWrittenOnThenOffAndTuningStillRuns)
{
    ASSERT_TRUE(Load("[IC]\r\nDevice=KT610B\r\n[ProxSettings0]\r\nAutoATI=0\r\n[ProxSettings1]\r\nCommsMode=1\r\n"));
    std::vector<std::vector<uint8_t>> prox;
    for (const auto& w : Tool->Writes())
        if (w[0] == ProxSettings)
            prox.push_back(w);
    ASSERT_EQ(prox.size(), 3u);
    EXPECT_EQ(prox[0].size(), 6u);      // all five bytes, tuning on (bit 7 of byte 0 clear)
    EXPECT_EQ(prox[0][1] & 0x80, 0);
    EXPECT_EQ(prox[1], V({ProxSettings, 0x80}));        // the file's choice: off
    EXPECT_EQ(prox[2], V({ProxSettings, 0x80 | 0x10})); // and one tuning run
    EXPECT_EQ(Core->Settings.ATIRadio, 0);
    EXPECT_TRUE(Core->FSettingsATIMessage);
}

TEST_F(SettingsFileTest, ChipWriteFailureIsNotReportedAsSuccess)
{
    PutFile(Path(), "[IC]\r\nDevice=KT610B\r\n[ProxSettings1]\r\nCommsMode=1\r\n");
    Core->FSettingsFile = Path();
    Tool->FailNext(0x0B, Thresholds, 0x0102);
    EXPECT_FALSE(File->LoadSettings());
    EXPECT_FALSE(Msgs.Infos.contains("Settings loaded successfully"));
    EXPECT_TRUE(Msgs.Errors.contains("Error loading settings!"));
}

TEST_F(SettingsFileTest, SavingIntoAForeignFileKeepsItsOtherSections)
{
    const QByteArray foreign = "; another program's file\r\n[IC]\r\nDevice=Other\r\nVendor = someone \r\n\r\n"
                               "[Window]\r\nLeft=10\r\n";
    PutFile(Path(), foreign);
    ASSERT_TRUE(File->SaveSettings(Path()));
    const QByteArray bytes = FileBytes(Path());
    EXPECT_TRUE(bytes.startsWith("; another program's file\r\n[IC]\r\nDevice=KT610B\r\nVendor = someone \r\n\r\n"
                                 "[Window]\r\nLeft=10\r\n\r\n[Compensation]\r\n"));
    Core->FSettingsFile = Path();
    EXPECT_TRUE(File->LoadSettings());
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFile)
{
    PutFile(Path(), "[IC]\r\nDevice=KT610B\r\n");
    EXPECT_FALSE(File->SaveSettings(Dir.filePath("no such folder/setup.ini")));
    EXPECT_EQ(Msgs.Errors, QStringList{"Error saving settings!"});

    // A file size limit makes the write fail as a full disk does.
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = File->SaveSettings(Path());
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Msgs.Errors.size(), 2);
    EXPECT_EQ(FileBytes(Path()), "[IC]\r\nDevice=KT610B\r\n");
    EXPECT_EQ(FolderEntries(Dir.path()), QStringList{"setup.ini"});
}

TEST_F(SettingsFileTest, DemoSetupsLoadWithoutTouchingTheUserFile)
{
    Core->FSettingsFile = QStringLiteral("/home/user/mine.ini");
    for (int i = 0; i < 4; ++i) {
        Msgs.Errors.clear();
        EXPECT_TRUE(File->LoadDemoSettings(i)) << i << Msgs.Errors.join('\n').toStdString();
        EXPECT_EQ(Core->FSettingsFile, "/home/user/mine.ini");
        EXPECT_EQ(Core->Settings.CommsModeRadio, 1); // demonstrations stream
    }
    File->LoadDemoSettings(0);
    EXPECT_EQ(Core->Settings.SliderRadio, 2);
    EXPECT_EQ(Core->Settings.WheelFilterRadio, 0);

    File->DemoFolder = Dir.path();
    Tool->Clear();
    EXPECT_FALSE(File->LoadDemoSettings(0));
    EXPECT_EQ(Screen.ErrorBoxes,
              QStringList{"Unable to locate the settings file!\n\nPlease try reinstalling this application."});
    EXPECT_TRUE(Tool->Commands().empty());
    EXPECT_EQ(Core->FSettingsFile, "/home/user/mine.ini");
}

} // namespace
