#include "app/ui/ColourBars.h"

TColourBars::TColourBars(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPBars(keyAxis, valueAxis)
{
    FColours.reserve(4);
}

void TColourBars::Clear()
{
    data()->clear();
    FColours.clear();
}

void TColourBars::AddBar(double key, double value, const QColor& colour)
{
    data()->add(QCPBarsData(key, value));
    FColours.push_back(colour);
}

void TColourBars::draw(QCPPainter* painter)
{
    if (!keyAxis() || !valueAxis() || data()->isEmpty())
        return;
    QCPBarsDataContainer::const_iterator begin, end;
    getVisibleDataBounds(begin, end);
    applyDefaultAntialiasingHint(painter);
    painter->setPen(pen());
    const auto first = data()->constBegin();
    for (auto it = begin; it != end; ++it) {
        const size_t index = size_t(it - first);
        painter->setBrush(index < FColours.size() ? FColours[index] : brush().color());
        painter->drawPolygon(QPolygonF(getBarRect(it->key, it->value)));
    }
}
