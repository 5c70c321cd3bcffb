#include "replay/DataLogReplay.h"
#include "replay/RecordingFormat.h"

#include <QList>

namespace {

using namespace RecordedRegister;

enum class TColumn { Wheel, Relative, Count, Lta, Delta, Prox, Touch };

struct TLogColumn {
    TColumn Kind;
    int Channel = 0;
};

std::optional<TLogColumn> ColumnOf(const QByteArray& title)
{
    const auto channel = [&](const char* prefix, TColumn kind, int first) -> std::optional<TLogColumn> {
        const QByteArray p(prefix);
        if (title.size() != p.size() + 1 || !title.startsWith(p))
            return std::nullopt;
        const int c = title.back() - '0';
        if (c < first || c > 3)
            return std::nullopt;
        return TLogColumn{kind, c};
    };
    if (title == "Wheel Data")
        return TLogColumn{TColumn::Wheel};
    if (title == "Relative Coords")
        return TLogColumn{TColumn::Relative};
    if (title == "Prox CH0")
        return TLogColumn{TColumn::Prox, 0};
    for (auto column : {channel("Count CH", TColumn::Count, 0), channel("LTA CH", TColumn::Lta, 0),
                        channel("Delta CH", TColumn::Delta, 0), channel("Touch CH", TColumn::Touch, 1)})
        if (column)
            return column;
    return std::nullopt;
}

void PutWord(QByteArray& frame, int at, int value)
{
    frame[at] = char(value & 0xFF);
    frame[at + 1] = char((value >> 8) & 0xFF);
}

// The relative coordinate as the chip sends it; the log holds it signed.
int RelativeRaw(int value)
{
    return value == 32768 ? 0x8000 : (value & 0xFFFF);
}

} // namespace

std::optional<TRecording> ParseDataLog(const QByteArray& text, QString& error)
{
    bool cutShort = false;
    const QList<QByteArray> lines = SplitRecordLines(text, cutShort);
    if (lines.isEmpty()) {
        error = QStringLiteral("the data log's header line is incomplete.");
        return std::nullopt;
    }

    const QList<QByteArray> titles = lines[0].split('\t');
    QVector<TLogColumn> columns;
    bool has[7] = {};
    std::array<bool, 4> channelLogged{};
    for (int i = 2; i < titles.size(); ++i) {
        const auto column = ColumnOf(titles[i]);
        if (!column) {
            error = QStringLiteral("the data log has an unknown column \"%1\".").arg(QString::fromLatin1(titles[i]));
            return std::nullopt;
        }
        columns.append(*column);
        has[int(column->Kind)] = true;
        if (column->Kind != TColumn::Wheel && column->Kind != TColumn::Relative)
            channelLogged[size_t(column->Channel)] = true;
    }
    const auto logged = [&](TColumn kind) { return has[int(kind)]; };

    // One map for every row: the blocks the columns come from, in stream order.
    QByteArray map;
    std::map<uint8_t, int> offset;
    const auto block = [&](bool present, uint8_t address, int length) {
        if (!present)
            return;
        offset[address] = int(map.size());
        map += char(address);
        map += QByteArray(length - 1, '\0');
    };
    block(logged(TColumn::Wheel) || logged(TColumn::Relative), Coordinates, 3);
    block(logged(TColumn::Prox) || logged(TColumn::Touch), TouchBytes, 2);
    block(logged(TColumn::Count), Counts, 10);
    block(logged(TColumn::Lta), LTA, 10);
    block(logged(TColumn::Delta), Deltas, 8);

    TRecording r;
    r.StreamMaps.append(map);
    qint64 timeUs = 0;
    for (int n = 1; n < lines.size(); ++n) {
        const QList<QByteArray> cells = lines[n].split('\t');
        bool ok = cells.size() == columns.size() + 2;
        qint64 stepMs = 0;
        if (ok && n > 1 && cells[1] != "-")
            stepMs = cells[1].toLongLong(&ok);
        QByteArray frame(map.size(), '\0');
        for (int i = 0; ok && i < columns.size(); ++i) {
            const int value = cells[i + 2].toInt(&ok);
            const TLogColumn& col = columns[i];
            switch (col.Kind) {
            case TColumn::Wheel: frame[offset[Coordinates]] = char(value); break;
            case TColumn::Relative: PutWord(frame, offset[Coordinates] + 1, RelativeRaw(value)); break;
            case TColumn::Count:
                PutWord(frame, offset[Counts] + 2 * (col.Channel + 1), value);
                if (col.Channel == 0)
                    PutWord(frame, offset[Counts], value); // the low-power channel is CH0
                break;
            case TColumn::Lta:
                PutWord(frame, offset[LTA] + 2 * (col.Channel + 1), value);
                if (col.Channel == 0)
                    PutWord(frame, offset[LTA], value);
                break;
            case TColumn::Delta: PutWord(frame, offset[Deltas] + 2 * col.Channel, value); break;
            case TColumn::Prox:
            case TColumn::Touch:
                if (value != 0)
                    frame[offset[TouchBytes]] = char(frame[offset[TouchBytes]] | (1 << col.Channel));
                break;
            }
        }
        if (!ok) {
            error = QStringLiteral("line %1 of the data log is damaged.").arg(n + 1);
            return std::nullopt;
        }
        timeUs += stepMs * 1000;
        r.Frames.append({timeUs, 0, frame});
    }
    if (r.Frames.isEmpty()) {
        error = QStringLiteral("the data log holds no rows.");
        return std::nullopt;
    }

    QStringList& notes = r.Notes;
    notes.append(QStringLiteral("This is a data log: it holds no register set-up, so the replayed chip keeps its "
                                "default set-up, and rows play at the times they were logged."));
    notes.append(QStringLiteral("System flags and events were not logged: ATI, low power, tap and flick are not "
                                "replayed."));
    if (!logged(TColumn::Count))
        notes.append(QStringLiteral("Counts were not logged: they are replayed as 0."));
    if (!logged(TColumn::Lta))
        notes.append(QStringLiteral("Long-term averages were not logged: they are replayed as 0."));
    if (!logged(TColumn::Prox) && !logged(TColumn::Touch))
        notes.append(QStringLiteral("Prox and touch were not logged: they are replayed as off."));
    if (!logged(TColumn::Wheel) && !logged(TColumn::Relative))
        notes.append(QStringLiteral("Wheel and relative coordinates were not logged: they are replayed as 0."));
    QStringList missing;
    for (int c = 0; c < 4; ++c)
        if (!channelLogged[size_t(c)])
            missing.append(QStringLiteral("CH%1").arg(c));
    if (!missing.isEmpty() && missing.size() < 4)
        notes.append(QStringLiteral("%1 not logged: replayed as 0.").arg(missing.join(QStringLiteral(", "))));
    if (cutShort)
        notes.append(QStringLiteral("The last row was cut short and is left out."));
    return r;
}
