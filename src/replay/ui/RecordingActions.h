#pragma once
// The File menu's "Record Frames...", "Stop Recording" and "What-If...": the frame recorder started and
// stopped by the user, and the what-if window on a chosen recording.

#include "app/FrameRecorder.h"

#include <QObject>
#include <functional>
#include <memory>

class TMainCore;
class TWhatIfWindow;
class QAction;
class QMenu;
class QTimer;
class QWidget;

class TRecordingActions : public QObject {
public:
    // The items go into menu before `before`; window is the parent of the dialogs. The owner destroys this
    // before the core.
    TRecordingActions(TMainCore& core, QMenu* menu, QAction* before, QWidget* window);
    ~TRecordingActions() override;

    QAction* RecordFrames = nullptr;
    QAction* StopRecording = nullptr;
    QAction* WhatIf = nullptr;
    TFrameRecorder Recorder;

    void RecordFramesClick();
    void StopRecordingClick();
    void WhatIfClick();
    TWhatIfWindow* WhatIfWindow() const { return FWhatIf.get(); }

    // The recording file to create; empty when cancelled. Replaceable for tests.
    std::function<QString()> AskFileName;

private:
    void UpdateActions();

    QWidget* FWindow;
    QTimer* FFlushTimer = nullptr;
    std::unique_ptr<TWhatIfWindow> FWhatIf;
};
