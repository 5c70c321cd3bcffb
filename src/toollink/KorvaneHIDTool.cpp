// Tool selection, the transaction and the forwarding of the list's stream events.
#include "toollink/KorvaneHIDTool.h"

#include "hid/HidDevice.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

constexpr size_t ClearedBytes = 80;
constexpr int MaxExaminedReports = 90;

uint8_t ReportType(const TKvrByteArray& report) { return report[1] & 0x0F; }

} // namespace

TKorvaneHidTool::TKorvaneHidTool(QObject* owner) : QObject(owner) {}

TKorvaneHidTool::~TKorvaneHidTool()
{
    ClearStreamEvents();
}

void TKorvaneHidTool::ClearStreamEvents()
{
    if (!FDevList)
        return;
    FDevList->OnStreaming = nullptr;
    FDevList->OnStreamingError = nullptr;
    FDevList->OnStreamingDataMissed = nullptr;
}

void TKorvaneHidTool::SetKorvaneDevList(TKorvaneDevList* list)
{
    if (list == FDevList)
        return;
    FDevList = list;
    if (!list)
        return;
    // The guard keeps a list that outlives this component from calling into freed memory.
    QPointer<TKorvaneHidTool> self(this);
    list->OnStreaming = [self](uint16_t Size, uint8_t HIDToolID, const uint8_t* Data) {
        if (self && self->OnStreaming)
            self->OnStreaming(Size, HIDToolID, Data);
    };
    list->OnStreamingError = [self](uint16_t code) {
        if (self && self->OnStreamingError)
            self->OnStreamingError(code);
    };
    list->OnStreamingDataMissed = [self](uint8_t id) {
        if (self && self->OnStreamingDataMissed)
            self->OnStreamingDataMissed(id);
    };
}

bool TKorvaneHidTool::SetCurrentDevice(int DeviceIndex)
{
    if (!FDevList || DeviceIndex < 0 || DeviceIndex >= FDevList->HidDevices().Count)
        return false;
    CurrentDeviceIndex = DeviceIndex;
    FRemembered = FDevList->HidDevices().NameObjects[DeviceIndex];
    DeviceSelected = true;
    return true;
}

bool TKorvaneHidTool::ReselectDevice()
{
    DeviceSelected = false;
    if (!FRemembered || !FDevList || FDevList->HidDevices().Count < 1)
        return false;
    const qsizetype k = FDevList->HidDevices().NameObjects.indexOf(FRemembered.data());
    if (k < 0)
        return false;
    CurrentDeviceIndex = int(k);
    DeviceSelected = true;
    return true;
}

THidDevice* TKorvaneHidTool::GetCurrentDevice() const
{
    if (!FDevList || CurrentDeviceIndex < 0 || CurrentDeviceIndex >= FDevList->HidDevices().Count)
        return nullptr;
    return FDevList->HidDevices().NameObjects[CurrentDeviceIndex];
}

// The tool a transaction goes to; an index beyond the list falls back to the first tool.
THidDevice* TKorvaneHidTool::TransactionDevice()
{
    if (!FDevList || FDevList->HidDevices().Count < 1)
        return nullptr;
    if (CurrentDeviceIndex < 0 || CurrentDeviceIndex > FDevList->HidDevices().Count - 1)
        CurrentDeviceIndex = 0;
    return FDevList->HidDevices().NameObjects[CurrentDeviceIndex];
}

uint16_t TKorvaneHidTool::SendReceive(const TKvrByteArray& Send, TKvrByteArray& Receive)
{
    ++FMessageID;
    if (FMessageID == 255)
        FMessageID = 1;
    std::memset(Receive.data(), 0, ClearedBytes);

    THidDevice* device = TransactionDevice();
    if (!device)
        return ToolResult::HardwareNotFound;
    if (!device->FlushQueue())
        return ToolResult::QueueNotFlushed;
    const int length = std::clamp(device->OutputReportLength(), 1, int(Send.size()));
    // The caller's command stays as it was; only the bytes that go out are copied (not the whole array).
    const size_t copied = std::max(size_t(length), ClearedBytes);
    std::copy_n(Send.begin(), copied, FOutgoing.begin());
    FOutgoing[1] = FMessageID;
    device->WriteReport(FOutgoing.data(), length);
    if (OnSendCommands)
        OnSendCommands(FOutgoing);
    return WaitForReply(device, FOutgoing[1], Receive);
}

// Reads until the reply to expectedID arrives. Stream reports are skipped without counting and without
// extending the wait; every other report is examined, at most 90 of them.
uint16_t TKorvaneHidTool::WaitForReply(THidDevice* device, uint8_t expectedID, TKvrByteArray& reply)
{
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::milliseconds(ReadWaitMs);
    int examined = 0;
    for (;;) {
        std::memset(reply.data(), 0, ClearedBytes);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int n = device->ReadReport(reply.data(), int(reply.size()), int(std::max<qint64>(left, 0)));
        if (n < 0)
            return ToolResult::NotResponding;
        if (n == 0)
            return ToolResult::Timeout;
        const uint8_t type = ReportType(reply);
        if (type == 0xF)
            continue;
        if (type == 0xD || reply[2] == expectedID)
            return type == 0xE ? uint16_t(reply[4] * 256 + reply[5]) : ToolResult::Success;
        if (++examined >= MaxExaminedReports)
            return ToolResult::Timeout;
        deadline = Clock::now() + std::chrono::milliseconds(ReadWaitMs);
    }
}

void TKorvaneHidTool::BuildCommand(uint8_t code, uint8_t count)
{
    std::memset(Send.data(), 0, ClearedBytes);
    std::memset(Receive.data(), 0, ClearedBytes);
    Send[0] = 0;
    Send[2] = code;
    Send[3] = count;
}

uint16_t TKorvaneHidTool::Command(uint8_t code, uint8_t count, std::initializer_list<uint8_t> payload)
{
    BuildCommand(code, count);
    std::copy(payload.begin(), payload.end(), Send.begin() + 4);
    return SendReceive(Send, Receive);
}
