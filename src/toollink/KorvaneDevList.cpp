#include "toollink/KorvaneDevList.h"

#include "hid/HidDevice.h"
#include "toollink/ToolFilter.h"

#include <QtGlobal>
#include <algorithm>
#include <cstring>

namespace {

const QString Stay = QStringLiteral("Stay");
const QString Remove = QStringLiteral("Remove");

// Stream reports carry 3 header bytes and up to 32 stream bytes after the report ID.
constexpr int StreamReportData = 35;
constexpr int PieceBytes = 32;

} // namespace

TKorvaneDevList::TKorvaneDevList(std::shared_ptr<HidBackend> backend, QObject* owner)
    : QObject(owner), FHidLayer(std::make_unique<THidLayer>(std::move(backend)))
{
    FHidLayer->ReaderWaitMs = 100;
    FHidLayer->OnDeviceChange = [this] { DoDeviceChange(); };
    FHidLayer->OnEnumerate = [this](THidDevice* device, int index) { return DoEnumerate(device, index); };
    FHidLayer->OnDeviceArrival = [this](THidDevice*) { FArrivalEvent = true; };
    FHidLayer->SetDeviceData([this](THidDevice* device, uint8_t, const uint8_t* data, int size) {
        DoDeviceData(device, data, size);
    });
}

TKorvaneDevList::~TKorvaneDevList()
{
    FHidLayer->ClearDeviceData();
    if (FreeDevices) {
        for (auto& entry : FDevices)
            delete entry.second;
    }
    FDevices.clear();
}

const QString& TKorvaneDevList::DecimalText(uint32_t value)
{
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> filled;
        for (int i = 0; i < 256; ++i)
            filled[size_t(i)] = QString::number(i);
        return filled;
    }();
    static const QString none;
    return value < texts.size() ? texts[value] : none;
}

void TKorvaneDevList::Activate()
{
    FActivated = true;
    FHidLayer->SetDeviceData([this](THidDevice* device, uint8_t, const uint8_t* data, int size) {
        DoDeviceData(device, data, size);
    });
    FHidLayer->StartScan();
}

THidDevice* TKorvaneDevList::GetStreamingDevice(int k) const
{
    if (k < 0 || k >= int(StreamingDevices.Device.size()))
        return nullptr;
    return StreamingDevices.Device[size_t(k)];
}

void TKorvaneDevList::SetStreamingDevice(int k, THidDevice* device)
{
    if (k >= 0 && k < int(StreamingDevices.Device.size()))
        StreamingDevices.Device[size_t(k)] = device;
}

void TKorvaneDevList::SetStreamingDeviceID(int k, uint32_t id)
{
    if (k >= 0 && k < int(StreamingDevices.DeviceID.size()))
        StreamingDevices.DeviceID[size_t(k)] = id;
}

void TKorvaneDevList::DoDeviceChange()
{
    FRemoveIndex.clear();
    for (qsizetype i = 0; i < FDevices.size(); ++i)
        FRemoveIndex.append(Remove);

    FHidLayer->Enumerate();

    int removed = 0;
    for (qsizetype i = 0; i < FDevices.size(); ++i) {
        if (FRemoveIndex[i] != Remove)
            continue;
        ++removed;
        RemoveStreamingSlots(FDevices[i].second);
        delete FDevices[i].second;
        FDevices[i].second = nullptr;
    }
    while (removed > 0) {
        const qsizetype i = FRemoveIndex.indexOf(Remove);
        FDevices.removeAt(i);
        FRemoveIndex.removeAt(i);
        --removed;
    }

    RebuildToolList();
    FConnected = FHidDevices.Count > 0;

    if (FActivated && OnDeviceChange) {
        const bool arrived = FArrivalEvent;
        FArrivalEvent = false;
        OnDeviceChange(this, arrived);
    }
}

// A pulled-out tool stops streaming: its slots and counter entries go.
void TKorvaneDevList::RemoveStreamingSlots(THidDevice* device)
{
    for (size_t j = 0; j < StreamingDevices.Device.size(); ++j) {
        if (!device || StreamingDevices.Device[j] != device)
            continue;
        --StreamingDevices.NumberOfDevices;
        StreamingDevices.Device[j] = nullptr;
        const qsizetype k = StreamingCounter.DevID.indexOf(DecimalText(StreamingDevices.DeviceID[j]));
        StreamingDevices.DeviceID[j] = 0;
        if (k >= 0) {
            StreamingCounter.DevID.removeAt(k);
            StreamingCounter.Counter.removeAt(k);
            JustStopped = true;
        }
    }
    if (IsStreaming && StreamingDevices.NumberOfDevices <= 0)
        IsStreaming = false;
}

bool TKorvaneDevList::DoEnumerate(THidDevice* device, int index)
{
    if (!device)
        return true;
    for (qsizetype i = 0; i < FDevices.size(); ++i) {
        if (FDevices[i].second == device) {
            FRemoveIndex[i] = Stay;
            return true;
        }
    }
    THidDevice* taken = FHidLayer->CheckOut(index);
    if (!taken)
        return false;
    // Listed all the same: its transactions report the flush failure. Say why, for a tool.
    if (!taken->IsOpen() && ToolFilter::IsTool(taken->VendorID(), taken->ProductID()))
        qWarning("Configuration tool %s cannot be opened; check the access rights of its hidraw node",
                 qPrintable(taken->Path()));
    QString name = taken->ProductName();
    if (name.isEmpty())
        name = QString::asprintf("Device VID=%.4x PID=%.4x", unsigned(taken->VendorID()), unsigned(taken->ProductID()));
    FDevices.append({name, taken});
    FRemoveIndex.append(Stay);
    return true;
}

void TKorvaneDevList::RebuildToolList()
{
    FHidDevices = TCTData{};
    for (qsizetype i = 0; i < FDevices.size(); ++i) {
        THidDevice* device = FDevices[i].second;
        const uint16_t vid = device->VendorID();
        const uint16_t pid = device->ProductID();
        if (!ToolFilter::IsTool(vid, pid))
            continue;
        FHidDevices.Name.append(FDevices[i].first);
        FHidDevices.NameObjects.append(device);
        FHidDevices.Index.append(QString::number(i));
        FHidDevices.VendorID.append(QString::number(vid));
        FHidDevices.ProductID.append(QString::number(pid));
        FHidDevices.SerialNumber.append(device->SerialNumber());
        ++FHidDevices.Count;
    }
}

// Length of the stream bytes this piece carries (above 32: a piece before the last), or -1 when the
// piece does not continue the frame in progress.
int TKorvaneDevList::PieceLength(uint8_t piece)
{
    int expected = FTempPacketNum;
    if (piece != expected) {
        // A missing or repeated piece discards the frame in progress. A piece 0 is the start of the next
        // frame and is kept, so one lost piece costs one frame only.
        FTempPacketNum = 0;
        FStreamingPacket.InProgress = false;
        if (piece != 0)
            return -1;
        expected = 0;
    }
    if (expected < LongStreamingPackets) {
        FTempPacketNum = expected + 1;
        return std::max<int>(LongStreamingLength, PieceBytes + 1);
    }
    const int last = LongStreamingLength % PieceBytes;
    return last == 0 ? PieceBytes : last;
}

void TKorvaneDevList::DoDeviceData(THidDevice* device, const uint8_t* Data, int Size)
{
    if (!Data || Size <= 0)
        return;
    // A short report reads as if padded with zeros: never read past what arrived.
    std::array<uint8_t, StreamReportData> padded;
    const uint8_t* d = Data;
    if (Size < StreamReportData) {
        padded.fill(0);
        std::memcpy(padded.data(), Data, size_t(Size));
        d = padded.data();
    }
    const uint16_t size = uint16_t(std::min(Size, 0xFFFF));
    const uint8_t type = d[0] & 0x0F;

    if (!(OnStreaming && FHidDevices.Count > 0 && IsStreaming)) {
        if (type == 0xB && d[1] == 0xFF && OnStreaming)
            OnStreaming(size, 0, Data);
        return;
    }

    const uint8_t HIDToolID = d[0] >> 4;
    const QString& idText = DecimalText(HIDToolID);
    qsizetype k = StreamingCounter.DevID.indexOf(idText);
    if (type != 0xF || k < 0) {
        // Error replies to commands pass here too; only the general codes are streaming errors.
        if (type == 0xE && d[3] == 0 && OnStreamingError)
            OnStreamingError(uint16_t(d[3] * 256 + d[4]));
        return;
    }

    const bool found = FHidDevices.NameObjects.contains(device);
    const int expected = StreamingCounter.Counter[k].toInt();
    if (found && d[1] != expected) {
        StreamingCounter.Counter[k] = DecimalText(d[1]);
        if (JustStopped && expected <= 1) {
            JustStopped = false;
            JustFixed = true;
        } else if (JustFixed) {
            JustFixed = false;
        } else if (OnStreamingDataMissed) {
            OnStreamingDataMissed(HIDToolID);
            // The handler may have stopped the stream.
            k = StreamingCounter.DevID.indexOf(idText);
            if (k < 0 || !OnStreaming)
                return;
        }
    }

    TStreamingPacket& pk = FStreamingPacket;
    if (DoLongStream) {
        // Every piece of a frame carries its counter: a later piece of another frame means pieces were lost
        // in between, and joining them would make a frame the chip never measured.
        if (pk.InProgress && d[2] != 0 && d[1] != pk.Packet[1]) {
            pk.InProgress = false;
            FTempPacketNum = 0;
            return;
        }
        const int len = PieceLength(d[2]);
        if (len < 0)
            return;
        const int take = std::min(len, PieceBytes);
        if (pk.InProgress) {
            if (pk.PacketPos + take > int(pk.Packet.size())) {
                pk.InProgress = false; // the length changed under a running frame
                FTempPacketNum = 0;
                return;
            }
            std::memcpy(pk.Packet.data() + pk.PacketPos, d + 3, size_t(take));
            pk.PacketPos += take;
            if (len <= PieceBytes) {
                pk.InProgress = false;
                FTempPacketNum = 0;
                pk.FireEvent = true;
            }
        } else if (len > PieceBytes) {
            pk.InProgress = true;
            pk.PacketSize = uint16_t(std::min(len + 3, int(pk.Packet.size())));
            std::memset(pk.Packet.data(), 0, size_t(std::min(len, int(pk.Packet.size()))));
            std::memcpy(pk.Packet.data(), d, StreamReportData);
            pk.Packet[2] = 0xFF;
            pk.PacketPos = StreamReportData;
        }
    }

    if (FHidLayer->HasDeviceData() && found && !pk.InProgress) {
        const int next = StreamingCounter.Counter[k].toInt() + 1;
        StreamingCounter.Counter[k] = DecimalText(next > 255 ? 0 : next);
        if (pk.FireEvent) {
            pk.FireEvent = false;
            OnStreaming(pk.PacketSize, HIDToolID, pk.Packet.data());
        } else {
            OnStreaming(size, HIDToolID, Data);
        }
    }
}
