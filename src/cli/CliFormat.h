#pragma once
// Text the command-line tool prints: report lines, tool firmware, register bytes and frame lines.

#include "common/KvrTypes.h"

#include <QList>
#include <QString>

class TMainCore;

namespace CliFormat {

// Bytes 0..36 of an output report, each as two upper-case hexadecimal digits followed by one space.
QString ReportLine(const TKvrByteArray& report);

// "V01.06 Build 19 Release Customer".
QString Firmware(uint32_t version, uint8_t build, uint8_t release);

// Upper-case hexadecimal bytes separated by blanks: "00 11 BF".
QString HexBytes(const uint8_t* data, int count);

// The column names of the stream output, TAB-separated.
QString FrameHeader();
// One stream line of the values just decoded, TAB-separated.
QString FrameLine(quint64 frame, const TMainCore& core);

} // namespace CliFormat
