#pragma once
// The live statistics of the four channels as a small table: frames in the window, count noise peak-to-peak
// and RMS, drift of the long-term average across the window, and the mean delta. Refreshed five times a
// second while visible; the window length is set here too.

#include <QWidget>
#include <array>

class QLabel;
class QSpinBox;
class QTimer;
class TMainCore;

class TStatisticsPanel : public QWidget {
    Q_OBJECT
public:
    // compact: short captions and narrow columns, for the scope's side panel.
    TStatisticsPanel(TMainCore& core, bool compact, QWidget* parent = nullptr);

    enum TRow { stFrames, stNoisePP, stNoiseRMS, stDrift, stDelta, RowCount };
    static constexpr int RefreshMs = 200;

    // The table takes the core's latest statistics.
    void Refresh();
    QString Text(TRow row, int channel) const;

    QSpinBox* WindowSpin;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TMainCore& FCore;
    QTimer* FTimer;
    std::array<std::array<QLabel*, 4>, RowCount> FValues{};
};
