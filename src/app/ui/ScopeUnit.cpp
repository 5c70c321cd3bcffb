#include "app/ui/ScopeUnit.h"

#include "app/MainCore.h"
#include "app/ScopeRules.h"
#include "app/ui/AppForms.h"
#include "app/ui/AxisIncrementTicker.h"
#include "app/ui/CategoryPanel.h"
#include "app/ui/ColourSwatch.h"
#include "app/ui/GraphPicture.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeHistoryBar.h"
#include "persist/Preferences.h"
#include "settings/ui/FormGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <cmath>
#include <qcustomplot.h>

namespace {

const QColor DesignColours[5] = {QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
                                 QColor(0x00, 0xFF, 0x00), QColor(0x80, 0x00, 0x80)};
constexpr double DesignYMax = 1500;
constexpr int DesignYInc = 10;
constexpr int XAxisStep = 100;
constexpr int ScrollBarWidth = 17;
constexpr int SlideMs = 100;

// Counts are drawn as 2 x 1 rectangles, averages as single dots, neither outlined.
QCPScatterStyle PointStyle(const QColor& colour, bool average)
{
    QPixmap point(average ? QSize(1, 1) : QSize(2, 1));
    point.fill(colour);
    return QCPScatterStyle(point);
}

QColor FromBgr(uint32_t bgr)
{
    return QColor::fromRgb(QRgb(BgrToRgb(bgr)));
}

uint32_t ToBgr(const QColor& colour)
{
    return RgbToBgr(colour.rgb() & 0xFFFFFF);
}

} // namespace

TScopeForm::TScopeForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ScopeForm"));
    setWindowTitle(QStringLiteral("Scope"));
    setMinimumSize(620, 200);
    resize(944, 509);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    setPalette(pal);
    for (int c = 0; c < 5; ++c)
        FScopeColors[size_t(c)] = DesignColours[c];
    ErrorBox = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };

    UpdateTimer = new QTimer(this);
    UpdateTimer->setInterval(100);
    connect(UpdateTimer, &QTimer::timeout, this, &TScopeForm::UpdateTimerTimer);

    CreateChart();
    HistoryBar = new TScopeHistoryBar(this);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setFixedWidth(18);
    SpeedButton1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    SpeedButton1->setArrowType(Qt::RightArrow);
    SpeedButton1->setAutoRaise(true);
    connect(SpeedButton1, &QToolButton::clicked, this, &TScopeForm::SpeedButton1Click);

    ScopePanels = new TCategoryPanelGroup;
    CurValCategory = new TCategoryPanel(QStringLiteral("Count"));
    CurValCategory->setObjectName(QStringLiteral("CurValCategory"));
    LTACategory = new TCategoryPanel(QStringLiteral("Long Term Averages (LTA)"));
    LTACategory->setObjectName(QStringLiteral("LTACategory"));
    SetupCategory = new TCategoryPanel(QStringLiteral("Setup"));
    SetupCategory->setObjectName(QStringLiteral("SetupCategory"));
    for (auto [panel, content] : {std::pair{CurValCategory, CreateChannelPanel(false)},
                                  std::pair{LTACategory, CreateChannelPanel(true)},
                                  std::pair{SetupCategory, CreateSetupPanel()}}) {
        auto* l = new QVBoxLayout(panel->Content());
        l->setContentsMargins(6, 3, 6, 3);
        l->addWidget(content);
        ScopePanels->AddPanel(panel);
        connect(panel, &TCategoryPanel::CollapsedChanged, this, [this] {
            // The panel's new height is known once the layout has run.
            QTimer::singleShot(0, this, &TScopeForm::CheckGategoryPanelSize);
        });
    }

    ScopeCategoryPanel = new QScrollArea(this);
    ScopeCategoryPanel->setObjectName(QStringLiteral("ScopeCategoryPanel"));
    ScopeCategoryPanel->setFrameShape(QFrame::NoFrame);
    ScopeCategoryPanel->setWidgetResizable(true);
    ScopeCategoryPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScopeCategoryPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScopeCategoryPanel->setWidget(ScopePanels);
    ScopeCategoryPanel->setFixedWidth(FCatPanelWidth);

    FSlide = new QVariantAnimation(this);
    FSlide->setDuration(SlideMs);
    connect(FSlide, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& width) { ScopeCategoryPanel->setFixedWidth(width.toInt()); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* chartColumn = new QVBoxLayout;
    chartColumn->setSpacing(0);
    chartColumn->addWidget(ScopeGraph, 1);
    chartColumn->addWidget(HistoryBar);
    layout->addLayout(chartColumn, 1);
    layout->addWidget(SpeedButton1);
    layout->addWidget(ScopeCategoryPanel);

    for (int c = 0; c < 4; ++c)
        ApplyTraceColour(c);
    if (MainForm)
        for (int c = 0; c < 4; ++c)
            SetChannelPicture(c, MainForm->SNonePNG);
}

TScopeForm::~TScopeForm()
{
    UpdateTimer->stop();
    FNoUpdate = true;
    for (QCPGraph* graph : Series)
        graph->data()->clear();
    FChartPoints.Clear();
    if (FFormActivated)
        WritePreferences(); // errors are ignored
}

void TScopeForm::CreateChart()
{
    ScopeGraph = new QCustomPlot(this);
    ScopeGraph->setObjectName(QStringLiteral("ScopeGraph"));
    ScopeGraph->setCursor(Qt::CrossCursor);
    ScopeGraph->setMouseTracking(true);
    ScopeGraph->setBackground(QColor(0xF0, 0xF0, 0xF0));
    ScopeGraph->axisRect()->setBackground(Qt::white);
    ScopeGraph->setNotAntialiasedElements(QCP::aeAll);
    ScopeGraph->legend->setVisible(false);

    FYTicker = new TAxisIncrementTicker(DesignYInc);
    ScopeGraph->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(FYTicker));
    ScopeGraph->yAxis->setNumberFormat(QStringLiteral("f"));
    ScopeGraph->yAxis->setNumberPrecision(0);
    ScopeGraph->yAxis->setRange(0, DesignYMax);
    ScopeGraph->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TAxisIncrementTicker(XAxisStep)));
    ScopeGraph->xAxis->setNumberFormat(QStringLiteral("f"));
    ScopeGraph->xAxis->setNumberPrecision(0);
    ScopeGraph->xAxis->setRange(0, FXRange);

    for (int t = 0; t < Traces; ++t) {
        QCPGraph* graph = ScopeGraph->addGraph();
        graph->setName(QStringLiteral("%1%2").arg(t < 4 ? QStringLiteral("CS") : QStringLiteral("LT")).arg(t % 4));
        graph->setLineStyle(QCPGraph::lsNone);
        Series[size_t(t)] = graph;
    }

    // Left drag zooms (handled here, so that a drag to the left undoes the zoom); the right button pans.
    ScopeGraph->setSelectionRectMode(QCP::srmCustom);
    QPen rectPen(QColor(0x40, 0x90, 0x60));
    ScopeGraph->selectionRect()->setPen(rectPen);
    ScopeGraph->selectionRect()->setBrush(QColor(0xA8, 0xFF, 0xD3, 0x80));
    connect(ScopeGraph->selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect&, QMouseEvent* event) {
                const QPoint end = event->position().toPoint();
                if (end.x() < FZoomStart.x())
                    UndoZoom();
                else
                    ZoomTo(QRect(FZoomStart, end).normalized());
            });
    ScopeGraph->installEventFilter(this);

    BackgroundPicture = new TGraphPicture(ScopeGraph);
    if (MainForm)
        BackgroundPicture->ShowCentred(MainForm->ChipNamePicture);

    CoordinatesLabel = new QLabel(QStringLiteral("X: 10 Y: 10"), ScopeGraph);
    CoordinatesLabel->setObjectName(QStringLiteral("CoordinatesLabel"));
    CoordinatesLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    CoordinatesLabel->hide();
}

QWidget* TScopeForm::CreateChannelPanel(bool averages)
{
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(1);
    for (int c = 0; c < 4; ++c) {
        auto* swatch = new TColourSwatch(FScopeColors[size_t(c)], panel);
        connect(swatch, &TColourSwatch::Clicked, this, [this, c] { ColourShapeClick(c); });
        auto* box = new QCheckBox(QStringLiteral("CH%1").arg(c), panel);
        box->setChecked(!averages);
        connect(box, &QCheckBox::toggled, this, &TScopeForm::CheckActiveChannels);
        grid->addWidget(swatch, c, 0);
        if (averages) {
            swatch->setObjectName(QStringLiteral("LTAColShape%1").arg(c));
            box->setObjectName(QStringLiteral("CH%1LTACheck").arg(c));
            LTAColShape[size_t(c)] = swatch;
            CHLTACheck[size_t(c)] = box;
        } else {
            swatch->setObjectName(QStringLiteral("ColorShape%1").arg(c));
            box->setObjectName(QStringLiteral("CH%1CurCheck").arg(c));
            ColorShape[size_t(c)] = swatch;
            CHCurCheck[size_t(c)] = box;
            auto* indicator = new QLabel(panel);
            indicator->setObjectName(QStringLiteral("CH%1PTShape").arg(c));
            indicator->setFixedSize(28, 21);
            indicator->setAlignment(Qt::AlignCenter);
            CHPTShape[size_t(c)] = indicator;
            grid->addWidget(indicator, c, 1);
        }
        grid->addWidget(box, c, 2);
    }
    auto* all = new QCheckBox(QStringLiteral("All"), panel);
    all->setTristate(true);
    all->setCheckState(Qt::PartiallyChecked);
    connect(all, &QCheckBox::clicked, this, [this, averages] { AllCheckClick(averages); });
    grid->addWidget(all, 4, 2);
    (averages ? LTAllCheck : CSAllCheck) = all;
    all->setObjectName(averages ? QStringLiteral("LTAllCheck") : QStringLiteral("CSAllCheck"));
    grid->setColumnStretch(3, 1);
    return panel;
}

QWidget* TScopeForm::CreateSetupPanel()
{
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto* scope = new QGroupBox(QStringLiteral("Scope"), panel);
    auto* grid = new QGridLayout(scope);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(2);
    auto button = [this, scope](const QString& name, const QString& caption, void (TScopeForm::*click)()) {
        auto* b = new QPushButton(caption, scope);
        b->setObjectName(name);
        b->setFixedHeight(23);
        connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    MaxEdit = new QLineEdit(QStringLiteral("1500"), scope);
    MaxEdit->setObjectName(QStringLiteral("MaxEdit"));
    connect(MaxEdit, &QLineEdit::returnPressed, this, &TScopeForm::SetMaxButtonClick);
    SetMaxButton = button(QStringLiteral("SetMaxButton"), QStringLiteral("Set Y Max"), &TScopeForm::SetMaxButtonClick);
    MinEdit = new QLineEdit(QStringLiteral("0"), scope);
    MinEdit->setObjectName(QStringLiteral("MinEdit"));
    connect(MinEdit, &QLineEdit::returnPressed, this, &TScopeForm::SetMinButtonClick);
    SetMinButton = button(QStringLiteral("SetMinButton"), QStringLiteral("Set Y Min"), &TScopeForm::SetMinButtonClick);
    YIncSpin = new QSpinBox(scope);
    YIncSpin->setObjectName(QStringLiteral("YIncSpin"));
    YIncSpin->setRange(1, ScopeRules::MaxYInc);
    YIncSpin->setValue(DesignYInc);
    connect(YIncSpin, &QSpinBox::editingFinished, this, [this] {
        if (YIncSpin->hasFocus())
            YIncButtonClick();
    });
    YIncButton = button(QStringLiteral("YIncButton"), QStringLiteral("Set Y Inc"), &TScopeForm::YIncButtonClick);
    XRangeSpin = new QSpinBox(scope);
    XRangeSpin->setObjectName(QStringLiteral("XRangeSpin"));
    XRangeSpin->setRange(ScopeRules::MinXRange, ScopeRules::MaxXRange);
    XRangeSpin->setSingleStep(100);
    XRangeSpin->setValue(FXRange);
    connect(XRangeSpin, &QSpinBox::editingFinished, this, [this] {
        if (XRangeSpin->hasFocus())
            SetXRangeButtonClick();
    });
    SetXRangeButton =
        button(QStringLiteral("SetXRangeButton"), QStringLiteral("Set X Range"), &TScopeForm::SetXRangeButtonClick);
    ResetScopeButton = button(QStringLiteral("ResetScopeButton"), QStringLiteral("Reset Scope View"),
                              &TScopeForm::ResetScopeButtonClick);
    RescaleScopeButton = button(QStringLiteral("RescaleScopeButton"), QStringLiteral("Rescale Scope View"),
                                &TScopeForm::RescaleScopeButtonClick);
    const std::pair<QWidget*, QPushButton*> rows[] = {
        {MaxEdit, SetMaxButton}, {MinEdit, SetMinButton}, {YIncSpin, YIncButton}, {XRangeSpin, SetXRangeButton}};
    int row = 0;
    for (auto [entry, b] : rows) {
        entry->setFixedSize(64, 22);
        grid->addWidget(entry, row, 0);
        grid->addWidget(b, row++, 1);
    }
    grid->addWidget(ResetScopeButton, row++, 0, 1, 2);
    grid->addWidget(RescaleScopeButton, row++, 0, 1, 2);
    column->addWidget(scope);

    auto* coordinates = new QGroupBox(QStringLiteral("Show Coordinates"), panel);
    auto* boxes = new QVBoxLayout(coordinates);
    boxes->setContentsMargins(6, 2, 6, 4);
    boxes->setSpacing(0);
    XCoordCheck = new QCheckBox(QStringLiteral("X Coordinates"), coordinates);
    XCoordCheck->setObjectName(QStringLiteral("XCoordCheck"));
    YCoordCheck = new QCheckBox(QStringLiteral("Y Coordinates"), coordinates);
    YCoordCheck->setObjectName(QStringLiteral("YCoordCheck"));
    for (QCheckBox* box : {XCoordCheck, YCoordCheck}) {
        connect(box, &QCheckBox::clicked, this, &TScopeForm::CoordCheckClick);
        boxes->addWidget(box);
    }
    column->addWidget(coordinates);

    BarGraphButton = new QPushButton(QStringLiteral("Bar Graph"), panel);
    BarGraphButton->setObjectName(QStringLiteral("BarGraphButton"));
    BarGraphButton->setFixedHeight(23);
    connect(BarGraphButton, &QPushButton::clicked, this, &TScopeForm::BarGraphButtonClick);
    column->addWidget(BarGraphButton);
    return panel;
}

// ---- Timer and points ----

void TScopeForm::StartUpdateTimer()
{
    if (!UpdateTimer->isActive())
        UpdateTimer->start();
}

void TScopeForm::StopUpdateTimer()
{
    UpdateTimer->stop();
}

std::vector<std::pair<double, double>> TScopeForm::Points(int SeriesNr) const
{
    std::vector<std::pair<double, double>> points;
    if (SeriesNr < 0 || SeriesNr >= Traces || !FChartPoints.Changed(SeriesNr))
        return points;
    const double* xs = FChartPoints.X(SeriesNr);
    const double* ys = FChartPoints.Y(SeriesNr);
    for (int i = 0; i < FChartPoints.Count(SeriesNr); ++i)
        if (!std::isnan(ys[i]))
            points.emplace_back(xs[i], ys[i]);
    return points;
}

void TScopeForm::UpdateTimerTimer()
{
    if (FNoUpdate || !MainForm || !MainForm->Core().FIsStreaming)
        return;
    // A closed window only keeps its time axis moving; the points reach the chart when it is shown.
    if (!isVisible()) {
        if (FXPos > ScopeGraph->xAxis->range().upper)
            ScopeGraph->xAxis->moveRange(FXPos - FPrevXPos);
        FPrevXPos = FXPos;
        return;
    }
    if (HistoryBar->Frozen()) {
        FPrevXPos = FXPos;
        HistoryBar->Refresh();
        return;
    }
    bool any = false;
    for (int t = 0; t < Traces; ++t)
        any = any || FChartPoints.Changed(t);
    LoadChartPoints();
    if (any && BackgroundPicture->HasPicture())
        BackgroundPicture->Clear();
    if (FXPos > ScopeGraph->xAxis->range().upper) {
        ScopeGraph->xAxis->moveRange(FXPos - FPrevXPos);
        if (XCoordCheck->isChecked() && CoordinatesLabel->isVisible())
            ShowCoordinates(ScopeGraph->mapFromGlobal(QCursor::pos()));
    }
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
    FPrevXPos = FXPos;
    HistoryBar->Refresh();
}

void TScopeForm::LoadChartPoints()
{
    for (int t = 0; t < Traces; ++t) {
        if (!FChartPoints.Changed(t)) {
            Series[size_t(t)]->data()->clear();
            continue;
        }
        const int n = FChartPoints.Count(t);
        const double* xs = FChartPoints.X(t);
        const double* ys = FChartPoints.Y(t);
        QVector<QCPGraphData> data(n);
        for (int i = 0; i < n; ++i)
            data[i] = QCPGraphData(xs[i], ys[i]);
        Series[size_t(t)]->data()->set(data, true);
    }
}

void TScopeForm::AdvanceX()
{
    HistoryBar->FrameFed(FXPos, FFrame);
    ++FXPos;
}

bool TScopeForm::LiveStreaming() const
{
    return MainForm && MainForm->Core().FIsStreaming && !HistoryBar->Frozen();
}

void TScopeForm::ReturnToLive()
{
    if (FZoomed) {
        FZoomed = false;
        ScopeGraph->yAxis->setRange(FZoomYMin, FZoomYMax);
    }
    LoadChartPoints();
    ApplyTimeWindow();
}

// ---- Channels ----

bool TScopeForm::CurChecked(int channel) const
{
    return CHCurCheck[size_t(channel)]->isChecked();
}

bool TScopeForm::LTAChecked(int channel) const
{
    return CHLTACheck[size_t(channel)]->isChecked();
}

void TScopeForm::SetCurChecked(int channel, bool checked)
{
    CHCurCheck[size_t(channel)]->setChecked(checked);
}

void TScopeForm::SetLTAChecked(int channel, bool checked)
{
    CHLTACheck[size_t(channel)]->setChecked(checked);
}

void TScopeForm::CheckActiveChannels()
{
    if (!MainForm)
        return;
    const TMainCore& core = MainForm->Core();
    std::array<bool, 4> counts{}, averages{};
    for (size_t c = 0; c < 4; ++c) {
        counts[c] = CHCurCheck[c]->isChecked();
        averages[c] = CHLTACheck[c]->isChecked();
    }
    FActiveChannels = ScopeRules::ActiveChannels(counts, averages, core.CHCheck, core.FDeltaOnly);
}

void TScopeForm::AllCheckClick(bool averages)
{
    QCheckBox* all = averages ? LTAllCheck : CSAllCheck;
    std::array<QCheckBox*, 4>& boxes = averages ? CHLTACheck : CHCurCheck;
    std::array<bool, 4> states{};
    switch (all->checkState()) {
    case Qt::Checked:
        states.fill(true);
        break;
    case Qt::Unchecked:
        break;
    case Qt::PartiallyChecked:
        // Back to the boxes as the last run left them.
        if (!TPreferences(FormGeometry::PreferencesFile()).ReadScopeChannelBoxes(averages, states)) {
            if (MainForm)
                MainForm->KvrAddItem(QString::fromLatin1(TPreferences::LoadErrorText), TKvrItemType::aError);
            return;
        }
        break;
    }
    for (size_t c = 0; c < 4; ++c)
        boxes[c]->setChecked(states[c]);
}

void TScopeForm::SetChannelPicture(int channel, const QPixmap& picture)
{
    CHPTShape[size_t(channel)]->setPixmap(picture);
}

void TScopeForm::SetBaselineView(bool on)
{
    CurValCategory->SetCaption(on ? QStringLiteral("Deltas") : QStringLiteral("Count"));
    LTACategory->setVisible(!on);
    RescaleScopeButton->setEnabled(!on);
    if (on) {
        ScopeGraph->yAxis->setRange(-200, 1000);
        MinEdit->setText(QStringLiteral("-200"));
        MaxEdit->setText(QStringLiteral("1000"));
        ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
        FRescaleWait = -1;
    } else if (MainForm && MainForm->Core().FPowerOn && !MainForm->Core().FIsStreaming) {
        // The stream is held for a set-up being written: the values held are those of the old set-up, and the
        // chip retunes to the new one.
        FRescaleWait = RetuneFrames;
        FRetuneSeen = false;
    } else {
        RescaleScopeButtonClick();
    }
    CheckActiveChannels();
    QTimer::singleShot(0, this, &TScopeForm::CheckGategoryPanelSize);
}

// ---- Colours ----

void TScopeForm::ApplyTraceColour(int channel)
{
    const QColor colour = FScopeColors[size_t(channel)];
    ColorShape[size_t(channel)]->SetColour(colour);
    LTAColShape[size_t(channel)]->SetColour(colour);
    Series[size_t(channel)]->setScatterStyle(PointStyle(colour, false));
    Series[size_t(4 + channel)]->setScatterStyle(PointStyle(colour, true));
}

void TScopeForm::SetChannelColour(int channel, const QColor& colour)
{
    FScopeColors[size_t(channel)] = colour;
    ApplyTraceColour(channel);
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeForm::ColourShapeClick(int channel)
{
    const QColor colour = QColorDialog::getColor(FScopeColors[size_t(channel)], this);
    if (colour.isValid())
        SetChannelColour(channel, colour);
}

// ---- Axes ----

void TScopeForm::ShowAxisValues()
{
    const QCPRange range = ScopeGraph->yAxis->range();
    MaxEdit->setText(QString::number(qRound64(range.upper)));
    MinEdit->setText(QString::number(qRound64(range.lower)));
}

void TScopeForm::SetMaxButtonClick()
{
    QCPAxis* axis = ScopeGraph->yAxis;
    int value = 0;
    const ScopeRules::TAxisEntry outcome = ScopeRules::CheckYMax(MaxEdit->text(), axis->range().lower, value);
    if (outcome == ScopeRules::TAxisEntry::aeAccepted) {
        axis->setRangeUpper(value);
        ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    ErrorBox(ScopeRules::YMaxRefusal(outcome));
    MaxEdit->setText(QString::number(qRound64(axis->range().upper)));
}

void TScopeForm::SetMinButtonClick()
{
    QCPAxis* axis = ScopeGraph->yAxis;
    int value = 0;
    const ScopeRules::TAxisEntry outcome = ScopeRules::CheckYMin(MinEdit->text(), axis->range().upper, value);
    if (outcome == ScopeRules::TAxisEntry::aeAccepted) {
        axis->setRangeLower(value);
        ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    ErrorBox(ScopeRules::YMinRefusal(outcome));
    MinEdit->setText(QString::number(qRound64(axis->range().lower)));
}

void TScopeForm::YIncButtonClick()
{
    const int value = YIncSpin->value();
    if (!ScopeRules::ValidYInc(value))
        return;
    FYTicker->SetIncrement(value);
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeForm::SetXRangeButtonClick()
{
    const int value = XRangeSpin->value();
    if (!ScopeRules::ValidXRange(value))
        return;
    FXRange = value;
    ApplyTimeWindow();
}

void TScopeForm::ApplyTimeWindow()
{
    const TScopeRange window = ScopeRules::TimeWindow(FXRange, ScopeGraph->xAxis->range().upper, FXPos);
    ScopeGraph->xAxis->setRange(window.Min, window.Max);
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeForm::ResetScopeButtonClick()
{
    UndoZoom();
    if (!MainForm || !MainForm->Core().FIsStreaming)
        ApplyTimeWindow();
}

void TScopeForm::FrameDecoded(bool atiBusy)
{
    if (FRescaleWait < 0)
        return;
    if (atiBusy) {
        FRetuneSeen = true;
        return;
    }
    // A tuning over before the stream came back shows no busy frame: the wait then ends by count.
    if (FRetuneSeen || --FRescaleWait <= 0) {
        FRescaleWait = -1;
        RescaleScopeButtonClick();
    }
}

void TScopeForm::RescaleScopeButtonClick()
{
    if (!MainForm)
        return;
    const TMainCore& core = MainForm->Core();
    QCPAxis* axis = ScopeGraph->yAxis;
    if (core.FDeltaOnly) {
        axis->setRange(0, DesignYMax);
    } else {
        const TScopeRange range = ScopeRules::Rescale(core.FCurrentChs, core.FLTAChs);
        // Nothing streamed yet gives an empty range; the axis then stays as it is.
        if (range.Max > range.Min)
            axis->setRange(range.Min, range.Max);
    }
    ShowAxisValues();
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeForm::ZoomTo(const QRect& pixels)
{
    if (LiveStreaming()) {
        ApplyTimeWindow();
        return;
    }
    // A click or a sliver is no zoom.
    if (pixels.width() < 3 || pixels.height() < 3)
        return;
    QCPAxis* x = ScopeGraph->xAxis;
    QCPAxis* y = ScopeGraph->yAxis;
    if (!FZoomed) {
        FZoomYMin = y->range().lower;
        FZoomYMax = y->range().upper;
    }
    x->setRange(x->pixelToCoord(pixels.left()), x->pixelToCoord(pixels.right()));
    y->setRange(y->pixelToCoord(pixels.bottom()), y->pixelToCoord(pixels.top()));
    FZoomed = true;
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

void TScopeForm::UndoZoom()
{
    if (LiveStreaming()) {
        ApplyTimeWindow();
        return;
    }
    if (!FZoomed)
        return;
    FZoomed = false;
    ScopeGraph->yAxis->setRange(FZoomYMin, FZoomYMax);
    ScopeGraph->xAxis->setRange(FZoomX, FZoomX + FXRange);
    ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
}

// ---- Mouse over the chart ----

void TScopeForm::CoordCheckClick()
{
    if (XCoordCheck->isChecked() || YCoordCheck->isChecked()) {
        // Visible, but out of sight until the mouse moves.
        CoordinatesLabel->move(-1000, -1000);
        CoordinatesLabel->show();
    } else {
        CoordinatesLabel->hide();
    }
}

void TScopeForm::ShowCoordinates(const QPoint& mouse)
{
    const bool showX = XCoordCheck->isChecked();
    const bool showY = YCoordCheck->isChecked();
    if (!showX && !showY)
        return;
    const QCPGraph* trace = Series[0];
    // Ties go to the even number.
    const auto x = qint64(std::nearbyint(trace->keyAxis()->pixelToCoord(mouse.x())));
    const auto y = qint64(std::nearbyint(trace->valueAxis()->pixelToCoord(mouse.y())));
    QString text;
    if (showX && showY)
        text = QStringLiteral("X: %1\n Y: %2").arg(x).arg(y);
    else if (showX)
        text = QStringLiteral("X: %1").arg(x);
    else
        text = QStringLiteral("Y: %1").arg(y);
    CoordinatesLabel->setText(text);
    CoordinatesLabel->adjustSize();
    CoordinatesLabel->move(mouse + QPoint(20, -4));
    CoordinatesLabel->show();
    CoordinatesLabel->raise();
}

void TScopeForm::ChartMouse(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QCPAxis* x = ScopeGraph->xAxis;
    QCPAxis* y = ScopeGraph->yAxis;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (event->button() == Qt::RightButton) {
            FPanning = true;
            FPanStart = pos;
            FPanX = x->range().lower;
            FPanY = y->range().lower;
            CoordinatesLabel->hide();
        } else if (event->button() == Qt::LeftButton) {
            FZoomStart = pos;
        }
        break;
    case QEvent::MouseMove:
        if (FPanning) {
            const double dx = x->pixelToCoord(FPanStart.x()) - x->pixelToCoord(pos.x());
            const double dy = y->pixelToCoord(FPanStart.y()) - y->pixelToCoord(pos.y());
            x->setRange(FPanX + dx, FPanX + dx + x->range().size());
            y->setRange(FPanY + dy, FPanY + dy + y->range().size());
            ScopeGraph->replot(QCustomPlot::rpQueuedReplot);
        } else {
            ShowCoordinates(pos);
        }
        break;
    case QEvent::MouseButtonRelease:
        if (event->button() == Qt::RightButton) {
            FPanning = false;
        } else if (event->button() == Qt::LeftButton && !FZoomed) {
            FZoomX = x->range().lower;
        }
        break;
    default:
        break;
    }
}

bool TScopeForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ScopeGraph)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool right = mouse->button() == Qt::RightButton || (mouse->buttons() & Qt::RightButton);
        ChartMouse(mouse);
        // The chart itself never sees the right button: it would start a zoom rectangle.
        return right;
    }
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::Leave:
        CoordinatesLabel->hide();
        break;
    case QEvent::Enter:
        if (XCoordCheck->isChecked() || YCoordCheck->isChecked()) {
            CoordinatesLabel->move(-1000, -1000);
            CoordinatesLabel->show();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Side panel ----

void TScopeForm::SlidePanel(int from, int to)
{
    FSlide->stop();
    FSlide->setStartValue(from);
    FSlide->setEndValue(to);
    FSlide->start();
}

void TScopeForm::SpeedButton1Click()
{
    if (ScopeCategoryPanel->maximumWidth() <= 10) {
        ScopePanels->show();
        SlidePanel(0, FCatPanelWidth);
        SpeedButton1->setArrowType(Qt::RightArrow);
        QTimer::singleShot(SlideMs + 20, this, &TScopeForm::CheckGategoryPanelSize);
    } else {
        ScopeCategoryPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ScopePanels->hide();
        SlidePanel(ScopeCategoryPanel->maximumWidth(), 0);
        SpeedButton1->setArrowType(Qt::LeftArrow);
    }
}

void TScopeForm::CheckGategoryPanelSize()
{
    // Hidden by SpeedButton1, or on its way in or out.
    if (ScopeCategoryPanel->maximumWidth() == 0 || FSlide->state() == QAbstractAnimation::Running)
        return;
    const bool tall = ScopePanels->minimumSizeHint().height() > ScopeCategoryPanel->height();
    ScopeCategoryPanel->setVerticalScrollBarPolicy(tall ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    ScopeCategoryPanel->setFixedWidth(FCatPanelWidth + (tall ? ScrollBarWidth : 0));
}

void TScopeForm::BarGraphButtonClick()
{
    close();
    if (!MainForm)
        return;
    if (MainForm->isMinimized())
        MainForm->showNormal();
    else
        MainForm->show();
    MainForm->raise();
    MainForm->activateWindow();
}

// ---- Window life ----

void TScopeForm::FormActivate()
{
    FFormActivated = true;
    if (!FSetupFormIni)
        return;
    FSetupFormIni = false; // one try only
    ReadPreferences();
}

void TScopeForm::ReadPreferences()
{
    TPreferences preferences(FormGeometry::PreferencesFile());
    TScopeFormOptions options;
    std::optional<TWindowGeometry> placement;
    if (!preferences.ReadScopeForm(FormGeometry::Current(this), FormGeometry::Monitors(), options, placement)) {
        if (MainForm)
            MainForm->KvrAddItem(QString::fromLatin1(TPreferences::LoadErrorText), TKvrItemType::aError);
        return;
    }
    for (int c = 0; c < 5; ++c)
        FScopeColors[size_t(c)] = FromBgr(options.CHColor[size_t(c)]);
    for (int c = 0; c < 4; ++c)
        ApplyTraceColour(c);
    YIncSpin->setValue(options.YInc);
    YIncButtonClick();
    XRangeSpin->setValue(options.XRange);
    SetXRangeButtonClick();
    for (size_t c = 0; c < 4; ++c) {
        CHCurCheck[c]->setChecked(options.CS[c]);
        CHLTACheck[c]->setChecked(options.LT[c]);
    }
    if (placement)
        FormGeometry::Apply(this, *placement);
}

void TScopeForm::WritePreferences()
{
    TScopeFormOptions options;
    for (size_t c = 0; c < 5; ++c)
        options.CHColor[c] = ToBgr(FScopeColors[c]);
    options.YInc = int(FYTicker->Increment());
    options.XRange = FXRange;
    for (size_t c = 0; c < 4; ++c) {
        options.CS[c] = CHCurCheck[c]->isChecked();
        options.LT[c] = CHLTACheck[c]->isChecked();
    }
    TPreferences(FormGeometry::PreferencesFile()).WriteScopeForm(FormGeometry::Current(this), options);
}

void TScopeForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TScopeForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FRunLTApply) {
        FRunLTApply = false;
        move(FRunLeft, FRunTop);
    }
    QTimer::singleShot(0, this, &TScopeForm::CheckGategoryPanelSize);
    if (UpdateTimer->isActive())
        UpdateTimerTimer();
}

void TScopeForm::closeEvent(QCloseEvent* event)
{
    FRunLeft = frameGeometry().left();
    FRunTop = frameGeometry().top();
    FRunLTApply = true;
    QWidget::closeEvent(event);
}

void TScopeForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const QRect frame = frameGeometry();
        if (isVisible() && (area.height() < frame.height() - 10 || area.width() < frame.width() - 10)) {
            const QRect inner = geometry();
            setGeometry(area.adjusted(inner.left() - frame.left(), inner.top() - frame.top(),
                                      inner.right() - frame.right(), inner.bottom() - frame.bottom()));
        }
    }
    CheckGategoryPanelSize();
}
