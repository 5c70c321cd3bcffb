#include "replay/RecordingWriter.h"

#include "replay/RecordingFormat.h"

#include <QSaveFile>

bool TRecordingWriter::Start(const QString& fileName, const std::map<uint8_t, QByteArray>& setup,
                             const std::optional<std::array<int, 4>>& actualBase, QString& error)
{
    // The header goes in under a temporary name and is renamed into place whole.
    QSaveFile header(fileName);
    const QByteArray text = RecordingFormat::Header(setup, actualBase);
    if (!header.open(QIODevice::WriteOnly) || header.write(text) != text.size() || !header.commit()) {
        error = QStringLiteral("Unable to create the frame recording \"%1\": %2").arg(fileName, header.errorString());
        return false;
    }
    FFile.setFileName(fileName);
    if (!FFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        error = QStringLiteral("Unable to open the frame recording \"%1\": %2").arg(fileName, FFile.errorString());
        return false;
    }
    FBlock.clear();
    FBlock.reserve(BlockBytes + 1024);
    FMap.clear();
    FFrames = 0;
    FSinceFlush.start();
    return true;
}

bool TRecordingWriter::Append(qint64 timeUs, const QByteArray& map, const uint8_t* data, int size, QString& error)
{
    if (!FFile.isOpen())
        return false;
    if (map != FMap) {
        FMap = map;
        FBlock += RecordingFormat::MapLine(map);
    }
    FBlock += RecordingFormat::FrameLine(timeUs, data, size);
    ++FFrames;
    if (FBlock.size() >= BlockBytes || FSinceFlush.elapsed() >= FlushMs)
        return Flush(error);
    return true;
}

bool TRecordingWriter::AppendActualBase(const std::array<int, 4>& base, QString& error)
{
    if (!FFile.isOpen())
        return false;
    FBlock += RecordingFormat::ActualBaseLine(base);
    return true;
}

bool TRecordingWriter::Flush(QString& error)
{
    FSinceFlush.start();
    if (FBlock.isEmpty())
        return true;
    if (FFile.write(FBlock) != FBlock.size() || !FFile.flush()) {
        error = QStringLiteral("Frame recording stopped! Unable to write to \"%1\": %2")
                    .arg(FFile.fileName(), FFile.errorString());
        FFile.close();
        FBlock.clear();
        return false;
    }
    FBlock.clear();
    return true;
}

bool TRecordingWriter::Stop(QString& error)
{
    if (!FFile.isOpen())
        return true;
    const bool ok = Flush(error);
    FFile.close();
    return ok;
}
