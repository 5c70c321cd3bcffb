#include "toollink/HIDToolsErrorCodes.h"

#include <utility>

namespace {

struct Entry {
    uint16_t code;
    const char* text;
};

// In table order; the texts are the tool maker's, typos included.
constexpr Entry Entries[] = {
    {0x0001, "Queue not flushed"},
    {0x0002, "USB Hardware not found"},
    {0x0003, "Timeout during operation"},
    {0x0004, "Device did not enter debug mode"},
    {0x0005, "Cannot jump to upper half of page"},
    {0x0006, "Fusebank write error"},
    {0x0007, "Fuse read and verify did not match"},
    {0x0008, "Device already streaming"},
    {0x0009, "Selected serial number match not found"},
    {0x000A, "Device did not exit debug mode"},
    {0x000B, "Num parameters exceed maximum"},
    {0x000C, "USB hardware not responding"},
    {0x000D, "Window failed"},
    {0x000E, "No comms reply"},
    {0x000F, "Comms error"},
    {0x00FD, "RF Comms Timeout"},
    {0x00FE, "Invalid Parameter"},
    {0x00FF, "Invalid Command"},
    {0x0101, "IC type not supported"},
    {0x0102, "Power to device is ON"},
    {0x0201, "DUT Voltage invalid"},
    {0x0202, "Level-Shifter follow voltage invalid"},
    {0x0203, "Power already on"},
    {0x0301, "Power already off"},
    {0x0401, "RDY did not go high"},
    {0x0402, "Ready already high"},
    {0x0403, "Power should be off"},
    {0x0404, "IC type invalid"},
    {0x0405, "Device did not enter debug mode"},
    {0x0501, "Comms type not available for IC type"},
    {0x0502, "Speed not available for Comms type"},
    {0x0503, "Device type not selected"},
    {0x0601, "Not a valid voltage to follow"},
    {0x0701, "Not a valid DUT voltage"},
    {0x0702, "DAC not responding"},
    {0x0801, "ID out of Range (> 0xF)"},
    {0x0A01, "Comms type not selected"},
    {0x0A02, "No. of Bytes exceed maximum"},
    {0x0A03, "Device not ready (Timeout)"},
    {0x0B01, "Comms type not selected"},
    {0x0B02, "No. of Bytes exceed maximum"},
    {0x0B03, "Device not ready (Timeout)"},
    {0x0B04, "KV41 in wrong test state"},
    {0x0C01, "Comms type not selected"},
    {0x0C02, "No. of Bytes exceed maximum"},
    {0x0C03, "Device not ready (Timeout)"},
    {0x0C04, "Streaming not supported for device"},
    {0x0C05, "Power not on yet"},
    {0x0D01, "Device not streaming"},
    {0x0E01, "Burn voltage invalid"},
    {0x0E02, "Burn time invalid"},
    {0x0E03, "Burn pin invalid"},
    {0x0E04, "VDD state invalid"},
    {0x0E05, "Power to device is not switched ON yet"},
    {0x0F01, "Comms type invalid (not I2C)"},
    {0x0F02, "I2C type not valid"},
    {0x0F03, "Pull-up selection invalid"},
    {0x0F04, "I2C device address not valid"},
    {0x1001, "IO not supported"},
    {0x1002, "Read not supported for IO"},
    {0x1101, "IO not supported"},
    {0x1102, "Write not supported for IO"},
    {0x1103, "State not valid"},
    {0x1201, "Comms type not selected"},
    {0x1202, "No of Bytes exceed maximum"},
    {0x1203, "Device not ready (Timeout)"},
    {0x1204, "KV41 in wrong test state"},
    {0x1A01, "RDY not set"},
    {0x1D03, "Device not ready (Timeout)"},
    {0x1F01, "Comms type invalid (not 1-Wire Bus)"},
    {0x1F02, "Sync time invalid"},
    {0x1F03, "Pullups Invalid"},
    {0x1F04, "Address invalid"},
    {0x1F05, "Base time invalid"},
    {0x1F06, "Event invalid"},
    {0x1F07, "Poll time invalid"},
    {0x1F08, "Dead time invalid"},
    {0x1F09, "FET invalid"},
    {0x1F0A, "Reset count invalid"},
    {0x1F0B, "Pulse invalid"},
    {0x2101, "DUT Voltage invalid"},
    {0x2102, "PSU number invalid"},
    {0x2103, "Power already on"},
    {0x2201, "Power already off"},
    {0x2202, "PSU number invalid"},
    {0x2301, "Voltage invalid"},
    {0x2302, "PSU number invalid"},
    {0x2401, "Parameter not found"},
    {0x4103, "Error while erasing device"},
    {0x4104, "Error while writing to device"},
    {0x4105, "Data verification failed"},
    {0x5001, "Failure to establish comms"},
    {0x5002, "Error initiating programming session"},
    {0x5102, "Error finishing programming session"},
    {0x5301, "No device connected"},
    {0x5302, "Error in SWIM comms with device"},
    {0x5303, "Device not supported"},
    {0x8101, "Device out of range (0 to 4)"},
    {0x8301, "Bank out of range"},
    {0x8401, "Bank out of range"},
    {0xC101, "Invalid colour"},
    {0xC201, "I/O test failed while IO should have been low"},
    {0xC202, "I/O test failed while IO should have been high"},
};
static_assert(std::size(Entries) == 103);

} // namespace

const std::array<TErrorRecord, 151>& HIDToolsErrorCodes()
{
    static const std::array<TErrorRecord, 151> table = [] {
        std::array<TErrorRecord, 151> filled{};
        for (size_t i = 0; i < std::size(Entries); ++i)
            filled[i] = {Entries[i].code, QString::fromLatin1(Entries[i].text)};
        return filled;
    }();
    return table;
}

QString ErrorCodeText(uint16_t Code)
{
    // The last three reasons mean the same for every command.
    const uint16_t low = Code & 0xFF;
    const uint16_t key = (low >= 0xFD) ? low : Code;
    for (const TErrorRecord& record : HIDToolsErrorCodes()) {
        if (record.ErrorCode == key)
            return record.Text.isEmpty() ? QStringLiteral("Unknown error code") : record.Text;
    }
    return QStringLiteral("Unknown error code");
}
