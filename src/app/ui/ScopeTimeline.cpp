#include "app/ui/ScopeTimeline.h"

#include "app/ScopeEvents.h"
#include "app/ScopeHistory.h"

#include <bit>

namespace {

constexpr int LaneCount = int(ScopeEvents::Lanes.size());
const QColor EventColour(0x40, 0x40, 0x40);
const QColor StateColour(0xC0, 0x80, 0x00);
const QColor WheelColour(0x00, 0x60, 0xA0);

} // namespace

TScopeTimeline::TScopeTimeline(QCustomPlot* plot, const TScopeHistory& history)
    : QCPLayerable(plot), FHistory(history), FPlot(plot)
{
    FRect = new QCPAxisRect(plot, true);
    // Its white background under the lanes, as the chart's own axis rect has it.
    FRect->setLayer(QStringLiteral("background"));
    FRect->setBackground(Qt::white);
    FRect->setupFullAxesBox(false);
    const int height = LaneCount * LaneHeight;
    FRect->setMinimumSize(0, height);
    FRect->setMaximumSize(QWIDGETSIZE_MAX, height);
    FRect->setMinimumMargins(QMargins(0, 2, 0, 4));
    FRect->setAutoMargins(QCP::msLeft | QCP::msRight);
    FRect->setMargins(QMargins(0, 2, 0, 4));
    FPlot->plotLayout()->addElement(1, 0, FRect);
    FPlot->plotLayout()->setRowSpacing(0);

    // Lane names on the left, top lane first; no grid, no numbers on the time axis.
    QCPAxis* lanes = FRect->axis(QCPAxis::atLeft);
    auto names = QSharedPointer<QCPAxisTickerText>::create();
    for (int i = 0; i < LaneCount; ++i)
        names->addTick(i + 0.5, QString::fromLatin1(ScopeEvents::Lanes[size_t(i)].Name));
    lanes->setTicker(names);
    lanes->setRangeReversed(true);
    lanes->setRange(0, LaneCount);
    lanes->setTickLength(0, 0);
    lanes->setSubTicks(false);
    QFont small = lanes->tickLabelFont();
    small.setPointSize(7);
    lanes->setTickLabelFont(small);
    lanes->grid()->setVisible(false);
    QCPAxis* time = FRect->axis(QCPAxis::atBottom);
    time->setTickLabels(false);
    time->grid()->setVisible(false);
    for (QCPAxis* axis : {FRect->axis(QCPAxis::atTop), FRect->axis(QCPAxis::atRight)})
        axis->setVisible(false);
    time->setRange(FPlot->xAxis->range());
    connect(FPlot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), time,
            qOverload<const QCPRange&>(&QCPAxis::setRange));

    // Lanes and traces share their left and right edges, so that a sample lines up with its events.
    FMargins = new QCPMarginGroup(FPlot);
    FPlot->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, FMargins);
    FRect->setMarginGroup(QCP::msLeft | QCP::msRight, FMargins);
    ChannelColour = [](int) { return QColor(Qt::darkGray); };
}

void TScopeTimeline::SetShown(bool shown)
{
    if (shown == FShown)
        return;
    FShown = shown;
    QCPLayoutGrid* layout = FPlot->plotLayout();
    if (shown) {
        layout->addElement(1, 0, FRect);
    } else {
        layout->take(FRect);
        layout->simplify();
    }
    FRect->setVisible(shown);
    setVisible(shown);
    FPlot->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeTimeline::applyDefaultAntialiasingHint(QCPPainter* painter) const
{
    applyAntialiasingHint(painter, false, QCP::aeOther);
}

QRect TScopeTimeline::clipRect() const
{
    return FRect->rect();
}

QRectF TScopeTimeline::LaneBand(int lane) const
{
    const QRect r = FRect->rect();
    const double top = r.top() + double(r.height()) * lane / LaneCount;
    return QRectF(r.left(), top + 1, r.width(), double(r.height()) / LaneCount - 2);
}

void TScopeTimeline::draw(QCPPainter* painter)
{
    if (!FShown)
        return;
    QCPAxis* time = FRect->axis(QCPAxis::atBottom);
    const QCPRange range = time->range();
    const std::vector<TEventColumn> columns = FHistory.EventColumns(range.lower, range.upper, FRect->width());
    if (columns.empty())
        return;
    painter->setPen(Qt::NoPen);
    // Each lane is drawn as runs of columns in the same state, so a steady lane costs one rectangle.
    for (int lane = 0; lane < LaneCount; ++lane) {
        const ScopeEvents::TLane& def = ScopeEvents::Lanes[size_t(lane)];
        const QRectF band = LaneBand(lane);
        const int channel = def.Kind == ScopeEvents::TLaneKind::lkChannel ? std::countr_zero(def.Mask) : 0;
        auto state = [&](const TEventColumn& c) {
            switch (def.Kind) {
            case ScopeEvents::TLaneKind::lkChannel:
                return (c.Events & ScopeEvents::TouchBit(channel)) ? 2 : (c.Events & def.Mask) ? 1 : 0;
            case ScopeEvents::TLaneKind::lkEvent:
                return (c.Events & def.Mask) ? 1 : 0;
            case ScopeEvents::TLaneKind::lkWheel:
                return 0; // drawn below
            }
            return 0;
        };
        if (def.Kind == ScopeEvents::TLaneKind::lkWheel) {
            painter->setPen(QPen(WheelColour, 1));
            for (const TEventColumn& c : columns) {
                if (!(c.Events & ScopeEvent::Wheel))
                    continue;
                const double x = time->coordToPixel(double(c.FirstX + c.LastX) / 2);
                const double lo = band.bottom() - band.height() * c.WheelMin / 100.0;
                const double hi = band.bottom() - band.height() * c.WheelMax / 100.0;
                painter->drawLine(QLineF(x, lo, x, std::min(hi, lo - 1)));
            }
            painter->setPen(Qt::NoPen);
            continue;
        }
        const QColor on = def.Kind == ScopeEvents::TLaneKind::lkChannel ? ChannelColour(channel)
                          : def.Mask & (ScopeEvent::ATIBusy | ScopeEvent::LowPower) ? StateColour
                                                                                    : EventColour;
        QColor prox = on;
        prox.setAlpha(90);
        size_t start = 0;
        for (size_t i = 1; i <= columns.size(); ++i) {
            const int s = state(columns[start]);
            if (i < columns.size() && state(columns[i]) == s)
                continue;
            if (s != 0) {
                const double x0 = time->coordToPixel(double(columns[start].FirstX) - 0.5);
                const double x1 = time->coordToPixel(double(columns[i - 1].LastX) + 0.5);
                const double w = std::max(1.0, x1 - x0);
                painter->setBrush(s == 2 || def.Kind != ScopeEvents::TLaneKind::lkChannel ? on : prox);
                painter->drawRect(QRectF(x0, band.top(), w, band.height()));
            }
            start = i;
        }
    }
}
