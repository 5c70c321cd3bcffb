// Hexadecimal text and register bits.
#include "common/Bits.h"
#include "common/Hex.h"

#include <gtest/gtest.h>

namespace {

TEST(Hex, ParsesDigitsOfEitherCase)
{
    uint32_t v = 0;
    EXPECT_TRUE(TryParseHex("44", v));
    EXPECT_EQ(v, 0x44u);
    EXPECT_TRUE(TryParseHex("0106130c", v));
    EXPECT_EQ(v, 0x0106130Cu);
    EXPECT_TRUE(TryParseHex("FFFFFFFF", v));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_TRUE(TryParseHex("000000000001", v)); // leading zeros do not overflow
    EXPECT_EQ(v, 1u);
}

TEST(Hex, RefusesAnythingElseAndKeepsTheValue)
{
    for (const char* text : {"", "100000000", "0x10", " 1", "1 ", "G", "-1", "+1", "1.0", "$10"}) {
        uint32_t v = 123;
        EXPECT_FALSE(TryParseHex(QString::fromLatin1(text), v)) << text;
        EXPECT_EQ(v, 123u) << text;
    }
    uint32_t v = 5;
    EXPECT_FALSE(TryParseHex(QString::fromUtf8("\xd9\xa1"), v)); // a non-Latin digit
}

TEST(Hex, ByteIsTwoUpperCaseDigits)
{
    EXPECT_EQ(HexByte(0x00), "00");
    EXPECT_EQ(HexByte(0x0A), "0A");
    EXPECT_EQ(HexByte(0xBF), "BF");
}

TEST(Bits, SetClearAndTest)
{
    static_assert(SetBit(0x00, 7) == 0x80);
    static_assert(ClearBit(0xFF, 0) == 0xFE);
    static_assert(TestBit(0x10, 4) && !TestBit(0x10, 3));
    EXPECT_EQ(SetBit(0x01, 8), 0x01); // out of range: unchanged
    EXPECT_EQ(ClearBit(0x01, -1), 0x01);
    EXPECT_FALSE(TestBit(0xFF, 8));
}

} // namespace
