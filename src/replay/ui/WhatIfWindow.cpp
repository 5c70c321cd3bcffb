#include "replay/ui/WhatIfWindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int EvaluateDelayMs = 150; // typing a number re-evaluates once, not per digit

QSpinBox* Spin(QWidget* parent, int low, int high, const QString& hint)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(low, high);
    spin->setToolTip(hint);
    return spin;
}

} // namespace

TWhatIfWindow::TWhatIfWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("What-If"));
    setObjectName(QStringLiteral("WhatIfWindow"));
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    OpenButton = new QPushButton(QStringLiteral("Open..."), this);
    OpenButton->setToolTip(QStringLiteral("A frame recording or a data log"));
    FileLabel = new QLabel(QStringLiteral("No recording"), this);
    fileRow->addWidget(OpenButton);
    fileRow->addWidget(FileLabel, 1);
    layout->addLayout(fileRow);

    auto* settingsBox = new QGroupBox(QStringLiteral("Thresholds and debounce"), this);
    auto* form = new QFormLayout(settingsBox);
    ProxSpin = Spin(settingsBox, 0, 255, QStringLiteral("Prox threshold of CH0, in counts of delta"));
    form->addRow(QStringLiteral("Prox threshold CH0"), ProxSpin);
    for (int i = 0; i < 3; ++i) {
        TouchSpins[i] = Spin(settingsBox, 0, 255, QStringLiteral("Touch threshold of CH%1, a share of the "
                                                                  "average in 256ths").arg(i + 1));
        form->addRow(QStringLiteral("Touch threshold CH%1").arg(i + 1), TouchSpins[i]);
    }
    DebounceSpin = Spin(settingsBox, 1, 64, QStringLiteral("Frames at or over the threshold before prox or "
                                                           "touch is set"));
    form->addRow(QStringLiteral("Debounce (frames)"), DebounceSpin);
    ReleaseSpin = Spin(settingsBox, 1, 64, QStringLiteral("Frames under 7/8 of the threshold before prox or "
                                                          "touch is cleared"));
    form->addRow(QStringLiteral("Release (frames)"), ReleaseSpin);
    RecordedButton = new QPushButton(QStringLiteral("Recorded Set-up"), settingsBox);
    RecordedButton->setToolTip(QStringLiteral("Back to the thresholds and debounce of the recording"));
    form->addRow(RecordedButton);
    layout->addWidget(settingsBox);

    SummaryLabel = new QLabel(this);
    layout->addWidget(SummaryLabel);
    EventTable = new QTableWidget(0, 4, this);
    EventTable->setHorizontalHeaderLabels(
        {QStringLiteral("Time (s)"), QStringLiteral("Frame"), QStringLiteral("Event"), QStringLiteral("Fired by")});
    EventTable->verticalHeader()->setVisible(false);
    EventTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EventTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    EventTable->horizontalHeader()->setStretchLastSection(true);
    EventTable->setMinimumHeight(220);
    layout->addWidget(EventTable, 1);
    NotesLabel = new QLabel(this);
    NotesLabel->setWordWrap(true);
    layout->addWidget(NotesLabel);

    FEvaluateTimer = new QTimer(this);
    FEvaluateTimer->setSingleShot(true);
    FEvaluateTimer->setInterval(EvaluateDelayMs);
    connect(FEvaluateTimer, &QTimer::timeout, this, [this] { Evaluate(); });
    for (QSpinBox* spin : {ProxSpin, TouchSpins[0], TouchSpins[1], TouchSpins[2], DebounceSpin, ReleaseSpin})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!FFilling)
                FEvaluateTimer->start();
        });
    connect(RecordedButton, &QPushButton::clicked, this, [this] {
        ShowSettings(RecordedWhatIfSettings(FRecording));
        Evaluate();
    });
    AskFileName = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Open Recording"), QString(),
                                            QStringLiteral("Frame recordings (*.ktrec);;Data logs (*.txt);;"
                                                           "All files (*)"));
    };
    connect(OpenButton, &QPushButton::clicked, this, [this] {
        const QString file = AskFileName();
        if (!file.isEmpty())
            OpenFile(file);
    });
    ShowSettings(TWhatIfSettings{});
    resize(460, 620);
}

bool TWhatIfWindow::OpenFile(const QString& fileName)
{
    QString error;
    const auto recording = ReadRecording(fileName, error);
    if (!recording) {
        NotesLabel->setText(error);
        return false;
    }
    SetRecording(*recording);
    return true;
}

void TWhatIfWindow::SetRecording(const TRecording& recording)
{
    FRecording = recording;
    FHaveRecording = true;
    FileLabel->setText(QStringLiteral("%1: %2 frames, %3 s")
                           .arg(QFileInfo(recording.FileName).fileName())
                           .arg(recording.Frames.size())
                           .arg(recording.DurationSeconds(), 0, 'f', 1));
    ShowSettings(RecordedWhatIfSettings(recording));
    Evaluate();
}

void TWhatIfWindow::ShowSettings(const TWhatIfSettings& s)
{
    FFilling = true;
    ProxSpin->setValue(s.ProxThreshold);
    for (int i = 0; i < 3; ++i)
        TouchSpins[i]->setValue(s.TouchThreshold[size_t(i + 1)]);
    DebounceSpin->setValue(s.Debounce);
    ReleaseSpin->setValue(s.Release);
    FFilling = false;
}

TWhatIfSettings TWhatIfWindow::Settings() const
{
    TWhatIfSettings s;
    s.ProxThreshold = ProxSpin->value();
    for (int i = 0; i < 3; ++i)
        s.TouchThreshold[size_t(i + 1)] = TouchSpins[i]->value();
    s.Debounce = DebounceSpin->value();
    s.Release = ReleaseSpin->value();
    return s;
}

void TWhatIfWindow::Evaluate()
{
    FEvaluateTimer->stop();
    if (!FHaveRecording)
        return;
    FResult = EvaluateWhatIf(FRecording, Settings());
    ShowResult();
}

void TWhatIfWindow::ShowResult()
{
    EventTable->setUpdatesEnabled(false);
    EventTable->setRowCount(int(FResult.Events.size()));
    for (int row = 0; row < FResult.Events.size(); ++row) {
        const TWhatIfEvent& e = FResult.Events[row];
        const QString cells[4] = {QString::number(e.TimeUs / 1e6, 'f', 3), QString::number(e.Frame + 1),
                                  WhatIfEventText(e), WhatIfSourceText(e.Source)};
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            if (e.Source != TWhatIfSource::wsBoth)
                item->setForeground(e.Source == TWhatIfSource::wsWhatIf ? QColor(0x00, 0x60, 0xC0)
                                                                         : QColor(0xB0, 0x40, 0x00));
            EventTable->setItem(row, col, item);
        }
    }
    EventTable->resizeColumnsToContents();
    EventTable->setUpdatesEnabled(true);

    QStringList onsets;
    for (int c = 0; c < 4; ++c) {
        QString text = QStringLiteral("CH%1: %2").arg(c).arg(FResult.WhatIfOnsets[size_t(c)]);
        if (FResult.ChipReported)
            text += QStringLiteral(" (chip %1)").arg(FResult.ChipOnsets[size_t(c)]);
        onsets << text;
    }
    SummaryLabel->setText(QStringLiteral("Onsets ") + onsets.join(QStringLiteral(", ")));
    NotesLabel->setText((FRecording.Notes + FResult.Notes).join('\n'));
}
