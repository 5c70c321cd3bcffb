// The simulated tool at the report level: identity, set-up, replies, refusals with the tool's error codes.
#include "SimWire.h"

#include <gtest/gtest.h>

TEST(SimTool, PresentsItselfAsAKC60)
{
    TSimulator sim(ManualOptions());
    const auto devices = sim.Backend()->enumerate();
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0].vendorId, 0x2E3C);
    EXPECT_EQ(devices[0].productId, 0x0C60);
    EXPECT_EQ(devices[0].productName, QStringLiteral("Korvane KC60 Configuration Tool (simulated)"));
    EXPECT_FALSE(devices[0].serialNumber.isEmpty());
    EXPECT_EQ(devices[0].inputReportLength, 65);
    EXPECT_EQ(devices[0].outputReportLength, 65);

    SimOptions unplugged = ManualOptions();
    unplugged.plugged = false;
    TSimulator away(unplugged);
    EXPECT_TRUE(away.Backend()->enumerate().isEmpty());
    away.PlugTool();
    EXPECT_EQ(away.Backend()->enumerate().size(), 1);
}

TEST(SimTool, RepliesCarryMessageIdToolIdAndType)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    const QByteArray reply = wire.Command(0x09, 0);
    ASSERT_EQ(reply.size(), 65);
    EXPECT_EQ(uint8_t(reply[2]), wire.FMessageId);
    EXPECT_EQ(uint8_t(reply[1]), 0x01); // tool ID 0, normal reply
    EXPECT_EQ(wire.Data(reply, 6), QByteArray::fromHex("00000106130C"));

    EXPECT_EQ(wire.Run(0x08, 1, {5}), 0);
    const QByteArray after = wire.Command(0x09, 0);
    EXPECT_EQ(uint8_t(after[1]) >> 4, 5);
    EXPECT_EQ(wire.Run(0x08, 1, {16}), 0x0801);

    const QByteArray refused = wire.Command(0x77, 0);
    EXPECT_EQ(uint8_t(refused[1]), 0x5E);
    EXPECT_EQ(SimWire::Result(refused), 0x00FF);
}

TEST(SimTool, FirmwareVersionIsConfigurable)
{
    SimOptions o = ManualOptions();
    o.firmwareVersion = 0x0105;
    o.firmwareBuild = 18;
    o.firmwareRelease = 0x0B;
    TSimulator sim(o);
    SimWire wire(sim);
    EXPECT_EQ(wire.Data(wire.Command(0x09, 0), 6), QByteArray::fromHex("00000105120B"));
}

TEST(SimTool, AcceptsTheProgramsSetUpAndPowerSequence)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    EXPECT_EQ(wire.SetUp(), 0);
    EXPECT_EQ(wire.PowerOn(), 0);
    const SimToolStatus s = sim.ToolStatus();
    EXPECT_TRUE(s.dutPower);
    EXPECT_TRUE(s.chipSupplied);
    EXPECT_EQ(s.commsType, 4);
    EXPECT_EQ(s.i2cAddress, 0x44);
    EXPECT_DOUBLE_EQ(s.dutVoltage, 3.3);
    EXPECT_EQ(wire.Run(0x02, 0), 0x0203); // power already on
    EXPECT_EQ(wire.Run(0x01, 2, {0, 3}), 0x0102); // IC type while powered
    EXPECT_EQ(wire.Run(0x03, 0), 0);
    EXPECT_EQ(wire.Run(0x03, 0), 0x0301); // power already off
    EXPECT_FALSE(sim.ChipStatus().powered);
}

TEST(SimTool, RefusesWhatARealToolRefuses)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    EXPECT_EQ(wire.Run(0x02, 0), 0x0201);             // no supply voltage chosen
    EXPECT_EQ(wire.Run(0x05, 2, {4, 1}), 0x0503);     // comms before the IC type
    EXPECT_EQ(wire.Run(0x12, 1, {0, 2}), 0x1201);     // I2C read before comms
    EXPECT_EQ(wire.Run(0x0B, 1, {0}), 0x0B01);
    EXPECT_EQ(wire.Run(0x0A, 1, {1}), 0x0A01);
    EXPECT_EQ(wire.Run(0x01, 2, {0, 3}), 0);
    EXPECT_EQ(wire.Run(0x05, 2, {4, 1}), 0);
    EXPECT_EQ(wire.Run(0x0F, 6, {3, 2, 0x44, 3, 2, 1}), 0);
    EXPECT_EQ(wire.Run(0x07, 1, {0}), 0x0701);
    EXPECT_EQ(wire.Run(0x07, 2, {0xFF, 0xF0}), 0x0701); // 6.6 V
    EXPECT_EQ(wire.Run(0x06, 1, {3}), 0x0601);
    EXPECT_EQ(wire.Run(0x0F, 6, {9, 2, 0x44, 3, 2, 1}), 0x0F02);
    EXPECT_EQ(wire.Run(0x0F, 6, {3, 5, 0x44, 3, 2, 1}), 0x0F03);
    EXPECT_EQ(wire.Run(0x0F, 6, {3, 2, 0x7F, 3, 2, 1}), 0x0F04);
    EXPECT_EQ(wire.Run(0x12, 1, {0, 62}), 0x1202);
    EXPECT_EQ(wire.Run(0x0A, 1, {62}), 0x0A02);
    EXPECT_EQ(wire.Run(0x11, 2, {2, 3}), 0x1103);
    EXPECT_EQ(wire.Run(0x11, 2, {40, 1}), 0x1101);
    EXPECT_EQ(wire.Run(0x10, 1, {40}), 0x1001);
    EXPECT_EQ(wire.Run(0x0D, 0), 0x0D01);              // not streaming
    EXPECT_EQ(wire.Run(0x14, 2, {0, 27}), 0);
    EXPECT_EQ(wire.StartStream(DefaultStreamMap()), 0x0C05); // streaming without power
    EXPECT_EQ(wire.Run(0x0F, 6, {1, 2, 0x44, 3, 2, 1}), 0);
    EXPECT_EQ(wire.Run(0x1A, 1, {1}), 0x1A01);         // event mode needs a ready line
    EXPECT_EQ(wire.Run(0x13, 1, {2}), 0x13FE);
    EXPECT_EQ(wire.Run(0x05, 2, {6, 1}), 0x0501);
    EXPECT_EQ(wire.Run(0x05, 2, {4, 9}), 0x0502);
}

TEST(SimTool, SupplyVoltageForms)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    EXPECT_EQ(wire.Run(0x07, 2, {0x45, 0xD0}), 0); // DAC, 1.8 V
    EXPECT_NEAR(sim.ToolStatus().dutVoltage, 1.8, 0.01);
    EXPECT_EQ(wire.Run(0x07, 2, {0xC1, 0xF0}), 0); // DAC, 5.0 V
    EXPECT_NEAR(sim.ToolStatus().dutVoltage, 5.0, 0.01);
    EXPECT_EQ(wire.Run(0x07, 1, {77}), 0);         // coarse steps, 1.8 V
    EXPECT_NEAR(sim.ToolStatus().dutVoltage, 1.8, 0.02);
    EXPECT_EQ(wire.Run(0x07, 1, {2}), 0);          // fixed 5 V
    EXPECT_DOUBLE_EQ(sim.ToolStatus().dutVoltage, 5.0);
}

TEST(SimTool, IoLinesReadBackAndLineTwoGatesTheSupply)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    EXPECT_EQ(wire.Data(wire.Command(0x10, 1, {5}), 1), QByteArray(1, 2)); // idles high
    EXPECT_EQ(wire.Run(0x11, 2, {5, 1}), 0);
    EXPECT_EQ(wire.Data(wire.Command(0x10, 1, {5}), 1), QByteArray(1, 1));

    EXPECT_EQ(wire.ReadRegister(0x00, 2), QByteArray::fromHex("4303"));
    EXPECT_EQ(wire.Run(0x11, 2, {2, 1}), 0);
    EXPECT_FALSE(sim.ChipStatus().powered);
    EXPECT_EQ(wire.Run(0x12, 1, {0, 2}), 0x1203);
    EXPECT_EQ(wire.Run(0x11, 2, {2, 2}), 0);
    EXPECT_TRUE(sim.ChipStatus().powered);
    EXPECT_TRUE(sim.ChipStatus().showReset); // a fresh power-up
}
