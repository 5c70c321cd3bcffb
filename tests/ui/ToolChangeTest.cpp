// The device-change steps on the core, seen through a recording view: firmware prompts and updates.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ToolChange.h"

#include <QStringList>

namespace {

class RecordingView : public IMainView, public IMessageSink {
public:
    int KvrAddItem(const QString& item, TKvrItemType kind) override
    {
        Messages << (kind == TKvrItemType::aError ? QStringLiteral("E:") : QStringLiteral("I:")) + item;
        return Messages.size() - 1;
    }
    void SetCtLabel(const QString& text, uint32_t colour, bool, bool) override
    {
        Label = text;
        LabelColour = colour;
    }
    void SetCtSetupButtonEnabled(bool enabled) override { SetupEnabled = enabled; }
    bool CtSetupButtonEnabled() const override { return SetupEnabled; }
    void SetStartEnabled(bool enabled) override { StartEnabled = enabled; }
    void UpdateCtSetupList() override { ++ListUpdates; }
    void ClearCtSetupList() override { ++ListClears; }
    bool ToolFirmwareOutdated() const override { return Outdated; }
    bool ToolUpdateRecommended() const override { return Recommended; }
    bool AskFirmwarePrompt(bool outdated) override
    {
        Prompts << outdated;
        return Answer;
    }
    void ShowCtSetup() override { ++SetupShown; }

    QStringList Messages;
    QString Label;
    uint32_t LabelColour = 0;
    bool SetupEnabled = false, StartEnabled = false;
    int ListUpdates = 0, ListClears = 0, SetupShown = 0;
    bool Outdated = false, Recommended = false, Answer = false;
    QList<bool> Prompts;
};

class ToolChangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Backend = std::make_shared<VirtualHidBackend>();
        Core = std::make_unique<TMainCore>(Backend, &View, &View);
        Core->KorvaneDevList1->Activate();
        Pump(30);
    }
    std::shared_ptr<SilentTool> Plug(const QString& name, const QString& serial)
    {
        auto tool = std::make_shared<SilentTool>(name, serial);
        const int before = Tools();
        Backend->Plug(tool);
        EXPECT_TRUE(WaitUntil([&] { return Tools() == before + 1; }));
        Pump(20); // the prompt follows once the change has been handled
        return tool;
    }
    void Unplug(const std::shared_ptr<SilentTool>& tool)
    {
        const int before = Tools();
        Backend->Unplug(tool.get());
        EXPECT_TRUE(WaitUntil([&] { return Tools() == before - 1; }));
        Pump(20);
    }
    int Tools() const { return Core->KorvaneDevList1->HidDevices().Count; }

    RecordingView View;
    std::shared_ptr<VirtualHidBackend> Backend;
    std::unique_ptr<TMainCore> Core;
};

TEST_F(ToolChangeTest, StartUpWithoutToolsShowsNoDevice)
{
    EXPECT_EQ(View.Label, TToolChange::NoDeviceText);
    EXPECT_EQ(View.LabelColour, TToolChange::NoDeviceColour);
    EXPECT_FALSE(View.SetupEnabled);
    EXPECT_FALSE(View.StartEnabled);
    EXPECT_GE(View.ListClears, 1);
    EXPECT_TRUE(View.Prompts.isEmpty());
}

TEST_F(ToolChangeTest, OutdatedFirmwareOnAttachPromptsAndCancelLeavesTheWindowClosed)
{
    View.Outdated = true;
    Plug(QStringLiteral("Tool"), QStringLiteral("S1"));
    EXPECT_EQ(View.Prompts, QList<bool>({true}));
    EXPECT_EQ(View.SetupShown, 0);
    EXPECT_EQ(View.Label, QStringLiteral("Tool"));
    EXPECT_TRUE(View.SetupEnabled);
}

TEST_F(ToolChangeTest, OkOnThePromptOpensTheToolSetupWindow)
{
    View.Outdated = true;
    View.Answer = true;
    Plug(QStringLiteral("Tool"), QStringLiteral("S1"));
    EXPECT_EQ(View.SetupShown, 1);
}

TEST_F(ToolChangeTest, MinorUpdatesPromptOnlyWhenWanted)
{
    Plug(QStringLiteral("Tool"), QStringLiteral("S1"));
    EXPECT_TRUE(View.Prompts.isEmpty());

    auto other = Plug(QStringLiteral("Other"), QStringLiteral("S2"));
    View.Recommended = true;
    Unplug(other); // the selected tool stays: no prompt
    EXPECT_TRUE(View.Prompts.isEmpty());

    ASSERT_EQ(Tools(), 1);
    Core->KorvaneHidTool1->DeviceSelected = false; // as at the first attach
    Plug(QStringLiteral("Third"), QStringLiteral("S3"));
    EXPECT_EQ(View.Prompts, QList<bool>({false}));
}

TEST_F(ToolChangeTest, ATimeOfUpdateEndsWhenTheUpdatedToolComesBack)
{
    auto tool = Plug(QStringLiteral("Tool"), QStringLiteral("S1"));
    // The update program takes the tool away and brings it back.
    Core->FUpdating = true;
    Core->DeviceSerial = QStringLiteral("S1");
    Unplug(tool);
    EXPECT_TRUE(Core->FUpdating);
    EXPECT_FALSE(View.Messages.contains(QStringLiteral("I:Firmware update completed")));
    Plug(QStringLiteral("Tool"), QStringLiteral("S1"));
    EXPECT_FALSE(Core->FUpdating);
    EXPECT_TRUE(View.Messages.contains(QStringLiteral("I:Firmware update completed")));
}

TEST_F(ToolChangeTest, AnotherToolArrivingDuringTheUpdateDoesNotEndIt)
{
    auto updated = Plug(QStringLiteral("Updated"), QStringLiteral("U1"));
    Core->FUpdating = true;
    Core->DeviceSerial = QStringLiteral("U1");
    Unplug(updated);
    Plug(QStringLiteral("Other"), QStringLiteral("O1"));
    EXPECT_TRUE(Core->FUpdating);
    Plug(QStringLiteral("Updated"), QStringLiteral("U1"));
    EXPECT_FALSE(Core->FUpdating);
    EXPECT_EQ(Core->KorvaneHidTool1->CurrentDeviceIndex, 1);
    EXPECT_EQ(View.Messages.count(QStringLiteral("I:Firmware update completed")), 1);
}

TEST_F(ToolChangeTest, TheUpdatedToolIsSelectedBySerialNumber)
{
    Plug(QStringLiteral("Kept"), QStringLiteral("K1"));
    Core->FUpdating = true;
    Core->DeviceSerial = QStringLiteral("U1");
    Plug(QStringLiteral("Updated"), QStringLiteral("U1"));
    EXPECT_FALSE(Core->FUpdating);
    EXPECT_EQ(Core->KorvaneHidTool1->CurrentDeviceIndex, 1);
}

} // namespace
