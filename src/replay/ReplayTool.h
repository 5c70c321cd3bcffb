#pragma once
// A recorded session played back as a configuration tool with a chip on its bus, plugged into an in-process
// HID backend like the simulator. The tool answers the program's commands as a real tool does; the chip
// holds the recording's register set-up, and each streamed frame carries the registers of the next recorded
// frame, sent with the recorded timing scaled by the speed. Frames advance only while the tool streams.
// Like a chip, the replayed chip tunes itself after power-up: unless the recording begins with its own
// tuning, the first PowerUpTuningFrames frames show the next recorded frame with ATI busy, then once with
// the tuning ended, before the recording goes on.
//
// Threading: the host writes command reports on its own thread; a worker thread plays the frames (unless
// the clock is manual). One mutex guards the tool, the chip and the position; reports are sent after it is
// released.

#include "replay/FrameRecording.h"
#include "sim/SimChip.h"
#include "sim/SimFaults.h"
#include "sim/SimTool.h"

#include "hid/VirtualHidBackend.h"

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class TSinkToolDevice;

class TReplayTool : public QObject {
    Q_OBJECT
public:
    static constexpr double MinSpeed = 0.25, MaxSpeed = 16.0;
    static constexpr int PowerUpTuningFrames = 4;

    // With manualClock only Advance and Step play frames.
    explicit TReplayTool(TRecording recording, bool manualClock = false, QObject* parent = nullptr);
    ~TReplayTool() override;

    std::shared_ptr<VirtualHidBackend> Backend() const { return FBackend; }
    const TRecording& Recording() const { return FRecording; }
    QString ProductName() const;

    void SetPaused(bool paused);
    bool Paused() const;
    void SetSpeed(double speed); // clamped to MinSpeed..MaxSpeed
    double Speed() const;
    // Plays the next frame now, paused or not; false when the tool is not streaming or the recording is over.
    bool Step();
    // Back to the first frame.
    void Rewind();
    // Plays up to frames frames now, on the calling thread, while the tool streams; the number played.
    int Advance(int frames);

    int Position() const; // frames played so far
    int FrameCount() const { return int(FRecording.Frames.size()); }
    bool Streaming() const;
    SimToolStatus ToolStatus() const;

private:
    using Clock = std::chrono::steady_clock;

    void OnOutputReport(const QByteArray& report);
    void LoadSetup();
    // Loads the next frame into the chip and lets the tool stream it. Under FMutex.
    bool PlayFrame(TSimTool::Reports& out);
    void Send(const TSimTool::Reports& reports);
    void WorkerLoop();

    const TRecording FRecording;
    const bool FManualClock;
    std::shared_ptr<VirtualHidBackend> FBackend;
    std::shared_ptr<TSinkToolDevice> FDevice;

    mutable std::mutex FMutex;
    std::condition_variable FWake;
    TSimChip FChip;
    TSimFaultInjector FFaults;
    TSimTool FTool;
    int FPosition = 0;
    int FTuningFrames = 0; // power-up tuning frames still to stream
    bool FPaused = false;
    double FSpeed = 1.0;
    bool FAnchored = false; // the timing below refers to the current run
    Clock::time_point FAnchorWall;
    qint64 FAnchorTimeUs = 0;
    bool FStop = false;
    std::thread FWorker;
};
