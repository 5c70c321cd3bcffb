#pragma once
// Which USB devices are configuration tools, and which model each one is. The only place these numbers live.

#include <cstdint>
#include <QString>

namespace ToolFilter {

constexpr uint16_t ToolVendorID = 0x2E3C;          // Korvane
constexpr uint8_t ProductFamilyHigh[2] = {0x0C, 0x0D};
constexpr uint16_t FurtherProductIDs[8] = {0x0A30, 0x0A31, 0x0A60, 0x0A61, 0x0A70, 0x0B30, 0x0B60, 0x0B70};
struct VidPid { uint16_t vendorId, productId; };
constexpr VidPid FurtherPairs[2] = {{0x04D8, 0xF3A1}, {0x04D8, 0xF3A2}};

// Product IDs of the models.
constexpr uint16_t KC60 = 0x0C60;
constexpr uint16_t KC60A = 0x0C61;
constexpr uint16_t KD30 = 0x0D30;
constexpr uint16_t KC70 = 0x0C70;

bool IsTool(uint16_t vendorId, uint16_t productId);

} // namespace ToolFilter
