// The data-logging page: mode handling, validation, the stream set-up question, locking, and the log stopped
// by a write failure or by closing the main window; the main window's header export.
#include "settings_support.h"
#include "UiTestSupport.h"

#include "app/ui/AppForms.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/MainUnit.h"
#include "persist/DataLog.h"
#include "persist/ui/DataLogPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

using namespace settingsui;

const QColor Grey(0xC0, 0xC0, 0xC0);

class DataLogPageTest : public SettingsFormTest {
protected:
    void SetUp() override
    {
        SettingsFormTest::SetUp();
        Page = Form->DataLog;
        Page->ShowErrorBox = [this](const QString& text) { Boxes << text; };
        Page->AskLogFileName = [this] { return FileName; };
        Form->SelectPage(spDataLog);
    }
    bool Grey(QLabel* label) const { return label->palette().color(QPalette::WindowText) == ::Grey; }
    QList<QWidget*> Lockable() const
    {
        QList<QWidget*> w{Page->LogCombo, Page->SampleRateSpin, Page->Button3, Page->LogCountsCheck,
                          Page->LogLTACheck, Page->LogDeltaCheck, Page->LogProxCheck, Page->LogTouchCheck,
                          Page->LogWheelCheck, Page->LogRelativeCheck, Page->ProxEventCheck, Page->TouchEventCheck,
                          Page->WheelEventCheck, Page->LowPowerCheck};
        for (QCheckBox* c : Page->LogChChecks)
            w << c;
        return w;
    }

    TDataLogPage* Page = nullptr;
    QTemporaryDir LogDir;
    QString FileName = LogDir.filePath("log.txt");
    QStringList Boxes;
};

TEST_F(DataLogPageTest, ModeEnablesItsControls)
{
    EXPECT_EQ(Page->LogDataButton->text(), "Start Log");
    EXPECT_EQ(Page->LogCombo->currentIndex(), 0);
    EXPECT_EQ(Page->SampleRateSpin->value(), 5);
    EXPECT_FALSE(Page->SampleRateSpin->isEnabled());
    EXPECT_FALSE(Page->ProxEventCheck->isEnabled());
    EXPECT_TRUE(Grey(Page->Label48));

    Page->LogCombo->setCurrentIndex(lmEventsOnly);
    for (QCheckBox* c : {Page->ProxEventCheck, Page->TouchEventCheck, Page->WheelEventCheck, Page->LowPowerCheck})
        EXPECT_TRUE(c->isEnabled());
    EXPECT_FALSE(Page->SampleRateSpin->isEnabled());

    Page->LogCombo->setCurrentIndex(lmEverySamples);
    EXPECT_TRUE(Page->SampleRateSpin->isEnabled());
    EXPECT_FALSE(Page->LowPowerCheck->isEnabled());
    EXPECT_FALSE(Grey(Page->Label48));
    Page->SampleRateSpin->setValue(17);
    EXPECT_EQ(Core->DataLog->Controls.SampleRateSpin, 17);
    EXPECT_EQ(Core->DataLog->Controls.LogCombo, lmEverySamples);

    // "Select Active Channels" takes the main window's boxes.
    Core->CHCheck = {false, true, false, true};
    Page->Button3->click();
    EXPECT_EQ(Core->DataLog->Controls.LogChCheck, (std::array<bool, 4>{false, true, false, true}));
}

TEST_F(DataLogPageTest, InvalidChoicesAreRefusedWithTheirBox)
{
    for (QCheckBox* c : Page->LogChChecks)
        c->setChecked(false);
    Page->LogDataButton->click();
    Page->LogCountsCheck->setChecked(false);
    Page->LogLTACheck->setChecked(false);
    Page->LogDataButton->click();
    // Coordinates alone need every channel box cleared.
    Page->LogWheelCheck->setChecked(true);
    Page->LogChChecks[1]->setChecked(true);
    Page->LogDataButton->click();
    EXPECT_EQ(Boxes, (QStringList{"Please select at least 1 channel to log the selected data option(s).",
                                  "Please select at least 1 data logging option.",
                                  "Please select at least 1 channel specific data logging option."}));
    EXPECT_EQ(Page->LogDataButton->text(), "Start Log");
    EXPECT_FALSE(QFile::exists(FileName));
}

TEST_F(DataLogPageTest, StartLocksThePageAndStopUnlocksEverything)
{
    FileName.clear(); // the dialog cancelled
    Page->LogDataButton->click();
    EXPECT_EQ(Page->LogDataButton->text(), "Start Log");
    EXPECT_TRUE(Msgs.Infos.isEmpty());

    FileName = LogDir.filePath("log.txt");
    Page->LogDataButton->click();
    EXPECT_EQ(Page->LogDataButton->text(), "Stop Log");
    EXPECT_TRUE(Core->DataLog->FDoLog);
    EXPECT_TRUE(Msgs.Infos.contains("Data log started"));
    for (QWidget* w : Lockable())
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(Page->LogDataButton->isEnabled());
    EXPECT_TRUE(Grey(Page->Label48) && Grey(Page->ChsLabel) && Grey(Page->ChLabels[3]));

    Page->LogDataButton->click();
    EXPECT_EQ(Page->LogDataButton->text(), "Start Log");
    EXPECT_FALSE(Core->DataLog->FDoLog);
    EXPECT_TRUE(Msgs.Infos.contains("Data log stopped"));
    // Every control again, whatever the mode.
    for (QWidget* w : Lockable())
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(Grey(Page->Label48) || Grey(Page->ChsLabel) || Grey(Page->ChLabels[0]));
    QFile f(FileName);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("Time Stamp\tTime Difference (ms)\tCount CH0"));
}

TEST_F(DataLogPageTest, AFileThatCannotBeCreatedLeavesThePageIdle)
{
    FileName = LogDir.filePath("missing/log.txt");
    Page->LogDataButton->click();
    EXPECT_EQ(Boxes, QStringList{"Unable to save log file!\nFile might be in use by another program."});
    EXPECT_TRUE(Msgs.Errors.contains("Unabled to start data log!"));
    EXPECT_EQ(Page->LogDataButton->text(), "Start Log");
    EXPECT_TRUE(Page->LogCombo->isEnabled());
}

TEST_F(DataLogPageTest, MissingStreamsAreEnabledOnYes)
{
    Form->SelectPage(spSetup);
    Form->LTACheck->click();
    Form->ApplyButtonClick();
    ASSERT_FALSE(Core->StreamSetup.LTAActive);
    Form->SelectPage(spDataLog);

    Answer = false;
    Page->LogDataButton->click();
    ASSERT_EQ(Questions.size(), 1);
    EXPECT_EQ(Questions[0], "Some of the data you want to log are not currently enabled.\n"
                            "Do you want to enable these streaming options?");
    EXPECT_FALSE(Core->StreamSetup.LTAActive);
    EXPECT_TRUE(Core->DataLog->FDoLog);
    Page->LogDataButton->click();

    Answer = true;
    Page->LogDataButton->click();
    EXPECT_EQ(Questions.size(), 2);
    EXPECT_TRUE(Core->StreamSetup.LTAActive);
    EXPECT_TRUE(Form->LTACheck->isChecked());
    EXPECT_EQ(Core->Pages.FActivePage, spDataLog);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
    EXPECT_TRUE(Core->DataLog->FDoLog);
    Page->LogDataButton->click();
}

TEST_F(DataLogPageTest, AWriteFailureStopsTheLogAndUnlocksThePage)
{
    Page->LogDataButton->click();
    ASSERT_TRUE(Core->DataLog->FDoLog);
    ASSERT_TRUE(QFile::remove(FileName));
    Core->OnLogFrame();
    EXPECT_FALSE(Core->DataLog->FDoLog);
    ASSERT_EQ(Msgs.Errors.size(), 1);
    EXPECT_TRUE(Msgs.Errors[0].startsWith("Data log stopped! Unable to write"));
    EXPECT_EQ(Page->LogDataButton->text(), "Start Log");
    EXPECT_TRUE(Page->LogCombo->isEnabled());
}

using MainWindowLogTest = ShellTest;

TEST_F(MainWindowLogTest, ClosingTheMainWindowStopsTheLog)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("log.txt");
    SettingsForm->DataLog->AskLogFileName = [&] { return file; };
    SettingsForm->DataLog->LogDataButton->click();
    TDataLog& log = *MainForm->Core().DataLog;
    ASSERT_TRUE(log.FDoLog);
    MainForm->close();
    EXPECT_FALSE(log.FDoLog);
    EXPECT_EQ(SettingsForm->DataLog->LogDataButton->text(), "Start Log");
    TKvrListBox* list = MainForm->MessageBox;
    bool stopped = false;
    for (int i = 0; i < list->count(); ++i)
        stopped = stopped || list->item(i)->text().contains("Data log stopped");
    EXPECT_TRUE(stopped);
}

TEST_F(MainWindowLogTest, ExportHFileWritesTheHeader)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("KT610_Init.h");
    MainForm->AskHFileName = [&] { return file; };
    MainForm->ExportHClick();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("#endif\t/* KT610_INIT_H */\r\n"));
    TKvrListBox* list = MainForm->MessageBox;
    EXPECT_TRUE(list->item(list->count() - 1)->text().contains("H file exported successfully"));
}

} // namespace
