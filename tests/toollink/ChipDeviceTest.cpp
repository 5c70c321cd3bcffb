// The chip device component: its settings, the set-up sequence, power and the event chain.
#include "FakeTool.h"

#include "chip/KorvaneKT880.h"

namespace {

QByteArray Body(const QByteArray& report) { return report.mid(2, 2 + uint8_t(report[3])); }

} // namespace

TEST(KT880Device, AddressAndVoltageSetters)
{
    TKT880Device chip;
    EXPECT_EQ(chip.I2CAddress(), "20");
    chip.SetI2CAddress("9A");
    EXPECT_EQ(chip.I2CAddressValue(), 0x7F);
    chip.SetI2CAddress("zz");
    EXPECT_EQ(chip.I2CAddressValue(), 0);
    EXPECT_EQ(chip.I2CAddress(), "00");
    chip.SetI2CAddress("45");
    EXPECT_EQ(chip.I2CAddressValue(), 0x45);
    EXPECT_EQ(chip.I2CAddress(), "45");
    chip.SetI2CAddress("a");
    EXPECT_EQ(chip.I2CAddress(), "0A");
    chip.SetI2CAddress("");
    EXPECT_EQ(chip.I2CAddressValue(), 0);

    chip.SetAdjustableDUTVoltage(6.0);
    EXPECT_DOUBLE_EQ(chip.AdjustableDUTVoltage(), 5.5);
    chip.SetAdjustableDUTVoltage(1.8);
    EXPECT_DOUBLE_EQ(chip.AdjustableDUTVoltage(), 1.8);
    EXPECT_EQ(TKT880Device::Version(), "2.1.2.265");
}

class ChipDeviceTest : public ToolLinkTest {
protected:
    void SetUp() override
    {
        ToolLinkTest::SetUp();
        device = ActivateWithTool();
        chip.SetHIDTool(tool.get());
        // The main window's configuration.
        chip.SetDUTVoltage(TKTDUTVoltage::v3_3V);
        chip.SetCommsType(TKT880CommsType::c880_I2C);
        chip.SetI2CType(TI2CType::RDY_ActiveLow);
        chip.SetI2CAddress("44");
    }
    std::vector<QByteArray> Bodies() const
    {
        std::vector<QByteArray> bodies;
        for (const QByteArray& report : device->Written())
            bodies.push_back(Body(report));
        return bodies;
    }

    std::shared_ptr<FakeTool> device;
    TKT880Device chip;
};

TEST_F(ChipDeviceTest, SetupForI2CSendsFiveCommands)
{
    EXPECT_EQ(chip.SetupCT(), 0);
    EXPECT_EQ(Bodies(), (std::vector<QByteArray>{Bytes({0x01, 2, 0, 3}), Bytes({0x07, 1, 1}), Bytes({0x06, 1, 2}),
                                                 Bytes({0x05, 2, 4, 1}), Bytes({0x0F, 6, 3, 2, 0x44, 3, 2, 1})}));
}

TEST_F(ChipDeviceTest, SetupForSPIWithAdjustableVoltage)
{
    chip.SetCommsType(TKT880CommsType::c880_SPI);
    chip.SetAdjustableDUTVoltage(1.8);
    chip.SetDUTVoltage(TKTDUTVoltage::vAdjustable);
    chip.SetCommsSpeed(TCommsSpeed::csMedium);
    EXPECT_EQ(chip.SetupCT(), 0);
    EXPECT_EQ(Bodies(), (std::vector<QByteArray>{Bytes({0x01, 2, 0, 3}), Bytes({0x07, 1, 77}), Bytes({0x06, 1, 2}),
                                                 Bytes({0x05, 2, 3, 2})}));
}

TEST_F(ChipDeviceTest, SetupStopsAtTheFirstFailure)
{
    device->QueueOk();
    device->QueueOk();
    device->QueueError(0x0601);
    EXPECT_EQ(chip.SetupCT(), 1537);
    EXPECT_EQ(device->Commands(), (std::vector<int>{0x01, 0x07, 0x06}));
}

TEST_F(ChipDeviceTest, PowerOnSequenceAndItsEarlyStop)
{
    EXPECT_EQ(chip.PowerOn(), 0);
    EXPECT_EQ(Bodies(), (std::vector<QByteArray>{Bytes({0x11, 2, 2, 1}), Bytes({0x02, 0}), Bytes({0x11, 2, 2, 2})}));
    EXPECT_TRUE(tool->IsPowerOn);
    device->ClearWritten();
    device->QueueError(0x1101);
    EXPECT_EQ(chip.PowerOn(), 0x1101);
    EXPECT_EQ(device->Commands(), std::vector<int>{0x11});
    device->ClearWritten();
    EXPECT_EQ(chip.PowerOff(), 0);
    EXPECT_EQ(device->Commands(), std::vector<int>{0x03});
    EXPECT_FALSE(tool->IsPowerOn);
}

TEST_F(ChipDeviceTest, StreamEventsReachTheDevice)
{
    std::vector<uint16_t> sizes;
    std::vector<uint16_t> errors;
    std::vector<uint8_t> gaps;
    chip.OnStreaming = [&](uint16_t size, uint8_t, const uint8_t*) { sizes.push_back(size); };
    chip.OnStreamingError = [&](uint16_t code) { errors.push_back(code); };
    chip.OnStreamingDataMissed = [&](uint8_t id) { gaps.push_back(id); };
    StartStream(35);
    const QByteArray bytes = Counting(35);
    for (uint8_t seq : {0, 2}) {
        device->SendStream(seq, 0, bytes.left(32));
        device->SendStream(seq, 1, bytes.mid(32));
    }
    device->SendErrorReport(0x000F);
    ASSERT_TRUE(WaitUntil([&] { return errors.size() == 1; }));
    EXPECT_EQ(sizes, (std::vector<uint16_t>{38, 38}));
    EXPECT_EQ(gaps, std::vector<uint8_t>{0});
    EXPECT_EQ(errors, std::vector<uint16_t>{0x000F});
    EXPECT_EQ(chip.StopStreaming(), 0);
    EXPECT_FALSE(list->IsStreaming);
}

TEST_F(ToolLinkTest, DestroyedComponentsLeaveNoDanglingHandlers)
{
    auto device = ActivateWithTool();
    auto chip = std::make_unique<TKT880Device>();
    chip->SetHIDTool(tool.get());
    int delivered = 0;
    chip->OnStreaming = [&](uint16_t, uint8_t, const uint8_t*) { ++delivered; };
    StartStream(10);
    chip.reset();
    device->SendStream(0, 0, Counting(10));
    device->SendStream(1, 0, Counting(10));
    ASSERT_TRUE(WaitUntil([this] { return list->StreamingCounter.Counter == QStringList({"2"}); }));
    EXPECT_EQ(delivered, 0);
    tool.reset();
    EXPECT_FALSE(list->OnStreaming);
    EXPECT_FALSE(list->OnStreamingError);
    EXPECT_FALSE(list->OnStreamingDataMissed);
}
