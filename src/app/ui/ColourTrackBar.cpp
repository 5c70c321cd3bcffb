#include "app/ui/ColourTrackBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

TColourTrackBar::TColourTrackBar(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(18);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TColourTrackBar::SetPosition(int position)
{
    position = std::clamp(position, 0, 100);
    if (position == FPosition)
        return;
    FPosition = position;
    update();
}

void TColourTrackBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect track = rect().adjusted(0, 0, -1, -1);
    p.fillRect(track, Qt::white);
    const int filled = track.width() * FPosition / 100;
    if (filled > 0) {
        QLinearGradient gradient(track.left(), 0, track.right(), 0);
        gradient.setColorAt(0, FStartColor);
        gradient.setColorAt(1, FEndColor);
        p.fillRect(QRect(track.left(), track.top(), filled, track.height()), gradient);
    }
    p.setPen(QColor(0x7A, 0x7A, 0x7A));
    p.drawRect(track);
    // Scale marks every 10 %.
    p.setPen(QColor(0xB0, 0xB0, 0xB0));
    for (int i = 1; i < 10; ++i) {
        const int x = track.left() + track.width() * i / 10;
        p.drawLine(x, track.bottom() - 4, x, track.bottom() - 1);
    }
}
