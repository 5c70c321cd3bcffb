#include "toollink/HIDToolsErrorCodes.h"
#include "toollink/ToolFilter.h"

#include <gtest/gtest.h>

#include <set>

TEST(ErrorCodes, TableHoldsTheEntriesInOrderAndLeavesTheRestEmpty)
{
    const auto& table = HIDToolsErrorCodes();
    std::set<uint16_t> codes;
    int filled = 0;
    for (const TErrorRecord& record : table) {
        if (record.ErrorCode == 0) {
            EXPECT_TRUE(record.Text.isEmpty());
            continue;
        }
        ++filled;
        EXPECT_TRUE(codes.insert(record.ErrorCode).second) << record.ErrorCode;
    }
    EXPECT_EQ(filled, 103);
    EXPECT_EQ(table[0].ErrorCode, 0x0001);
    EXPECT_EQ(table[15].ErrorCode, 0x00FD);
    EXPECT_EQ(table[102].ErrorCode, 0xC202);
    EXPECT_EQ(table[102].Text, "I/O test failed while IO should have been high");
    EXPECT_EQ(table[103].ErrorCode, 0);
}

TEST(ErrorCodes, TextLookup)
{
    EXPECT_EQ(ErrorCodeText(0x0203), "Power already on");
    EXPECT_EQ(ErrorCodeText(0x2103), "Power already on");
    EXPECT_EQ(ErrorCodeText(0x05FD), "RF Comms Timeout");
    EXPECT_EQ(ErrorCodeText(0x00FD), "RF Comms Timeout");
    EXPECT_EQ(ErrorCodeText(0x0BFE), "Invalid Parameter");
    EXPECT_EQ(ErrorCodeText(0x12FF), "Invalid Command");
    EXPECT_EQ(ErrorCodeText(0x0C06), "Unknown error code");
    EXPECT_EQ(ErrorCodeText(0), "Unknown error code");
    EXPECT_EQ(ErrorCodeText(0x0A02), "No. of Bytes exceed maximum");
    EXPECT_EQ(ErrorCodeText(0x1202), "No of Bytes exceed maximum");
    EXPECT_EQ(ErrorCodeText(515), "Power already on");
    EXPECT_EQ(ErrorCodeText(12), "USB hardware not responding");
    EXPECT_EQ(ErrorCodeText(0x0801), "ID out of Range (> 0xF)");
}

TEST(ToolFilter, AcceptsFamiliesListedProductsAndPairsOnly)
{
    using namespace ToolFilter;
    EXPECT_TRUE(IsTool(ToolVendorID, KC60));
    EXPECT_TRUE(IsTool(ToolVendorID, 0x0DFF));
    EXPECT_TRUE(IsTool(ToolVendorID, 0x0A31));
    EXPECT_FALSE(IsTool(ToolVendorID, 0x0A32));
    EXPECT_FALSE(IsTool(ToolVendorID, 0x0E60));
    EXPECT_FALSE(IsTool(0x046D, KC60));
    EXPECT_TRUE(IsTool(FurtherPairs[0].vendorId, FurtherPairs[0].productId));
    EXPECT_TRUE(IsTool(FurtherPairs[1].vendorId, FurtherPairs[1].productId));
    EXPECT_FALSE(IsTool(FurtherPairs[0].vendorId, 0x0C60));
}
