// The settings window over the core: page switching, change tracking, Apply and Undo, the Setup page's own
// Apply, the "All" selectors and the controls that follow each other.
#include "settings_support.h"

#include "settings/ui/KvrRadioGroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>

using namespace settingsui;

namespace {

QColor PanelColour(QFrame* panel)
{
    return panel->palette().color(QPalette::Window);
}

} // namespace

TEST_F(SettingsFormTest, settings_EveryPageReachableWithItsHeaderAndCommandRows)
{
    struct Expect {
        int Page;
        const char* Button;
        const char* Caption;
        const char* Header;
        bool Rows;
    };
    const Expect pages[] = {
        {11, "SysFlagsNavButton", "System Flags", "System Flags (0x01)", true},
        {1, "ProxSettings0Button", "Prox Settings 0", "Prox Settings 0 (0x09 Byte0)", true},
        {2, "ProxSettings1Button", "Prox Settings 1", "Prox Settings 1 (0x09 Byte1)", true},
        {3, "ProxSettings2Button", "Prox Settings 2", "Prox Settings 2 (0x09 Byte2)", true},
        {4, "ProxSettings3Button", "Prox Settings 3", "Prox Settings 3 (0x09 Byte3)", true},
        {8, "EventMaskNavButton", "Event Mask", "Event Mask (0x09 Byte4)", true},
        {5, "MultCompNavButton", "Multipliers && Compensation", "Multipliers & Compensation (0x07 - 0x08)", true},
        {6, "ThresholdsNavButton", "Thresholds", "Thresholds (0x0A)", true},
        {7, "TimingsNavButton", "Timings, Targets && Gestures", "Timings, Targets & Deltas (0x0B - 0x0C)", true},
        {12, "DataLogNavButton", "Data Logging", "Data Logging", false},
        {9, "EngineeringNavButton", "Engineering", "Engineering", true},
        {0, "SetupNavButton", "Setup", "Setup", false},
    };
    Form->show();
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Settings"));
    EXPECT_TRUE(Form->EngineeringNavButton->isHidden());
    Form->SetEngineeringVisible(true);
    for (const Expect& e : pages) {
        auto* button = Find<QPushButton>(QString::fromLatin1(e.Button));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(e.Caption));
        button->click();
        EXPECT_EQ(Form->ActivePage(), e.Page) << e.Button;
        EXPECT_EQ(Core->Pages.FActivePage, e.Page);
        EXPECT_TRUE(button->isChecked());
        EXPECT_EQ(Form->PageControl->currentWidget(), Form->Page(e.Page));
        EXPECT_EQ(Form->SetupPageHeader->text(), QString::fromLatin1(e.Header));
        EXPECT_EQ(Form->StringGrid1->isVisible(), e.Rows) << e.Button;
    }
    EXPECT_TRUE(Questions.isEmpty());
}

TEST_F(SettingsFormTest, settings_EditDirtiesThePageAndUndoCleansIt)
{
    Form->SelectPage(1);
    auto* ati = Find<TKvrRadioGroup>(QStringLiteral("ATIRadio"));
    EXPECT_EQ(ati->ItemIndex(), 1);
    EXPECT_EQ(PanelColour(Form->CancelPanel), QColor(0xCE, 0xCE, 0xCE));

    ati->Button(0)->click();
    EXPECT_EQ(S().ATIRadio, 0);
    EXPECT_TRUE(Form->CancelButton->isEnabled());
    EXPECT_TRUE(Form->ApplyButton->isEnabled());
    EXPECT_FALSE(Form->ChangeLabel->isHidden());
    EXPECT_EQ(Form->ChangeLabel->text(), QStringLiteral("Changes not yet applied..."));
    EXPECT_EQ(PanelColour(Form->CancelPanel), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(PanelColour(Form->ApplyPanel), QColor(0x00, 0xC0, 0x00));

    // Going back to the snapshot by hand is clean again.
    ati->Button(1)->click();
    EXPECT_FALSE(Form->CancelButton->isEnabled());
    EXPECT_TRUE(Form->ChangeLabel->isHidden());

    ati->Button(0)->click();
    Form->CancelButton->click();
    EXPECT_EQ(S().ATIRadio, 1);
    EXPECT_EQ(ati->ItemIndex(), 1);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
    EXPECT_EQ(PanelColour(Form->ApplyPanel), QColor(0xCE, 0xCE, 0xCE));
    EXPECT_TRUE(Form->ChangeLabel->isHidden());
}

TEST_F(SettingsFormTest, settings_ApplyWritesThePageAndCleansIt)
{
    PowerOn();
    Form->SelectPage(6);
    Find<QSpinBox>(QStringLiteral("ProxSpin"))->setValue(9);
    ASSERT_TRUE(Form->ApplyButton->isEnabled());
    Form->ApplyButton->click();
    EXPECT_EQ(uint8_t(Sim.ChipRegister(0x0A)[0]), 9);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
    EXPECT_TRUE(Form->ErrorLabel->isHidden());
    EXPECT_TRUE(Msgs.Infos.contains(QStringLiteral("Command sent successfully")));
    // The write shows in the command rows.
    EXPECT_EQ(Form->StringGrid1->item(0, 0)->text(), QStringLiteral("0x0A"));
    EXPECT_EQ(Form->StringGrid1->item(0, 1)->text(), QStringLiteral("8"));
    EXPECT_EQ(Form->StringGrid1->item(0, 2)->text(), QStringLiteral("0x09"));
}

TEST_F(SettingsFormTest, settings_ApplyFailureKeepsThePageDirty)
{
    // The chip is not powered: the write fails.
    Form->SelectPage(7);
    Find<QSpinBox>(QStringLiteral("FlickThrSpin"))->setValue(80);
    Form->ApplyButton->click();
    EXPECT_FALSE(Form->ErrorLabel->isHidden());
    EXPECT_EQ(Form->ErrorLabel->text(), QStringLiteral("Could not update settings"));
    EXPECT_TRUE(Form->ChangeLabel->isHidden());
    EXPECT_TRUE(Form->ApplyButton->isEnabled());
    EXPECT_TRUE(Core->Pages.FGesSetupChanged);
    EXPECT_TRUE(Msgs.Errors.contains(QStringLiteral("Device power is off!")));

    // Undo takes the error away.
    Form->CancelButton->click();
    EXPECT_TRUE(Form->ErrorLabel->isHidden());
    EXPECT_EQ(S().FlickThrSpin, 50);
}

TEST_F(SettingsFormTest, settings_LeavingADirtyPageAsksFirst)
{
    Form->SelectPage(2);
    Find<TKvrRadioGroup>(QStringLiteral("LTABetaRadio"))->Button(3)->click();
    ASSERT_TRUE(Form->ApplyButton->isEnabled());

    Answer = false;
    Find<QPushButton>(QStringLiteral("ProxSettings3Button"))->click();
    ASSERT_EQ(Questions.size(), 1);
    EXPECT_EQ(Questions[0],
              QStringLiteral("Changes were made to the settings. Do you want to discard these changes?"));
    EXPECT_EQ(Form->ActivePage(), 2);
    EXPECT_TRUE(Find<QPushButton>(QStringLiteral("ProxSettings1Button"))->isChecked());
    EXPECT_FALSE(Find<QPushButton>(QStringLiteral("ProxSettings3Button"))->isChecked());
    EXPECT_EQ(S().LTABetaRadio, 3);

    Answer = true;
    Find<QPushButton>(QStringLiteral("ProxSettings3Button"))->click();
    EXPECT_EQ(Form->ActivePage(), 4);
    EXPECT_EQ(S().LTABetaRadio, 1);
    EXPECT_EQ(Find<TKvrRadioGroup>(QStringLiteral("LTABetaRadio"))->ItemIndex(), 1);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
    EXPECT_EQ(Form->SetupPageHeader->text(), QStringLiteral("Prox Settings 3 (0x09 Byte3)"));

    // A clean page is left without a question.
    Form->SelectPage(8);
    EXPECT_EQ(Questions.size(), 2);
}

TEST_F(SettingsFormTest, settings_ClosingADirtyWindowAsksFirst)
{
    Form->show();
    Form->SelectPage(6);
    Find<QSpinBox>(QStringLiteral("HaltSpin"))->setValue(0);
    Answer = false;
    Form->CloseButton->click();
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(S().HaltSpin, 0);
    Answer = true;
    Form->CloseButton->click();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(S().HaltSpin, 20);
    EXPECT_EQ(Questions.size(), 2);
}

TEST_F(SettingsFormTest, settings_GraphLimitsMustBeInOrder)
{
    Form->SelectPage(0);
    Form->GraphMinSpin->setValue(200);
    Form->GraphMaxSpin->setValue(200);
    Form->ApplyButton->click();
    EXPECT_EQ(Form->Label59->text(), QStringLiteral("Min value must be smaller than Max value!"));
    EXPECT_FALSE(Form->ErrorLabel->isHidden());
    EXPECT_EQ(Form->ErrorLabel->text(), QStringLiteral("Could not update settings"));
    EXPECT_TRUE(Form->ApplyButton->isEnabled());
    EXPECT_EQ(Axis[0], -1);

    Form->GraphMaxSpin->setValue(900);
    Form->GraphIncSpin->setValue(50);
    Form->ApplyButton->click();
    EXPECT_EQ(Axis, (std::array<int, 3>{200, 900, 50}));
    EXPECT_TRUE(Form->Label59->text().isEmpty());
    EXPECT_TRUE(Form->ErrorLabel->isHidden());
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
}

TEST_F(SettingsFormTest, settings_StreamSetupNeedsOneSelection)
{
    Form->SelectPage(0);
    for (QCheckBox* c : {Form->WheelCheck, Form->PTCheck, Form->CSCheck, Form->LTACheck})
        c->setChecked(false);
    ASSERT_TRUE(Form->ApplyButton->isEnabled());
    Form->ApplyButton->click();
    ASSERT_EQ(View.Warnings.size(), 1);
    EXPECT_EQ(View.Warnings[0], QStringLiteral("At least 1 selection must be active in Streaming Setup!"));
    EXPECT_TRUE(Form->WheelCheck->isChecked());
    EXPECT_TRUE(S().WheelCheck);
    EXPECT_FALSE(Msgs.Infos.contains(QStringLiteral("Streaming setup configured")));
    // Still differs from the applied set-up.
    EXPECT_TRUE(Form->ApplyButton->isEnabled());

    Form->ApplyButton->click();
    EXPECT_TRUE(Msgs.Infos.contains(QStringLiteral("Streaming setup configured")));
    EXPECT_EQ(Core->StreamSetup.FStreamLength, 5);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
    // Counts and averages are gone: the baseline view cannot be used.
    EXPECT_FALSE(Form->DeltaCheck->isEnabled());
}

TEST_F(SettingsFormTest, settings_SetupChecksApplyVoltageAndBaselineView)
{
    PowerOn();
    Form->SelectPage(0);
    Form->VoltageCombo->setCurrentIndex(1);
    Form->DeltaCheck->setChecked(true);
    EXPECT_TRUE(Form->DeltaCheck->font().bold());
    Form->ApplyButton->click();
    EXPECT_TRUE(Msgs.Infos.contains(QStringLiteral("Voltage changed successfully")));
    EXPECT_NEAR(Sim.ToolStatus().dutVoltage, 1.8, 0.01);
    EXPECT_EQ(Core->KT880Device1->DUTVoltage(), TKTDUTVoltage::vAdjustable);
    EXPECT_EQ(View.DeltaCalls, 1);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());

    Form->VoltageCombo->setCurrentIndex(0);
    Form->ApplyButton->click();
    EXPECT_NEAR(Sim.ToolStatus().dutVoltage, 3.3, 0.01);
    EXPECT_EQ(View.DeltaCalls, 1);
}

TEST_F(SettingsFormTest, settings_AllSelectorsSetTheirRow)
{
    Form->SelectPage(5);
    Form->CompAllCombo->setCurrentIndex(11);
    emit Form->CompAllCombo->activated(11);
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(Find<QComboBox>(QStringLiteral("Comp%1Combo").arg(n))->currentText(), QStringLiteral("12"));
        EXPECT_EQ(S().*TSettingsRecord::CompCombo[size_t(n)], 11);
        EXPECT_EQ(S().*TSettingsRecord::SensCombo[size_t(n)], 0);
        EXPECT_EQ(Find<QComboBox>(QStringLiteral("Sens%1Combo").arg(n))->currentIndex(), 0);
    }
    EXPECT_TRUE(Core->Pages.FMultSetupChanged);
    EXPECT_TRUE(Form->ApplyButton->isEnabled());

    Form->SensAllCombo->setCurrentIndex(2);
    emit Form->SensAllCombo->activated(2);
    EXPECT_EQ(S().Sens3Combo, 2);
    Form->CompAllSpin->setValue(77);
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(Find<QSpinBox>(QStringLiteral("Comp%1Spin").arg(n))->value(), 77);
    EXPECT_TRUE(Core->Pages.FCompSetupChanged);
}

TEST_F(SettingsFormTest, settings_SpinsAndTrackersFollowEachOtherWithTheirLabels)
{
    Form->SelectPage(6);
    Find<QSlider>(QStringLiteral("Touch1Track"))->setValue(32);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("Touch1Spin"))->value(), 32);
    EXPECT_EQ(S().Touch1Spin, 32);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Touch1Label"))->text(), QStringLiteral("12.50%"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Touch2Label"))->text(), QStringLiteral("6.25%"));
    EXPECT_TRUE(Core->Pages.FThrSetupChanged);

    auto* halt = Find<QSpinBox>(QStringLiteral("HaltSpin"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("HaltLabel"))->text(), QStringLiteral("1000 Samples"));
    halt->setValue(0);
    EXPECT_EQ(Find<QSlider>(QStringLiteral("HaltTrack"))->value(), 0);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("HaltLabel"))->text(), QStringLiteral("Never Halt"));
    halt->setValue(255);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("HaltLabel"))->text(), QStringLiteral("Always Halt"));
    EXPECT_EQ(halt->minimum(), 0);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("ProxSpin"))->minimum(), 1);
    Form->CancelButton->click();

    Form->SelectPage(7);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Target1Label"))->text(), QStringLiteral("384 Target"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Target2Label"))->text(), QStringLiteral("512 Target"));
    Find<QSlider>(QStringLiteral("LPTrack"))->setValue(3);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("LPLabel"))->text(), QStringLiteral("48ms"));
    EXPECT_TRUE(Core->Pages.FTimSetupChanged);
    EXPECT_FALSE(Core->Pages.FGesSetupChanged);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("TapSpin"))->singleStep(), 16);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("FlickTimeSpin"))->singleStep(), 8);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("FlickThrSpin"))->singleStep(), 8);
}

TEST_F(SettingsFormTest, settings_AFillFromTheRecordIsNoEdit)
{
    Form->SelectPage(3);
    S().MovementRadio = 2;
    S().OutRadio = 3;
    S().Touch2Spin = 40;
    S().Comp1Combo = 5;
    S().MMDataEdit = QStringLiteral("7E");
    Form->SettingsRecordChanged();
    EXPECT_EQ(Find<TKvrRadioGroup>(QStringLiteral("MovementRadio"))->ItemIndex(), 2);
    EXPECT_EQ(Find<TKvrRadioGroup>(QStringLiteral("OutRadio"))->ItemIndex(), 3);
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("Touch2Spin"))->value(), 40);
    EXPECT_EQ(Find<QSlider>(QStringLiteral("Touch2Track"))->value(), 40);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Touch2Label"))->text(), QStringLiteral("15.60%"));
    EXPECT_EQ(Find<QComboBox>(QStringLiteral("Comp1Combo"))->currentText(), QStringLiteral("6"));
    EXPECT_EQ(Form->MMDataEdit->text(), QStringLiteral("7E"));
    // Nothing counts as an edit: the page stays as its snapshot said.
    EXPECT_FALSE(Core->Pages.FProx2SetupChanged);
    EXPECT_FALSE(Core->Pages.FThrSetupChanged);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());
    // A selection outside the items shows nothing selected.
    S().Comp1Combo = -1;
    Form->SettingsRecordChanged();
    EXPECT_EQ(Find<QComboBox>(QStringLiteral("Comp1Combo"))->currentIndex(), -1);
}

TEST_F(SettingsFormTest, settings_HexBoxesTakeTwoHexadecimalDigits)
{
    QLineEdit* edit = Form->MMAddressEdit;
    const auto type = [edit](const QString& key) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
        QCoreApplication::sendEvent(edit, &press);
    };
    type(QStringLiteral("G"));
    EXPECT_TRUE(edit->text().isEmpty());
    type(QStringLiteral("a"));
    type(QStringLiteral("z"));
    type(QStringLiteral("3"));
    EXPECT_EQ(edit->text(), QStringLiteral("A3"));
    EXPECT_EQ(S().MMAddressEdit, QStringLiteral("A3"));
    type(QStringLiteral("4"));
    EXPECT_EQ(edit->text(), QStringLiteral("A3"));

    QLineEdit* data = Form->DirDataEdit;
    QApplication::clipboard()->setText(QStringLiteral("ZZ"));
    data->paste();
    EXPECT_TRUE(data->text().isEmpty());
    QApplication::clipboard()->setText(QStringLiteral("1f"));
    data->paste();
    EXPECT_EQ(data->text(), QStringLiteral("1F"));
    EXPECT_EQ(S().DirDataEdit, QStringLiteral("1F"));
    // Backspace still works.
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(data, &back);
    EXPECT_EQ(data->text(), QStringLiteral("1"));
}

TEST_F(SettingsFormTest, settings_OpacityTrackerSetsTheAlpha)
{
    EXPECT_EQ(Form->JvTracker1->minimum(), 20);
    EXPECT_EQ(Form->JvTracker1->maximum(), 100);
    EXPECT_EQ(Form->JvTracker1->value(), 100);
    Form->JvTracker1->setValue(50);
    EXPECT_EQ(Form->AlphaBlendValue(), 128);
    Form->JvTracker1->setValue(20);
    EXPECT_EQ(Form->AlphaBlendValue(), 51);
    EXPECT_NEAR(Form->windowOpacity(), 51 / 255.0, 0.01);
}

TEST_F(SettingsFormTest, settings_ATINoticeAndIgnore)
{
    EXPECT_FALSE(Form->ATINoticeVisible());
    EXPECT_FALSE(Form->ReadAllPanel->isHidden());
    Form->ShowATINotice();
    EXPECT_TRUE(Form->ATINoticeVisible());
    EXPECT_TRUE(Form->ReadAllPanel->isHidden());
    Form->IgnoreButton->click();
    EXPECT_FALSE(Form->ATINoticeVisible());
    EXPECT_FALSE(Form->ReadAllPanel->isHidden());
}

TEST_F(SettingsFormTest, settings_FailedReadAllKeepsUnappliedEdits)
{
    // Not powered: the read fails, and the edit must not pass for applied.
    Form->SelectPage(8);
    Find<TKvrRadioGroup>(QStringLiteral("TapRadio"))->Button(0)->click();
    Form->ShowATINotice();
    Form->UpdateAllSettings->click();
    EXPECT_FALSE(Form->ErrorLabel->isHidden());
    EXPECT_TRUE(Form->ATINoticeVisible());
    EXPECT_TRUE(Form->ApplyButton->isEnabled());
    EXPECT_TRUE(Core->Pages.FEveSetupChanged);
    EXPECT_EQ(S().TapRadio, 0);
}

TEST_F(SettingsFormTest, settings_OneShotButtonsShowTheirWrite)
{
    PowerOn();
    Form->SelectPage(1);
    Form->ReseedButton->click();
    EXPECT_EQ(Form->StringGrid1->item(0, 0)->text(), QStringLiteral("0x09"));
    EXPECT_EQ(Form->StringGrid1->item(0, 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(Form->StringGrid1->item(0, 2)->text(), QStringLiteral("0x08")); // Reseed, bit 3
    Form->RedoATIButton->click();
    EXPECT_EQ(Form->StringGrid1->item(0, 2)->text(), QStringLiteral("0x10")); // Redo ATI, bit 4

    Form->SelectPage(3);
    Form->ForceSleepButton->click();
    EXPECT_FALSE(Form->ForceSleepEnabled());
    EXPECT_EQ(Form->StringGrid1->item(0, 0)->text(), QStringLiteral("0x09"));
    EXPECT_EQ(Form->StringGrid1->item(0, 1)->text(), QStringLiteral("3"));
    EXPECT_EQ(uint8_t(Sim.ChipRegister(0x09)[2]) & 0x40, 0x40);

    // A waiting operation makes the page inert but leaves the button's own state alone.
    Form->SetRegisterBusy(true);
    EXPECT_FALSE(Form->PageControl->isEnabled());
    EXPECT_FALSE(Form->ForceSleepEnabled());
    Form->SetForceSleepEnabled(true);
    EXPECT_TRUE(Form->ForceSleepEnabled());
    Form->SetRegisterBusy(false);
    EXPECT_TRUE(Form->ForceSleepButton->isEnabled());
}

TEST_F(SettingsFormTest, settings_EngineeringPageRunsTheOperations)
{
    PowerOn();
    Form->SetEngineeringVisible(true);
    Form->SelectEngineeringPage();
    ASSERT_TRUE(Form->IsEngineeringPageCurrent());
    EXPECT_EQ(Form->PowerButton->text(), QStringLiteral("Power Off"));
    EXPECT_EQ(Form->Edit1->text(), QStringLiteral("0.935"));

    Form->MMAddressEdit->setText(QStringLiteral("0A"));
    Form->ReadMMButton->click();
    EXPECT_EQ(Form->MMDataEdit->text(), QStringLiteral("04")); // default prox threshold

    Form->ReadActualBaseButton->click();
    for (int n = 0; n < 4; ++n) {
        const QString shown = Find<QLineEdit>(QStringLiteral("Base%1Edit").arg(n))->text();
        EXPECT_EQ(shown, QString::number(2 * Sim.ChipMemory(KT610B::ActualBaseAddress[size_t(n)])));
    }

    Form->DirAddrEdit->setText(QStringLiteral("30"));
    Form->DirDataEdit->setText(QStringLiteral("5A"));
    Form->InDirWriteButton->click();
    EXPECT_EQ(Sim.ChipMemory(0x30), 0x5A);
    Form->DirDataEdit->clear();
    Form->InDirReadButton->click();
    EXPECT_EQ(Form->DirDataEdit->text(), QStringLiteral("5A"));

    Form->ShowDataMissed();
    EXPECT_FALSE(Form->DataMissLabel->isHidden());
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(Form->DataMissLabel, &click);
    EXPECT_TRUE(Form->DataMissLabel->isHidden());

    Form->PowerButton->click();
    EXPECT_FALSE(Core->FPowerOn);
    EXPECT_EQ(Form->PowerButton->text(), QStringLiteral("Power On"));
}

TEST_F(SettingsFormTest, settings_PagesWaitForTheParasiticCapacitanceMeasurement)
{
    PowerOn();
    Form->SetEngineeringVisible(true);
    Form->SelectEngineeringPage();
    Form->Button2->click();
    ASSERT_TRUE(Core->RegOps->CalCapRunning()) << Msgs.Errors.join('\n').toStdString();
    EXPECT_FALSE(Form->Label39->isHidden());
    // The measurement switched the bases to 298 and ATI off, and tracks the multipliers page.
    EXPECT_EQ(uint8_t(Sim.ChipRegister(0x07)[4]), 0xEE);
    EXPECT_EQ(Core->Pages.FActivePage, 5);
    Find<QPushButton>(QStringLiteral("ThresholdsNavButton"))->click();
    EXPECT_EQ(Form->ActivePage(), 9);
    EXPECT_EQ(Core->Pages.FActivePage, 5);
    EXPECT_TRUE(Form->EngineeringNavButton->isChecked());
    Core->RegOps->CalCapTimer.stop();
}
