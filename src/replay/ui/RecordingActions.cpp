#include "replay/ui/RecordingActions.h"

#include "replay/ui/WhatIfWindow.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

TRecordingActions::TRecordingActions(TMainCore& core, QMenu* menu, QAction* before, QWidget* window)
    : Recorder(core), FWindow(window)
{
    RecordFrames = new QAction(QStringLiteral("Record Frames..."), this);
    RecordFrames->setObjectName(QStringLiteral("RecordFrames"));
    StopRecording = new QAction(QStringLiteral("Stop Recording"), this);
    StopRecording->setObjectName(QStringLiteral("StopRecording"));
    WhatIf = new QAction(QStringLiteral("What-If..."), this);
    WhatIf->setObjectName(QStringLiteral("WhatIf"));
    menu->insertActions(before, {RecordFrames, StopRecording, WhatIf});
    menu->insertSeparator(before);

    connect(RecordFrames, &QAction::triggered, this, &TRecordingActions::RecordFramesClick);
    connect(StopRecording, &QAction::triggered, this, &TRecordingActions::StopRecordingClick);
    connect(WhatIf, &QAction::triggered, this, &TRecordingActions::WhatIfClick);
    Recorder.OnStopped = [this] { UpdateActions(); };

    AskFileName = [this] {
        const QString name = QStringLiteral("KT610 %1.ktrec")
                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")));
        return QFileDialog::getSaveFileName(FWindow, QStringLiteral("Record Frames"), name,
                                            QStringLiteral("Frame recordings (*.ktrec)"));
    };

    // Frames may stop coming (paused, stopped): what was recorded still reaches the disk.
    FFlushTimer = new QTimer(this);
    FFlushTimer->setInterval(TRecordingWriter::FlushMs);
    connect(FFlushTimer, &QTimer::timeout, this, [this] { Recorder.Flush(); });
    UpdateActions();
}

TRecordingActions::~TRecordingActions() = default;

void TRecordingActions::RecordFramesClick()
{
    const QString file = AskFileName();
    if (file.isEmpty())
        return;
    if (Recorder.Start(file))
        FFlushTimer->start();
    UpdateActions();
}

void TRecordingActions::StopRecordingClick()
{
    Recorder.Stop();
    UpdateActions();
}

void TRecordingActions::WhatIfClick()
{
    if (!FWhatIf)
        FWhatIf = std::make_unique<TWhatIfWindow>();
    FWhatIf->show();
    FWhatIf->raise();
    if (!FWhatIf->HasRecording())
        FWhatIf->OpenButton->click();
}

void TRecordingActions::UpdateActions()
{
    const bool recording = Recorder.Recording();
    if (!recording)
        FFlushTimer->stop();
    RecordFrames->setEnabled(!recording);
    StopRecording->setEnabled(recording);
}
