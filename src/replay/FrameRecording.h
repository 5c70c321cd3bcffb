#pragma once
// A recorded session in memory: the chip's register set-up, the stream maps and the streamed frames with
// their times. Both the program's own frame recordings and its data logs are read into this form, and the
// replay tool and the what-if evaluation work on it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <cstdint>
#include <map>
#include <optional>

struct TRecordedFrame {
    qint64 TimeUs = 0; // since the first frame of the recording
    int Map = 0;       // index into TRecording::StreamMaps
    QByteArray Data;   // the streamed bytes, laid out by that map
};

// The values one frame carries, as the chip's registers hold them.
struct TRecordedValues {
    bool HasFlags = false, HasCoordinates = false, HasTouch = false, HasCounts = false, HasLta = false,
         HasDeltas = false;
    uint8_t Flags = 0, Events = 0;
    uint8_t Position = 0;
    uint16_t Relative = 0;
    uint8_t TouchByte = 0, HaltByte = 0;
    int LpCount = 0, LpLta = 0;
    std::array<int, 4> Counts{}, Lta{}, Deltas{};
};

struct TRecording {
    QString FileName;
    // Register set-up (register address -> bytes), as the program had applied it when recording began.
    std::map<uint8_t, QByteArray> Setup;
    // Actual base values of CH0..CH3, when the program had read them.
    std::optional<std::array<int, 4>> ActualBase;
    QVector<QByteArray> StreamMaps;
    QVector<TRecordedFrame> Frames;
    // What a replay cannot show as it was, in words for the user.
    QStringList Notes;

    // The bytes of register `address` in a frame (empty when the frame's map does not carry it). A non-zero
    // map byte names a register whose bytes run up to the next named one or the end.
    QByteArray Register(const TRecordedFrame& frame, uint8_t address) const;
    TRecordedValues Values(const TRecordedFrame& frame) const;
    // A set-up byte, or fallback when the set-up does not hold it.
    uint8_t SetupByte(uint8_t address, int byte, uint8_t fallback) const;
    double DurationSeconds() const { return Frames.isEmpty() ? 0.0 : Frames.back().TimeUs / 1e6; }
};

// The registers a recording deals in.
namespace RecordedRegister {
constexpr uint8_t SystemFlags = 0x01, Coordinates = 0x02, TouchBytes = 0x03, Counts = 0x04, LTA = 0x05,
                  Deltas = 0x06, Multipliers = 0x07, Compensation = 0x08, ProxSettings = 0x09, Thresholds = 0x0A;
constexpr std::array<uint8_t, 4> ActualBaseMemory{0x7E, 0x7F, 0x99, 0x3F};
}

// Reads a recording: the program's frame recording or a data log of its Data Logging page, told apart by
// the first line. On failure std::nullopt and error holds a sentence for the user.
std::optional<TRecording> ReadRecording(const QString& fileName, QString& error);
