#include "chip/KorvaneKV52.h"

TKV52Class::TKV52Class(QObject* owner) : QObject(owner) {}

TKV52Class::~TKV52Class() = default;

void TKV52Class::SetHIDTool(TKorvaneHidTool* tool)
{
    if (tool == FHIDTool || !tool)
        return;
    FHIDTool = tool;
    // The guard makes a tool that outlives this device (or is later linked to another) call nothing freed.
    QPointer<TKV52Class> self(this);
    tool->OnStreaming = [self](uint16_t Size, uint8_t HIDToolID, const uint8_t* Data) {
        if (self && self->OnStreaming)
            self->OnStreaming(Size, HIDToolID, Data);
    };
    tool->OnStreamingError = [self](uint16_t code) {
        if (self && self->OnStreamingError)
            self->OnStreamingError(code);
    };
    tool->OnStreamingDataMissed = [self](uint8_t id) {
        if (self && self->OnStreamingDataMissed)
            self->OnStreamingDataMissed(id);
    };
}

uint16_t TKV52Class::SetupCT()
{
    return BaseSetupCT();
}

uint16_t TKV52Class::BaseSetupCT()
{
    FRes = ToolResult::Success;
    if (!FHIDTool)
        return FRes = ToolResult::HardwareNotFound;
    TKorvaneHidTool& tool = *FHIDTool;
    uint16_t r = tool.SetICType(TICType::it43);
    if (r == 0) {
        double quantised = 0;
        r = FUseAdjust ? tool.SetDUTVoltage(FAdjustableVoltage, quantised) : tool.SetDUTVoltage(FDUTVoltage);
    }
    if (r == 0)
        r = tool.SetLSVoltage(FLSVoltage);
    if (r == 0)
        r = tool.SetupComms(FCommsType, FCommsSpeed);
    if (r == 0 && FCommsType == TCommsType::ctI2C)
        r = tool.ConfigI2C(FI2CType, FPullUpResistors, FI2CAddress, FReadyPin, FStopCommand, FPolling);
    FRes = r;
    return FRes;
}

uint16_t TKV52Class::PowerOn()
{
    if (!FHIDTool)
        return ToolResult::HardwareNotFound;
    uint16_t r = FHIDTool->IOWrite(2, 1);
    if (r == 0)
        r = FHIDTool->PowerOnDUT();
    if (r == 0)
        r = FHIDTool->IOWrite(2, 2);
    return r;
}

uint16_t TKV52Class::PowerOff()
{
    return FHIDTool ? FHIDTool->PowerOffDUT() : ToolResult::HardwareNotFound;
}

uint16_t TKV52Class::StopStreaming()
{
    return FHIDTool ? FHIDTool->StopStreaming() : ToolResult::HardwareNotFound;
}
