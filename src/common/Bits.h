#pragma once
// Single bits of register bytes. A bit number outside 0..7 leaves the byte unchanged (and tests false).

#include <cstdint>

constexpr uint8_t SetBit(uint8_t value, int bit)
{
    return (bit >= 0 && bit < 8) ? uint8_t(value | (1u << bit)) : value;
}

constexpr uint8_t ClearBit(uint8_t value, int bit)
{
    return (bit >= 0 && bit < 8) ? uint8_t(value & ~(1u << bit)) : value;
}

constexpr bool TestBit(uint8_t value, int bit)
{
    return bit >= 0 && bit < 8 && (value & (1u << bit)) != 0;
}
