#include "app/ui/ScopeCursorLines.h"

#include "app/ScopeCursors.h"

#include <QMouseEvent>
#include <cmath>
#include <qcustomplot.h>

namespace {

constexpr double GrabPixels = 5;
const QColor CursorColours[2] = {QColor(0xC0, 0x00, 0xC0), QColor(0x00, 0x90, 0x90)};

} // namespace

TScopeCursorLines::TScopeCursorLines(QCustomPlot* plot) : QObject(plot), FPlot(plot)
{
    for (size_t i = 0; i < 2; ++i) {
        auto* line = new QCPItemStraightLine(plot);
        line->setPen(QPen(CursorColours[i], 1, Qt::DashLine));
        line->setSelectable(false);
        line->setClipToAxisRect(true);
        line->setVisible(false);
        FLines[i] = line;
        auto* label = new QCPItemText(plot);
        label->setText(QString::number(i + 1));
        label->setColor(CursorColours[i]);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->position->setTypeX(QCPItemPosition::ptPlotCoords);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->setSelectable(false);
        label->setVisible(false);
        FLabels[i] = label;
    }
    plot->installEventFilter(this);
}

void TScopeCursorLines::SetShown(bool shown)
{
    FShown = shown;
    FGrabbed = -1;
    for (size_t i = 0; i < 2; ++i) {
        FLines[i]->setVisible(shown);
        FLabels[i]->setVisible(shown);
    }
    FPlot->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeCursorLines::Place(int64_t x1, int64_t x2)
{
    FX = {x1, x2};
    for (size_t i = 0; i < 2; ++i) {
        const double x = double(FX[i]);
        FLines[i]->point1->setCoords(x, 0);
        FLines[i]->point2->setCoords(x, 1);
        FLabels[i]->position->setCoords(x, 0.01);
    }
    FPlot->replot(QCustomPlot::rpQueuedReplot);
    if (Moved)
        Moved();
}

int TScopeCursorLines::CursorAt(double pixelX) const
{
    int best = -1;
    double distance = GrabPixels;
    for (int i = 0; i < 2; ++i) {
        const double d = std::abs(FPlot->xAxis->coordToPixel(double(FX[size_t(i)])) - pixelX);
        if (d <= distance) {
            distance = d;
            best = i;
        }
    }
    return best;
}

void TScopeCursorLines::Move(int cursor, double pixelX)
{
    std::array<int64_t, 2> x = FX;
    x[size_t(cursor)] = ScopeCursors::Snap(FPlot->xAxis->pixelToCoord(pixelX));
    if (x != FX)
        Place(x[0], x[1]);
}

bool TScopeCursorLines::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FPlot || !FShown)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !FPlot->axisRect()->rect().contains(mouse->position().toPoint()))
            break;
        FGrabbed = CursorAt(mouse->position().x());
        // A grabbed cursor takes the drag away from the zoom rectangle.
        return FGrabbed >= 0;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (FGrabbed >= 0) {
            Move(FGrabbed, mouse->position().x());
            return true;
        }
        const bool near = CursorAt(mouse->position().x()) >= 0 &&
                          FPlot->axisRect()->rect().contains(mouse->position().toPoint());
        FPlot->setCursor(near ? Qt::SizeHorCursor : Qt::CrossCursor);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (FGrabbed >= 0 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            FGrabbed = -1;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
