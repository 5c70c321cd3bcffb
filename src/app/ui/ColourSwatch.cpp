#include "app/ui/ColourSwatch.h"

#include <QMouseEvent>
#include <QPainter>

TColourSwatch::TColourSwatch(const QColor& colour, QWidget* parent) : QWidget(parent), FColour(colour)
{
    setFixedSize(33, 17);
    setCursor(Qt::PointingHandCursor);
}

void TColourSwatch::SetColour(const QColor& colour)
{
    FColour = colour;
    update();
}

void TColourSwatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(FColour);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
}

void TColourSwatch::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked();
}
