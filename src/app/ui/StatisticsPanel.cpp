#include "app/ui/StatisticsPanel.h"

#include "app/MainCore.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>

TStatisticsPanel::TStatisticsPanel(TMainCore& core, bool compact, QWidget* parent) : QWidget(parent), FCore(core)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(compact ? 3 : 6);
    grid->setVerticalSpacing(2);
    for (int c = 0; c < 4; ++c) {
        auto* head = new QLabel(QStringLiteral("CH%1").arg(c), this);
        head->setAlignment(Qt::AlignCenter);
        QFont bold = head->font();
        bold.setBold(true);
        head->setFont(bold);
        grid->addWidget(head, 0, c + 1);
    }
    const char* captions[RowCount] = {"Frames:", "Noise p-p:", "Noise RMS:", "Drift:", "Delta mean:"};
    const char* shortCaptions[RowCount] = {"N", "p-p", "RMS", "Drift", "Delta"};
    const char* hints[RowCount] = {
        "Frames in the window",
        "Largest minus smallest count in the window",
        "Standard deviation of the counts about their mean in the window",
        "How far the long-term average moved across the window",
        "Mean delta over the window",
    };
    for (int r = 0; r < RowCount; ++r) {
        auto* caption = new QLabel(QString::fromLatin1(compact ? shortCaptions[r] : captions[r]), this);
        caption->setToolTip(QString::fromLatin1(hints[r]));
        grid->addWidget(caption, r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            auto* value = new QLabel(QStringLiteral("N/A"), this);
            value->setObjectName(QStringLiteral("Stat%1CH%2").arg(r).arg(c));
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!compact)
                value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0")));
            grid->addWidget(value, r + 1, c + 1);
            FValues[r][c] = value;
        }
    }
    auto* windowCaption = new QLabel(compact ? QStringLiteral("Win") : QStringLiteral("Window:"), this);
    WindowSpin = new QSpinBox(this);
    WindowSpin->setObjectName(QStringLiteral("WindowSpin"));
    WindowSpin->setRange(TChannelStatistics::MinWindow, TChannelStatistics::MaxWindow);
    WindowSpin->setValue(core.Statistics.Window());
    WindowSpin->setSuffix(QStringLiteral(" frames"));
    WindowSpin->setToolTip(QStringLiteral("Frames over which the statistics are taken"));
    grid->addWidget(windowCaption, RowCount + 1, 0);
    grid->addWidget(WindowSpin, RowCount + 1, 1, 1, 4);
    connect(WindowSpin, &QSpinBox::valueChanged, this, [this](int frames) {
        FCore.Statistics.SetWindow(frames);
        Refresh();
    });

    FTimer = new QTimer(this);
    FTimer->setInterval(RefreshMs);
    connect(FTimer, &QTimer::timeout, this, &TStatisticsPanel::Refresh);
}

QString TStatisticsPanel::Text(TRow row, int channel) const
{
    return FValues[row][channel]->text();
}

void TStatisticsPanel::Refresh()
{
    // Another panel may have set the window length.
    if (WindowSpin->value() != FCore.Statistics.Window() && !WindowSpin->hasFocus()) {
        const QSignalBlocker quiet(WindowSpin);
        WindowSpin->setValue(FCore.Statistics.Window());
    }
    const QString na = QStringLiteral("N/A");
    for (int c = 0; c < 4; ++c) {
        const TChannelStats s = FCore.Statistics.Stats(c);
        const QString texts[RowCount] = {
            s.Frames > 0 ? QString::number(s.Frames) : na,
            s.HasNoise ? QString::number(s.NoisePP) : na,
            s.HasNoise ? QString::number(s.NoiseRMS, 'f', 2) : na,
            s.HasDrift ? QString::number(s.Drift) : na,
            s.HasDelta ? QString::number(s.MeanDelta, 'f', 1) : na,
        };
        for (int r = 0; r < RowCount; ++r)
            if (FValues[r][c]->text() != texts[r])
                FValues[r][c]->setText(texts[r]);
    }
}

void TStatisticsPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
    FTimer->start();
}

void TStatisticsPanel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    FTimer->stop();
}
