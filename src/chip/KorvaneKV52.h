#pragma once
// The target chip as the configuration tool sees it: link settings and the chip-level operations.

#include "toollink/KorvaneHIDTool.h"

#include <QObject>
#include <QPointer>

class TKV52Class : public QObject {
    Q_OBJECT
public:
    explicit TKV52Class(QObject* owner = nullptr);
    ~TKV52Class() override;

    TStreamingEvent OnStreaming;
    TStreamingErrorEvent OnStreamingError;
    TStreamingDataMissedEvent OnStreamingDataMissed;

    TKorvaneHidTool* HIDTool() const { return FHIDTool; }
    void SetHIDTool(TKorvaneHidTool* tool);

    virtual uint16_t SetupCT();
    uint16_t PowerOn();
    uint16_t PowerOff();
    uint16_t StopStreaming();

protected:
    uint16_t BaseSetupCT();

    TDUTVoltage FDUTVoltage = TDUTVoltage::dv5V;
    double FAdjustableVoltage = 5.0;
    TVoltageFollow FLSVoltage = TVoltageFollow::vfVDDHI;
    TCommsSpeed FCommsSpeed = TCommsSpeed::csFast;
    TCommsType FCommsType = TCommsType::ctSPI;
    bool FUseAdjust = false;
    TI2CType FI2CType = TI2CType::RDY_ActiveHigh;
    TPullUpResistors FPullUpResistors = TPullUpResistors::prConnected;
    TReadyPin FReadyPin = TReadyPin::rpPin10;
    TI2CStopCommand FStopCommand = TI2CStopCommand::scUseStop;
    TI2CPolling FPolling = TI2CPolling::ipNoPolling;
    uint8_t FI2CAddress = 0x20;
    uint16_t FRes = 0;

private:
    QPointer<TKorvaneHidTool> FHIDTool;
};
