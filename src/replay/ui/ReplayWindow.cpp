#include "replay/ui/ReplayWindow.h"

#include "replay/ReplayTool.h"
#include "replay/ui/WhatIfWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int StatusIntervalMs = 100;
constexpr double Speeds[] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0};
constexpr int NormalSpeedIndex = 2;
} // namespace

TReplayWindow::TReplayWindow(TReplayTool* replay, QWidget* parent) : QWidget(parent, Qt::Window), FReplay(replay)
{
    setWindowTitle(QStringLiteral("Replay"));
    setObjectName(QStringLiteral("ReplayWindow"));
    const TRecording& recording = FReplay->Recording();
    auto* layout = new QVBoxLayout(this);

    FileLabel = new QLabel(QStringLiteral("%1\n%2 frames, %3 s")
                               .arg(QFileInfo(recording.FileName).fileName())
                               .arg(recording.Frames.size())
                               .arg(recording.DurationSeconds(), 0, 'f', 1),
                           this);
    FileLabel->setToolTip(recording.FileName);
    layout->addWidget(FileLabel);
    StateLabel = new QLabel(this);
    layout->addWidget(StateLabel);
    PositionBar = new QProgressBar(this);
    PositionBar->setRange(0, FReplay->FrameCount());
    PositionBar->setTextVisible(false);
    layout->addWidget(PositionBar);
    PositionLabel = new QLabel(this);
    layout->addWidget(PositionLabel);

    auto* buttons = new QHBoxLayout;
    PauseButton = new QPushButton(QStringLiteral("Pause"), this);
    StepButton = new QPushButton(QStringLiteral("Step"), this);
    StepButton->setToolTip(QStringLiteral("Plays one frame"));
    RewindButton = new QPushButton(QStringLiteral("Rewind"), this);
    RewindButton->setToolTip(QStringLiteral("Back to the first frame"));
    SpeedCombo = new QComboBox(this);
    for (double speed : Speeds)
        SpeedCombo->addItem(QStringLiteral("%1x").arg(speed));
    SpeedCombo->setCurrentIndex(NormalSpeedIndex);
    SpeedCombo->setToolTip(QStringLiteral("Replay speed against the recorded timing"));
    for (QWidget* w : std::initializer_list<QWidget*>{PauseButton, StepButton, RewindButton, SpeedCombo})
        buttons->addWidget(w);
    layout->addLayout(buttons);

    WhatIfButton = new QPushButton(QStringLiteral("What-If..."), this);
    WhatIfButton->setToolTip(QStringLiteral("Evaluate this recording against other thresholds and debounce"));
    layout->addWidget(WhatIfButton);

    NotesLabel = new QLabel(recording.Notes.join('\n'), this);
    NotesLabel->setWordWrap(true);
    NotesLabel->setStyleSheet(QStringLiteral("color: #A04000"));
    NotesLabel->setVisible(!recording.Notes.isEmpty());
    layout->addWidget(NotesLabel);
    layout->addStretch(1);
    setMinimumWidth(320);

    connect(PauseButton, &QPushButton::clicked, this, [this] {
        FReplay->SetPaused(!FReplay->Paused());
        RefreshStatus();
    });
    connect(StepButton, &QPushButton::clicked, this, [this] {
        FReplay->SetPaused(true);
        FReplay->Step();
        RefreshStatus();
    });
    connect(RewindButton, &QPushButton::clicked, this, [this] {
        FReplay->Rewind();
        RefreshStatus();
    });
    connect(SpeedCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { FReplay->SetSpeed(Speeds[std::clamp(index, 0, int(std::size(Speeds)) - 1)]); });
    connect(WhatIfButton, &QPushButton::clicked, this, [this] {
        if (!FWhatIf) {
            FWhatIf = std::make_unique<TWhatIfWindow>();
            FWhatIf->SetRecording(FReplay->Recording());
        }
        FWhatIf->show();
        FWhatIf->raise();
    });

    FStatusTimer = new QTimer(this);
    FStatusTimer->setInterval(StatusIntervalMs);
    connect(FStatusTimer, &QTimer::timeout, this, [this] { RefreshStatus(); });
    FStatusTimer->start();
    RefreshStatus();
}

TReplayWindow::~TReplayWindow() = default;

void TReplayWindow::RefreshStatus()
{
    const int position = FReplay->Position();
    const int count = FReplay->FrameCount();
    const bool paused = FReplay->Paused();
    const bool streaming = FReplay->Streaming();
    const bool atEnd = position >= count;
    QString state;
    if (atEnd)
        state = QStringLiteral("End of recording");
    else if (!streaming)
        state = QStringLiteral("Waiting for the program to stream (press Start)");
    else
        state = paused ? QStringLiteral("Paused") : QStringLiteral("Playing");
    StateLabel->setText(state);
    PauseButton->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    StepButton->setEnabled(streaming && !atEnd);
    PositionBar->setValue(position);
    const TRecording& r = FReplay->Recording();
    const double at = position > 0 ? r.Frames[position - 1].TimeUs / 1e6 : 0.0;
    PositionLabel->setText(QStringLiteral("Frame %1 of %2, %3 s of %4 s")
                               .arg(position)
                               .arg(count)
                               .arg(at, 0, 'f', 2)
                               .arg(r.DurationSeconds(), 0, 'f', 2));
}
