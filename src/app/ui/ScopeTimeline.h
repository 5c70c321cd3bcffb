#pragma once
// The event timeline under the scope's traces: one lane per channel (prox, touch), per gesture event and chip
// state, and the wheel position, drawn from the deep history on the same time axis as the traces.

#include <QColor>
#include <array>
#include <functional>
#include <qcustomplot.h>

class TScopeHistory;

class TScopeTimeline : public QCPLayerable {
    Q_OBJECT
public:
    static constexpr int LaneHeight = 11;

    // Adds the lanes' axis rect below the chart's own, its time axis following the chart's.
    TScopeTimeline(QCustomPlot* plot, const TScopeHistory& history);

    QCPAxisRect* LaneRect() const { return FRect; }
    // Channel colours for the channel lanes.
    std::function<QColor(int channel)> ChannelColour;
    // Lanes shown or taken out of the chart.
    void SetShown(bool shown);
    bool Shown() const { return FShown; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
    QRect clipRect() const override;

private:
    // The lane's band in pixels.
    QRectF LaneBand(int lane) const;

    const TScopeHistory& FHistory;
    QCustomPlot* FPlot;
    QCPAxisRect* FRect;
    QCPMarginGroup* FMargins;
    bool FShown = true;
};
