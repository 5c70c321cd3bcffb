#pragma once
// The device list: every HID device the HID layer reports, the configuration tools among them, hot-plug,
// and reception of every input report (frame counter check, long-frame reassembly, stream events).

#include "common/KvrTypes.h"
#include "hid/HidLayer.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class THidDevice;

// Events of the tool link. One handler each; forwarding components call the next one only when assigned.
using TStreamingEvent = std::function<void(uint16_t Size, uint8_t HIDToolID, const uint8_t* Data)>;
using TStreamingErrorEvent = std::function<void(uint16_t StreamingErrorCode)>;
using TStreamingDataMissedEvent = std::function<void(uint8_t HidToolID)>;
using TCTChangeEvent = std::function<void(QObject* Sender, bool Arrived)>;

// The configuration tools: parallel lists, entry k of each describes the same tool.
struct TCTData {
    QStringList Name;                 // display names
    QList<THidDevice*> NameObjects;   // the object of each Name entry
    QStringList Index;                // position in FDevices, decimal
    QStringList VendorID;             // decimal
    QStringList ProductID;            // decimal
    QStringList SerialNumber;
    int Count = 0;
};

struct TStreamingDevices {
    int NumberOfDevices = 0;
    std::array<THidDevice*, 16> Device{};
    std::array<uint32_t, 16> DeviceID{};
};

struct TStreamingCounter {
    QStringList DevID;    // decimal tool IDs of the running streams
    QStringList Counter;  // expected next frame sequence value, decimal 0..255
};

struct TStreamingPacket {
    TKvrByteArray Packet{};
    uint16_t PacketSize = 0;
    int PacketPos = 0;
    bool InProgress = false;
    bool FireEvent = false;
};

class TKorvaneDevList : public QObject {
    Q_OBJECT
public:
    // The backend decides whether the list sees real hardware or in-process devices.
    explicit TKorvaneDevList(std::shared_ptr<HidBackend> backend, QObject* owner = nullptr);
    ~TKorvaneDevList() override;

    static QString Version() { return QStringLiteral("2.1.2.265"); }

    void Activate();
    bool Connected() const { return FConnected; }
    const TCTData& HidDevices() const { return FHidDevices; }
    THidLayer* HidLayer() const { return FHidLayer.get(); }

    THidDevice* GetStreamingDevice(int k) const;
    void SetStreamingDevice(int k, THidDevice* device);
    void SetStreamingDeviceID(int k, uint32_t id);

    // Published events.
    TCTChangeEvent OnDeviceChange;
    TStreamingEvent OnStreaming;
    TStreamingErrorEvent OnStreamingError;
    TStreamingDataMissedEvent OnStreamingDataMissed;

    // Stream state (shared with the tool command component).
    bool IsStreaming = false;
    TStreamingDevices StreamingDevices;
    TStreamingCounter StreamingCounter;
    bool JustStopped = false;
    bool JustFixed = false;
    bool DoLongStream = false;
    uint16_t LongStreamingLength = 0;
    int LongStreamingPackets = 0;
    bool FreeDevices = true;

    // The report handler, run on the user-interface thread for every input report of every opened device.
    void DoDeviceData(THidDevice* device, const uint8_t* Data, int Size);

    // Decimal text of 0..255, shared so that the counter lists never allocate per report.
    static const QString& DecimalText(uint32_t value);

private:
    void DoDeviceChange();
    bool DoEnumerate(THidDevice* device, int index);
    void RebuildToolList();
    void RemoveStreamingSlots(THidDevice* device);
    int PieceLength(uint8_t piece);

    std::unique_ptr<THidLayer> FHidLayer;
    QList<QPair<QString, THidDevice*>> FDevices;
    QStringList FRemoveIndex;
    TCTData FHidDevices;
    bool FConnected = false;
    bool FActivated = false;
    bool FArrivalEvent = false;
    int FTempPacketNum = 0;
    TStreamingPacket FStreamingPacket;
};
