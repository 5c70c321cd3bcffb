#pragma once
// The stream command: the start road with the default set-up, then one output line per accepted frame until
// the frame count or the time is reached, the user interrupts, or the stream breaks.

#include "cli/CliOptions.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

class TCliRunner;

class TCliStream : public QObject {
    Q_OBJECT
public:
    // Longest time without a frame before the stream counts as broken.
    static constexpr int FrameTimeoutMs = 10000;
    static constexpr int CheckIntervalMs = 100;

    TCliStream(TCliRunner& runner, const TCliOptions& options);

    // The exit status of the stream itself; the runner powers off afterwards.
    int Run();

private:
    void ApplySetup();
    bool Start();
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
};
