#pragma once
// The configuration tool's firmware: answers the host's command reports, drives the chip's supply, IO lines
// and I2C bus, and streams the chip's registers as stream reports.

#include "sim/SimChip.h"
#include "sim/SimFaults.h"
#include "sim/SimOptions.h"

#include <QByteArray>
#include <QList>
#include <array>

struct SimToolStatus {
    bool dutPower = false;     // the tool's supply to the chip is switched on
    bool chipSupplied = false; // ... and IO line 2 lets it through
    bool streaming = false;
    bool eventMode = false;
    int streamLength = 0;
    uint8_t frameCounter = 0;  // the value the next frame will carry
    uint8_t toolId = 0;
    int commsType = 0;         // 0 not selected, 3 SPI, 4 I2C
    int i2cAddress = -1;       // -1 until ConfigI2C
    double dutVoltage = 0.0;   // 0 until set
    quint64 commands = 0;
    quint64 framesSent = 0;
};

class TSimTool {
public:
    using Reports = QList<QByteArray>;
    static constexpr int ReportLength = 65; // report ID included, both directions
    static constexpr int MaxTransferBytes = 61;
    static constexpr int MaxStreamLength = 8192;
    static constexpr int IoLines = 16;

    TSimTool(const SimOptions& options, TSimChip& chip, TSimFaultInjector& faults);

    // One output report from the host; the answers are appended to out. Vanish asks the caller to pull
    // the tool out instead of answering.
    SimCommandVerdict Command(const QByteArray& report, Reports& out);
    // One sample period; the chip measured or not. Stream and event reports are appended to out.
    void Tick(bool chipSampled, Reports& out);

    void Restart();  // plugged in: the firmware starts afresh; the tool ID is kept like in its EEPROM
    void PowerDown(); // pulled out: everything stops, the chip loses its supply
    bool TakeDfuRequest(); // EnterDFU was answered since the last call

    SimToolStatus Status() const;
    static uint8_t ReplyType() { return 0x1; }

private:
    QByteArray Report(uint8_t type, uint8_t byte2, uint8_t byte3, const QByteArray& data) const;
    QByteArray Reply(uint8_t messageId, const QByteArray& data = {}) const;
    QByteArray ErrorReply(uint8_t messageId, uint16_t code) const;
    QByteArray StreamError(uint16_t code) const;
    // The result of carrying out one command: 0 and the reply data, or an error code.
    uint16_t Execute(uint8_t command, uint8_t count, const uint8_t* payload, QByteArray& data);

    uint16_t SetICType(uint8_t count, const uint8_t* p);
    uint16_t PowerOn();
    uint16_t PowerOff();
    uint16_t SetupComms(uint8_t count, const uint8_t* p);
    uint16_t SetLSVoltage(uint8_t count, const uint8_t* p);
    uint16_t SetDUTVoltage(uint8_t count, const uint8_t* p);
    uint16_t SetToolId(uint8_t count, const uint8_t* p);
    uint16_t CommsRead(uint8_t count, const uint8_t* p, QByteArray& data);
    uint16_t CommsWrite(uint8_t count, const uint8_t* p, QByteArray& data);
    uint16_t ConfigI2C(uint8_t count, const uint8_t* p);
    uint16_t IORead(uint8_t count, const uint8_t* p, QByteArray& data);
    uint16_t IOWrite(uint8_t count, const uint8_t* p);
    uint16_t I2CRead(uint8_t count, const uint8_t* p, QByteArray& data);
    uint16_t StopBitControl(uint8_t count, const uint8_t* p);
    uint16_t SetStreamLength(uint8_t count, const uint8_t* p);
    uint16_t StartStreaming(uint8_t piece, const uint8_t* p);
    uint16_t StopStreaming();
    uint16_t EventMode(uint8_t count, const uint8_t* p);

    void UpdateSupply();
    bool ChipAnswers() const;
    void EndOpenWrite() { FWriteOpen = false; }
    QByteArray ReadFrame();
    void StreamFrame(Reports& out);

    SimOptions FOptions;
    TSimChip& FChip;
    TSimFaultInjector& FFaults;

    uint8_t FToolId = 0;
    uint8_t FIcType = 0;
    bool FDutPower = false;
    double FDutVoltage = 0.0;
    uint8_t FLevelShifter = 0;
    uint8_t FCommsType = 0;
    uint8_t FCommsSpeed = 0;
    int FI2CAddress = -1;
    uint8_t FI2CType = 0;
    bool FStopOff = false;   // StopBitControl(sbOff): transfers end without a stop
    bool FWriteOpen = false; // a write left open by a transfer without a stop continues with the next one
    std::array<uint8_t, IoLines + 1> FIo{};
    bool FEventMode = false;

    int FStreamLength = 0;
    QByteArray FPendingMap; // pieces received so far
    int FNextPiece = 0;
    QByteArray FMap;
    bool FStreaming = false;
    uint8_t FFrameCounter = 0;
    bool FChipLost = false; // the chip stopped answering during the stream (reported once)
    quint64 FCommands = 0;
    quint64 FFramesSent = 0;
    bool FDfuRequested = false;
};
