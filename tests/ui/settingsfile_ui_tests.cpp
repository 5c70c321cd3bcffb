// The settings window's "Save / Load Settings" group and the start-up chooser, with the dialogs answered by
// the test.
#include "settings_support.h"

#include "persist/ui/StartupUnit.h"
#include "settings/ui/KvrRadioGroup.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace settingsui;

namespace {

class SettingsFileUi : public SettingsFormTest {
protected:
    void SetUp() override
    {
        SettingsFormTest::SetUp();
        Form->AskOpenSettingsFile = [this] {
            ++Opens;
            return OpenAnswer;
        };
        Form->AskSaveSettingsFile = [this](const QString& initial) {
            SaveInitial << initial;
            return SaveAnswer;
        };
        Form->AskUpdateBeforeSave = [this](const QString& text) {
            Questions << text;
            return SaveQuestionAnswer;
        };
    }
    bool Bold() const { return Form->LoadSettingsCheck->font().bold(); }

    QTemporaryDir Dir;
    int Opens = 0;
    QString OpenAnswer;
    QString SaveAnswer;
    QStringList SaveInitial;
    int SaveQuestionAnswer = 1;
};

TEST_F(SettingsFileUi, settingsfile_ChoosingAFileAndLoadOnStartUp)
{
    EXPECT_EQ(Form->SettingsFileEdit->text(), "Settings file...");
    EXPECT_FALSE(Form->LoadSettingsButton->isEnabled());

    // Checked with no file: the selection opens; cancelled, the box is cleared again.
    Form->LoadSettingsCheck->click();
    EXPECT_EQ(Opens, 1);
    EXPECT_FALSE(Form->LoadSettingsCheck->isChecked());
    EXPECT_FALSE(S().LoadSettingsCheck);
    EXPECT_FALSE(Bold());

    const QString path = Dir.filePath("bench setup.ini");
    OpenAnswer = path;
    Form->SettingsFileButton->click();
    EXPECT_EQ(Core->FSettingsFile, path);
    EXPECT_EQ(Form->SettingsFileEdit->text(), "bench setup.ini");
    EXPECT_TRUE(Form->LoadSettingsCheck->isChecked() && S().LoadSettingsCheck && Bold());
    EXPECT_FALSE(Form->LoadSettingsButton->isEnabled()); // not streaming

    // Unchecked and checked again: the stored file is kept, no new selection.
    Form->LoadSettingsCheck->click();
    EXPECT_FALSE(S().LoadSettingsCheck || Bold());
    Form->LoadSettingsCheck->click();
    EXPECT_EQ(Opens, 2);
    EXPECT_TRUE(S().LoadSettingsCheck && Bold());

    // A cancelled selection keeps the stored file and the box.
    OpenAnswer.clear();
    Form->SettingsFileButton->click();
    EXPECT_EQ(Core->FSettingsFile, path);
    EXPECT_TRUE(Form->LoadSettingsCheck->isChecked());
}

TEST_F(SettingsFileUi, settingsfile_SaveAsksAboutTheATINoticeFirst)
{
    Core->FSettingsFile = Dir.filePath("mine.ini");
    SaveAnswer = Dir.filePath("saved.ini");
    Form->SaveSettingsButton->click();
    EXPECT_TRUE(Questions.isEmpty());
    EXPECT_EQ(SaveInitial, QStringList{Core->FSettingsFile});
    EXPECT_TRUE(QFile::exists(SaveAnswer));
    EXPECT_TRUE(Msgs.Infos.contains("Settings saved successfully"));

    QFile::remove(SaveAnswer);
    Form->ShowATINotice();
    SaveQuestionAnswer = -1; // dismissed: nothing
    Form->SaveSettingsButton->click();
    EXPECT_EQ(Questions, QStringList{"Do you want to update the settings from the chip before saving?"});
    EXPECT_EQ(SaveInitial.size(), 1);
    SaveQuestionAnswer = 0; // No: saved as they are
    Form->SaveSettingsButton->click();
    EXPECT_EQ(SaveInitial.size(), 2);
    EXPECT_TRUE(QFile::exists(SaveAnswer));

    // Yes: read from the chip first (powered off here, so the read fails and says so), then saved.
    SaveQuestionAnswer = 1;
    Form->SaveSettingsButton->click();
    EXPECT_TRUE(Msgs.Errors.contains("Device power is off!"));
    EXPECT_EQ(SaveInitial.size(), 3);

    // Cancelled save dialog: nothing written.
    Form->HideATINotice();
    SaveAnswer.clear();
    const int infos = Msgs.Infos.size();
    Form->SaveSettingsButton->click();
    EXPECT_EQ(Msgs.Infos.size(), infos);
}

TEST_F(SettingsFileUi, settingsfile_ApplySettingsLoadsTheFileIntoAStreamingSession)
{
    const QString path = Dir.filePath("keys.ini");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KT610B_SOURCE_DIR "/resources/demo/KT610 Discrete Keys.ini"), path));
    S().ReadOnStartCheck = false;
    Core->Session->StartButtonClick();
    ASSERT_TRUE(Core->FIsStreaming) << Msgs.Errors.join('\n').toStdString();
    OpenAnswer = path;
    Form->SettingsFileButton->click();
    EXPECT_TRUE(Form->LoadSettingsButton->isEnabled());

    Form->LoadSettingsButton->click();
    EXPECT_EQ(Form->ChangeLabel->text(), "Custom settings loaded");
    EXPECT_FALSE(Form->ChangeLabel->isHidden());
    EXPECT_TRUE(Msgs.Infos.contains("Settings loaded successfully"));
    EXPECT_EQ(S().TDebounceRadio, 1);
    EXPECT_EQ(Find<TKvrRadioGroup>(QStringLiteral("TDebounceRadio"))->ItemIndex(), 1);
    EXPECT_FALSE(Form->ApplyButton->isEnabled()); // the loaded values are the applied ones
    ASSERT_TRUE(WaitUntil([this] { return Core->FIsStreaming; }));
}

TEST(StartupChooser, settingsfile_EachButtonAnswersItsCode)
{
    TStartupForm form;
    EXPECT_TRUE(form.WheelButton->isDefault());
    EXPECT_TRUE(form.FileLabel->isHidden());
    EXPECT_EQ(form.FileLabel->text(), "* Use \"Default Device Setup\" when loading settings from a file.");
    const std::vector<std::pair<QPushButton*, int>> buttons{
        {form.CustomConfigButton, 0}, {form.WheelButton, 1},   {form.Keys3Button, 2},
        {form.Slider2Button, 3},      {form.Slider3Button, 4}, {form.CancelButton, 255}};
    for (const auto& [button, code] : buttons) {
        QTimer::singleShot(0, button, [b = button] { b->click(); });
        EXPECT_EQ(form.Execute(), code);
        EXPECT_FALSE(form.isVisible());
    }
    // Closed without a button: cancel.
    QTimer::singleShot(0, &form, [&form] { form.reject(); });
    EXPECT_EQ(form.Execute(), 255);
}

} // namespace
