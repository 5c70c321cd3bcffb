#pragma once
// The "What-If" window: a recording evaluated against thresholds and debounce the user edits, with the
// prox and touch events that would have fired beside those the chip reported.

#include "replay/FrameRecording.h"
#include "replay/WhatIf.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

class TWhatIfWindow : public QWidget {
public:
    explicit TWhatIfWindow(QWidget* parent = nullptr);

    // Reads a recording or a data log; on failure the reason is shown and false returned.
    bool OpenFile(const QString& fileName);
    // Takes a recording, sets the controls to its recorded set-up and evaluates it.
    void SetRecording(const TRecording& recording);
    void Evaluate();
    TWhatIfSettings Settings() const;
    bool HasRecording() const { return FHaveRecording; }
    const TWhatIfResult& Result() const { return FResult; }

    QPushButton* OpenButton = nullptr;
    QLabel* FileLabel = nullptr;
    QSpinBox* ProxSpin = nullptr;
    QSpinBox* TouchSpins[3] = {};
    QSpinBox* DebounceSpin = nullptr;
    QSpinBox* ReleaseSpin = nullptr;
    QPushButton* RecordedButton = nullptr;
    QTableWidget* EventTable = nullptr;
    QLabel* SummaryLabel = nullptr;
    QLabel* NotesLabel = nullptr;

    // The file to open; empty when cancelled. Replaceable for tests.
    std::function<QString()> AskFileName;

private:
    void ShowSettings(const TWhatIfSettings& settings);
    void ShowResult();

    TRecording FRecording;
    bool FHaveRecording = false;
    bool FFilling = false;
    TWhatIfResult FResult;
    QTimer* FEvaluateTimer = nullptr;
};
