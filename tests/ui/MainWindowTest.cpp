// The main window: how it reacts to messages, to tools being plugged in and pulled out, and its layout.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/CategoryPanel.h"
#include "app/ui/GraphPicture.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/MainUnit.h"
#include "app/ui/PictureBox.h"
#include "app/ui/ScopeUnit.h"
#include "settings/ui/SettingsUnit.h"
#include "toollink/ui/CtSetupUnit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <qcustomplot.h>

namespace {

QColor Background(QWidget* w)
{
    return w->palette().color(QPalette::Window);
}

QString LastMessage()
{
    TKvrListBox* list = MainForm->MessageBox;
    return list->count() ? list->item(list->count() - 1)->text() : QString();
}

using MainWindowTest = ShellTest;

TEST_F(MainWindowTest, StartsWithTheDesignState)
{
    EXPECT_EQ(MainForm->windowTitle(), QStringLiteral("Korvane KT610B"));
    EXPECT_EQ(MainForm->ApplicationTitle(), QStringLiteral("Korvane KT610B V%1 ALPHA").arg(MainForm->FAppVersion));
    EXPECT_EQ(MainForm->FAppVersion.count(QLatin1Char('.')), 3);
    EXPECT_FALSE(MainForm->ExportH->isEnabled());
    EXPECT_TRUE(MainForm->Showhelphints1->isChecked());
    EXPECT_FALSE(MainForm->StartButton->isEnabled());
    EXPECT_FALSE(MainForm->PauseButton->isEnabled());
    EXPECT_FALSE(MainForm->CtSetupButton->isEnabled());
    EXPECT_EQ(MainForm->CtLabel->text(), QStringLiteral("No device(s) connected"));
    for (QCheckBox* box : MainForm->FCHChecks)
        EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(MainForm->EventsCheck->isChecked());
    EXPECT_EQ(MainForm->FHBitsLabel->text(), QStringLiteral("0000"));
    EXPECT_EQ(MainForm->ATIBLabel->text(), QStringLiteral("No"));
    EXPECT_EQ(MainForm->BarGraph->yAxis->range(), QCPRange(0, 1500));
    EXPECT_EQ(MainForm->Series1->name(), QStringLiteral("CS"));
    EXPECT_EQ(MainForm->Series2->brush().color(), QColor(0x00, 0x40, 0x80));
    EXPECT_EQ(MainForm->MessageBox->ItemsPrefix(), QStringLiteral(" "));
    EXPECT_EQ(MainForm->ContainerPanel->minimumSize(), QSize(683, 708));
}

TEST_F(MainWindowTest, AnErrorIsAlwaysSeenAndThePanelShowsTheLatestKind)
{
    MainForm->MessagesCategory->Collapse();
    ASSERT_TRUE(MainForm->MessagesCategory->Collapsed());
    MainForm->KvrAddItem(QStringLiteral("Device power is off!"), TKvrItemType::aError);
    EXPECT_FALSE(MainForm->MessagesCategory->Collapsed());
    EXPECT_EQ(Background(MainForm->MessagesPanel), QColor(0xFF, 0x5E, 0x5E));

    MainForm->KvrAddItem(QStringLiteral("Device powered on"), TKvrItemType::aInfo);
    EXPECT_EQ(Background(MainForm->MessagesPanel), QColor(0xD5, 0xFF, 0xD5));
    EXPECT_FALSE(MainForm->MessagesCategory->Collapsed());

    // Information never opens a collapsed panel.
    MainForm->MessagesCategory->Collapse();
    MainForm->KvrAddItem(QStringLiteral("Device streaming started"), TKvrItemType::aInfo);
    EXPECT_TRUE(MainForm->MessagesCategory->Collapsed());
    EXPECT_EQ(LastMessage(), QStringLiteral(" Device streaming started"));
}

TEST_F(MainWindowTest, CheckPowerOnReportsWhenThePowerIsOff)
{
    EXPECT_FALSE(MainForm->CheckPowerOn());
    EXPECT_EQ(LastMessage(), QStringLiteral(" Device power is off!"));
    EXPECT_EQ(MainForm->MessageBox->TypeList().last(), QStringLiteral("1"));
    MainForm->Core().FPowerOn = true;
    const int before = MainForm->MessageBox->count();
    EXPECT_TRUE(MainForm->CheckPowerOn());
    EXPECT_EQ(MainForm->MessageBox->count(), before);
}

TEST_F(MainWindowTest, PluggingAToolInSelectsItAndEnablesTheButtons)
{
    PlugTool(QStringLiteral("KC60 Configuration Tool"), QStringLiteral("A1"));
    EXPECT_EQ(MainForm->CtLabel->text(), QStringLiteral("KC60 Configuration Tool"));
    EXPECT_TRUE(MainForm->CtSetupButton->isEnabled());
    EXPECT_TRUE(MainForm->StartButton->isEnabled());
    EXPECT_FALSE(MainForm->PauseButton->isEnabled());
    EXPECT_TRUE(MainForm->Core().KorvaneHidTool1->DeviceSelected);
    EXPECT_EQ(CtSetupForm->DevList->count(), 1);
    EXPECT_EQ(CtSetupForm->DevList->item(0)->checkState(), Qt::Checked);
    EXPECT_FALSE(MainForm->CtLabel->font().strikeOut());
}

TEST_F(MainWindowTest, PullingTheLastToolOutShowsNoDeviceInRed)
{
    auto tool = PlugTool(QStringLiteral("KC60 Configuration Tool"), QStringLiteral("A1"));
    const int messages = MainForm->MessageBox->count();
    UnplugTool(tool);
    EXPECT_EQ(MainForm->CtLabel->text(), QStringLiteral("No device(s) connected"));
    EXPECT_EQ(MainForm->CtLabel->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(Background(MainForm->CtPanel), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_FALSE(MainForm->CtSetupButton->isEnabled());
    EXPECT_FALSE(MainForm->StartButton->isEnabled());
    EXPECT_EQ(CtSetupForm->DevList->count(), 0);
    EXPECT_EQ(CtSetupForm->NameLabel->text(), QStringLiteral("N/A"));
    // Nothing streamed: no session to reset.
    EXPECT_EQ(MainForm->MessageBox->count(), messages);
}

TEST_F(MainWindowTest, PullingTheStreamingToolOutResetsTheSession)
{
    auto tool = PlugTool(QStringLiteral("KC60 Configuration Tool"), QStringLiteral("A1"));
    TMainCore& core = MainForm->Core();
    core.FIsStreaming = core.FPowerOn = core.FCTSetup = true;
    MainForm->SetStartCaption(QStringLiteral("Stop"));
    MainForm->SetPauseCaption(QStringLiteral("Resume"));
    MainForm->SetPauseEnabled(true);
    MainForm->SetExportHEnabled(true);
    MainForm->SetPowerButtonCaption(QStringLiteral("Power Off"));
    MainForm->StartBarTimer();

    UnplugTool(tool);
    EXPECT_EQ(LastMessage(), QStringLiteral(" Streaming device disconnected!"));
    EXPECT_EQ(MainForm->MessageBox->TypeList().last(), QStringLiteral("1"));
    EXPECT_FALSE(core.FIsStreaming || core.FIsPaused || core.FPowerOn || core.FCTSetup);
    EXPECT_EQ(MainForm->StartButton->text(), QStringLiteral("Start"));
    EXPECT_FALSE(MainForm->StartButton->isEnabled());
    EXPECT_EQ(MainForm->PauseButton->text(), QStringLiteral("Pause"));
    EXPECT_FALSE(MainForm->PauseButton->isEnabled());
    EXPECT_FALSE(MainForm->ExportH->isEnabled());
    EXPECT_EQ(SettingsForm->PowerButton->text(), QStringLiteral("Power On"));
    EXPECT_EQ(core.StartCaption, QStringLiteral("Start"));
    EXPECT_FALSE(MainForm->BarTimer->isActive());
    EXPECT_EQ(MainForm->CtLabel->text(), QStringLiteral("No device(s) connected"));
}

TEST_F(MainWindowTest, PullingASecondUnselectedToolChangesNothing)
{
    PlugTool(QStringLiteral("First Tool"), QStringLiteral("A1"));
    auto second = PlugTool(QStringLiteral("Second Tool"), QStringLiteral("B2"));
    TMainCore& core = MainForm->Core();
    EXPECT_EQ(core.KorvaneHidTool1->CurrentDeviceIndex, 0);
    core.FIsStreaming = true;
    MainForm->SetStartCaption(QStringLiteral("Stop"));
    const int messages = MainForm->MessageBox->count();

    UnplugTool(second);
    EXPECT_EQ(MainForm->MessageBox->count(), messages);
    EXPECT_TRUE(core.FIsStreaming);
    EXPECT_EQ(MainForm->StartButton->text(), QStringLiteral("Stop"));
    EXPECT_EQ(MainForm->CtLabel->text(), QStringLiteral("First Tool"));
    EXPECT_TRUE(MainForm->CtSetupButton->isEnabled());
    EXPECT_EQ(CtSetupForm->DevList->count(), 1);
    core.FIsStreaming = false;
}

TEST_F(MainWindowTest, PullingTheSelectedOfTwoToolsSwitchesToTheOther)
{
    auto first = PlugTool(QStringLiteral("First Tool"), QStringLiteral("A1"));
    PlugTool(QStringLiteral("Second Tool"), QStringLiteral("B2"));
    MainForm->Core().FIsPaused = true;

    UnplugTool(first);
    EXPECT_EQ(MainForm->CtLabel->text(), QStringLiteral("Second Tool"));
    EXPECT_EQ(MainForm->Core().KorvaneHidTool1->CurrentDeviceIndex, 0);
    EXPECT_EQ(LastMessage(), QStringLiteral(" Streaming device disconnected!"));
    EXPECT_FALSE(MainForm->Core().FIsPaused);
    EXPECT_TRUE(MainForm->StartButton->isEnabled());
}

TEST_F(MainWindowTest, ButtonsShowTheirWindows)
{
    MainForm->SetupButton->click();
    EXPECT_TRUE(SettingsForm->isVisible());
    SettingsForm->showMinimized();
    Pump(20);
    MainForm->SetupButton->click();
    Pump(20);
    EXPECT_FALSE(SettingsForm->isMinimized());

    MainForm->CMTButton->click();
    EXPECT_EQ(SettingsForm->ActivePage(), TSettingsForm::Prox1PageIndex);

    MainForm->ScopeButton->click();
    EXPECT_TRUE(ScopeForm->isVisible());

    // The tool setup window opens only while its button is enabled.
    MainForm->CtSetupButtonClick();
    EXPECT_FALSE(CtSetupForm->isVisible());
}

TEST_F(MainWindowTest, ResetMenuDeletesThePreferencesFileWhenTheProgramEnds)
{
    const QString path = MainForm->IniFilePath;
    ASSERT_FALSE(path.isEmpty());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MainForm]\r\nWidth=950\r\n");
    file.close();

    MainForm->Resetstartupapplicationsizeandposition1->trigger();
    EXPECT_EQ(LastMessage(), QStringLiteral(" Saved settings will reset on next start-up"));
    EXPECT_TRUE(QFile::exists(path)); // nothing happens until the end
    DestroyForms();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MainWindowTest, ChannelRowLinesUpUnderTheBars)
{
    MainForm->resize(1000, 760);
    ASSERT_TRUE(WaitUntil([] { return !MainForm->RePosTimer->isActive(); }));
    Pump(80);
    QCustomPlot* graph = MainForm->BarGraph;
    for (int c = 0; c < 4; ++c) {
        const int bar = graph->mapTo(MainForm, QPoint(int(graph->xAxis->coordToPixel(c)), 0)).x();
        for (QWidget* w : std::initializer_list<QWidget*>{MainForm->CHPTShape[c], MainForm->CHLabel[c],
                                                         MainForm->CSLbl[c], MainForm->DTLbl[c]}) {
            const int centre = w->mapTo(MainForm, w->rect().center()).x();
            EXPECT_NEAR(centre, bar, 3) << w->objectName().toStdString();
        }
    }
    // Separators halfway between the columns.
    for (int i = 0; i < 3; ++i) {
        const int between = (MainForm->FCHChecks[i]->x() + MainForm->FCHChecks[i + 1]->x()) / 2 +
                            MainForm->FCHChecks[0]->width() / 2;
        EXPECT_NEAR(MainForm->Shape[i]->x(), between, 1);
    }
    // The relative strip is redrawn at its new width with the marker in the middle.
    EXPECT_EQ(MainForm->FMovImageWidth, MainForm->MovImage->width());
    EXPECT_EQ(MainForm->FCurMovX, MainForm->FMovImageWidth / 2 - 3);
    const QImage& strip = MainForm->MovImage->Picture();
    EXPECT_EQ(strip.pixelColor(MainForm->FCurMovX + 2, strip.height() / 2), QColor(Qt::white));
    EXPECT_EQ(strip.pixelColor(10, strip.height() / 2), QColor(0x00, 0x40, 0x80));
    EXPECT_EQ(strip.pixelColor(0, 0), QColor(Qt::black));
}

TEST_F(MainWindowTest, GesturePicturesSitOverTheirChannels)
{
    QCustomPlot* graph = MainForm->BarGraph;
    EXPECT_TRUE(MainForm->GraphPicture->HasPicture()); // the chip's name before the first start
    auto pixel = [graph](double key) { return int(graph->xAxis->coordToPixel(key)); };

    MainForm->ShowGraphPicture(true, true, true); // flick left wins
    EXPECT_NEAR(MainForm->GraphPicture->PictureRect().center().x(), pixel(0), 1);
    MainForm->ShowGraphPicture(false, true, false);
    EXPECT_NEAR(MainForm->GraphPicture->PictureRect().right(), pixel(3), 1);
    MainForm->ShowGraphPicture(false, false, true);
    EXPECT_NEAR(MainForm->GraphPicture->PictureRect().center().x(), (pixel(1) + pixel(2)) / 2, 1);
    EXPECT_EQ(MainForm->GraphPicture->PictureRect().size(), MainForm->TapPng.size());
    MainForm->ShowGraphPicture(false, false, false);
    EXPECT_FALSE(MainForm->GraphPicture->HasPicture());

    MainForm->ShowWaitPicture();
    EXPECT_EQ(MainForm->GraphPicture->PictureRect().center(), graph->axisRect()->rect().center());
}

TEST_F(MainWindowTest, AWindowLargerThanTheWorkAreaIsSnappedToIt)
{
    const QRect area = MainForm->screen()->availableGeometry();
    MainForm->resize(area.width() + 200, area.height() + 200);
    Pump(20);
    EXPECT_LE(MainForm->frameGeometry().width(), area.width());
    EXPECT_LE(MainForm->frameGeometry().height(), area.height());
    // Smaller than the content: it scrolls instead of squeezing the controls.
    MainForm->resize(500, 400);
    Pump(20);
    EXPECT_EQ(MainForm->ScrollBox->widget()->width(), TMainForm::ClientWidth);
}

} // namespace
