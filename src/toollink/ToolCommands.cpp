// The tool's command set: one transaction per operation, CommsWrite in 32-byte chunks.
#include "toollink/KorvaneHIDTool.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint8_t CmdSetICType = 0x01;
constexpr uint8_t CmdPowerOnDUT = 0x02;
constexpr uint8_t CmdPowerOffDUT = 0x03;
constexpr uint8_t CmdSetupComms = 0x05;
constexpr uint8_t CmdSetLSVoltage = 0x06;
constexpr uint8_t CmdSetDUTVoltage = 0x07;
constexpr uint8_t CmdSetCTID = 0x08;
constexpr uint8_t CmdGetCTFWVersion = 0x09;
constexpr uint8_t CmdCommsRead = 0x0A;
constexpr uint8_t CmdCommsWrite = 0x0B;
constexpr uint8_t CmdConfigI2C = 0x0F;
constexpr uint8_t CmdIORead = 0x10;
constexpr uint8_t CmdIOWrite = 0x11;
constexpr uint8_t CmdI2CRead = 0x12;
constexpr uint8_t CmdStopBitControl = 0x13;
constexpr uint8_t CmdEventMode = 0x1A;
constexpr uint8_t CmdEnterDFU = 0xFF;

constexpr int ChunkBytes = 32;
constexpr size_t ClearedBytes = 80;

template <typename E> uint8_t Byte(E value) { return static_cast<uint8_t>(value); }

// Rounds to the nearest integer, ties to even, and keeps the result inside 0..max: a value out of range
// would otherwise wrap to a small voltage in the bytes sent.
int Quantise(double value, int max)
{
    if (!std::isfinite(value) || value <= 0)
        return 0;
    const double n = std::nearbyint(value);
    return n >= max ? max : int(n);
}

} // namespace

uint16_t TKorvaneHidTool::SetICType(TICType ICType)
{
    return Command(CmdSetICType, 2, {0, Byte(ICType)});
}

uint16_t TKorvaneHidTool::SetDUTVoltage(TDUTVoltage DUTVoltage)
{
    return Command(CmdSetDUTVoltage, 1, {Byte(DUTVoltage)});
}

uint16_t TKorvaneHidTool::SetDUTVoltage(double DUTVoltage)
{
    // 12-bit DAC over 6.6 V full scale, sent left-aligned in two bytes.
    const int n = Quantise(DUTVoltage / 6.6 * 4096, 0xFFF);
    return Command(CmdSetDUTVoltage, 2, {uint8_t(n >> 4), uint8_t((n & 0x0F) << 4)});
}

uint16_t TKorvaneHidTool::SetDUTVoltage(double DUTVoltage, double& QuantisedVoltage)
{
    // Steps of 3/128 V in one byte.
    const int n = Quantise(DUTVoltage * 128 / 3, 0xFF);
    QuantisedVoltage = n * 3.0 / 128;
    return Command(CmdSetDUTVoltage, 1, {uint8_t(n)});
}

uint16_t TKorvaneHidTool::SetLSVoltage(TVoltageFollow VoltageFollow)
{
    return Command(CmdSetLSVoltage, 1, {Byte(VoltageFollow)});
}

uint16_t TKorvaneHidTool::SetupComms(TCommsType CommsType, TCommsSpeed CommsSpeed)
{
    return Command(CmdSetupComms, 2, {Byte(CommsType), Byte(CommsSpeed)});
}

uint16_t TKorvaneHidTool::ConfigI2C(TI2CType I2CType, TPullUpResistors PullUpResistors, uint8_t I2CDeviceAddress,
                                    TReadyPin ReadyPin, TI2CStopCommand I2CStopCommand, TI2CPolling I2CPolling)
{
    return Command(CmdConfigI2C, 6,
                   {Byte(I2CType), Byte(PullUpResistors), I2CDeviceAddress, Byte(ReadyPin), Byte(I2CStopCommand),
                    Byte(I2CPolling)});
}

uint16_t TKorvaneHidTool::PowerOnDUT()
{
    const uint16_t result = Command(CmdPowerOnDUT, 0, {});
    if (result == ToolResult::Success)
        IsPowerOn = true;
    return result;
}

uint16_t TKorvaneHidTool::PowerOffDUT()
{
    const uint16_t result = Command(CmdPowerOffDUT, 0, {});
    if (result == ToolResult::Success)
        IsPowerOn = false;
    return result;
}

uint16_t TKorvaneHidTool::StopBitControl(TStopBitControl Control)
{
    return Command(CmdStopBitControl, 1, {Byte(Control)});
}

uint16_t TKorvaneHidTool::I2CRead(uint8_t Address, uint8_t SizeToRead, TKvrByteArray& ReturnData)
{
    const uint16_t result = Command(CmdI2CRead, 1, {Address, SizeToRead});
    if (result == ToolResult::Success) {
        std::memset(ReturnData.data(), 0, ClearedBytes);
        std::memcpy(ReturnData.data(), Receive.data() + 4, SizeToRead);
    }
    return result;
}

uint16_t TKorvaneHidTool::CommsWrite(uint8_t Size, TKvrByteArray& Data)
{
    TKvrByteArray returned{};
    int remaining = Size;
    int start = 0;
    bool stopBitOn = true;
    bool last = false;
    do {
        int chunk;
        if (remaining > ChunkBytes) {
            // Longer writes go out as one bus transfer: no stop until the last chunk.
            if (stopBitOn) {
                StopBitControl(TStopBitControl::sbOff);
                stopBitOn = false;
            }
            chunk = ChunkBytes;
        } else {
            if (!stopBitOn) {
                StopBitControl(TStopBitControl::sbRestore);
                stopBitOn = true;
            }
            chunk = remaining;
            last = true;
        }
        BuildCommand(CmdCommsWrite, uint8_t(chunk));
        std::memcpy(Send.data() + 4, Data.data() + start, size_t(chunk));
        const uint16_t result = SendReceive(Send, Receive);
        if (remaining > ChunkBytes)
            remaining -= ChunkBytes;
        if (result != ToolResult::Success)
            return result;
        std::memcpy(returned.data() + start, Receive.data() + 4, size_t(chunk));
        start += chunk;
    } while (!last);
    Data = returned;
    return ToolResult::Success;
}

uint16_t TKorvaneHidTool::CommsRead(uint8_t Size, TKvrByteArray& ReturnData)
{
    std::memset(ReturnData.data(), 0, ClearedBytes);
    const uint16_t result = Command(CmdCommsRead, 1, {Size});
    if (result == ToolResult::Success)
        std::memcpy(ReturnData.data(), Receive.data() + 4, Size);
    return result;
}

uint16_t TKorvaneHidTool::IORead(uint8_t IONumber, uint8_t& State)
{
    const uint16_t result = Command(CmdIORead, 1, {IONumber});
    if (result == ToolResult::Success && (Receive[4] == 1 || Receive[4] == 2))
        State = Receive[4];
    return result;
}

uint16_t TKorvaneHidTool::IOWrite(uint8_t IONumber, uint8_t State)
{
    return Command(CmdIOWrite, 2, {IONumber, State});
}

uint16_t TKorvaneHidTool::EventMode(bool Enabled)
{
    FEventMode = Enabled;
    return Command(CmdEventMode, 1, {uint8_t(Enabled ? 1 : 0)});
}

uint16_t TKorvaneHidTool::SetCTID(uint8_t CTID)
{
    return Command(CmdSetCTID, 1, {CTID});
}

uint16_t TKorvaneHidTool::GetCTFWVersion(uint32_t& CTFWVersion, uint8_t& Build, uint8_t& Release)
{
    CTFWVersion = 0;
    const uint16_t result = Command(CmdGetCTFWVersion, 0, {});
    if (result == ToolResult::Success) {
        LastDevID = Receive[1] >> 4;
        CTFWVersion = uint32_t(Receive[4]) << 24 | uint32_t(Receive[5]) << 16 | uint32_t(Receive[6]) << 8 | Receive[7];
        Build = Receive[8];
        Release = Receive[9];
    }
    return result;
}

uint16_t TKorvaneHidTool::GetCTFWVersion(uint32_t& CTFWVersion)
{
    uint8_t build = 0;
    uint8_t release = 0;
    return GetCTFWVersion(CTFWVersion, build, release);
}

uint16_t TKorvaneHidTool::EnterDFU()
{
    return Command(CmdEnterDFU, 0, {});
}
