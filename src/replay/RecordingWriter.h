#pragma once
// Writes a frame recording as frames arrive. The header reaches the disk whole before any frame; frames are
// written in blocks, at least every FlushMs, so a crash loses at most the last block.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <array>
#include <map>
#include <optional>

class TRecordingWriter {
public:
    static constexpr int FlushMs = 200;
    static constexpr int BlockBytes = 64 * 1024;

    // Creates the file with its header. False with error set when it cannot be created.
    bool Start(const QString& fileName, const std::map<uint8_t, QByteArray>& setup,
               const std::optional<std::array<int, 4>>& actualBase, QString& error);
    // One frame laid out by map. False with error set when the file could not be written; the writer is then
    // closed and what was flushed before stays.
    bool Append(qint64 timeUs, const QByteArray& map, const uint8_t* data, int size, QString& error);
    // New actual base values, for the frames that follow.
    bool AppendActualBase(const std::array<int, 4>& base, QString& error);
    // Writes what is pending and closes. False with error set when the last block could not be written.
    bool Stop(QString& error);

    // Writes the pending block now. False with error set (and the writer closed) on failure.
    bool Flush(QString& error);

    bool Active() const { return FFile.isOpen(); }
    QString FileName() const { return FFile.fileName(); }
    qint64 Frames() const { return FFrames; }

private:
    QFile FFile;
    QByteArray FBlock;
    QByteArray FMap;
    QElapsedTimer FSinceFlush;
    qint64 FFrames = 0;
};
