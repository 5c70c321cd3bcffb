#pragma once
// A picture drawn inside the bar graph's plot area, behind the bars: centred, or with its left edge at a
// given distance from the left axis. Vertically it is always centred.

#include <qcustomplot.h>

class TGraphPicture : public QCPAbstractItem {
    Q_OBJECT
public:
    explicit TGraphPicture(QCustomPlot* plot);

    void ShowCentred(const QPixmap& picture);
    // left: pixels from the left axis to the picture's left edge.
    void ShowAt(const QPixmap& picture, int left);
    void Clear();
    bool HasPicture() const { return !FPicture.isNull(); }
    // Where the picture is drawn now, in plot widget pixels.
    QRect PictureRect() const;

    double selectTest(const QPointF&, bool, QVariant* = nullptr) const override { return -1; }

protected:
    void draw(QCPPainter* painter) override;

private:
    QPixmap FPicture;
    bool FCentred = true;
    int FLeft = 0;
};
