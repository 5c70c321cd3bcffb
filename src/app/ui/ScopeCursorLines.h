#pragma once
// The scope's two cursors: vertical lines on whole samples, dragged with the left button.

#include <QObject>
#include <array>
#include <cstdint>
#include <functional>

class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;

class TScopeCursorLines : public QObject {
    Q_OBJECT
public:
    explicit TScopeCursorLines(QCustomPlot* plot);

    void SetShown(bool shown);
    bool Shown() const { return FShown; }
    // Cursor 1 and 2 at samples x1 and x2.
    void Place(int64_t x1, int64_t x2);
    int64_t X(int cursor) const { return FX[size_t(cursor)]; }
    // Run when a cursor has moved.
    std::function<void()> Moved;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The cursor within grab reach of the pixel column, or -1.
    int CursorAt(double pixelX) const;
    void Move(int cursor, double pixelX);

    QCustomPlot* FPlot;
    std::array<QCPItemStraightLine*, 2> FLines{};
    std::array<QCPItemText*, 2> FLabels{};
    std::array<int64_t, 2> FX{};
    bool FShown = false;
    int FGrabbed = -1;
};
