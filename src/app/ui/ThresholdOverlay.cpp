#include "app/ui/ThresholdOverlay.h"

#include "app/MainCore.h"
#include "app/ThresholdLines.h"

#include <QMouseEvent>
#include <qcustomplot.h>

namespace {
constexpr int Reach = 5;          // pixels from a line that still grab it
constexpr double SlotHalf = 0.45; // half the width of a channel's bar pair on the bar graph
const QColor ProxColour(0xE0, 0x70, 0x00);
const QColor TouchColour(0xC0, 0x00, 0xC0);
} // namespace

TThresholdOverlay::TThresholdOverlay(QCustomPlot* plot, TMainCore& core, bool barSlots)
    : QObject(plot), FPlot(plot), FCore(core), FBarSlots(barSlots)
{
    ChannelColour = [](int c) { return c == 0 ? ProxColour : TouchColour; };
    for (int c = 0; c < 4; ++c) {
        FLines[c] = new QCPItemLine(plot);
        FLines[c]->setSelectable(false);
        FLines[c]->setVisible(false);
        FLabels[c] = new QCPItemText(plot);
        FLabels[c]->setSelectable(false);
        FLabels[c]->setVisible(false);
        FLabels[c]->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
        FLabels[c]->setPadding(QMargins(2, 0, 2, 1));
        FLabels[c]->setClipToAxisRect(true);
    }
    connect(plot, &QCustomPlot::beforeReplot, this, &TThresholdOverlay::Place);
    plot->installEventFilter(this);
    plot->setMouseTracking(true);
}

bool TThresholdOverlay::DeltaScale() const
{
    return FCore.FDeltaOnly;
}

void TThresholdOverlay::Place()
{
    const TThresholdLines lines(FCore);
    const bool deltaScale = DeltaScale();
    // Edits waiting for Apply show dashed.
    const Qt::PenStyle style = lines.Pending() ? Qt::DashLine : Qt::SolidLine;
    const QCPRange time = FPlot->xAxis->range();
    // Before the first frame there are no averages to place the lines by.
    const bool data = FCore.FFramesDecoded > 0;
    for (int c = 0; c < 4; ++c) {
        const auto level = lines.Level(c, deltaScale);
        FShown[c] = data && level && (!ChannelShown || ChannelShown(c));
        FLines[c]->setVisible(FShown[c]);
        FLabels[c]->setVisible(FShown[c]);
        if (!FShown[c])
            continue;
        const double x0 = FBarSlots ? c - SlotHalf : time.lower;
        const double x1 = FBarSlots ? c + SlotHalf : time.upper;
        const QColor colour = ChannelColour(c);
        FLines[c]->start->setCoords(x0, *level);
        FLines[c]->end->setCoords(x1, *level);
        FLines[c]->setPen(QPen(colour, c == FDragged ? 3 : 2, style));
        FLabels[c]->position->setCoords(x0, *level);
        FLabels[c]->setColor(colour);
        const int32_t counts = lines.Counts(c).value_or(0);
        FLabels[c]->setText(c == 0 ? QStringLiteral("Prox %1").arg(counts)
                                   : QStringLiteral("T%1 %2").arg(c).arg(counts));
    }
}

int TThresholdOverlay::LineAt(const QPoint& pixel) const
{
    int best = -1;
    double bestDistance = Reach + 1;
    for (int c = 0; c < 4; ++c) {
        if (!FShown[c])
            continue;
        const QPointF a = FLines[c]->start->pixelPosition();
        const QPointF b = FLines[c]->end->pixelPosition();
        if (pixel.x() < std::min(a.x(), b.x()) - Reach || pixel.x() > std::max(a.x(), b.x()) + Reach)
            continue;
        const double distance = std::abs(pixel.y() - a.y());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}

bool TThresholdOverlay::PressAt(const QPoint& pixel)
{
    Place();
    const int c = LineAt(pixel);
    if (c < 0)
        return false;
    if (BeforeDrag)
        BeforeDrag();
    if (!TThresholdLines(FCore).CanMove())
        return false;
    FDragged = c;
    FSettingBefore = TThresholdLines(FCore).Counts(c).value_or(0);
    Place();
    FPlot->replot(QCustomPlot::rpQueuedReplot);
    return true;
}

void TThresholdOverlay::MoveTo(const QPoint& pixel)
{
    if (FDragged < 0)
        return;
    TThresholdLines(FCore).MoveTo(FDragged, FPlot->yAxis->pixelToCoord(pixel.y()), DeltaScale());
    FPlot->replot(QCustomPlot::rpQueuedReplot);
}

void TThresholdOverlay::Release()
{
    // The settings window may be closed: say where the new value waits.
    const auto counts = TThresholdLines(FCore).Counts(FDragged);
    if (counts && *counts != FSettingBefore)
        FCore.KvrAddItem(QStringLiteral("CH%1 %2 threshold moved to %3 counts on the graph: Apply on the Thresholds "
                                        "page writes it")
                             .arg(FDragged)
                             .arg(FDragged == 0 ? QStringLiteral("prox") : QStringLiteral("touch"))
                             .arg(*counts),
                         TKvrItemType::aInfo);
    FDragged = -1;
    FPlot->replot(QCustomPlot::rpQueuedReplot);
}

bool TThresholdOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FPlot)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        return e->button() == Qt::LeftButton && PressAt(e->pos());
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (Dragging()) {
            MoveTo(e->pos());
            return true;
        }
        // A line within reach shows that it can be moved.
        const bool over = LineAt(e->pos()) >= 0;
        if (over != FHoverCursor) {
            FHoverCursor = over;
            if (over) {
                FSavedCursor = FPlot->cursor();
                FPlot->setCursor(Qt::SizeVerCursor);
            } else {
                FPlot->setCursor(FSavedCursor);
            }
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (!Dragging())
            return false;
        Release();
        return true;
    default:
        return false;
    }
}
