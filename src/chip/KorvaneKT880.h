#pragma once
// The KT610B's chip device component: published link settings on top of the base class.

#include "chip/KorvaneKV52.h"

enum class TKTDUTVoltage { v3_3V, v5V, vAdjustable };
enum class TKT880CommsType { c880_SPI, c880_I2C };

class TKT880Device : public TKV52Class {
    Q_OBJECT
public:
    explicit TKT880Device(QObject* owner = nullptr);

    static QString Version() { return QStringLiteral("2.1.2.265"); }

    TKTDUTVoltage DUTVoltage() const { return FKTDUTVoltage; }
    void SetDUTVoltage(TKTDUTVoltage value);
    double AdjustableDUTVoltage() const { return FKTAdjustable; }
    void SetAdjustableDUTVoltage(double value);
    TCommsSpeed CommsSpeed() const { return FKTCommsSpeed; }
    void SetCommsSpeed(TCommsSpeed value);
    TVoltageFollow LSVoltage() const { return FKTLSVoltage; }
    void SetLSVoltage(TVoltageFollow value);
    TKT880CommsType CommsType() const { return FKTCommsType; }
    void SetCommsType(TKT880CommsType value);
    TI2CType I2CType() const { return FKTI2CType; }
    void SetI2CType(TI2CType value);
    TPullUpResistors I2CPullUpResistors() const { return FKTPullUp; }
    void SetI2CPullUpResistors(TPullUpResistors value);
    TReadyPin I2CReadyPin() const { return FKTReadyPin; }
    void SetI2CReadyPin(TReadyPin value);
    TI2CStopCommand I2CStopCommand() const { return FKTStop; }
    void SetI2CStopCommand(TI2CStopCommand value);
    TI2CPolling I2CPolling() const { return FKTPolling; }
    void SetI2CPolling(TI2CPolling value);
    // The 7-bit address as two upper-case hexadecimal digits.
    QString I2CAddress() const;
    void SetI2CAddress(const QString& text);
    uint8_t I2CAddressValue() const { return FKTAddress; }

    uint16_t SetupCT() override;

private:
    TKTDUTVoltage FKTDUTVoltage = TKTDUTVoltage::v5V;
    double FKTAdjustable = 5.0;
    TCommsSpeed FKTCommsSpeed = TCommsSpeed::csFast;
    TVoltageFollow FKTLSVoltage = TVoltageFollow::vfVDDHI;
    TKT880CommsType FKTCommsType = TKT880CommsType::c880_SPI;
    TI2CType FKTI2CType = TI2CType::RDY_ActiveHigh;
    TPullUpResistors FKTPullUp = TPullUpResistors::prConnected;
    TReadyPin FKTReadyPin = TReadyPin::rpPin10;
    TI2CStopCommand FKTStop = TI2CStopCommand::scUseStop;
    TI2CPolling FKTPolling = TI2CPolling::ipNoPolling;
    uint8_t FKTAddress = 0x20;
};
