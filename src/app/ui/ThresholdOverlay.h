#pragma once
// Threshold lines over a chart (the bar graph or the scope): one line per channel at the height the core
// gives, placed just before every repaint, so the lines follow the averages without work per frame. A line
// can be dragged up and down with the left button; the drag moves the threshold setting in the settings
// record (Apply still writes it to the chip).

#include <QColor>
#include <QCursor>
#include <QObject>
#include <array>
#include <functional>

class QCPItemLine;
class QCPItemText;
class QCustomPlot;
class TMainCore;

class TThresholdOverlay : public QObject {
    Q_OBJECT
public:
    // barSlots: each channel's line spans its bar pair (x = c +- 0.45); otherwise the whole time axis.
    TThresholdOverlay(QCustomPlot* plot, TMainCore& core, bool barSlots);

    // Whether channel c's line is wanted at all (its trace is shown); all channels by default.
    std::function<bool(int channel)> ChannelShown;
    std::function<QColor(int channel)> ChannelColour;
    // Run when a drag is about to start: brings the Thresholds page up for change tracking (it may ask
    // before unapplied changes elsewhere are dropped). The drag starts only when the core then allows it.
    std::function<void()> BeforeDrag;

    // Lines to their current heights (also run before every repaint of the chart).
    void Place();
    // The channel whose line is within reach of a pixel position, or -1.
    int LineAt(const QPoint& pixel) const;
    bool Dragging() const { return FDragged >= 0; }

    // Drag steps, in chart pixels (the event filter calls them; tests may too).
    bool PressAt(const QPoint& pixel);
    void MoveTo(const QPoint& pixel);
    void Release();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool DeltaScale() const;

    QCustomPlot* FPlot;
    TMainCore& FCore;
    bool FBarSlots;
    std::array<QCPItemLine*, 4> FLines{};
    std::array<QCPItemText*, 4> FLabels{};
    std::array<bool, 4> FShown{};
    int FDragged = -1;
    int32_t FSettingBefore = 0;
    bool FHoverCursor = false;
    QCursor FSavedCursor;
};
