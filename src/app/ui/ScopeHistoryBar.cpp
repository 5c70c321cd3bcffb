#include "app/ui/ScopeHistoryBar.h"

#include "app/MainCore.h"
#include "app/ScopeCursors.h"
#include "app/ScopeEvents.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeCursorLines.h"
#include "app/ui/ScopeTimeline.h"
#include "app/ui/ScopeUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <qcustomplot.h>

namespace {

constexpr double MinSpan = 10;  // samples: closer than this a zoom stops
constexpr double WheelZoom = 0.8;

} // namespace

TScopeHistoryBar::TScopeHistoryBar(TScopeForm* form) : QWidget(form), FForm(form)
{
    setObjectName(QStringLiteral("ScopeHistoryBar"));
    FClock.start();
    auto button = [this](const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setCheckable(true);
        b->setFixedHeight(22);
        return b;
    };
    FreezeButton = button(QStringLiteral("FreezeButton"), QStringLiteral("Freeze"));
    FreezeButton->setToolTip(QStringLiteral("Hold the view while acquisition and logging go on"));
    connect(FreezeButton, &QPushButton::clicked, this, &TScopeHistoryBar::SetFrozen);
    CursorsButton = button(QStringLiteral("CursorsButton"), QStringLiteral("Cursors"));
    connect(CursorsButton, &QPushButton::clicked, this, &TScopeHistoryBar::CursorsClick);
    EventsButton = button(QStringLiteral("EventsButton"), QStringLiteral("Events"));
    EventsButton->setChecked(true);
    HistoryScroll = new QScrollBar(Qt::Horizontal, this);
    HistoryScroll->setObjectName(QStringLiteral("HistoryScroll"));
    HistoryScroll->setRange(0, 0);
    connect(HistoryScroll, &QScrollBar::valueChanged, this, &TScopeHistoryBar::ScrollMoved);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setMinimumWidth(150);
    StatusLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CursorLabel = new QLabel(this);
    CursorLabel->setObjectName(QStringLiteral("CursorLabel"));
    CursorLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CursorLabel->hide();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (QWidget* w : std::initializer_list<QWidget*>{FreezeButton, CursorsButton, EventsButton})
        row->addWidget(w);
    row->addWidget(HistoryScroll, 1);
    row->addWidget(StatusLabel);
    grid->addLayout(row, 0, 0);
    grid->addWidget(CursorLabel, 1, 0);

    QCustomPlot* plot = FForm->ScopeGraph;
    Timeline = new TScopeTimeline(plot, FHistory);
    Timeline->ChannelColour = [this](int channel) { return FForm->ChannelColour(channel); };
    connect(EventsButton, &QPushButton::toggled, Timeline, &TScopeTimeline::SetShown);
    Cursors = new TScopeCursorLines(plot);
    Cursors->Moved = [this] { ShowCursorReading(); };
    connect(plot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
        if (!FFrozen)
            return;
        ShowHistory();
        ShowScrollRange();
    });
    FPlot = plot;
    plot->installEventFilter(this);
    ShowStatus();
}

void TScopeHistoryBar::FrameFed(int32_t x, TScopeFrame& frame)
{
    if (MainForm)
        ScopeEvents::Take(MainForm->Core(), frame);
    FHistory.Append(x, frame, FClock.nsecsElapsed() / 1000);
}

void TScopeHistoryBar::SetFrozen(bool frozen)
{
    {
        const QSignalBlocker quiet(FreezeButton);
        FreezeButton->setChecked(frozen);
    }
    QFont font = FreezeButton->font();
    font.setBold(frozen);
    FreezeButton->setFont(font);
    if (frozen == FFrozen)
        return;
    FFrozen = frozen;
    if (frozen)
        ShowHistory();
    else
        FForm->ReturnToLive();
    ShowScrollRange();
    ShowStatus();
    FForm->ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeHistoryBar::Refresh()
{
    ShowScrollRange();
    ShowStatus();
    if (Cursors->Shown())
        ShowCursorReading();
}

void TScopeHistoryBar::ShowHistory()
{
    QCustomPlot* plot = FForm->ScopeGraph;
    const QCPRange range = plot->xAxis->range();
    const int columns = std::max(1, plot->axisRect()->width());
    for (int t = 0; t < TScopeForm::Traces; ++t) {
        const std::vector<TScopeSample> points = FHistory.Decimate(t, range.lower, range.upper, columns);
        QVector<QCPGraphData> data(qsizetype(points.size()));
        for (size_t i = 0; i < points.size(); ++i)
            data[qsizetype(i)] = QCPGraphData(points[i].X, points[i].Y);
        FForm->Series[size_t(t)]->data()->set(data, true);
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeHistoryBar::ShowScrollRange()
{
    const QCPRange range = FForm->ScopeGraph->xAxis->range();
    const int span = std::max(1, int(range.size()));
    const int first = FHistory.Size() ? int(FHistory.FirstX()) : 0;
    const int last = FHistory.Size() ? int(FHistory.LastX()) : 0;
    FScrolling = true;
    HistoryScroll->setRange(std::min(first, int(range.lower)), std::max(first, std::max(last - span, int(range.lower))));
    HistoryScroll->setPageStep(span);
    HistoryScroll->setSingleStep(std::max(1, span / 10));
    HistoryScroll->setValue(int(range.lower));
    FScrolling = false;
}

void TScopeHistoryBar::ScrollMoved(int value)
{
    if (FScrolling)
        return;
    QCPAxis* x = FForm->ScopeGraph->xAxis;
    const double span = x->range().size();
    SetFrozen(true);
    x->setRange(value, value + span);
    FForm->ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeHistoryBar::ZoomTime(double factor, double at)
{
    SetFrozen(true);
    QCPAxis* x = FForm->ScopeGraph->xAxis;
    const QCPRange range = x->range();
    // Out to the whole history at most, in to a few samples.
    const double widest = std::max(double(FForm->FXRange), double(FHistory.Size()));
    const double span = std::clamp(range.size() * factor, MinSpan, widest);
    const double left = at - (at - range.lower) * span / range.size();
    x->setRange(left, left + span);
    FForm->ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeHistoryBar::CursorsClick(bool on)
{
    if (on) {
        const QCPRange range = FForm->ScopeGraph->xAxis->range();
        Cursors->Place(ScopeCursors::Snap(range.lower + range.size() / 3),
                       ScopeCursors::Snap(range.lower + 2 * range.size() / 3));
    }
    Cursors->SetShown(on);
    CursorLabel->setVisible(on);
    if (on)
        ShowCursorReading();
}

uint8_t TScopeHistoryBar::VisibleTraces() const
{
    const bool baseline = MainForm && MainForm->Core().FDeltaOnly;
    uint8_t traces = 0;
    for (int c = 0; c < 4; ++c) {
        if (FForm->CurChecked(c))
            traces = uint8_t(traces | (1u << c));
        if (!baseline && FForm->LTAChecked(c))
            traces = uint8_t(traces | (1u << (4 + c)));
    }
    return traces;
}

void TScopeHistoryBar::ShowCursorReading()
{
    if (!Cursors->Shown())
        return;
    const TCursorReading reading = ScopeCursors::Read(FHistory, Cursors->X(0), Cursors->X(1));
    CursorLabel->setText(ScopeCursors::Text(reading, VisibleTraces()));
}

void TScopeHistoryBar::ShowStatus()
{
    const QString frames = QLocale().toString(qlonglong(FHistory.Size()));
    StatusLabel->setText(FFrozen ? QStringLiteral("Frozen, %1 frames held").arg(frames)
                                 : QStringLiteral("%1 frames held").arg(frames));
}

bool TScopeHistoryBar::eventFilter(QObject* watched, QEvent* event)
{
    // The plot's own pointer: the scope window may be half destroyed when its children go.
    if (watched == FPlot && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int steps = wheel->angleDelta().y();
        if (steps != 0)
            ZoomTime(steps > 0 ? WheelZoom : 1 / WheelZoom,
                     FForm->ScopeGraph->xAxis->pixelToCoord(wheel->position().x()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
