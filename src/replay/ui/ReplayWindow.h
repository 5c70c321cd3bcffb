#pragma once
// The "Replay" window of the program's --replay mode: where the replay stands, pause, step, speed and
// rewind, what the recording cannot show as it was, and the what-if window on the same recording.

#include <QWidget>
#include <memory>

class TReplayTool;
class TWhatIfWindow;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class TReplayWindow : public QWidget {
public:
    explicit TReplayWindow(TReplayTool* replay, QWidget* parent = nullptr);
    ~TReplayWindow() override;

    QLabel* FileLabel = nullptr;
    QLabel* StateLabel = nullptr;
    QLabel* PositionLabel = nullptr;
    QProgressBar* PositionBar = nullptr;
    QPushButton* PauseButton = nullptr;
    QPushButton* StepButton = nullptr;
    QPushButton* RewindButton = nullptr;
    QComboBox* SpeedCombo = nullptr;
    QPushButton* WhatIfButton = nullptr;
    QLabel* NotesLabel = nullptr;

    void RefreshStatus();
    TWhatIfWindow* WhatIf() const { return FWhatIf.get(); }

private:
    TReplayTool* FReplay;
    QTimer* FStatusTimer = nullptr;
    std::unique_ptr<TWhatIfWindow> FWhatIf;
};
