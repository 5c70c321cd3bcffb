// The tool setup window's firmware verdict and updates, against the simulated tool: minimum versions from a
// temporary minver.ini beside a stand-in update program that records how it was started.
#include "app/CtSetup.h"
#include "app/MainCore.h"
#include "persist/MinVer.h"
#include "sim/Simulator.h"
#include "toollink/ToolFilter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Messages : IMessageSink {
    QStringList Items;
    int KvrAddItem(const QString& item, TKvrItemType kind) override
    {
        Items << (kind == TKvrItemType::aError ? "E: " : "I: ") + item;
        return int(Items.size()) - 1;
    }
};

// The main window's tool panel and session buttons.
struct PanelView : IMainView {
    bool StartEnabled = true, PauseEnabled = true, StruckOut = false;
    QString Label, Hint;
    uint32_t LabelColour = 0, PanelColour = 0;
    void SetStartEnabled(bool e) override { StartEnabled = e; }
    void SetPauseEnabled(bool e) override { PauseEnabled = e; }
    void SetCtLabel(const QString& text, uint32_t colour, bool, bool struck) override
    {
        Label = text, LabelColour = colour, StruckOut = struck;
    }
    void SetCtLabelHint(const QString& hint) override { Hint = hint; }
    void SetCtPanelColour(uint32_t colour) override { PanelColour = colour; }
};

struct SetupView : ICtSetupView {
    QStringList Rows, Questions, Warnings, Errors;
    int Checked = -2;
    TToolDetails Details;
    TFirmwareVerdict Verdict;
    bool Answer = true;
    void ShowRows(const QStringList& names, int checked) override { Rows = names, Checked = checked; }
    void ShowDetails(const TToolDetails& d) override { Details = d; }
    void ShowVerdict(const TFirmwareVerdict& v) override { Verdict = v; }
    bool AskYesNo(const QString& q) override { return Questions << q, Answer; }
    void ShowWarning(const QString& t) override { Warnings << t; }
    void ShowError(const QString& t) override { Errors << t; }
};

struct Tool {
    uint16_t Product = ToolFilter::KC60;
    uint32_t Version = 0x0106;
    uint8_t Build = 19;
    uint8_t Release = 0x0C;
};

class FirmwareCheck : public ::testing::Test {
protected:
    // Plugs the simulated tool in and reads the minimum versions as the main window does at start-up.
    void Start(const Tool& tool, const QByteArray& minVer, QList<SimErrorFault> faults = {})
    {
        SimOptions o;
        o.manualClock = true;
        o.seed = 3;
        o.scenario = QStringLiteral("idle");
        o.productId = tool.Product;
        o.firmwareVersion = tool.Version;
        o.firmwareBuild = tool.Build;
        o.firmwareRelease = tool.Release;
        o.dfuDelayMs = DfuDelayMs;
        o.faults.errors = faults;
        Sim = std::make_unique<TSimulator>(o);
        Put(Updater.filePath("minver.ini"), "[CT]\r\n" + minVer);
        Put(Updater.filePath("Korvane Reflash"),
            "#!/bin/sh\n{ printf '%s\\n' \"$@\"; pwd; } > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
        QFile(Updater.filePath("Korvane Reflash")).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);

        Core = std::make_unique<TMainCore>(Sim->Backend(), &Msgs, &Panel);
        const TUpdaterCheck check = CheckMinimumVersions(Updater.path());
        Core->FUpdaterPath = check.FUpdaterPath;
        Core->FUpdaterInstalled = check.FUpdaterInstalled;
        Core->MinVer = check.MinVer;
        Core->KorvaneDevList1->Activate();
        ASSERT_TRUE(WaitFor([this] { return Core->KorvaneDevList1->HidDevices().Count == 1; }));
        Setup = std::make_unique<TCtSetup>(*Core, View);
        Setup->ProgramFolder = Program.path();
        Setup->UpdateList();
    }
    void TearDown() override
    {
        Setup.reset();
        Core.reset();
    }
    // What the stand-in update program was started with: its arguments, then its working folder.
    QStringList UpdaterRun()
    {
        const QString path = Updater.filePath("Korvane Reflash.args");
        WaitFor([&] { return QFile::exists(path); });
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    QString Status() const { return View.Verdict.StatusText(); }

    int DfuDelayMs = 60000; // the tool stays away after EnterDFU unless a test waits for it
    QTemporaryDir Updater, Program;
    Messages Msgs;
    PanelView Panel;
    SetupView View;
    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TMainCore> Core;
    std::unique_ptr<TCtSetup> Setup;
};

TEST(FirmwareTexts, VersionReleaseAndOfferedVersionTexts)
{
    EXPECT_EQ(Hex4Dot(0x0106), "01.06");
    EXPECT_EQ(Hex4Dot(0x7), "00.07");
    EXPECT_EQ(Hex4Dot(0x12345), "12.345");
    EXPECT_EQ(ReleaseName(10), "Alpha");
    EXPECT_EQ(ReleaseName(11), "Beta");
    EXPECT_EQ(ReleaseName(12), "Customer");
    EXPECT_EQ(ReleaseName(13), "Custom");
    EXPECT_EQ(ReleaseName(0), "Custom");
    EXPECT_EQ(PackedVersionText(ShippedFirmware::KC60), "V01.06 Build 19 Release 0C");
    EXPECT_EQ(PackedVersionText(ShippedFirmware::KC60A), "V01.00 Build 1 Release 0B");
    EXPECT_EQ(PackedVersionText(ShippedFirmware::KD30), "V01.27 Build 1 Release 0A");
}

TEST_F(FirmwareCheck, CurrentFirmwareIsUpToDate)
{
    Start({}, "KC60=0105\r\n");
    EXPECT_EQ(Status(), "Firmware is up to date");
    EXPECT_EQ(View.Verdict.StatusColour(), 0x008000u);
    EXPECT_EQ(View.Verdict.PanelColour(), 0xF0FFF0u);
    EXPECT_FALSE(Setup->UpdatePref);
    EXPECT_FALSE(Setup->FOutdated);
    EXPECT_TRUE(Panel.StartEnabled);
    EXPECT_FALSE(Panel.PauseEnabled) << "nothing streams";
    EXPECT_EQ(Panel.LabelColour, 0x008000u);
    EXPECT_EQ(Panel.Hint, "");
    EXPECT_EQ(Panel.PanelColour, 0xF0F0F0u);
    EXPECT_EQ(View.Checked, 0);
    EXPECT_EQ(View.Details.FWVersion, "01.06");
    EXPECT_EQ(View.Details.Build, "19");
    EXPECT_EQ(View.Details.Release, "Customer");
    EXPECT_EQ(View.Details.Serial, "KC60-SIM-0001");
    // No offered version known: the plain minimum is shown.
    EXPECT_EQ(View.Verdict.PrefFirm.value_or("?"), "01.05");
    EXPECT_FALSE(Setup->FLocalPref);
}

TEST_F(FirmwareCheck, OlderBuildIsARecommendedUpdate)
{
    Start({ToolFilter::KC60, 0x0106, 18, 0x0C}, "KC60=0105\r\n");
    EXPECT_EQ(Status(), "Firmware update is recommended");
    EXPECT_EQ(View.Verdict.StatusColour(), 0xFF8000u);
    EXPECT_EQ(View.Verdict.PanelColour(), 0xFFE9D2u);
    EXPECT_TRUE(Setup->UpdatePref);
    EXPECT_FALSE(Setup->FOutdated);
    EXPECT_TRUE(Panel.StartEnabled);
    EXPECT_EQ(Panel.Hint, "firmware update recommended");
    EXPECT_EQ(Panel.PanelColour, 0xFFE9D2u);
}

TEST_F(FirmwareCheck, FirmwareBelowTheMinimumIsOutdatedAndBlocksStartUnlessEngineering)
{
    Start({ToolFilter::KC60, 0x0104, 19, 0x0C}, "KC60=0105\r\n");
    EXPECT_EQ(Status(), "Firmware is outdated!");
    EXPECT_EQ(View.Verdict.StatusColour(), 0xFF0000u);
    EXPECT_EQ(View.Verdict.PanelColour(), 0xFFF0F0u);
    EXPECT_TRUE(Setup->FOutdated);
    EXPECT_FALSE(Setup->UpdatePref);
    EXPECT_FALSE(Panel.StartEnabled);
    EXPECT_FALSE(Panel.PauseEnabled);
    EXPECT_EQ(Panel.Hint, "Firmware update required");
    EXPECT_EQ(Panel.PanelColour, 0xFFCECEu);
    EXPECT_TRUE(View.Verdict.UpdateEnabled) << "the outdated tool can be updated";

    Panel.StartEnabled = Panel.PauseEnabled = true;
    Setup->Engineering = true;
    Setup->UpdateList();
    EXPECT_TRUE(Setup->FOutdated);
    EXPECT_TRUE(Panel.StartEnabled);
    EXPECT_TRUE(Panel.PauseEnabled);
}

TEST_F(FirmwareCheck, FailedVersionQueryIsJudgedAsVersionZero)
{
    Start({}, "KC60=0105\r\n", {SimErrorFault{0x09, 0x0203, -1}});
    EXPECT_EQ(View.Details.FWVersion, "00.00");
    EXPECT_EQ(View.Details.Build, "0");
    EXPECT_EQ(Status(), "Firmware is outdated!");
}

TEST_F(FirmwareCheck, OfferedVersionAgainstTheShippedFile)
{
    Start({}, "KC60=0105\r\nKC60N=0106130C\r\n");
    EXPECT_TRUE(Setup->FLocalPref);
    EXPECT_EQ(View.Verdict.PrefFirm.value_or("?"), "V01.06 Build 19 Release 0C");

    Core->MinVer.KC60N = 0x0107020D;
    Setup->UpdateList();
    EXPECT_FALSE(Setup->FLocalPref);
    EXPECT_EQ(View.Verdict.PrefFirm.value_or("?"), "V01.07 Build 2 Release 0D");
    EXPECT_EQ(View.Verdict.StabFirm.value_or("?"), "V01.07 Build 2 Release 0D");
}

TEST_F(FirmwareCheck, KC60AMinimumIsTheHighWordOfItsPackedValue)
{
    Start({ToolFilter::KC60A, 0x0100, 1, 0x0B}, "KC60A=0100FFFF\r\n");
    EXPECT_EQ(Status(), "Firmware is up to date");
    EXPECT_FALSE(Setup->FLocalPref) << "offered 0100FFFF is newer than the shipped 0100010B";

    Core->MinVer.KC60A = 0x0101000A;
    Setup->UpdateList();
    EXPECT_EQ(Status(), "Firmware is outdated!");
}

TEST_F(FirmwareCheck, CustomReleaseByteAndKD30)
{
    Start({ToolFilter::KD30, 0x0127, 1, 13}, "KD30=0120\r\n");
    EXPECT_EQ(View.Details.Release, "Custom");
    EXPECT_EQ(View.Details.FWVersion, "01.27");
    // Release 13 is above the shipped 0A: nothing newer to offer.
    EXPECT_EQ(Status(), "Firmware is up to date");
}

TEST_F(FirmwareCheck, UnsupportedModelBlocksStartAndStrikesTheToolOut)
{
    Start({ToolFilter::KC70, 0x0200, 1, 0x0C}, "KC70=0105\r\n");
    EXPECT_EQ(Status(), "Unsupported device");
    EXPECT_FALSE(View.Verdict.UpdateEnabled);
    EXPECT_EQ(View.Verdict.StabFirm.value_or("?"), "V01.05");
    EXPECT_FALSE(Setup->FOutdated);
    EXPECT_FALSE(Panel.StartEnabled);
    EXPECT_TRUE(Panel.StruckOut);
    EXPECT_EQ(Panel.LabelColour, 0xFF0000u);
    EXPECT_EQ(Panel.Hint, "Unsupported device");
}

TEST_F(FirmwareCheck, WithoutMinimaNothingIsOutdated)
{
    Start({ToolFilter::KC60, 0x0001, 0, 0}, "");
    EXPECT_FALSE(Setup->FOutdated);
    EXPECT_EQ(Status(), "Firmware update is recommended");
    EXPECT_EQ(View.Verdict.PrefFirm.value_or("?"), "00.00");
}

TEST_F(FirmwareCheck, LocalUpdateStartsTheUpdaterWithTheShippedFileForTheModel)
{
    Start({ToolFilter::KC60, 0x0104, 19, 0x0C}, "KC60=0105\r\nKC60N=0106130C\r\n");
    // A KC60 must not take the KC60A file although its name contains KC60.
    Put(Program.filePath("KC60A_fw.dfu"), "a");
    Put(Program.filePath("KD30_fw.dfu"), "d");
    Put(Program.filePath("KC60_fw.dfu"), "c");
    Setup->UpdateButtonClick();
    ASSERT_EQ(View.Questions.size(), 1);
    EXPECT_TRUE(View.Questions[0].startsWith("This will update the Configuration tool"));
    EXPECT_EQ(UpdaterRun(), QStringList({"KC60_fw.dfu", "Y", QDir(Program.path()).canonicalPath()}));
    EXPECT_TRUE(Core->FUpdating);
    EXPECT_EQ(Core->DeviceSerial, "KC60-SIM-0001");
    EXPECT_TRUE(Msgs.Items.contains("I: Updating Firmware..."));

    // A second update while one runs is refused.
    Setup->UpdateButtonClick();
    EXPECT_EQ(View.Warnings, QStringList{TCtSetup::BusyText});
    EXPECT_EQ(View.Questions.size(), 1);
}

TEST_F(FirmwareCheck, UpdaterOwnFirmwareAndCustomFileArguments)
{
    Start({}, "KC60=0105\r\nKC60N=0107010C\r\n");
    Setup->UpdateButtonClick(); // the offered version is newer than the shipped one
    EXPECT_EQ(UpdaterRun().value(0), "Override");
    EXPECT_TRUE(Core->FUpdating);

    Core->FUpdating = false;
    QFile::remove(Updater.filePath("Korvane Reflash.args"));
    const QString custom = Program.filePath("my build.dfu");
    Put(custom, "x");
    Setup->UpdateCustom(custom);
    EXPECT_EQ(View.Questions.last(), "Are you sure you want to continue and update the Configuration tool with "
                                     "the following firmware file? :\n\nmy build.dfu");
    EXPECT_EQ(UpdaterRun().mid(0, 2), QStringList({custom, "Y"}));
}

TEST_F(FirmwareCheck, UpdateRefusalsAndFailures)
{
    Start({}, "KC60=0105\r\nKC60N=0106130C\r\n");
    Setup->UpdateButtonClick();
    EXPECT_EQ(View.Errors.value(0), "Unable to find update file. Please run the installation setup for this "
                                    "application to rectify this problem.");
    Put(Program.filePath("KD30_fw.dfu"), "d");
    Setup->UpdateButtonClick();
    EXPECT_EQ(View.Errors.value(1), "The update file could not be located, please try reinstalling this program "
                                    "or contact Korvane for support.");

    View.Answer = false;
    Setup->RevertButtonClick();
    EXPECT_FALSE(Core->FUpdating) << "No keeps everything as it was";

    // An update program that cannot start sets nothing and reports nothing.
    View.Answer = true;
    QFile::remove(Updater.filePath("Korvane Reflash"));
    Setup->RevertButtonClick();
    EXPECT_FALSE(Core->FUpdating);
    EXPECT_FALSE(Msgs.Items.contains("I: Updating Firmware..."));
}

TEST_F(FirmwareCheck, UpdatedToolIsRecognisedWhenItComesBack)
{
    DfuDelayMs = 100;
    Start({}, "KC60=0105\r\n");
    const QString custom = Program.filePath("KC60.dfu");
    Put(custom, "x");
    Setup->UpdateCustom(custom); // EnterDFU: the simulated tool leaves the bus and returns
    ASSERT_TRUE(Core->FUpdating);
    EXPECT_TRUE(WaitFor([&] { return Msgs.Items.contains("I: Firmware update completed"); }));
    EXPECT_FALSE(Core->FUpdating);
}

} // namespace
