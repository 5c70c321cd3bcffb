#include "app/ui/LiveDisplay.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/AxisIncrementTicker.h"
#include "app/ui/ColourBars.h"
#include "app/ui/ColourTrackBar.h"
#include "app/ui/DialButton.h"
#include "app/ui/MainUnit.h"
#include "app/ui/PictureBox.h"
#include "app/ui/ScopeUnit.h"
#include "app/ui/SevenSegment.h"
#include "settings/RegisterOperations.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <qcustomplot.h>

namespace {

constexpr int GesturePictureMs = 200;
constexpr int EventHoldMs = 100;
constexpr int EventHoldFrames = 3;
constexpr int ClickSlop = 3; // pixels a click may move and still be a click

// Bar colours: count bar, average bar.
struct TBarColours {
    QColor Count, Average;
};
const TBarColours TouchColours{QColor(0xFF, 0x33, 0x33), QColor(0x9E, 0x20, 0x1D)};
const TBarColours ProxColours{QColor(0x00, 0x6B, 0xD7), QColor(0x00, 0x40, 0x80)};
const TBarColours NeitherColours{QColor(0x00, 0xC1, 0x61), QColor(0x00, 0x80, 0x40)};
const TBarColours LowPowerColours{QColor(0x00, 0xBF, 0xBF), QColor(0x00, 0x80, 0x80)};
const QColor AverageSeriesColour(0x00, 0x40, 0x80);

const QColor PanelColour(0xF0, 0xF0, 0xF0);
const QColor EventYesColour(0x00, 0x80, 0x00);
const QColor ProxEventColour(0x00, 0x00, 0xFF);
const QColor TouchEventColour(0xFF, 0x00, 0x00);
const QColor EventsOffTextColour(0xC0, 0xC0, 0xC0);
const QColor StripColour(0x00, 0x40, 0x80);

const QString NA = QStringLiteral("N/A");
const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");

// Axis of the bar graph in the normal and the baseline view.
constexpr double NormalMin = 0, NormalMax = 1500, NormalStep = 100;
constexpr double BaselineMin = -100, BaselineMax = 500, BaselineStep = 50;

// Marker of the relative strip: 6 pixels wide, 4 pixels off the top and the bottom, kept 2 pixels from
// the left edge and 8 from the right.
constexpr int MarkerWidth = 6, MarkerInset = 4, MarkerMinLeft = 2, MarkerRightGap = 8;

void SetBackground(QLabel* label, const QColor& background, const QColor& text)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
}

} // namespace

void TLiveDisplay::TValueLabel::Push()
{
    if (!Label || Value == Shown)
        return;
    Shown = Value;
    Label->setText(Value == NotAvailable ? NA : QString::number(Value));
}

void TLiveDisplay::TFlagLabel::Show(bool yes)
{
    if (int(yes) == Shown)
        return;
    Shown = yes;
    Label->setText(yes ? Yes : No);
}

TLiveDisplay::TLiveDisplay(TMainForm& form, TMainCore& core) : QObject(&form), FForm(form), FCore(core)
{
    for (int c = 0; c < 4; ++c) {
        FCSLabels[c].Label = form.CSLbl[c];
        FLTALabels[c].Label = form.LTALbl[c];
        FDTLabels[c].Label = form.DTLbl[c];
        FTTLabels[c].Label = form.TTLbl[c];
    }
    FReset.Label = form.ResetLabel;
    FFilterHalt.Label = form.FHLabel;
    FLowPower.Label = form.LPLabel;
    FProjected.Label = form.ProjLabel;
    FATIBusy.Label = form.ATIBLabel;
    FATIError.Label = form.ATIErrorLabel;
    FMovement.Label = form.MovLabel;
    FEAti.Label = form.FEAtiLabel;
    FEMov.Label = form.FEMovLabel;
    FHeld[heProx] = {form.FEProxLabel, ProxEventColour};
    FHeld[heTouch] = {form.FETouchLabel, TouchEventColour};
    FHeld[heSlider] = {form.FESliderLabel, EventYesColour};
    FHeld[heTap] = {form.FETapLabel, EventYesColour};

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(GesturePictureMs);
    connect(Timer1, &QTimer::timeout, this, &TLiveDisplay::Timer1Timer);
    EventTimer = new QTimer(this);
    EventTimer->setSingleShot(true);
    EventTimer->setInterval(EventHoldMs);
    connect(EventTimer, &QTimer::timeout, this, &TLiveDisplay::EventTimerTimer);
    ConnectControls();
}

void TLiveDisplay::ConnectControls()
{
    TRegisterOperations& ops = *FCore.RegOps;
    for (int c = 0; c < 4; ++c)
        connect(FForm.FCHChecks[c], &QCheckBox::clicked, this, [this, c, &ops](bool checked) {
            FCore.CHCheck[c] = checked;
            ops.CH0CheckClick();
        });
    connect(FForm.AllCHsCheck, &QCheckBox::clicked, this, [this, &ops](bool checked) {
        FCore.AllCHsCheck = checked;
        ops.AllCHsCheckClick();
        ShowChannelBoxes();
    });
    connect(FForm.RedoATIBtn, &QPushButton::clicked, this, [&ops] { ops.RedoATIBtnClick(); });
    connect(FForm.ReseedBtn, &QPushButton::clicked, this, [&ops] { ops.ReseedBtnClick(); });
    connect(FForm.AckResetButton, &QPushButton::clicked, this, [&ops] { ops.AckResetButtonClick(); });
    connect(FForm.EventsCheck, &QCheckBox::clicked, this, [this](bool checked) {
        FCore.EventsCheck = checked;
        EventsCheckClick();
    });
    // A left click on the chart reseeds; a drag pans the value axis and does not.
    connect(FForm.BarGraph, &QCustomPlot::mousePress, this, [this](QMouseEvent* event) {
        if (event->button() == Qt::LeftButton)
            FPressPos = event->pos();
    });
    connect(FForm.BarGraph, &QCustomPlot::mouseRelease, this, [this, &ops](QMouseEvent* event) {
        if (event->button() == Qt::LeftButton && (event->pos() - FPressPos).manhattanLength() <= ClickSlop)
            ops.ReseedBtnClick();
    });
}

void TLiveDisplay::ShowChannelBoxes()
{
    for (int c = 0; c < 4; ++c)
        if (FForm.FCHChecks[c]->isChecked() != FCore.CHCheck[c]) {
            const QSignalBlocker quiet(FForm.FCHChecks[c]);
            FForm.FCHChecks[c]->setChecked(FCore.CHCheck[c]);
        }
    if (FForm.AllCHsCheck->isChecked() != FCore.AllCHsCheck) {
        const QSignalBlocker quiet(FForm.AllCHsCheck);
        FForm.AllCHsCheck->setChecked(FCore.AllCHsCheck);
    }
    if (FForm.EventsCheck->isChecked() != FCore.EventsCheck) {
        const QSignalBlocker quiet(FForm.EventsCheck);
        FForm.EventsCheck->setChecked(FCore.EventsCheck);
        EventsCheckClick();
    }
}

void TLiveDisplay::FrameDecoded()
{
    // Set-up loads and register resets change the boxes on the core.
    ShowChannelBoxes();
    UpdateFlagsAndValues();
    UpdateBarsAndScope();
    if (ScopeForm)
        ScopeForm->FrameDecoded(FCore.FATIBusy);
    // While streaming, the labels are written with the repaint (BarTimer), not for every frame. Frames that
    // arrive after a pause or stop are shown at once; they may come in a burst, so the bars are drawn once
    // for all of them when the event loop is next idle.
    if (!FForm.BarTimer->isActive()) {
        ShowPending();
        FForm.BarGraph->replot(QCustomPlot::rpQueuedReplot);
    }
}

void TLiveDisplay::ShowPending()
{
    if (FMarkerMoved)
        DrawRelativeMarker();
    for (int c = 0; c < 4; ++c) {
        FCSLabels[c].Push();
        FLTALabels[c].Push();
        FDTLabels[c].Push();
        FTTLabels[c].Push();
    }
}

bool TLiveDisplay::LowPowerChannel(int c) const
{
    return c == 0 && FCore.FLP;
}

// ---- Labels, indicators, flags and events ----

void TLiveDisplay::UpdateFlagsAndValues()
{
    UpdateIndicators();
    UpdateValueLabels();
    UpdateFlags();
    if (FCore.EventsCheck)
        UpdateEvents();
}

void TLiveDisplay::SetIndicator(int channel, TPicture picture)
{
    FShownPicture[channel] = picture;
    FCore.FResources[channel] = picture;
    const QPixmap& big = picture == pcTouch ? FForm.TouchPNG : picture == pcProx ? FForm.ProxPNG : FForm.NonePNG;
    FForm.CHPTShape[channel]->setPixmap(big);
    if (ScopeForm) {
        const QPixmap& small =
            picture == pcTouch ? FForm.STouchPNG : picture == pcProx ? FForm.SProxPNG : FForm.SNonePNG;
        ScopeForm->SetChannelPicture(channel, small);
    }
}

void TLiveDisplay::UpdateIndicators()
{
    // Compared with the picture actually shown: the channel boxes reset FResources without changing it.
    const bool streamed = FCore.StreamSetup.PTActive;
    for (int c = 0; c < 4; ++c) {
        TPicture state = pcNone;
        if (streamed)
            state = FCore.FTouchBools[c] ? pcTouch : FCore.FProxBools[c] ? pcProx : pcNone;
        if (state != FShownPicture[c])
            SetIndicator(c, state);
        else
            FCore.FResources[c] = state;
    }
}

void TLiveDisplay::UpdateValueLabels()
{
    const TStreamSetup& setup = FCore.StreamSetup;
    const bool projected = FCore.FProjected;
    const bool counts = setup.CSActive && !FCore.FDeltaOnly;
    const bool averages = setup.LTAActive && !FCore.FDeltaOnly;
    for (int c = 0; c < 4; ++c) {
        const bool checked = FCore.CHCheck[c];
        const bool lp = LowPowerChannel(c);
        if (counts && checked)
            FCSLabels[c].Set(lp ? FCore.FLPcsCH : FCore.FCurrentChs[c]);
        else
            FCSLabels[c].SetNA();
        if (averages && checked)
            FLTALabels[c].Set(lp ? FCore.FLPltaCH : FCore.FLTAChs[c]);
        else
            FLTALabels[c].SetNA();

        const int64_t count = lp ? FCore.FLPcsCH : FCore.FCurrentChs[c];
        const int64_t average = lp ? FCore.FLPltaCH : FCore.FLTAChs[c];
        const int64_t computed = projected ? count - average : average - count;
        if (!checked)
            FDTLabels[c].SetNA();
        else if (setup.DeltasActive)
            FDTLabels[c].Set(lp ? computed : FCore.FDeltaChs[c]);
        else if (!setup.CSActive || !setup.LTAActive)
            FDTLabels[c].SetNA();
        else
            FDTLabels[c].Set(computed);

        if (c > 0) {
            if (setup.LTAActive && checked)
                FTTLabels[c].Set(FCore.FCalcTouchTH[c]);
            else
                FTTLabels[c].SetNA();
        }
    }
}

void TLiveDisplay::UpdateFlags()
{
    FCore.RegOps->AckResetFrame();
    FReset.Show(FCore.FShowReset);
    FFilterHalt.Show(FCore.FFilterHalt);
    FLowPower.Show(FCore.FLP);
    FProjected.Show(FCore.FProjected);
    FATIBusy.Show(FCore.FATIBusy);
    FATIError.Show(FCore.FATIError);
    FMovement.Show(FCore.FMovment);
    const int halt = FCore.FHalt & 0x0F;
    if (halt != FHaltBits) {
        FHaltBits = halt;
        FForm.FHBitsLabel->setText(QStringLiteral("%1").arg(halt, 4, 2, QLatin1Char('0')));
    }
}

QColor TLiveDisplay::EventsTextColour() const
{
    return FForm.EventsGroup->palette().color(QPalette::WindowText);
}

void TLiveDisplay::SetEventLabel(QLabel* label, bool yes, const QColor& colour)
{
    label->setText(yes ? Yes : No);
    if (yes)
        SetBackground(label, colour, Qt::white);
    else
        SetBackground(label, PanelColour, EventsTextColour());
}

void TLiveDisplay::SetHeld(THeldEvent& event, bool yes)
{
    event.Yes = yes;
    SetEventLabel(event.Label, yes, event.Colour);
}

void TLiveDisplay::UpdateEvents()
{
    const std::array<bool, HeldCount> bits{FCore.FEProx, FCore.FETouch, FCore.FESlider, FCore.FETap};
    // In event mode a new event ends the hold of the earlier ones at once. The timer restarts once per
    // frame, so that events arriving together are all shown.
    bool rising = false;
    for (int e = 0; e < HeldCount; ++e)
        rising = rising || (bits[e] && !FHeld[e].Yes);
    if (rising && FCore.FEventMode)
        RestartEventTimer();
    for (int e = 0; e < HeldCount; ++e) {
        THeldEvent& event = FHeld[e];
        if (bits[e]) {
            if (!event.Yes) {
                SetHeld(event, true);
                if (e == heTap)
                    ShowGesture(false, false, true);
            }
        } else if (event.Yes) {
            if (event.Count >= EventHoldFrames) {
                SetHeld(event, false);
                event.Count = 0;
            } else {
                ++event.Count;
            }
        }
    }

    if (FEAti.Shown != int(FCore.FEATI)) {
        FEAti.Shown = FCore.FEATI;
        SetEventLabel(FEAti.Label, FCore.FEATI, EventYesColour);
    }
    if (FEMov.Shown != int(FCore.FEMov)) {
        FEMov.Shown = FCore.FEMov;
        SetEventLabel(FEMov.Label, FCore.FEMov, EventYesColour);
    }

    // The chip's FlickRight bit shows the left arrow and picture, its FlickLeft bit the right ones.
    if (FCore.FEFlickRight) {
        FForm.FEFlickLabel->setText(QStringLiteral("<--"));
        ShowGesture(true, false, false);
    } else if (FCore.FEFlickLeft) {
        FForm.FEFlickLabel->setText(QStringLiteral("-->"));
        ShowGesture(false, true, false);
    }
}

void TLiveDisplay::ShowGesture(bool flickLeft, bool flickRight, bool tap)
{
    Timer1->stop();
    FForm.ShowGraphPicture(flickLeft, flickRight, tap);
    Timer1->start();
}

void TLiveDisplay::Timer1Timer()
{
    Timer1->stop();
    FForm.ShowGraphPicture(false, false, false);
}

void TLiveDisplay::RestartEventTimer()
{
    if (EventTimer->isActive()) {
        EventTimer->stop();
        EventTimerTimer();
    }
    EventTimer->start();
}

void TLiveDisplay::EventTimerTimer()
{
    EventTimer->stop();
    for (THeldEvent& event : FHeld) {
        if (event.Yes)
            SetHeld(event, false);
        event.Count = 0;
    }
}

// ---- Bars and scope ----

int32_t TLiveDisplay::BaselineDelta(int c) const
{
    const TStreamSetup& setup = FCore.StreamSetup;
    if (setup.DeltasActive)
        return FCore.FDeltaChs[c];
    if (setup.CSActive && setup.LTAActive)
        return FCore.FProjected ? FCore.FCurrentChs[c] - FCore.FLTAChs[c] : FCore.FLTAChs[c] - FCore.FCurrentChs[c];
    return 0;
}

void TLiveDisplay::UpdateBarsAndScope()
{
    auto* counts = static_cast<TColourBars*>(FForm.Series1);
    auto* averages = static_cast<TColourBars*>(FForm.Series2);
    counts->Clear();
    averages->Clear();
    const TStreamSetup& setup = FCore.StreamSetup;
    const bool baseline = FCore.FDeltaOnly;
    for (int c = 0; c < 4; ++c) {
        const TBarColours& state = FCore.FTouchBools[c] ? TouchColours
                                   : FCore.FProxBools[c] ? ProxColours
                                                         : NeitherColours;
        const bool checked = FCore.CHCheck[c];
        const bool lp = !baseline && LowPowerChannel(c);
        const TBarColours& colours = lp ? LowPowerColours : state;
        if (!setup.CSActive || !checked)
            counts->AddBar(c, 0, colours.Count);
        else if (baseline)
            counts->AddBar(c, BaselineDelta(c), colours.Count);
        else
            counts->AddBar(c, lp ? FCore.FLPcsCH : FCore.FCurrentChs[c], colours.Count);

        if (!setup.LTAActive)
            continue;
        if (!checked)
            averages->AddBar(c, 0, colours.Average);
        else if (baseline)
            averages->AddBar(c, BaselineDelta(c), colours.Count);
        else
            averages->AddBar(c, lp ? FCore.FLPltaCH : FCore.FLTAChs[c], colours.Average);
    }
    FeedScope();
}

void TLiveDisplay::FeedScope()
{
    TScopeForm* scope = ScopeForm;
    if (!scope)
        return;
    const TStreamSetup& setup = FCore.StreamSetup;
    const bool baseline = FCore.FDeltaOnly;
    if (!scope->HasActiveChannel() || !FCore.FActiveChannels ||
        (baseline && !(setup.CSActive && setup.LTAActive))) {
        scope->StopUpdateTimer();
        return;
    }
    const bool any = setup.CSActive || setup.LTAActive;
    if (!any) {
        scope->StopUpdateTimer();
        return;
    }
    scope->StartUpdateTimer();
    scope->CountChartPoint();
    const int32_t x = scope->FXPos;
    for (int c = 0; c < 4; ++c) {
        if (!FCore.CHCheck[c])
            continue;
        const bool lp = LowPowerChannel(c);
        if (setup.CSActive && scope->CurChecked(c))
            scope->AddXY(c, x, baseline ? BaselineDelta(c) : lp ? FCore.FLPcsCH : FCore.FCurrentChs[c]);
        if (setup.LTAActive && !baseline && scope->LTAChecked(c))
            scope->AddXY(4 + c, x, lp ? FCore.FLPltaCH : FCore.FLTAChs[c]);
    }
    scope->AdvanceX();
}

void TLiveDisplay::BarTimerTimer()
{
    ShowPending();
    // Drawn now, shown with the labels in the same repaint.
    FForm.BarGraph->replot(QCustomPlot::rpQueuedRefresh);
}

// ---- Wheel, slider and relative read-outs ----

void TLiveDisplay::WheelPosition(int percent)
{
    if (FCore.FWheelData1 != FWheelPosition) {
        FWheelPosition = FCore.FWheelData1;
        FForm.SevenSeg1->SetValue(FWheelPosition);
    }
    if (percent == FWheelPercent)
        return;
    FWheelPercent = percent;
    if (FCore.WheelCheck)
        FForm.JvDialButton1->SetPosition(percent);
    if (FCore.SliderCheck)
        FForm.TrackBar1->SetPosition(percent);
}

void TLiveDisplay::MoveRelativeMarker(int step)
{
    if (step == 0)
        return;
    int left = FForm.FCurMovX + step;
    left = std::min(left, FForm.FMovImageWidth - MarkerRightGap);
    left = std::max(left, MarkerMinLeft);
    FForm.FCurMovX = left;
    FMarkerMoved = true;
    // While streaming the strip is redrawn with the repaint, not for every step.
    if (!FForm.BarTimer->isActive())
        DrawRelativeMarker();
}

void TLiveDisplay::DrawRelativeMarker()
{
    FMarkerMoved = false;
    QImage& strip = FForm.MovImage->Picture();
    if (strip.isNull())
        return;
    strip.fill(StripColour);
    QPainter p(&strip);
    p.fillRect(QRect(FForm.FCurMovX, MarkerInset, MarkerWidth, strip.height() - 2 * MarkerInset), Qt::white);
    p.end();
    FForm.MovImage->update();
}

void TLiveDisplay::SetChannel0Label(const QString& text)
{
    FForm.CHLabel[0]->setText(text);
}

// ---- Session start, channel boxes, baseline view, "Show Events" ----

void TLiveDisplay::ResetLiveDisplay()
{
    ShowChannelBoxes();
    for (int c = 0; c < 4; ++c)
        SetIndicator(c, pcNone);
    static_cast<TColourBars*>(FForm.Series1)->Clear();
    static_cast<TColourBars*>(FForm.Series2)->Clear();
}

void TLiveDisplay::SetChannelEmpty(int channel)
{
    SetIndicator(channel, pcNone);
}

void TLiveDisplay::Delta()
{
    QCustomPlot* graph = FForm.BarGraph;
    auto* ticker = dynamic_cast<TAxisIncrementTicker*>(graph->yAxis->ticker().data());
    if (!ticker) {
        ticker = new TAxisIncrementTicker(NormalStep);
        graph->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(ticker));
    }
    if (FCore.Settings.DeltaCheck) {
        FForm.Series2->setBrush(FForm.Series1->brush());
        graph->yAxis->setRange(BaselineMin, BaselineMax);
        ticker->SetIncrement(BaselineStep);
        FCore.FDeltaOnly = true;
        const TStreamSetup& setup = FCore.StreamSetup;
        if (!setup.CSActive) {
            FCore.KvrAddItem(QStringLiteral("Count Samples are disabled"), TKvrItemType::aError);
            FCore.KvrAddItem(QStringLiteral("Unable to calculate deltas!"), TKvrItemType::aError);
        }
        if (!setup.LTAActive) {
            FCore.KvrAddItem(QStringLiteral("Long Term Averages are disabled"), TKvrItemType::aError);
            FCore.KvrAddItem(QStringLiteral("Unable to calculate deltas!"), TKvrItemType::aError);
        }
    } else {
        FForm.Series2->setBrush(AverageSeriesColour);
        graph->yAxis->setRange(NormalMin, NormalMax);
        ticker->SetIncrement(NormalStep);
        FCore.FDeltaOnly = false;
    }
    if (ScopeForm)
        ScopeForm->SetBaselineView(FCore.FDeltaOnly);
    graph->replot(QCustomPlot::rpQueuedReplot);
}

void TLiveDisplay::EventsCheckClick()
{
    QPalette pal = FForm.EventsGroup->palette();
    pal.setColor(QPalette::WindowText, FCore.EventsCheck
                                           ? QApplication::palette(FForm.EventsGroup).color(QPalette::WindowText)
                                           : EventsOffTextColour);
    FForm.EventsGroup->setPalette(pal);
    // Labels reading "No" carry their own palette: they follow the group's text colour by hand.
    auto follow = [this](QLabel* label, bool yes) {
        if (!yes)
            SetBackground(label, PanelColour, EventsTextColour());
    };
    for (const THeldEvent& event : FHeld)
        follow(event.Label, event.Yes);
    follow(FEAti.Label, FEAti.Shown == 1);
    follow(FEMov.Label, FEMov.Shown == 1);
}
