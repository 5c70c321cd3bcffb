// The chip on the tool's I2C bus: address, register reads and writes, the pointer, indirect memory,
// writes spread over several reports.
#include "SimWire.h"

#include <gtest/gtest.h>

namespace {

// One probe attempt as the program makes it: point the tool at the address, read DeviceInfo.
uint16_t Probe(SimWire& wire, uint8_t address)
{
    const uint16_t r = wire.Run(0x0F, 6, {3, 2, address, 3, 2, 1});
    return r ? r : wire.Run(0x12, 1, {0x00, 2});
}

} // namespace

TEST(SimBus, NoChipMeansDeviceNotReady)
{
    SimOptions o = ManualOptions();
    o.chipAddress = -1;
    TSimulator sim(o);
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    for (int tried : {0x44, 0x45, 0x46, 0x47})
        EXPECT_EQ(Probe(wire, uint8_t(tried)), 0x1203);
    EXPECT_EQ(wire.WriteRegister(0x0A, {1}), 0x0B03);
    EXPECT_EQ(wire.Run(0x0A, 1, {1}), 0x0A03);
    EXPECT_EQ(wire.StartStream(DefaultStreamMap()), 0x0C03);
}

TEST(SimBus, UnpoweredChipDoesNotAnswer)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    EXPECT_EQ(wire.Run(0x12, 1, {0x00, 2}), 0x1203);
}

TEST(SimBus, RegistersReadBackWhatWasWritten)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    // Power-on values.
    EXPECT_EQ(wire.ReadRegister(0x09, 5), QByteArray::fromHex("00110000BF"));
    EXPECT_EQ(wire.ReadRegister(0x0A, 8), QByteArray::fromHex("0410101003001404"));
    EXPECT_EQ(wire.ReadRegister(0x0B, 3), QByteArray::fromHex("003040"));
    EXPECT_EQ(wire.ReadRegister(0x0C, 3), QByteArray::fromHex("051432"));

    EXPECT_EQ(wire.WriteRegister(0x0A, {8, 20, 21, 22, 5, 0x03, 40, 9}), 0);
    EXPECT_EQ(wire.ReadRegister(0x0A, 8), QByteArray::fromHex("0814151605032809"));
    // A write of bytes 0..1 leaves the bytes after it alone.
    EXPECT_EQ(wire.WriteRegister(0x09, {0x00, 0x19}), 0);
    EXPECT_EQ(wire.ReadRegister(0x09, 5), QByteArray::fromHex("00190000BF"));
    // Read-only registers ignore writes; a read past a register's end gives zeros.
    EXPECT_EQ(wire.WriteRegister(0x00, {1, 2}), 0);
    EXPECT_EQ(wire.ReadRegister(0x00, 4), QByteArray::fromHex("43030000"));
    // The reply to a write echoes what was written.
    const QByteArray echo = wire.CommandBytes(0x0B, 3, reinterpret_cast<const uint8_t*>("\x0C\x07\x15"), 3);
    EXPECT_EQ(SimWire::Data(echo, 3), QByteArray("\x0C\x07\x15", 3));
}

TEST(SimBus, CommsReadReadsWhereTheChipPoints)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    ASSERT_EQ(wire.WriteRegister(0x0C, {}), 0); // point only
    const QByteArray reply = wire.Command(0x0A, 1, {3});
    EXPECT_EQ(SimWire::Data(reply, 3), QByteArray::fromHex("051432"));
}

TEST(SimBus, IndirectMemory)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    sim.Advance(80); // the power-on tuning sets the actual bases
    for (int c = 0; c < 4; ++c) {
        const uint8_t at = SimRegister::ActualBaseMemory[c];
        const int byte = wire.ReadMemory(at);
        EXPECT_EQ(byte, sim.ChipMemory(at));
        EXPECT_GE(byte * 2, 74);
        EXPECT_LE(byte * 2, 314);
    }
    // The measurement switch: read-modify-write of bit 3 keeps the other bits.
    const int before = wire.ReadMemory(0x6A);
    ASSERT_GE(before, 0);
    EXPECT_EQ(before & 0x08, 0);
    ASSERT_EQ(wire.WriteRegister(0xFC, {0x6A}), 0);
    ASSERT_EQ(wire.WriteRegister(0xFD, {uint8_t(before | 0x08)}), 0);
    EXPECT_EQ(wire.ReadMemory(0x6A), before | 0x08);
}

TEST(SimBus, WriteWithoutStopContinuesInTheNextReport)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    // The program's way of sending more than one report's worth: stop bit off, chunks, stop bit back.
    ASSERT_EQ(wire.Run(0x13, 1, {0}), 0);
    ASSERT_EQ(wire.WriteRegister(0x07, {0x11, 0x12, 0x13}), 0);
    ASSERT_EQ(wire.Run(0x13, 1, {1}), 0);
    const uint8_t rest[3] = {0x14, 0x21, 0x43};
    ASSERT_EQ(SimWire::Result(wire.CommandBytes(0x0B, 3, rest, 3)), 0);
    EXPECT_EQ(wire.ReadRegister(0x07, 6), QByteArray::fromHex("111213142143"));
    // The base values went to the actual bases: 0x21 gives CH0 base 90, CH1 base 106.
    EXPECT_EQ(sim.ChipMemory(0x7E) * 2, 90);
    EXPECT_EQ(sim.ChipMemory(0x7F) * 2, 106);

    // With the stop bit on, each report is a write of its own: the first byte points.
    ASSERT_EQ(wire.WriteRegister(0x07, {0x00}), 0);
    const uint8_t alone[2] = {0x08, 0x55};
    ASSERT_EQ(SimWire::Result(wire.CommandBytes(0x0B, 2, alone, 2)), 0);
    EXPECT_EQ(uint8_t(wire.ReadRegister(0x07, 1)[0]), 0x00);
    EXPECT_EQ(uint8_t(wire.ReadRegister(0x08, 1)[0]), 0x55);
}
