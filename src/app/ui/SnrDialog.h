#pragma once
// The guided SNR measurement: choose a channel, keep it released while the noise is measured, touch it
// while the signal is measured, and read the SNR with a pass or fail against an editable minimum and
// advice in words. The measurement itself runs in the core on every frame; this window follows it.

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;
class TMainCore;

class TSnrDialog : public QDialog {
    Q_OBJECT
public:
    TSnrDialog(TMainCore& core, QWidget* parent = nullptr);

    static constexpr int PollMs = 100;

    void StartButtonClick();
    void TouchButtonClick();
    void CancelButtonClick();
    // Step text, progress and, at the end, the result (also run by the poll timer).
    void Follow();

    QComboBox* ChannelCombo;
    QSpinBox* FramesSpin;
    QDoubleSpinBox* MinimumSpin;
    QPushButton* StartButton;
    QPushButton* TouchButton;
    QPushButton* CancelButton;
    QLabel* StepLabel;
    QProgressBar* Progress;
    QLabel* NoiseLabel;
    QLabel* SignalLabel;
    QLabel* SnrLabel;
    QLabel* VerdictLabel;
    QLabel* AdviceLabel;

    // Closing the window (Esc, the frame) stops a running measurement.
    void reject() override;

private:
    void ShowResult();

    TMainCore& FCore;
    QTimer* FPoll;
};
