#pragma once
// The tool command component: transactions with the current configuration tool and its command set,
// including the start and stop of long streams.

#include "common/KvrTypes.h"
#include "toollink/KorvaneDevList.h"

#include <QObject>
#include <QPointer>
#include <functional>

enum class TCommsType : uint8_t { ctSPI = 3, ctI2C = 4 };
enum class TCommsSpeed : uint8_t { csFast = 1, csMedium = 2, csSlow = 3 };
enum class TICType : uint8_t { it43 = 3 };
enum class TVoltageFollow : uint8_t { vfVDD = 1, vfVDDHI = 2 };
enum class TDUTVoltage : uint8_t { dv3_3V = 1, dv5V = 2 };
enum class TI2CType : uint8_t { noRDY = 1, RDY_ActiveHigh = 2, RDY_ActiveLow = 3, SDA_Sync = 4 };
enum class TPullUpResistors : uint8_t { prNotConnected = 1, prConnected = 2 };
enum class TReadyPin : uint8_t { rpPin6 = 1, rpPin8 = 2, rpPin10 = 3 };
enum class TI2CStopCommand : uint8_t { scNoStop = 1, scUseStop = 2 };
enum class TI2CPolling : uint8_t { ipNoPolling = 1, ipPollingByAddress = 2 };
enum class TStopBitControl : uint8_t { sbOff = 0, sbRestore = 1 };

using TSendCommandsEvent = std::function<void(const TKvrByteArray& Command)>;

// Result codes made on the host side.
namespace ToolResult {
constexpr uint16_t Success = 0;
constexpr uint16_t QueueNotFlushed = 1;
constexpr uint16_t HardwareNotFound = 2;
constexpr uint16_t Timeout = 3;
constexpr uint16_t AlreadyStreaming = 8;
constexpr uint16_t NumParametersExceedMaximum = 0x0B;
constexpr uint16_t NotResponding = 0x0C;
}

class TKorvaneHidTool : public QObject {
    Q_OBJECT
public:
    explicit TKorvaneHidTool(QObject* owner = nullptr);
    ~TKorvaneHidTool() override;

    static QString Version() { return QStringLiteral("2.1.2.265"); }

    // Longest wait for the next reply candidate inside a transaction, in milliseconds. Stream reports that
    // arrive meanwhile do not extend it. A healthy tool answers well within it even when the chip sleeps
    // for its longest low-power time (255 x 16 ms) before it can answer.
    int ReadWaitMs = 5000;

    TKorvaneDevList* KorvaneDevList() const { return FDevList; }
    void SetKorvaneDevList(TKorvaneDevList* list);

    // Tool selection.
    int CurrentDeviceIndex = 0;
    bool DeviceSelected = false;
    bool SetCurrentDevice(int DeviceIndex);
    bool ReselectDevice();
    THidDevice* GetCurrentDevice() const;

    // Transactions.
    TKvrByteArray Send{};
    TKvrByteArray Receive{};
    uint8_t FMessageID = 1;
    uint32_t LastDevID = 0;
    bool IsPowerOn = false;
    bool FEventMode = false;
    TSendCommandsEvent OnSendCommands;
    uint16_t SendReceive(const TKvrByteArray& Send, TKvrByteArray& Receive);

    // Stream events forwarded from the device list.
    TStreamingEvent OnStreaming;
    TStreamingErrorEvent OnStreamingError;
    TStreamingDataMissedEvent OnStreamingDataMissed;

    // Command set.
    uint16_t SetICType(TICType ICType);
    uint16_t SetDUTVoltage(TDUTVoltage DUTVoltage);
    uint16_t SetDUTVoltage(double DUTVoltage);                         // adjustable supply through the DAC
    uint16_t SetDUTVoltage(double DUTVoltage, double& QuantisedVoltage); // coarse steps
    uint16_t SetLSVoltage(TVoltageFollow VoltageFollow);
    uint16_t SetupComms(TCommsType CommsType, TCommsSpeed CommsSpeed);
    uint16_t ConfigI2C(TI2CType I2CType, TPullUpResistors PullUpResistors, uint8_t I2CDeviceAddress,
                       TReadyPin ReadyPin, TI2CStopCommand I2CStopCommand, TI2CPolling I2CPolling);
    uint16_t PowerOnDUT();
    uint16_t PowerOffDUT();
    uint16_t StopBitControl(TStopBitControl Control);
    uint16_t I2CRead(uint8_t Address, uint8_t SizeToRead, TKvrByteArray& ReturnData);
    uint16_t CommsWrite(uint8_t Size, TKvrByteArray& Data);
    uint16_t CommsRead(uint8_t Size, TKvrByteArray& ReturnData);
    uint16_t IORead(uint8_t IONumber, uint8_t& State);
    uint16_t IOWrite(uint8_t IONumber, uint8_t State);
    uint16_t EventMode(bool Enabled);
    uint16_t SetCTID(uint8_t CTID);
    uint16_t GetCTFWVersion(uint32_t& CTFWVersion, uint8_t& Build, uint8_t& Release);
    uint16_t GetCTFWVersion(uint32_t& CTFWVersion);
    uint16_t EnterDFU();

    // Streaming.
    uint16_t SetLongStreamingLength(uint16_t Size);
    uint16_t StartLongStreaming(const TKvrByteArray& BytesToStream);
    uint16_t StopStreaming();

private:
    uint16_t Command(uint8_t code, uint8_t count, std::initializer_list<uint8_t> payload);
    void BuildCommand(uint8_t code, uint8_t count);
    uint16_t WaitForReply(THidDevice* device, uint8_t expectedID, TKvrByteArray& reply);
    THidDevice* TransactionDevice();
    void ClearStreamEvents();

    QPointer<TKorvaneDevList> FDevList;
    QPointer<THidDevice> FRemembered; // cleared when the list frees the device
    TKvrByteArray FOutgoing{};        // the command as it goes out, with its message ID
};
