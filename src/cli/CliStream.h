#pragma once
// The stream and log commands: the start road, then one output line or data-log row trigger per accepted frame
// until the frame count or the time is reached, the user interrupts, or the stream or the log breaks.

#include "cli/CliOptions.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <memory>

class TFrameRecorder;

class TCliRunner;

class TCliStream : public QObject {
    Q_OBJECT
public:
    // Longest time without a frame before the stream counts as broken.
    static constexpr int FrameTimeoutMs = 10000;
    static constexpr int CheckIntervalMs = 100;

    TCliStream(TCliRunner& runner, const TCliOptions& options);
    ~TCliStream() override;

    // The exit status of the stream itself; the runner powers off afterwards.
    int Run();

private:
    void ApplySetup();
    // The data-logging page's Start Log with the command's choices.
    bool StartLog();
    void Frame();
    void End(bool failed);

    TCliRunner& FRunner;
    const TCliOptions& FOptions;
    QEventLoop FLoop;
    QTimer FCheckTimer;
    QElapsedTimer FSinceFrame;
    quint64 FFrames = 0;
    bool FEnded = false;
    bool FFailed = false;
    std::unique_ptr<TFrameRecorder> FRecorder;
};
