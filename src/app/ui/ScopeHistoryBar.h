#pragma once
// The strip under the scope's chart: "Freeze", the cursors, the event lanes and a scroll bar over the deep
// history. It keeps the history: every frame fed to the scope goes into it, frozen or not.

#include "app/ScopeHistory.h"

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>

class QCustomPlot;
class QLabel;
class QPushButton;
class QScrollBar;
class TScopeCursorLines;
class TScopeForm;
class TScopeTimeline;

class TScopeHistoryBar : public QWidget {
    Q_OBJECT
public:
    explicit TScopeHistoryBar(TScopeForm* form);

    const TScopeHistory& History() const { return FHistory; }
    // The scope's frame at sample x, completed with its events and the time of arrival.
    void FrameFed(int32_t x, TScopeFrame& frame);

    // Frozen, the chart holds its view and draws it from the history; the feed goes on.
    bool Frozen() const { return FFrozen; }
    void SetFrozen(bool frozen);
    // The scope's refresh tick: scroll bar and read-outs follow the feed.
    void Refresh();
    // Zoom the time axis by factor around sample x (freezes the view).
    void ZoomTime(double factor, double x);

    QPushButton* FreezeButton;
    QPushButton* CursorsButton;
    QPushButton* EventsButton;
    QScrollBar* HistoryScroll;
    QLabel* StatusLabel;
    QLabel* CursorLabel;
    TScopeCursorLines* Cursors;
    TScopeTimeline* Timeline;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The traces of the visible time span, from the history.
    void ShowHistory();
    void ShowScrollRange();
    void ShowCursorReading();
    void ShowStatus();
    void CursorsClick(bool on);
    void ScrollMoved(int value);
    // Traces whose boxes are checked, as a bit per trace.
    uint8_t VisibleTraces() const;

    TScopeForm* FForm;
    QCustomPlot* FPlot = nullptr; // the watched plot
    TScopeHistory FHistory;
    QElapsedTimer FClock;
    bool FFrozen = false;
    bool FScrolling = false; // the scroll bar is being set, not moved by the user
};
