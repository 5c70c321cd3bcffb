#pragma once
// The frame recording file: 8-bit text, CR LF lines.
//
//   KT610B frame recording 1
//   Register 07<TAB>hh hh hh ...        register set-up, one line per register (hexadecimal)
//   Actual base<TAB>a b c d             optional: actual base of CH0..CH3 (decimal)
//   Frames                              end of the header
//   Map<TAB>hh hh ...                   stream map of the frames that follow (again whenever it changes)
//   Actual base<TAB>a b c d             again whenever the program reads new values (the last one holds)
//   <time in us><TAB>hhhh...            one frame: microseconds since the first frame, the streamed bytes
//
// The header is complete before the first frame line is written; a line cut short by a crash can only be
// the last one, and readers leave it out.

#include "replay/FrameRecording.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <map>
#include <optional>

namespace RecordingFormat {
constexpr char Signature[] = "KT610B frame recording 1";

QByteArray Header(const std::map<uint8_t, QByteArray>& setup, const std::optional<std::array<int, 4>>& actualBase);
QByteArray MapLine(const QByteArray& map);
QByteArray ActualBaseLine(const std::array<int, 4>& base);
QByteArray FrameLine(qint64 timeUs, const uint8_t* data, int size);
} // namespace RecordingFormat

// The recording in text; std::nullopt and the reason in error when it cannot be read.
std::optional<TRecording> ParseFrameRecording(const QByteArray& text, QString& error);

// The complete lines of a recording or log, without their CR LF. cutShort: text followed the last line end
// (the writer stopped mid-line); that text is left out.
QList<QByteArray> SplitRecordLines(const QByteArray& text, bool& cutShort);
