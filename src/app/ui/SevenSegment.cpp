#include "app/ui/SevenSegment.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>

namespace {
// Segments a..g of the digits 0..9.
constexpr uint8_t DigitMasks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// One segment as a hexagon inside a digit cell of width w and height h, with thickness t.
QPolygonF Segment(int segment, double w, double h, double t)
{
    const double half = t / 2.0, mid = h / 2.0;
    auto horizontal = [&](double y) {
        return QPolygonF({{half, y}, {t, y - half}, {w - t, y - half}, {w - half, y}, {w - t, y + half}, {t, y + half}});
    };
    auto vertical = [&](double x, double y0, double y1) {
        return QPolygonF({{x, y0 + half}, {x + half, y0 + t}, {x + half, y1 - t}, {x, y1 - half}, {x - half, y1 - t},
                          {x - half, y0 + t}});
    };
    switch (segment) {
    case 0: return horizontal(half);
    case 1: return vertical(w - half, half, mid);
    case 2: return vertical(w - half, mid, h - half);
    case 3: return horizontal(h - half);
    case 4: return vertical(half, mid, h - half);
    case 5: return vertical(half, half, mid);
    default: return horizontal(mid);
    }
}
} // namespace

TSevenSegment::TSevenSegment(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void TSevenSegment::SetValue(int value)
{
    value = std::clamp(value, 0, 999);
    if (value == FValue)
        return;
    FValue = value;
    update();
}

uint8_t TSevenSegment::DigitSegments(int position) const
{
    int divisor = 1;
    for (int i = position; i < Digits - 1; ++i)
        divisor *= 10;
    if (position < Digits - 1 && FValue < divisor)
        return 0; // leading zero: dark
    return DigitMasks[(FValue / divisor) % 10];
}

void TSevenSegment::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double margin = 6;
    const double cellW = (width() - 2 * margin) / Digits;
    const double digitW = cellW * 0.72, digitH = height() - 2 * margin;
    const double t = std::max(3.0, std::min(digitW, digitH) * 0.16);
    p.setPen(Qt::NoPen);
    for (int d = 0; d < Digits; ++d) {
        const uint8_t mask = DigitSegments(d);
        p.save();
        // A slight slant, as on a real display.
        p.translate(margin + d * cellW + (cellW - digitW) / 2.0, margin);
        p.shear(-0.06, 0);
        p.translate(digitH * 0.03, 0);
        for (int s = 0; s < 7; ++s) {
            p.setBrush((mask >> s) & 1 ? FLitColor : FUnlitColor);
            p.drawPolygon(Segment(s, digitW, digitH, t));
        }
        p.restore();
    }
}
