#include "replay/RecordingFormat.h"

#include <QList>

#include <cctype>

namespace RecordingFormat {

QByteArray Header(const std::map<uint8_t, QByteArray>& setup, const std::optional<std::array<int, 4>>& actualBase)
{
    QByteArray h = QByteArray(Signature) + "\r\n";
    for (const auto& [address, bytes] : setup)
        h += "Register " + QByteArray::number(address, 16).rightJustified(2, '0').toUpper() + '\t'
             + bytes.toHex(' ').toUpper() + "\r\n";
    if (actualBase)
        h += ActualBaseLine(*actualBase);
    h += "Frames\r\n";
    return h;
}

QByteArray ActualBaseLine(const std::array<int, 4>& base)
{
    QByteArray line = "Actual base\t";
    for (int c = 0; c < 4; ++c)
        line += QByteArray::number(base[size_t(c)]) + (c < 3 ? " " : "\r\n");
    return line;
}

QByteArray MapLine(const QByteArray& map)
{
    return "Map\t" + map.toHex(' ').toUpper() + "\r\n";
}

QByteArray FrameLine(qint64 timeUs, const uint8_t* data, int size)
{
    return QByteArray::number(timeUs) + '\t'
           + QByteArray::fromRawData(reinterpret_cast<const char*>(data), size).toHex().toUpper() + "\r\n";
}

} // namespace RecordingFormat

namespace {

bool ParseHex(const QByteArray& text, QByteArray& bytes)
{
    const QByteArray digits = QByteArray(text).replace(' ', "");
    if (digits.size() % 2 != 0)
        return false;
    for (char ch : digits)
        if (!std::isxdigit(static_cast<unsigned char>(ch)))
            return false;
    bytes = QByteArray::fromHex(digits);
    return true;
}

bool ParseActualBase(const QByteArray& line, TRecording& r)
{
    const QList<QByteArray> values = line.mid(int(qstrlen("Actual base\t"))).split(' ');
    if (values.size() != 4)
        return false;
    std::array<int, 4> base{};
    bool ok = true;
    for (int c = 0; c < 4 && ok; ++c)
        base[size_t(c)] = values[c].toInt(&ok);
    if (ok)
        r.ActualBase = base;
    return ok;
}

} // namespace

QList<QByteArray> SplitRecordLines(const QByteArray& text, bool& cutShort)
{
    QList<QByteArray> lines = text.split('\n');
    cutShort = !lines.back().isEmpty();
    lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

std::optional<TRecording> ParseFrameRecording(const QByteArray& text, QString& error)
{
    bool cutShort = false;
    const QList<QByteArray> lines = SplitRecordLines(text, cutShort);

    TRecording r;
    int n = 1; // line 0 is the signature
    bool headerDone = false;
    for (; n < lines.size() && !headerDone; ++n) {
        const QByteArray& line = lines[n];
        QByteArray bytes;
        if (line == "Frames") {
            headerDone = true;
        } else if (line.startsWith("Register ") && line.indexOf('\t') == 11) {
            bool ok = false;
            const uint address = line.mid(9, 2).toUInt(&ok, 16);
            if (!ok || !ParseHex(line.mid(12), bytes))
                break;
            r.Setup[uint8_t(address)] = bytes;
        } else if (line.startsWith("Actual base\t")) {
            if (!ParseActualBase(line, r))
                break;
        } else {
            break;
        }
    }
    if (!headerDone) {
        error = n < lines.size() ? QStringLiteral("line %1 of the header is damaged.").arg(n + 1)
                                 : QStringLiteral("the header is incomplete; the recording was cut short.");
        return std::nullopt;
    }

    qint64 lastTime = 0;
    for (; n < lines.size(); ++n) {
        const QByteArray& line = lines[n];
        const int tab = int(line.indexOf('\t'));
        QByteArray bytes;
        bool ok = tab > 0 && ParseHex(line.mid(tab + 1), bytes);
        if (line.startsWith("Actual base\t") && ParseActualBase(line, r))
            continue;
        if (ok && line.startsWith("Map\t")) {
            r.StreamMaps.append(bytes);
            continue;
        }
        const qint64 time = ok ? line.left(tab).toLongLong(&ok) : 0;
        ok = ok && !r.StreamMaps.isEmpty() && bytes.size() == r.StreamMaps.back().size() && time >= lastTime;
        if (!ok) {
            error = QStringLiteral("line %1 is damaged.").arg(n + 1);
            return std::nullopt;
        }
        lastTime = time;
        r.Frames.append({time, int(r.StreamMaps.size() - 1), bytes});
    }
    if (cutShort)
        r.Notes.append(QStringLiteral("The last frame was cut short and is left out."));
    if (r.Frames.isEmpty()) {
        error = QStringLiteral("the recording holds no frames.");
        return std::nullopt;
    }
    return r;
}
