#pragma once
// The scope window: counts and averages plotted over time. The main window feeds it one chart point per
// frame; the plot takes the stored points in bulk on UpdateTimer only.

#include "app/ScopeHistory.h"
#include "app/ScopePoints.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QCPGraph;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;
class QToolButton;
class QVariantAnimation;
class TAxisIncrementTicker;
class TCategoryPanel;
class TCategoryPanelGroup;
class TColourSwatch;
class TGraphPicture;
class TScopeHistoryBar;

class TScopeForm : public QWidget {
    Q_OBJECT
public:
    explicit TScopeForm(QWidget* parent = nullptr);
    ~TScopeForm() override;

    static constexpr int Traces = TScopePoints::Traces;
    static constexpr int FMaxNrChartPoints = TScopePoints::FMaxNrChartPoints;
    static constexpr int FCatPanelWidth = 201;

    // Refreshes the plot every 100 ms while points arrive.
    QTimer* UpdateTimer;
    void StartUpdateTimer(); // unless it runs already
    void StopUpdateTimer();

    // Feed of one frame: CountChartPoint, then AddXY for each trace that takes a point, then AdvanceX.
    // Each frame also goes into the deep history (HistoryBar).
    void CountChartPoint()
    {
        FChartPoints.CountChartPoint();
        FFrame = {};
    }
    void AddXY(int SeriesNr, int32_t X, int32_t Y)
    {
        FChartPoints.AddXY(SeriesNr, X, Y);
        if (SeriesNr >= 0 && SeriesNr < Traces)
            FFrame.Set(SeriesNr, Y);
    }
    void AdvanceX();
    const TScopePoints& ChartPoints() const { return FChartPoints; }
    // Points of a trace, oldest first, as (x, y); positions the trace got no point for are left out.
    std::vector<std::pair<double, double>> Points(int SeriesNr) const;

    // The scope's channel boxes: count traces (checked at design) and average traces (clear at design).
    bool CurChecked(int channel) const;
    bool LTAChecked(int channel) const;
    void SetCurChecked(int channel, bool checked);
    void SetLTAChecked(int channel, bool checked);
    // Some channel has its scope box and its main-window box checked (averages count outside the baseline
    // view only).
    void CheckActiveChannels();
    bool HasActiveChannel() const { return FActiveChannels; }

    // Channel indicators (the small "nothing", "prox" and "touch" pictures).
    void SetChannelPicture(int channel, const QPixmap& picture);
    // The main window's baseline view: counts become deltas, averages are not plotted. Leaving it rescales,
    // at once, or when a set-up is being written, at the first frame after the chip has retuned.
    void SetBaselineView(bool on);
    // Called for every decoded frame: runs a rescale left waiting by SetBaselineView.
    void FrameDecoded(bool atiBusy);
    // Channel c's two traces and swatches in a new colour.
    void SetChannelColour(int channel, const QColor& colour);
    QColor ChannelColour(int channel) const { return FScopeColors[size_t(channel)]; }

    // Refresh, as UpdateTimer does it.
    void UpdateTimerTimer();
    // The time axis shows the latest FXRange samples, or 0 to FXRange while they fit.
    void ApplyTimeWindow();
    // Zoom into a rectangle of chart pixels (refused while streaming), and the way back.
    void ZoomTo(const QRect& pixels);
    void UndoZoom();
    // Out of the frozen view: the stored points and the time window again.
    void ReturnToLive();

    // The error box of a refused axis entry (a modal message box; tests catch it here).
    std::function<void(const QString&)> ErrorBox;

    void SetMaxButtonClick();
    void SetMinButtonClick();
    void YIncButtonClick();
    void SetXRangeButtonClick();
    void ResetScopeButtonClick();
    void RescaleScopeButtonClick();
    void BarGraphButtonClick();
    void SpeedButton1Click();
    void AllCheckClick(bool averages);
    void CheckGategoryPanelSize();
    void FormActivate();

    QCustomPlot* ScopeGraph;
    std::array<QCPGraph*, Traces> Series{};
    TGraphPicture* BackgroundPicture;
    QLabel* CoordinatesLabel;
    QToolButton* SpeedButton1;
    QScrollArea* ScopeCategoryPanel;
    TCategoryPanelGroup* ScopePanels;
    TCategoryPanel* CurValCategory;
    TCategoryPanel* LTACategory;
    TCategoryPanel* SetupCategory;
    std::array<TColourSwatch*, 4> ColorShape{};
    std::array<TColourSwatch*, 4> LTAColShape{};
    std::array<QLabel*, 4> CHPTShape{};
    std::array<QCheckBox*, 4> CHCurCheck{};
    std::array<QCheckBox*, 4> CHLTACheck{};
    QCheckBox* CSAllCheck;
    QCheckBox* LTAllCheck;
    QLineEdit* MaxEdit;
    QLineEdit* MinEdit;
    QSpinBox* YIncSpin;
    QSpinBox* XRangeSpin;
    QPushButton* SetMaxButton;
    QPushButton* SetMinButton;
    QPushButton* YIncButton;
    QPushButton* SetXRangeButton;
    QPushButton* ResetScopeButton;
    QPushButton* RescaleScopeButton;
    QCheckBox* XCoordCheck;
    QCheckBox* YCoordCheck;
    QPushButton* BarGraphButton;
    TScopeHistoryBar* HistoryBar;

    int32_t FXPos = 0;
    int32_t FPrevXPos = 0;
    int32_t FXRange = 600;
    bool FActiveChannels = true;
    bool FZoomed = false;
    // A rescale waiting for the chip's retune: frames left until it runs anyway (-1: none waits), and whether
    // the retune has shown.
    static constexpr int RetuneFrames = 10;
    int FRescaleWait = -1;
    bool FRetuneSeen = false;
    double FZoomX = 0;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateChart();
    QWidget* CreateChannelPanel(bool averages);
    QWidget* CreateSetupPanel();
    void ColourShapeClick(int channel);
    void ApplyTraceColour(int channel);
    void ShowCoordinates(const QPoint& mouse);
    void CoordCheckClick();
    void ChartMouse(QMouseEvent* event);
    void ShowAxisValues();
    void SlidePanel(int from, int to);
    void ReadPreferences();
    void WritePreferences();

    void LoadChartPoints();
    // Streaming and showing the live view (not frozen).
    bool LiveStreaming() const;

    TScopePoints FChartPoints;
    TScopeFrame FFrame; // the frame being fed
    TAxisIncrementTicker* FYTicker;
    std::array<QColor, 5> FScopeColors;
    QVariantAnimation* FSlide;
    bool FRunLTApply = false;
    int FRunLeft = 0;
    int FRunTop = 0;
    bool FSetupFormIni = true;
    bool FFormActivated = false;
    bool FNoUpdate = false;
    // Right-button panning: where it started and the axes then.
    bool FPanning = false;
    QPoint FPanStart;
    double FPanX = 0, FPanY = 0;
    // Left-button drag: where it started, and the vertical axis before the zoom.
    QPoint FZoomStart;
    double FZoomYMin = 0, FZoomYMax = 0;
};
