// Start and stop of long streams on the current tool, and their bookkeeping in the device list.
#include "toollink/KorvaneHIDTool.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t CmdStopStreaming = 0x0D;
constexpr uint8_t CmdSetLongStreamingLength = 0x14;
constexpr uint8_t CmdStartLongStreaming = 0x15;

constexpr int PieceBytes = 32;
// The reassembly buffer holds the frame and its 3 header bytes.
constexpr int MaxStreamLength = int(std::tuple_size_v<TKvrByteArray>) - 3;

} // namespace

uint16_t TKorvaneHidTool::SetLongStreamingLength(uint16_t Size)
{
    if (Size > MaxStreamLength)
        return ToolResult::NumParametersExceedMaximum;
    const uint16_t result = Command(CmdSetLongStreamingLength, 2, {uint8_t(Size >> 8), uint8_t(Size)});
    if (result == ToolResult::Success && FDevList)
        FDevList->LongStreamingLength = Size;
    return result;
}

uint16_t TKorvaneHidTool::StartLongStreaming(const TKvrByteArray& BytesToStream)
{
    TKorvaneDevList* list = FDevList;
    if (!list)
        return ToolResult::HardwareNotFound;
    TStreamingDevices& streams = list->StreamingDevices;
    THidDevice* current = TransactionDevice();
    if (current && streams.NumberOfDevices > 0 && std::find(streams.Device.begin(), streams.Device.end(), current) != streams.Device.end())
        return ToolResult::AlreadyStreaming;

    const int n = list->LongStreamingLength;
    int start = 0;
    int piece = 0;
    for (;; ++piece) {
        const int chunk = std::min(n - start, PieceBytes);
        BuildCommand(CmdStartLongStreaming, uint8_t(piece));
        std::memcpy(Send.data() + 4, BytesToStream.data() + start, size_t(chunk));
        const uint16_t result = SendReceive(Send, Receive);
        if (result != ToolResult::Success)
            return result;
        start += chunk;
        if (start >= n)
            break;
    }

    list->IsStreaming = true;
    list->LongStreamingPackets = piece;
    list->DoLongStream = true;
    // The first free slot: a slot freed by another tool's stop must not be overwritten.
    current = TransactionDevice();
    const auto freeSlot = std::find(streams.Device.begin(), streams.Device.end(), nullptr);
    if (freeSlot != streams.Device.end()) {
        const int k = int(freeSlot - streams.Device.begin());
        ++streams.NumberOfDevices;
        list->SetStreamingDevice(k, current);
        // Recorded so that pulling out a tool with a non-zero ID finds its counter entry.
        list->SetStreamingDeviceID(k, LastDevID);
    }
    list->StreamingCounter.DevID.append(TKorvaneDevList::DecimalText(LastDevID));
    list->StreamingCounter.Counter.append(TKorvaneDevList::DecimalText(0));
    return ToolResult::Success;
}

uint16_t TKorvaneHidTool::StopStreaming()
{
    TKorvaneDevList* list = FDevList;
    if (!list)
        return ToolResult::HardwareNotFound;
    TStreamingDevices& streams = list->StreamingDevices;
    THidDevice* current = TransactionDevice();
    if (current && streams.NumberOfDevices > 0) {
        const auto slot = std::find(streams.Device.begin(), streams.Device.end(), current);
        if (slot != streams.Device.end()) {
            const int k = int(slot - streams.Device.begin());
            list->SetStreamingDevice(k, nullptr);
            list->SetStreamingDeviceID(k, 0);
            --streams.NumberOfDevices;
        }
    }

    uint32_t version = 0;
    GetCTFWVersion(version); // refreshes LastDevID
    const uint16_t result = Command(CmdStopStreaming, 0, {});
    if (result != ToolResult::Success)
        return result;

    if (streams.NumberOfDevices < 1)
        list->IsStreaming = false;
    list->DoLongStream = false;
    const qsizetype k = list->StreamingCounter.DevID.indexOf(TKorvaneDevList::DecimalText(LastDevID));
    if (k >= 0) {
        list->StreamingCounter.DevID.removeAt(k);
        list->StreamingCounter.Counter.removeAt(k);
        list->JustStopped = true;
    }
    return ToolResult::Success;
}
