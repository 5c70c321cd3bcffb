// The tool setup window and the main window's firmware prompts, with a simulated tool whose firmware version
// is chosen per test and the minimum versions of a temporary update-program folder.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "sim/Simulator.h"
#include "toollink/ui/CtSetupUnit.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class CtSetupWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile program(Updater.filePath("Korvane Reflash"));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.close();
        QFile minVer(Updater.filePath("minver.ini"));
        ASSERT_TRUE(minVer.open(QIODevice::WriteOnly));
        minVer.write("[CT]\r\nKC60=0105\r\n");
        minVer.close();
        qputenv("KORVANE_REFLASH_DIR", Updater.path().toLocal8Bit());
        // Every box that comes up is recorded and answered.
        QObject::connect(&BoxWatch, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            Boxes << box->text();
            box->button(Answer)->click();
        });
        BoxWatch.start(10);
    }
    void TearDown() override
    {
        BoxWatch.stop();
        DestroyForms();
        Sim.reset();
        qunsetenv("KORVANE_REFLASH_DIR");
    }
    void Start(uint32_t version)
    {
        SimOptions o;
        o.manualClock = true;
        o.scenario = QStringLiteral("idle");
        o.plugged = false;
        o.firmwareVersion = version;
        Sim = std::make_unique<TSimulator>(o);
        static int run = 0;
        CreateForms(Sim->Backend(), QStringLiteral("kt610b-ctsetup-%1-%2").arg(QCoreApplication::applicationPid()).arg(++run));
        MainForm->show();
        Pump(50);
        ASSERT_EQ(MainForm->Core().MinVer.KC60, 0x0105u) << "read at start-up through the platform lookup";
    }
    void Plug()
    {
        Sim->PlugTool();
        ASSERT_TRUE(WaitUntil([] { return MainForm->Core().KorvaneDevList1->HidDevices().Count == 1; }));
        Pump(100); // the prompt follows the device change
    }

    QTemporaryDir Updater;
    std::unique_ptr<TSimulator> Sim;
    QTimer BoxWatch;
    QStringList Boxes;
    QMessageBox::StandardButton Answer = QMessageBox::Cancel;
};

TEST_F(CtSetupWindow, OutdatedToolPromptsAndTheWindowSaysSoInRed)
{
    Start(0x0104);
    Plug();
    ASSERT_EQ(Boxes.size(), 1);
    EXPECT_EQ(Boxes[0], "The connected Configuration Tool's firmware is outdated and requires and update.\n\n"
                        "Click 'Ok' to open the Configuration Tool Setup window.");
    EXPECT_FALSE(CtSetupForm->isVisible()) << "Cancel leaves the window closed";
    EXPECT_EQ(CtSetupForm->FirmStatusLabel->text(), "Firmware is outdated!");
    EXPECT_EQ(CtSetupForm->FirmStatusLabel->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_EQ(CtSetupForm->FWVersionEdit->text(), "01.04");
    EXPECT_FALSE(MainForm->StartButton->isEnabled());
    EXPECT_EQ(MainForm->CtLabel->toolTip(), "Firmware update required");

    // OK opens the window, not modal.
    Sim->UnplugTool();
    ASSERT_TRUE(WaitUntil([] { return MainForm->Core().KorvaneDevList1->HidDevices().Count == 0; }));
    Answer = QMessageBox::Ok;
    Plug();
    EXPECT_EQ(Boxes.size(), 2);
    EXPECT_TRUE(CtSetupForm->isVisible());
    EXPECT_FALSE(CtSetupForm->isModal());
}

TEST_F(CtSetupWindow, CurrentToolIsUpToDateWithoutPrompt)
{
    Start(0x0106);
    Plug();
    EXPECT_TRUE(Boxes.isEmpty());
    EXPECT_EQ(CtSetupForm->FirmStatusLabel->text(), "Firmware is up to date");
    EXPECT_EQ(CtSetupForm->FirmStatusLabel->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
    EXPECT_EQ(CtSetupForm->ReleaseEdit->text(), "Customer");
    EXPECT_TRUE(MainForm->StartButton->isEnabled());
    EXPECT_EQ(MainForm->CtLabel->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
}

TEST_F(CtSetupWindow, CheckBoxesActAsASingleChoiceAndClosingKeepsOneChecked)
{
    Start(0x0106);
    Plug();
    MainForm->Core().KorvaneHidTool1->ReadWaitMs = 100; // the second tool never answers
    auto second = std::make_shared<SilentTool>(QStringLiteral("Second Tool"), QStringLiteral("B2"));
    Sim->Backend()->Plug(second);
    ASSERT_TRUE(WaitUntil([] { return MainForm->Core().KorvaneDevList1->HidDevices().Count == 2; }));
    Pump(50);
    QListWidget* list = CtSetupForm->DevList;
    ASSERT_EQ(list->count(), 2);
    CtSetupForm->show();

    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(CtSetupForm->FCheckedItem, 1);
    EXPECT_EQ(CtSetupForm->FSelectedItem, 1);
    EXPECT_EQ(MainForm->Core().KorvaneHidTool1->CurrentDeviceIndex, 1);

    list->item(1)->setCheckState(Qt::Unchecked);
    MainForm->Core().KorvaneHidTool1->SetCurrentDevice(0);
    CtSetupForm->CloseButton->click();
    EXPECT_FALSE(CtSetupForm->isVisible());
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(MainForm->Core().KorvaneHidTool1->CurrentDeviceIndex, 1);
}

TEST_F(CtSetupWindow, ClosingWhileAnUpdateRunsAsksFirst)
{
    Start(0x0106);
    Plug();
    CtSetupForm->show();
    MainForm->Core().FUpdating = true;
    Answer = QMessageBox::Ok;
    CtSetupForm->close();
    EXPECT_TRUE(CtSetupForm->isVisible());
    ASSERT_EQ(Boxes.size(), 1);
    EXPECT_TRUE(Boxes[0].endsWith("If something when wrong during the update click 'Cancel' to close this window."));
    Answer = QMessageBox::Cancel;
    CtSetupForm->close();
    EXPECT_FALSE(CtSetupForm->isVisible());
    MainForm->Core().FUpdating = false;
}

} // namespace
