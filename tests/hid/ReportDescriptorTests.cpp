// Report lengths from hand-written descriptors, counted as Windows does.
#include "hid/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TReportLengths Parse(const std::vector<uint8_t>& d)
{
    return ParseReportDescriptor(d.data(), int(d.size()));
}

// A vendor-defined 64-byte in / 64-byte out device without report IDs, like the tools.
const std::vector<uint8_t> Vendor64 = {
    0x06, 0x00, 0xFF, // Usage Page (vendor)
    0x09, 0x01,       // Usage
    0xA1, 0x01,       // Collection (application)
    0x15, 0x00,       //   Logical Minimum 0
    0x26, 0xFF, 0x00, //   Logical Maximum 255
    0x75, 0x08,       //   Report Size 8
    0x95, 0x40,       //   Report Count 64
    0x09, 0x01,       //   Usage
    0x81, 0x02,       //   Input
    0x95, 0x40,       //   Report Count 64
    0x09, 0x01,       //   Usage
    0x91, 0x02,       //   Output
    0xC0,             // End Collection
};

TEST(ReportDescriptor, UnnumberedReportsCountOneByteForTheReportId)
{
    const TReportLengths l = Parse(Vendor64);
    EXPECT_TRUE(l.parsed);
    EXPECT_FALSE(l.usesReportIds);
    EXPECT_EQ(l.inputReportLength, 65);
    EXPECT_EQ(l.outputReportLength, 65);

    // A keyboard: bit fields add up to whole bytes; 5 LED bits and padding make one output byte.
    const std::vector<uint8_t> keyboard = {
        0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,
        0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x75, 0x08, 0x95, 0x01, 0x81, 0x01,
        0x75, 0x01, 0x95, 0x05, 0x91, 0x02, 0x75, 0x03, 0x95, 0x01, 0x91, 0x01,
        0x75, 0x08, 0x95, 0x06, 0x81, 0x00, 0xC0,
    };
    const TReportLengths k = Parse(keyboard);
    EXPECT_TRUE(k.parsed);
    EXPECT_EQ(k.inputReportLength, 9);
    EXPECT_EQ(k.outputReportLength, 2);
}

TEST(ReportDescriptor, NumberedReportsTakeTheLongestPerDirection)
{
    const std::vector<uint8_t> numbered = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
        0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02,             // ID 1: 8 bytes in
        0x85, 0x02, 0x95, 0x20, 0x81, 0x02,                         // ID 2: 32 bytes in
        0x85, 0x03, 0x95, 0x10, 0x91, 0x02,                         // ID 3: 16 bytes out
        0x85, 0x01, 0x75, 0x04, 0x95, 0x01, 0x81, 0x02, 0x81, 0x03, // ID 1 again: one more byte in two halves
        0xC0,
    };
    const TReportLengths l = Parse(numbered);
    EXPECT_TRUE(l.parsed);
    EXPECT_TRUE(l.usesReportIds);
    EXPECT_EQ(l.inputReportLength, 33);
    EXPECT_EQ(l.outputReportLength, 17);
}

TEST(ReportDescriptor, PushAndPopRestoreTheGlobals)
{
    const std::vector<uint8_t> pushed = {
        0x75, 0x08, 0x95, 0x40, // size 8, count 64
        0xA4,                   // Push
        0x75, 0x10, 0x95, 0x02, 0x81, 0x02, // 4 bytes in
        0xB4,                   // Pop
        0x91, 0x02,             // 64 bytes out with the restored globals
    };
    const TReportLengths l = Parse(pushed);
    EXPECT_TRUE(l.parsed);
    EXPECT_EQ(l.inputReportLength, 5);
    EXPECT_EQ(l.outputReportLength, 65);
}

TEST(ReportDescriptor, LongItemsAndFourByteItemsAreSteppedOver)
{
    std::vector<uint8_t> d = {0xFE, 0x03, 0x10, 0xAA, 0xBB, 0xCC,  // long item, 3 data bytes
                              0x27, 0xFF, 0xFF, 0x00, 0x00};      // Logical Maximum, 4 bytes
    d.insert(d.end(), Vendor64.begin(), Vendor64.end());
    const TReportLengths l = Parse(d);
    EXPECT_TRUE(l.parsed);
    EXPECT_EQ(l.inputReportLength, 65);
}

TEST(ReportDescriptor, BrokenDescriptorsFallBackTo65)
{
    const std::vector<std::vector<uint8_t>> broken = {
        {},                                   // empty
        {0x75, 0x08, 0x96, 0x40},             // item cut short
        {0xFE, 0x05, 0x10, 0x01},             // long item cut short
        {0xB4, 0x75, 0x08},                   // Pop without Push
        {0x85, 0x00, 0x75, 0x08, 0x81, 0x02}, // report ID 0
        {0x77, 0xFF, 0xFF, 0xFF, 0x7F, 0x97, 0xFF, 0xFF, 0xFF, 0x7F, 0x81, 0x02}, // absurd size
    };
    for (const auto& d : broken) {
        const TReportLengths l = Parse(d);
        EXPECT_FALSE(l.parsed);
        EXPECT_EQ(l.inputReportLength, 65);
        EXPECT_EQ(l.outputReportLength, 65);
        EXPECT_FALSE(l.usesReportIds);
    }
    EXPECT_FALSE(ParseReportDescriptor(nullptr, 10).parsed);

    std::vector<uint8_t> deep(40, 0xA4); // Push nested too deep
    EXPECT_FALSE(Parse(deep).parsed);
}

} // namespace
