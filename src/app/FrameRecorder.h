#pragma once
// The frame recorder: every accepted stream frame, with its time and the register set-up needed to read it
// again, into a frame recording file. Started and stopped by the user; a write failure stops it with an
// error item.

#include "replay/RecordingWriter.h"

#include <QElapsedTimer>
#include <functional>

class TMainCore;

class TFrameRecorder {
public:
    explicit TFrameRecorder(TMainCore& core);
    ~TFrameRecorder();

    // Creates the file with the set-up the program has applied now; on failure the error item and false.
    bool Start(const QString& fileName);
    // Writes what is pending and closes: "Frame recording stopped (N frames)".
    void Stop();
    // Writes the pending block; called while frames may not come (paused or stopped streaming).
    void Flush();
    bool Recording() const { return FWriter.Active(); }
    QString FileName() const { return FWriter.FileName(); }
    qint64 Frames() const { return FWriter.Frames(); }

    // Microseconds since Start; replaceable for tests.
    std::function<qint64()> Clock;
    // A write failure has stopped the recording.
    std::function<void()> OnStopped;

private:
    void FrameStep(uint16_t size, const uint8_t* data);
    void Failed(const QString& error);

    TMainCore& FCore;
    TRecordingWriter FWriter;
    QElapsedTimer FElapsed;
    qint64 FFirstUs = -1;
    std::optional<std::array<int, 4>> FActualBase; // as last written
};
