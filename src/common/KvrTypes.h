#pragma once
// Types shared by every part of the program.

#include <QString>
#include <array>
#include <cstdint>

// Every report buffer and bulk data argument of the tool interface.
using TKvrByteArray = std::array<uint8_t, 32768>;

// Kind of a message-list item.
enum class TKvrItemType { aInfo = 0, aError = 1 };

// Where every status and error message goes: the main window's message list, or the terminal for the
// command-line tool.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // Adds one item and returns its index.
    virtual int KvrAddItem(const QString& item, TKvrItemType itemType) = 0;
};
