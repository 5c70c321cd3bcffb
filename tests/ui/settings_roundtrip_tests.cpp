// An edit on each register page, applied through the window, lands in the simulated chip and comes back
// unchanged through "Update all settings from chip".
#include "settings_support.h"

#include "settings/ui/KvrRadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace settingsui;

namespace {

uint8_t Byte(const TSimulator& sim, uint8_t reg, int byte)
{
    return uint8_t(sim.ChipRegister(reg).at(byte));
}

} // namespace

TEST_F(SettingsFormTest, settings_EveryRegisterPageRoundTripsThroughTheChip)
{
    PowerOn();
    const auto radio = [this](const char* name, int item) {
        Find<TKvrRadioGroup>(QString::fromLatin1(name))->Button(item)->click();
    };
    const auto apply = [this](int page) {
        ASSERT_TRUE(Form->ApplyButton->isEnabled()) << "page " << page;
        Form->ApplyButton->click();
        ASSERT_TRUE(Form->ErrorLabel->isHidden()) << "page " << page << ": " << Msgs.Errors.join('\n').toStdString();
        ASSERT_FALSE(Form->ApplyButton->isEnabled()) << "page " << page;
    };

    Form->SelectPage(11);
    radio("IgnoreFHRadioGroup", 1);
    apply(11);
    EXPECT_EQ(Byte(Sim, 0x01, 0) & 0x02, 0x02);

    Form->SelectPage(1);
    radio("BandRadio", 1);
    radio("ForceHaltRadio", 1);
    apply(1);
    EXPECT_EQ(Byte(Sim, 0x09, 0) & 0x21, 0x21);

    Form->SelectPage(2);
    radio("LTABetaRadio", 3);
    radio("ACFRadio", 2);
    apply(2);
    EXPECT_EQ(Byte(Sim, 0x09, 1) & 0x33, 0x32);

    Form->SelectPage(3);
    radio("MovementRadio", 2);
    radio("WakeRadio", 1);
    apply(3);
    EXPECT_EQ(Byte(Sim, 0x09, 2) & 0x2C, 0x28);

    Form->SelectPage(4);
    radio("TDebounceRadio", 1);
    radio("FloatCXRadio", 1);
    apply(4);
    EXPECT_EQ(Byte(Sim, 0x09, 3) & 0x90, 0x90);

    Form->SelectPage(8);
    radio("TapRadio", 0);
    apply(8);
    EXPECT_EQ(Byte(Sim, 0x09, 4) & 0x20, 0x00);

    Form->SelectPage(5);
    Find<QComboBox>(QStringLiteral("Sens2Combo"))->setCurrentIndex(3);
    Find<QComboBox>(QStringLiteral("CH3BaseCombo"))->setCurrentIndex(15);
    Find<QSpinBox>(QStringLiteral("Comp1Spin"))->setValue(99);
    apply(5);
    EXPECT_EQ(Byte(Sim, 0x07, 2), 0x30);
    EXPECT_EQ(Byte(Sim, 0x07, 5) >> 4, 15);
    EXPECT_EQ(Byte(Sim, 0x08, 1), 99);
    // Both writes show in the command rows, newest first.
    EXPECT_EQ(Form->StringGrid1->item(0, 0)->text(), QStringLiteral("0x08"));
    EXPECT_EQ(Form->StringGrid1->item(1, 0)->text(), QStringLiteral("0x07"));

    Form->SelectPage(6);
    Find<QSpinBox>(QStringLiteral("Touch3Spin"))->setValue(27);
    Find<QCheckBox>(QStringLiteral("FHCheckCh2"))->setChecked(true);
    apply(6);
    EXPECT_EQ(Byte(Sim, 0x0A, 3), 27);
    EXPECT_EQ(Byte(Sim, 0x0A, 5), 0x04);
    EXPECT_EQ(S().CH3TThr, 27);

    Form->SelectPage(7);
    Find<QSpinBox>(QStringLiteral("Targ2Spin"))->setValue(70);
    Find<QSpinBox>(QStringLiteral("FlickTimeSpin"))->setValue(28);
    apply(7);
    EXPECT_EQ(Byte(Sim, 0x0B, 2), 70);
    EXPECT_EQ(Byte(Sim, 0x0C, 1), 28);

    // Read everything back: the record keeps exactly what was applied.
    const TSettingsRecord applied = S();
    Form->UpdateAllSettings2->click();
    EXPECT_FALSE(Form->ChangeLabel->isHidden());
    EXPECT_EQ(Form->ChangeLabel->text(), QStringLiteral("All settings updated from device"));
    EXPECT_TRUE(Form->ErrorLabel->isHidden()) << Msgs.Errors.join('\n').toStdString();
    for (const TSettingsRecord::TControlInfo& c : TSettingsRecord::Controls()) {
        if (c.Int) {
            EXPECT_EQ(S().*c.Int, applied.*c.Int) << c.Name.toStdString();
        } else if (c.Bool) {
            EXPECT_EQ(S().*c.Bool, applied.*c.Bool) << c.Name.toStdString();
        }
    }
    for (int page : {0, 1, 2, 3, 4, 5, 6, 7, 8, 11})
        EXPECT_FALSE(Core->Pages.PageChanged(page)) << page;
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Touch3Label"))->text(), QStringLiteral("10.50%"));
    // The command rows start empty after a read of everything.
    EXPECT_TRUE(Form->StringGrid1->item(0, 0)->text().isEmpty());
}

TEST_F(SettingsFormTest, settings_ReadAllButtonsShowTheChip)
{
    PowerOn();
    Form->SelectPage(6);
    Find<QSpinBox>(QStringLiteral("MovThrSpin"))->setValue(12);
    Form->ApplyButton->click();
    Find<QSpinBox>(QStringLiteral("MovThrSpin"))->setValue(30);
    ASSERT_TRUE(Form->ApplyButton->isEnabled());
    Form->ReadAllThrButton->click();
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("MovThrSpin"))->value(), 12);
    EXPECT_FALSE(Form->ApplyButton->isEnabled());

    Form->SelectPage(5);
    Find<QSpinBox>(QStringLiteral("Comp0Spin"))->setValue(200);
    Form->ReadAllMultButton->click();
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("Comp0Spin"))->value(), Byte(Sim, 0x08, 0));
    EXPECT_FALSE(Form->ApplyButton->isEnabled());

    Form->SelectPage(7);
    Find<QSpinBox>(QStringLiteral("TapSpin"))->setValue(100);
    Form->ReadAllTimingsButton->click();
    EXPECT_EQ(Find<QSpinBox>(QStringLiteral("TapSpin"))->value(), Byte(Sim, 0x0C, 0));
    EXPECT_FALSE(Form->ApplyButton->isEnabled());

    // Without power the read fails and says so.
    Core->Session->PowerButtonClick();
    ASSERT_FALSE(Core->FPowerOn);
    Form->ReadAllTimingsButton->click();
    EXPECT_FALSE(Form->ErrorLabel->isHidden());
}
