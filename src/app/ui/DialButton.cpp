#include "app/ui/DialButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

TDialButton::TDialButton(QWidget* parent) : QWidget(parent)
{
    setFixedSize(150, 150);
}

void TDialButton::SetPosition(int position)
{
    position = std::clamp(position, 0, 100);
    if (position == FPosition)
        return;
    FPosition = position;
    update();
}

void TDialButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double size = std::min(width(), height());
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = size / 2.0 - 3;

    // Rim and face.
    p.setPen(QPen(QColor(0x40, 0x60, 0x90), 2));
    QRadialGradient face(c.x() - r * 0.3, c.y() - r * 0.3, r * 1.4);
    face.setColorAt(0, FFaceColor.lighter(125));
    face.setColorAt(1, FFaceColor.darker(110));
    p.setBrush(face);
    p.drawEllipse(c, r, r);

    // Ten ticks round the face, 0 at the top.
    p.setPen(QPen(QColor(0x20, 0x40, 0x70), 1.5));
    for (int i = 0; i < 10; ++i) {
        const double a = i * M_PI / 5.0;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(c + dir * (r - 8), c + dir * (r - 2));
    }

    // Pointer: a triangle from near the centre out to the rim.
    const double a = FPosition * 2.0 * M_PI / 100.0;
    const QPointF dir(std::sin(a), -std::cos(a));
    const QPointF side(-dir.y(), dir.x());
    QPainterPath pointer;
    pointer.moveTo(c + dir * (r - 10));
    pointer.lineTo(c - dir * 6 + side * 9);
    pointer.lineTo(c - dir * 6 - side * 9);
    pointer.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(FPointerColor);
    p.drawPath(pointer);
    p.setBrush(QColor(0xE8, 0xF2, 0xFF));
    p.drawEllipse(c, 3.0, 3.0);
}
