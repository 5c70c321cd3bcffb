#pragma once
// A bar series in which every bar carries its own colour (a channel's state colour), refilled per frame
// without allocating.

#include <qcustomplot.h>

#include <vector>

class TColourBars : public QCPBars {
    Q_OBJECT
public:
    TColourBars(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // Empties the series (capacity is kept).
    void Clear();
    // Bars must be added in rising key order.
    void AddBar(double key, double value, const QColor& colour);

    int BarCount() const { return int(FColours.size()); }
    double BarValue(int index) const { return (data()->constBegin() + index)->value; }
    QColor BarColour(int index) const { return FColours[size_t(index)]; }

protected:
    void draw(QCPPainter* painter) override;

private:
    std::vector<QColor> FColours; // by position in the data container
};
