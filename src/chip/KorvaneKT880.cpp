#include "chip/KorvaneKT880.h"

#include "common/Hex.h"

TKT880Device::TKT880Device(QObject* owner) : TKV52Class(owner) {}

void TKT880Device::SetDUTVoltage(TKTDUTVoltage value)
{
    FKTDUTVoltage = value;
    switch (value) {
    case TKTDUTVoltage::v3_3V:
        FDUTVoltage = TDUTVoltage::dv3_3V;
        FUseAdjust = false;
        break;
    case TKTDUTVoltage::v5V:
        FDUTVoltage = TDUTVoltage::dv5V;
        FUseAdjust = false;
        break;
    case TKTDUTVoltage::vAdjustable:
        FAdjustableVoltage = FKTAdjustable;
        FUseAdjust = true;
        break;
    }
}

void TKT880Device::SetAdjustableDUTVoltage(double value)
{
    FKTAdjustable = value > 5.5 ? 5.5 : value;
    FAdjustableVoltage = FKTAdjustable;
}

void TKT880Device::SetCommsSpeed(TCommsSpeed value)
{
    FKTCommsSpeed = value;
    FCommsSpeed = value;
}

void TKT880Device::SetLSVoltage(TVoltageFollow value)
{
    FKTLSVoltage = value;
    FLSVoltage = value;
}

void TKT880Device::SetCommsType(TKT880CommsType value)
{
    FKTCommsType = value;
    FCommsType = value == TKT880CommsType::c880_I2C ? TCommsType::ctI2C : TCommsType::ctSPI;
}

void TKT880Device::SetI2CType(TI2CType value)
{
    FKTI2CType = value;
    FI2CType = value;
}

void TKT880Device::SetI2CPullUpResistors(TPullUpResistors value)
{
    FKTPullUp = value;
    FPullUpResistors = value;
}

void TKT880Device::SetI2CReadyPin(TReadyPin value)
{
    FKTReadyPin = value;
    FReadyPin = value;
}

void TKT880Device::SetI2CStopCommand(TI2CStopCommand value)
{
    FKTStop = value;
    FStopCommand = value;
}

void TKT880Device::SetI2CPolling(TI2CPolling value)
{
    FKTPolling = value;
    FPolling = value;
}

QString TKT880Device::I2CAddress() const
{
    return HexByte(FKTAddress);
}

void TKT880Device::SetI2CAddress(const QString& text)
{
    uint32_t value = 0;
    if (!TryParseHex(text, value))
        value = 0;
    // Only 7-bit addresses exist on the bus.
    FKTAddress = value >= 0x80 ? 0x7F : uint8_t(value);
    FI2CAddress = FKTAddress;
}

uint16_t TKT880Device::SetupCT()
{
    SetDUTVoltage(FKTDUTVoltage);
    SetAdjustableDUTVoltage(FKTAdjustable);
    SetCommsSpeed(FKTCommsSpeed);
    SetLSVoltage(FKTLSVoltage);
    SetCommsType(FKTCommsType);
    SetI2CType(FKTI2CType);
    SetI2CPullUpResistors(FKTPullUp);
    SetI2CReadyPin(FKTReadyPin);
    SetI2CStopCommand(FKTStop);
    SetI2CPolling(FKTPolling);
    FI2CAddress = FKTAddress;
    return BaseSetupCT();
}
