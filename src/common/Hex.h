#pragma once
// Hexadecimal text, as typed by the user and as shown in the windows and files.

#include <QString>
#include <cstdint>

// Reads text made only of hexadecimal digits (either case, no prefix, no blanks). Empty text, any other
// character, or a value above 0xFFFFFFFF is refused: the result is false and value is left unchanged.
bool TryParseHex(const QString& text, uint32_t& value);

// Two upper-case hexadecimal digits, for example "0A".
QString HexByte(uint8_t value);
