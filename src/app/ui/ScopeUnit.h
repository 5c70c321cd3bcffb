#pragma once
// The scope window: counts and averages plotted over time. The main window feeds it one chart point per
// frame; the plot itself refreshes on UpdateTimer.

#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class QLabel;
class QTimer;

class TScopeForm : public QWidget {
    Q_OBJECT
public:
    explicit TScopeForm(QWidget* parent = nullptr);

    // Traces 0..3 hold the counts (deltas in the baseline view) of channels 0..3, traces 4..7 their averages.
    static constexpr int Traces = 8;
    static constexpr int FMaxNrChartPoints = 5000;

    // Refreshes the plot every 100 ms while points arrive.
    QTimer* UpdateTimer;
    void StartUpdateTimer(); // unless it runs already
    void StopUpdateTimer();

    // Feed of one frame: CountChartPoint, then AddXY for each trace that takes a point, then AdvanceX.
    void CountChartPoint() { ++FNrOfChartPoints; }
    void AddXY(int SeriesNr, int32_t X, int32_t Y);
    void AdvanceX() { ++FXPos; }
    // Points of a trace, oldest first, as (x, y).
    std::vector<std::pair<double, double>> Points(int SeriesNr) const;

    // The scope's channel boxes: count traces (checked at design) and average traces (clear at design).
    bool CurChecked(int channel) const { return FCurChecks[size_t(channel)]; }
    bool LTAChecked(int channel) const { return FLTAChecks[size_t(channel)]; }
    void SetCurChecked(int channel, bool checked);
    void SetLTAChecked(int channel, bool checked);
    // Some channel has its scope box and its main-window box checked (averages count outside the baseline
    // view only).
    void CheckActiveChannels();
    bool HasActiveChannel() const { return FActiveChannels; }

    // Channel indicators (the small "nothing", "prox" and "touch" pictures).
    void SetChannelPicture(int channel, const QPixmap& picture);
    std::array<QLabel*, 4> CHPTShape{};

    int32_t FXPos = 0;
    int32_t FNrOfChartPoints = 0;
    bool FMaxPoints = false;
    bool FActiveChannels = true;

private:
    // Each trace's points are FMaxNrChartPoints values from FFirst on, in buffers twice as long: dropping
    // the oldest point moves the window, and one block move every FMaxNrChartPoints drops brings it back.
    std::array<std::vector<double>, Traces> FDesChartX, FDesChartY;
    std::array<int, Traces> FFirst{};
    std::array<bool, Traces> FChanged{};
    std::array<bool, 4> FCurChecks{true, true, true, true};
    std::array<bool, 4> FLTAChecks{};
};
