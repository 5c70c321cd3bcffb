// Start-up scan, hot-plug and tool selection through the real HID layer.
#include "FakeTool.h"

#include "hid/HidDevice.h"

TEST_F(ToolLinkTest, StartupScanWithoutToolsFiresOneChange)
{
    Activate();
    WaitUntil([] { return false; }, 100); // no second notification follows
    EXPECT_EQ(deviceChanges, 1);
    EXPECT_EQ(list->HidDevices().Count, 0);
    EXPECT_FALSE(list->Connected());
}

TEST_F(ToolLinkTest, NonToolDeviceIsKeptButNotListed)
{
    Activate();
    Plug(std::make_shared<FakeTool>(0x046D, 0xC31C, "Keyboard", ""));
    EXPECT_EQ(deviceChanges, 2);
    EXPECT_TRUE(lastArrived);
    EXPECT_EQ(list->HidDevices().Count, 0);
    EXPECT_FALSE(list->Connected());
    // The keyboard holds FDevices position 0: the tool plugged after it is listed with Index 1.
    Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C60, "", ""));
    const TCTData& tools = list->HidDevices();
    ASSERT_EQ(tools.Count, 1);
    EXPECT_EQ(tools.Index[0], "1");
    EXPECT_EQ(tools.Name[0], "Device VID=2e3c PID=0c60");
    EXPECT_EQ(tools.VendorID[0], "11836");
    EXPECT_EQ(tools.ProductID[0], "3168");
    EXPECT_EQ(tools.SerialNumber[0], "");
    EXPECT_TRUE(list->Connected());
}

TEST_F(ToolLinkTest, TwoToolsAreListedInArrivalOrder)
{
    Activate();
    Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C60, "First", "A1"));
    Plug(std::make_shared<FakeTool>(0x2E3C, 0x0D30, "Second", "B2"));
    EXPECT_EQ(deviceChanges, 3);
    const TCTData& tools = list->HidDevices();
    ASSERT_EQ(tools.Count, 2);
    EXPECT_EQ(tools.Name, QStringList({"First", "Second"}));
    EXPECT_EQ(tools.Index, QStringList({"0", "1"}));
    EXPECT_EQ(tools.SerialNumber, QStringList({"A1", "B2"}));
    EXPECT_NE(tools.NameObjects[0], tools.NameObjects[1]);
}

TEST_F(ToolLinkTest, TwoPulledAtOnceKeepOrderAndRenumber)
{
    Activate();
    std::vector<std::shared_ptr<FakeTool>> devices;
    for (const char* name : {"T0", "T1", "T2", "T3"})
        devices.push_back(Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C60, name, name)));
    const int before = deviceChanges;
    backend->Unplug(devices[0].get());
    backend->Unplug(devices[2].get());
    ASSERT_TRUE(WaitUntil([&] { return deviceChanges > before; }));
    const TCTData& tools = list->HidDevices();
    ASSERT_EQ(tools.Count, 2);
    EXPECT_EQ(tools.Name, QStringList({"T1", "T3"}));
    EXPECT_EQ(tools.Index, QStringList({"0", "1"}));
    EXPECT_FALSE(lastArrived);
}

TEST_F(ToolLinkTest, SelectionRefusesIndexesOutsideTheList)
{
    Activate();
    Plug();
    Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C61, "Second", "S2"));
    tool->CurrentDeviceIndex = 1;
    EXPECT_FALSE(tool->SetCurrentDevice(-1));
    EXPECT_FALSE(tool->SetCurrentDevice(2));
    EXPECT_EQ(tool->CurrentDeviceIndex, 1);
    EXPECT_FALSE(tool->DeviceSelected);
    EXPECT_TRUE(tool->SetCurrentDevice(0));
    EXPECT_TRUE(tool->DeviceSelected);
    EXPECT_EQ(tool->GetCurrentDevice(), list->HidDevices().NameObjects[0]);
}

TEST_F(ToolLinkTest, ReselectFollowsTheRememberedTool)
{
    Activate();
    auto first = Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C60, "First", "A1"));
    auto second = Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C60, "Second", "B2"));
    ASSERT_TRUE(tool->SetCurrentDevice(1));
    Unplug(first);
    EXPECT_TRUE(tool->ReselectDevice());
    EXPECT_EQ(tool->CurrentDeviceIndex, 0);
    EXPECT_EQ(tool->GetCurrentDevice()->ProductName(), "Second");
    Unplug(second);
    // The same device plugged back is a new device object: not the one selected.
    Plug(second);
    EXPECT_FALSE(tool->ReselectDevice());
    EXPECT_FALSE(tool->DeviceSelected);
}

TEST_F(ToolLinkTest, PullingTheStreamingToolEndsItsStream)
{
    auto device = std::make_shared<FakeTool>();
    device->Id = 5;
    backend->Plug(device);
    list->Activate();
    ASSERT_TRUE(WaitUntil([this] { return list->HidDevices().Count == 1; }));
    ASSERT_TRUE(tool->SetCurrentDevice(0));
    uint32_t version = 0;
    ASSERT_EQ(tool->GetCTFWVersion(version), 0);
    ASSERT_EQ(tool->LastDevID, 5u);
    StartStream(20);
    ASSERT_TRUE(list->IsStreaming);
    EXPECT_EQ(list->StreamingCounter.DevID, QStringList({"5"}));
    EXPECT_EQ(list->StreamingDevices.DeviceID[0], 5u);

    Unplug(device);
    EXPECT_EQ(list->StreamingDevices.NumberOfDevices, 0);
    EXPECT_EQ(list->GetStreamingDevice(0), nullptr);
    EXPECT_TRUE(list->StreamingCounter.DevID.isEmpty());
    EXPECT_TRUE(list->StreamingCounter.Counter.isEmpty());
    EXPECT_TRUE(list->JustStopped);
    EXPECT_FALSE(list->IsStreaming);
    EXPECT_EQ(list->HidDevices().Count, 0);
    EXPECT_EQ(tool->GetCurrentDevice(), nullptr);
}
