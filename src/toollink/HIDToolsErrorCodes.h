#pragma once
// The tool's error codes and their texts.

#include <QString>
#include <array>
#include <cstdint>

struct TErrorRecord {
    uint16_t ErrorCode = 0;
    QString Text;
};

// The 151-slot table, filled once; unused slots keep code 0 and an empty text.
const std::array<TErrorRecord, 151>& HIDToolsErrorCodes();

// The message text for a tool result code ("Unknown error code" when there is none).
QString ErrorCodeText(uint16_t Code);
