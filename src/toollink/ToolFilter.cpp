#include "toollink/ToolFilter.h"

#include <algorithm>
#include <iterator>

namespace ToolFilter {

bool IsTool(uint16_t vendorId, uint16_t productId)
{
    if (vendorId == ToolVendorID) {
        const uint8_t family = uint8_t(productId >> 8);
        if (std::find(std::begin(ProductFamilyHigh), std::end(ProductFamilyHigh), family) != std::end(ProductFamilyHigh))
            return true;
        if (std::find(std::begin(FurtherProductIDs), std::end(FurtherProductIDs), productId) != std::end(FurtherProductIDs))
            return true;
    }
    return std::any_of(std::begin(FurtherPairs), std::end(FurtherPairs), [&](const VidPid& pair) {
        return pair.vendorId == vendorId && pair.productId == productId;
    });
}

} // namespace ToolFilter
