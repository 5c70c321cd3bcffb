// Change tracking per settings page, Undo, and Apply of the register pages.
#include "core/registers_support.h"

#include "settings/SettingsPages.h"

using namespace registers;

namespace {

class RegistersPages : public RegistersTest {
protected:
    TSettingsPages& P() { return Core->Pages; }
};

TEST_F(RegistersPages, EditsMarkOnlyTheActivePageAndUndoRestoresIt)
{
    P().SetActivePage(spProx1);
    S().SliderRadio = 2;
    P().Prox1Change();
    EXPECT_TRUE(P().Changed());
    EXPECT_TRUE(Screen.Changed);
    S().SliderRadio = 1;
    P().Prox1Change();
    EXPECT_FALSE(P().Changed());

    S().ACFRadio = 3;
    P().Prox1Change();
    P().CancelButtonClick();
    EXPECT_EQ(S().ACFRadio, 1);
    EXPECT_FALSE(P().Changed());
    EXPECT_EQ(Screen.Calls.filter("Changed").join(','), "Changed(1),Changed(0),Changed(1),Changed(0)");

    // Program fills are no user changes.
    Core->FLoadingSettings = true;
    S().WDTRadio = 1;
    P().Prox1Change();
    EXPECT_FALSE(P().FProx1SetupChanged);
    Core->FLoadingSettings = false;

    // The multipliers page tracks its two registers apart.
    P().SetActivePage(spMultComp);
    S().Comp2Spin = 9;
    P().CompChange();
    EXPECT_TRUE(P().FCompSetupChanged);
    EXPECT_FALSE(P().FMultSetupChanged);
    S().CH3BaseCombo = 4;
    P().MultChange();
    EXPECT_TRUE(P().FMultSetupChanged);
    P().CancelButtonClick();
    EXPECT_EQ(S().Comp2Spin, 0);
    EXPECT_EQ(S().CH3BaseCombo, 0);
}

TEST_F(RegistersPages, ApplyWritesThePageAndTakesANewSnapshot)
{
    P().SetActivePage(spMultComp);
    S().Comp1Spin = 33;
    P().CompChange();
    bool result = false;
    P().ApplyButtonClick([&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    EXPECT_FALSE(P().Changed());
    // Only the compensation, then the actual base read.
    const auto w = Tool->Writes();
    ASSERT_GE(w.size(), 1u);
    EXPECT_EQ(w[0], V({0x08, 0, 33, 0, 0}));
    EXPECT_EQ(Tool->Codes().back(), 0x0A);
    EXPECT_EQ(S().Compensation(1), 33);
    EXPECT_TRUE(Core->FActualBaseRead);

    P().SetActivePage(spThr);
    S().Touch2Spin = 40;
    P().ThrChange();
    Tool->FailNext(0x0B, 0x0A, 0x0C);
    P().ApplyButtonClick([&](bool ok) { result = ok; });
    EXPECT_FALSE(result);
    EXPECT_TRUE(P().Changed()); // still dirty after a failed write
    EXPECT_EQ(S().TouchThreshold(2), 16);
    P().ApplyButtonClick([&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    EXPECT_EQ(S().TouchThreshold(2), 40);
    EXPECT_FALSE(P().Changed());
}

TEST_F(RegistersPages, SystemFlagsPageWritesOnlyTheBitThatChanged)
{
    P().SetActivePage(spSysFlags);
    S().IgnoreFHRadioGroup = 1;
    P().SysChecksChangeClick();
    EXPECT_TRUE(P().Changed());
    bool result = false;
    P().ApplyButtonClick([&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    EXPECT_EQ(Tool->Writes(), (std::vector<std::vector<uint8_t>>{V({0x01, 0x02})}));
    EXPECT_FALSE(P().Changed());
}

TEST_F(RegistersPages, ApplyOfTheCommsModeSwitchesTheToolsEventMode)
{
    P().SetActivePage(spProx1);
    S().CommsModeRadio = 0;
    P().Prox1Change();
    P().ApplyButtonClick(nullptr);
    EXPECT_TRUE(Core->FEventMode);
    EXPECT_EQ(Tool->Codes(), V({0x1A, 0x0B}));
    EXPECT_EQ(Tool->Commands()[0].Payload, V({1}));

    Tool->Clear();
    S().CommsModeRadio = 1;
    P().Prox1Change();
    P().ApplyButtonClick(nullptr);
    EXPECT_FALSE(Core->FEventMode);
    EXPECT_EQ(Tool->Codes(), V({0x0B, 0x1A}));
    EXPECT_TRUE(Core->KorvaneDevList1->JustStopped);
}

TEST_F(RegistersPages, ResetDefaultMakesEveryPageClean)
{
    P().SetActivePage(spEvents);
    S().TapRadio = 0;
    P().EventChange();
    EXPECT_EQ(P().FEveValues, 0x20);
    EXPECT_TRUE(P().Changed());
    P().ResetDefault();
    EXPECT_FALSE(P().Changed());
    EXPECT_EQ(P().FPrevEveValues, 0x20);
    EXPECT_EQ(S().TapRadio, 0);
}

} // namespace
