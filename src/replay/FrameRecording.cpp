#include "replay/FrameRecording.h"

#include "replay/DataLogReplay.h"
#include "replay/RecordingFormat.h"

#include <QFile>

QByteArray TRecording::Register(const TRecordedFrame& frame, uint8_t address) const
{
    if (frame.Map < 0 || frame.Map >= StreamMaps.size())
        return {};
    const QByteArray& map = StreamMaps[frame.Map];
    const int length = int(std::min(map.size(), frame.Data.size()));
    for (int start = 0; start < length; ++start) {
        if (uint8_t(map[start]) != address)
            continue;
        int end = start + 1;
        while (end < length && map[end] == 0)
            ++end;
        return frame.Data.mid(start, end - start);
    }
    return {};
}

namespace {

int Word(const QByteArray& bytes, int index)
{
    const int at = 2 * index;
    if (at + 1 >= bytes.size())
        return 0;
    return uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8);
}

} // namespace

TRecordedValues TRecording::Values(const TRecordedFrame& frame) const
{
    using namespace RecordedRegister;
    TRecordedValues v;
    if (const QByteArray r = Register(frame, SystemFlags); r.size() >= 2) {
        v.HasFlags = true;
        v.Flags = uint8_t(r[0]);
        v.Events = uint8_t(r[1]);
    }
    if (const QByteArray r = Register(frame, Coordinates); r.size() >= 3) {
        v.HasCoordinates = true;
        v.Position = uint8_t(r[0]);
        v.Relative = uint16_t(Word(r.mid(1), 0));
    }
    if (const QByteArray r = Register(frame, TouchBytes); r.size() >= 2) {
        v.HasTouch = true;
        v.TouchByte = uint8_t(r[0]);
        v.HaltByte = uint8_t(r[1]);
    }
    if (const QByteArray r = Register(frame, Counts); r.size() >= 10) {
        v.HasCounts = true;
        v.LpCount = Word(r, 0);
        for (int c = 0; c < 4; ++c)
            v.Counts[size_t(c)] = Word(r, c + 1);
    }
    if (const QByteArray r = Register(frame, LTA); r.size() >= 10) {
        v.HasLta = true;
        v.LpLta = Word(r, 0);
        for (int c = 0; c < 4; ++c)
            v.Lta[size_t(c)] = Word(r, c + 1);
    }
    if (const QByteArray r = Register(frame, Deltas); r.size() >= 8) {
        v.HasDeltas = true;
        for (int c = 0; c < 4; ++c)
            v.Deltas[size_t(c)] = Word(r, c);
    }
    return v;
}

uint8_t TRecording::SetupByte(uint8_t address, int byte, uint8_t fallback) const
{
    const auto it = Setup.find(address);
    if (it == Setup.end() || byte >= it->second.size())
        return fallback;
    return uint8_t(it->second[byte]);
}

std::optional<TRecording> ReadRecording(const QString& fileName, QString& error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Unable to open \"%1\": %2").arg(fileName, file.errorString());
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Unable to read \"%1\": %2").arg(fileName, file.errorString());
        return std::nullopt;
    }
    std::optional<TRecording> recording;
    if (text.startsWith(RecordingFormat::Signature))
        recording = ParseFrameRecording(text, error);
    else if (text.startsWith("Time Stamp\t"))
        recording = ParseDataLog(text, error);
    else
        error = QStringLiteral("it is neither a frame recording nor a data log of this program.");
    if (recording)
        recording->FileName = fileName;
    else
        error = QStringLiteral("\"%1\": %2").arg(fileName, error);
    return recording;
}
