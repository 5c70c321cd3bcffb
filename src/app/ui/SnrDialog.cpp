#include "app/ui/SnrDialog.h"

#include "app/MainCore.h"
#include "app/ThresholdLines.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

TSnrDialog::TSnrDialog(TMainCore& core, QWidget* parent) : QDialog(parent), FCore(core)
{
    setWindowTitle(QStringLiteral("SNR Measurement"));
    setObjectName(QStringLiteral("SnrDialog"));

    ChannelCombo = new QComboBox(this);
    ChannelCombo->addItems({QStringLiteral("CH0"), QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("CH3")});
    ChannelCombo->setCurrentIndex(1);
    FramesSpin = new QSpinBox(this);
    FramesSpin->setRange(TSnrMeasurement::MinFrames, TSnrMeasurement::MaxFrames);
    FramesSpin->setValue(TSnrMeasurement::DefaultFrames);
    FramesSpin->setSuffix(QStringLiteral(" frames"));
    FramesSpin->setToolTip(QStringLiteral("Frames measured in each step"));
    MinimumSpin = new QDoubleSpinBox(this);
    MinimumSpin->setRange(1, 1000);
    MinimumSpin->setDecimals(1);
    MinimumSpin->setValue(TSnrMeasurement::DefaultMinimum);
    MinimumSpin->setToolTip(QStringLiteral("Smallest SNR that passes"));
    auto* setup = new QFormLayout;
    setup->addRow(QStringLiteral("Channel:"), ChannelCombo);
    setup->addRow(QStringLiteral("Each step:"), FramesSpin);
    setup->addRow(QStringLiteral("Minimum SNR:"), MinimumSpin);

    StepLabel = new QLabel(QStringLiteral("Press Start, then follow the steps."), this);
    StepLabel->setWordWrap(true);
    QFont bold = StepLabel->font();
    bold.setBold(true);
    StepLabel->setFont(bold);
    Progress = new QProgressBar(this);
    Progress->setRange(0, TSnrMeasurement::DefaultFrames);
    Progress->setValue(0);
    StartButton = new QPushButton(QStringLiteral("Start"), this);
    TouchButton = new QPushButton(QStringLiteral("Finger Is On"), this);
    TouchButton->setToolTip(QStringLiteral("Start the touch step now instead of waiting for the touch to show"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StartButton);
    buttons->addWidget(TouchButton);
    buttons->addWidget(CancelButton);

    auto* result = new QGroupBox(QStringLiteral("Result"), this);
    NoiseLabel = new QLabel(result);
    SignalLabel = new QLabel(result);
    SnrLabel = new QLabel(result);
    SnrLabel->setToolTip(QStringLiteral("Signal divided by the count noise peak-to-peak while released"));
    VerdictLabel = new QLabel(result);
    VerdictLabel->setFont(bold);
    AdviceLabel = new QLabel(result);
    AdviceLabel->setWordWrap(true);
    AdviceLabel->setMinimumHeight(AdviceLabel->fontMetrics().lineSpacing() * 5);
    AdviceLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* form = new QFormLayout(result);
    form->addRow(QStringLiteral("Noise (released):"), NoiseLabel);
    form->addRow(QStringLiteral("Signal (touched):"), SignalLabel);
    form->addRow(QStringLiteral("SNR (signal / noise p-p):"), SnrLabel);
    form->addRow(QStringLiteral("Verdict:"), VerdictLabel);
    form->addRow(AdviceLabel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(setup);
    layout->addWidget(StepLabel);
    layout->addWidget(Progress);
    layout->addLayout(buttons);
    layout->addWidget(result);
    setMinimumWidth(420);

    FPoll = new QTimer(this);
    FPoll->setInterval(PollMs);
    connect(FPoll, &QTimer::timeout, this, &TSnrDialog::Follow);
    connect(StartButton, &QPushButton::clicked, this, &TSnrDialog::StartButtonClick);
    connect(TouchButton, &QPushButton::clicked, this, &TSnrDialog::TouchButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSnrDialog::CancelButtonClick);
    // A new minimum gives a new verdict on the same measurement.
    connect(MinimumSpin, &QDoubleSpinBox::valueChanged, this, [this] {
        if (FCore.Snr.Step() == TSnrStep::Done)
            ShowResult();
    });
    Follow();
}

void TSnrDialog::StartButtonClick()
{
    FCore.Snr.Start(ChannelCombo->currentIndex(), FramesSpin->value());
    for (QLabel* l : {NoiseLabel, SignalLabel, SnrLabel, VerdictLabel, AdviceLabel})
        l->clear();
    FPoll->start();
    Follow();
}

void TSnrDialog::TouchButtonClick()
{
    FCore.Snr.BeginTouch();
    Follow();
}

void TSnrDialog::CancelButtonClick()
{
    FCore.Snr.Cancel();
    FPoll->stop();
    Follow();
}

void TSnrDialog::Follow()
{
    const TSnrMeasurement& m = FCore.Snr;
    const QString ch = QStringLiteral("CH%1").arg(m.Channel());
    const TSnrStep step = m.Step();
    Progress->setRange(0, m.Frames());
    Progress->setValue(step == TSnrStep::Done ? m.Frames() : m.Progress());
    const bool running = m.Running();
    StartButton->setEnabled(!running);
    ChannelCombo->setEnabled(!running);
    FramesSpin->setEnabled(!running);
    CancelButton->setEnabled(running);
    TouchButton->setEnabled(step == TSnrStep::WaitTouch);
    QString text;
    switch (step) {
    case TSnrStep::Idle: text = QStringLiteral("Press Start, then follow the steps."); break;
    case TSnrStep::Release: text = QStringLiteral("Step 1 of 2: keep %1 released (hands off).").arg(ch); break;
    case TSnrStep::WaitTouch: text = QStringLiteral("Step 2 of 2: touch %1 and hold.").arg(ch); break;
    case TSnrStep::Touch: text = QStringLiteral("Step 2 of 2: keep holding %1.").arg(ch); break;
    case TSnrStep::Done: text = QStringLiteral("Done: %1 measured.").arg(ch); break;
    case TSnrStep::Failed: text = QStringLiteral("Stopped."); break;
    }
    if (!m.Note().isEmpty())
        text += QLatin1Char(' ') + m.Note();
    StepLabel->setText(text);
    if (step == TSnrStep::Done || step == TSnrStep::Failed || step == TSnrStep::Idle)
        FPoll->stop();
    if (step == TSnrStep::Done && VerdictLabel->text().isEmpty())
        ShowResult();
}

void TSnrDialog::ShowResult()
{
    const TSnrMeasurement& m = FCore.Snr;
    const TSnrResult r = m.Result(MinimumSpin->value(), TThresholdLines(FCore).Counts(m.Channel()));
    NoiseLabel->setText(QStringLiteral("%1 counts p-p, %2 RMS").arg(r.NoisePP).arg(r.NoiseRMS, 0, 'f', 2));
    SignalLabel->setText(QStringLiteral("%1 counts (delta %2 touched, %3 released)")
                             .arg(r.Signal, 0, 'f', 1)
                             .arg(r.TouchedDelta, 0, 'f', 1)
                             .arg(r.ReleasedDelta, 0, 'f', 1));
    SnrLabel->setText(QString::number(r.Snr, 'f', 1));
    VerdictLabel->setText(r.Pass ? QStringLiteral("PASS (minimum %1)").arg(r.Minimum, 0, 'f', 1)
                                 : QStringLiteral("FAIL (minimum %1)").arg(r.Minimum, 0, 'f', 1));
    VerdictLabel->setStyleSheet(r.Pass ? QStringLiteral("color: #008000;") : QStringLiteral("color: #C00000;"));
    AdviceLabel->setText(r.Advice);
}

void TSnrDialog::reject()
{
    CancelButtonClick();
    QDialog::reject();
}
