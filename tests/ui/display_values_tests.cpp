// The live display fed with decoded values: value labels, N/A rules, bar heights and colours, low power,
// indicators, flags, the baseline view, the read-outs and the scope feed.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/ColourBars.h"
#include "app/ui/ColourTrackBar.h"
#include "app/ui/DialButton.h"
#include "app/ui/LiveDisplay.h"
#include "app/ui/MainUnit.h"
#include "app/ui/PictureBox.h"
#include "app/ui/ScopeUnit.h"
#include "app/ui/SevenSegment.h"
#include "app/ui/KvrListBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QLabel>
#include <QTimer>
#include <qcustomplot.h>

namespace {

class DisplayTest : public ShellTest {
protected:
    TMainCore& Core() { return MainForm->Core(); }
    TColourBars* Counts() { return static_cast<TColourBars*>(MainForm->Series1); }
    TColourBars* Averages() { return static_cast<TColourBars*>(MainForm->Series2); }

    // Flags, prox and touch, counts and averages streamed; every channel with its own values.
    void StreamDefault()
    {
        TStreamSetup& s = Core().StreamSetup;
        s.SysFlagsActive = s.WheelActive = s.PTActive = s.CSActive = s.LTAActive = true;
        s.DeltasActive = false;
        Core().FCurrentChs = {500, 410, 420, 430};
        Core().FLTAChs = {490, 400, 415, 440};
        Core().FDeltaChs = {-10, -10, -5, 10};
        Core().FCalcTouchTH = {0, 101, 102, 103};
    }
    void Frame() { MainForm->FrameDecoded(); }
    static QString Text(QLabel* label) { return label->text(); }
    QStringList Column(int c)
    {
        QStringList texts{Text(MainForm->CSLbl[c]), Text(MainForm->LTALbl[c]), Text(MainForm->DTLbl[c])};
        if (c > 0)
            texts << Text(MainForm->TTLbl[c]);
        return texts;
    }
    QStringList Errors() const
    {
        QStringList items;
        TKvrListBox* list = MainForm->MessageBox;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text().trimmed();
        return items;
    }
};

TEST_F(DisplayTest, display_ValuesAndStateColoursOfEveryChannel)
{
    StreamDefault();
    Core().FProjected = false;
    Core().FProxBools = {true, false, false, false};
    Core().FTouchBools = {false, true, false, false};
    Frame();
    EXPECT_EQ(Column(0), (QStringList{"500", "490", "-10"}));
    EXPECT_EQ(Column(1), (QStringList{"410", "400", "-10", "101"}));

    ASSERT_EQ(Counts()->BarCount(), 4);
    ASSERT_EQ(Averages()->BarCount(), 4);
    EXPECT_EQ(Counts()->BarValue(2), 420);
    EXPECT_EQ(Averages()->BarValue(2), 415);
    EXPECT_EQ(Counts()->BarColour(0), QColor(0x00, 0x6B, 0xD7)); // prox
    EXPECT_EQ(Counts()->BarColour(1), QColor(0xFF, 0x33, 0x33)); // touch
    EXPECT_EQ(Averages()->BarColour(1), QColor(0x9E, 0x20, 0x1D));
    EXPECT_EQ(Counts()->BarColour(2), QColor(0x00, 0xC1, 0x61)); // neither
    EXPECT_EQ(Averages()->BarColour(2), QColor(0x00, 0x80, 0x40));

    // Projected mode turns the computed delta round; the halt bits show bit 3 first, nothing above it.
    Core().FProjected = true;
    Core().FHalt = 0xF5;
    Frame();
    EXPECT_EQ(Text(MainForm->DTLbl[0]), "10");
    EXPECT_EQ(Text(MainForm->ProjLabel), "Yes");
    EXPECT_EQ(Text(MainForm->FHBitsLabel), "0101");
}

TEST_F(DisplayTest, display_UncheckedChannelShowsNAAndZeroBarsAndFeedsNoScopePoints)
{
    StreamDefault();
    ScopeForm->SetLTAChecked(2, true);
    Frame();
    EXPECT_EQ(ScopeForm->Points(2).back().second, 420);
    EXPECT_EQ(ScopeForm->Points(6).back().second, 415);
    Core().CHCheck[2] = false;
    ScopeForm->CheckActiveChannels();
    Frame();
    EXPECT_EQ(Column(2), (QStringList{"N/A", "N/A", "N/A", "N/A"}));
    EXPECT_EQ(Column(1), (QStringList{"410", "400", "-10", "101"}));
    EXPECT_EQ(Counts()->BarValue(2), 0);
    EXPECT_EQ(Averages()->BarValue(2), 0);
    EXPECT_EQ(Counts()->BarValue(1), 410);
    // This frame's point went to channel 1's trace only.
    EXPECT_EQ(ScopeForm->Points(1).back(), std::make_pair(double(ScopeForm->FXPos - 1), 410.0));
    EXPECT_LT(ScopeForm->Points(2).back().first, ScopeForm->FXPos - 1);
    EXPECT_LT(ScopeForm->Points(6).back().first, ScopeForm->FXPos - 1);
    EXPECT_TRUE(ScopeForm->UpdateTimer->isActive());

    // Every channel cleared: the scope gets nothing and its refresh stops.
    Core().CHCheck = {false, false, false, false};
    ScopeForm->CheckActiveChannels();
    const int x = ScopeForm->FXPos;
    Frame();
    EXPECT_FALSE(ScopeForm->UpdateTimer->isActive());
    EXPECT_EQ(ScopeForm->FXPos, x);
}

TEST_F(DisplayTest, display_ScopeKeepsTheLatest5000PointsOfEachTrace)
{
    StreamDefault();
    const int x0 = ScopeForm->FXPos;
    const int frames = 2 * TScopeForm::FMaxNrChartPoints + 123;
    for (int i = 0; i < frames; ++i) {
        Core().FCurrentChs[1] = i;
        Frame();
    }
    const auto points = ScopeForm->Points(1);
    ASSERT_EQ(int(points.size()), TScopeForm::FMaxNrChartPoints);
    for (int k = 0; k < int(points.size()); ++k) {
        const int i = frames - TScopeForm::FMaxNrChartPoints + k;
        ASSERT_EQ(points[size_t(k)], std::make_pair(double(x0 + i), double(i))) << k;
    }
    EXPECT_EQ(ScopeForm->FXPos, x0 + frames);
    EXPECT_TRUE(ScopeForm->ChartPoints().FMaxPoints);
}

TEST_F(DisplayTest, display_CountsWithoutAveragesGiveNAAndNoAverageBars)
{
    StreamDefault();
    Core().StreamSetup.LTAActive = false;
    Frame();
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Text(MainForm->LTALbl[c]), "N/A");
        EXPECT_EQ(Text(MainForm->DTLbl[c]), "N/A");
        if (c > 0) {
            EXPECT_EQ(Text(MainForm->TTLbl[c]), "N/A");
        }
    }
    EXPECT_EQ(Text(MainForm->CSLbl[1]), "410");
    EXPECT_EQ(Averages()->BarCount(), 0);
    EXPECT_EQ(Counts()->BarCount(), 4);

    // Streamed deltas are shown as they come.
    Core().StreamSetup.DeltasActive = true;
    Core().FDeltaChs = {7, 8, 9, 65535};
    Frame();
    EXPECT_EQ(Text(MainForm->DTLbl[1]), "8");
    EXPECT_EQ(Text(MainForm->DTLbl[3]), "65535");

    // Nothing but flags: four zero count bars, no average bars.
    Core().StreamSetup.CSActive = Core().StreamSetup.DeltasActive = false;
    Frame();
    ASSERT_EQ(Counts()->BarCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Counts()->BarValue(c), 0);
    EXPECT_EQ(Text(MainForm->CSLbl[0]), "N/A");
}

TEST_F(DisplayTest, display_LowPowerTurnsChannel0TealWithTheLowPowerWords)
{
    StreamDefault();
    Core().FLP = true;
    Core().FLPcsCH = 900;
    Core().FLPltaCH = 880;
    Core().FProjected = false;
    Core().FProxBools[0] = true; // the low-power colours win over the state colours
    Frame();
    EXPECT_EQ(Counts()->BarValue(0), 900);
    EXPECT_EQ(Averages()->BarValue(0), 880);
    EXPECT_EQ(Counts()->BarColour(0), QColor(0x00, 0xBF, 0xBF));
    EXPECT_EQ(Averages()->BarColour(0), QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(Column(0), (QStringList{"900", "880", "-20"}));
    EXPECT_EQ(Text(MainForm->LPLabel), "Yes");
    // Only channel 0 uses the low-power words.
    EXPECT_EQ(Counts()->BarValue(1), 410);
    EXPECT_EQ(Counts()->BarColour(1), QColor(0x00, 0xC1, 0x61));

    // With deltas streamed, channel 0 still shows the low-power difference.
    Core().StreamSetup.DeltasActive = true;
    Core().FProjected = true;
    Frame();
    EXPECT_EQ(Text(MainForm->DTLbl[0]), "20");
    EXPECT_EQ(Text(MainForm->DTLbl[1]), "-10");

    Core().FLP = false;
    Frame();
    EXPECT_EQ(Text(MainForm->LPLabel), "No");
    EXPECT_EQ(Counts()->BarValue(0), 500);
}

TEST_F(DisplayTest, display_IndicatorsFollowTheStateAndDoNotGoStale)
{
    StreamDefault();
    Core().FTouchBools[1] = true;
    Frame();
    EXPECT_EQ(MainForm->CHPTShape[1]->pixmap().cacheKey(), MainForm->TouchPNG.cacheKey());
    EXPECT_EQ(ScopeForm->CHPTShape[1]->pixmap().cacheKey(), MainForm->STouchPNG.cacheKey());

    // A channel box click resets the marker of every checked channel; the lifted finger must still clear
    // the picture.
    Core().FResources[1] = 0;
    Core().FTouchBools[1] = false;
    Frame();
    EXPECT_EQ(MainForm->CHPTShape[1]->pixmap().cacheKey(), MainForm->NonePNG.cacheKey());

    // Prox and touch no longer streamed: every indicator shows nothing.
    Core().FProxBools[0] = true;
    Frame();
    EXPECT_EQ(MainForm->CHPTShape[0]->pixmap().cacheKey(), MainForm->ProxPNG.cacheKey());
    Core().StreamSetup.PTActive = false;
    Frame();
    EXPECT_EQ(MainForm->CHPTShape[0]->pixmap().cacheKey(), MainForm->NonePNG.cacheKey());
    EXPECT_EQ(ScopeForm->CHPTShape[0]->pixmap().cacheKey(), MainForm->SNonePNG.cacheKey());
}

TEST_F(DisplayTest, display_BaselineViewWithoutAveragesReportsAndShowsZeroBars)
{
    StreamDefault();
    Core().StreamSetup.LTAActive = false;
    Core().Settings.DeltaCheck = true;
    MainForm->Delta();
    EXPECT_TRUE(Core().FDeltaOnly);
    EXPECT_EQ(MainForm->BarGraph->yAxis->range(), QCPRange(-100, 500));
    const QStringList items = Errors();
    EXPECT_EQ(items.mid(items.size() - 2),
              (QStringList{"Long Term Averages are disabled", "Unable to calculate deltas!"}));
    Frame();
    for (int c = 0; c < Counts()->BarCount(); ++c)
        EXPECT_EQ(Counts()->BarValue(c), 0);
    for (int c = 0; c < Averages()->BarCount(); ++c)
        EXPECT_EQ(Averages()->BarValue(c), 0);
    EXPECT_EQ(Text(MainForm->CSLbl[1]), "N/A");

    // With averages back, both bars of a channel show its delta in the count bar's colour.
    Core().StreamSetup.LTAActive = true;
    Core().FTouchBools[1] = true;
    Frame();
    EXPECT_EQ(Counts()->BarValue(1), -10);
    EXPECT_EQ(Averages()->BarValue(1), -10);
    EXPECT_EQ(Averages()->BarColour(1), QColor(0xFF, 0x33, 0x33));
    EXPECT_EQ(Text(MainForm->LTALbl[1]), "N/A");
    EXPECT_EQ(Text(MainForm->DTLbl[1]), "-10");
    // No average traces in the baseline view.
    ScopeForm->SetLTAChecked(1, true);
    Frame();
    EXPECT_TRUE(ScopeForm->Points(5).empty());
    EXPECT_EQ(ScopeForm->Points(1).back().second, -10);

    Core().Settings.DeltaCheck = false;
    MainForm->Delta();
    EXPECT_FALSE(Core().FDeltaOnly);
    EXPECT_EQ(MainForm->BarGraph->yAxis->range(), QCPRange(0, 1500));
    EXPECT_EQ(MainForm->Series2->brush().color(), QColor(0x00, 0x40, 0x80));
    Frame();
    EXPECT_EQ(Text(MainForm->CSLbl[1]), "410");
}

TEST_F(DisplayTest, display_WhileTheBarTimerRunsLabelsChangeWithTheRepaintAndStayAfterStop)
{
    StreamDefault();
    Frame();
    MainForm->StartBarTimer();
    Core().FCurrentChs[1] = 777;
    Frame();
    EXPECT_EQ(Text(MainForm->CSLbl[1]), "410");
    EXPECT_EQ(Counts()->BarValue(1), 777);
    ASSERT_TRUE(WaitUntil([] { return MainForm->CSLbl[1]->text() == "777"; }, 500));
    Core().FCurrentChs[1] = 778;
    Frame();
    MainForm->StopBarTimer();
    EXPECT_EQ(Text(MainForm->CSLbl[1]), "778");
}

TEST_F(DisplayTest, display_WheelReadoutsAndRelativeMarker)
{
    Core().FWheelData1 = 96;
    MainForm->WheelPosition(50);
    EXPECT_EQ(MainForm->JvDialButton1->Position(), 50);
    EXPECT_EQ(MainForm->TrackBar1->Position(), 50);
    EXPECT_EQ(MainForm->SevenSeg1->Value(), 96);
    // The hidden switches keep the dial or the colour bar still.
    Core().WheelCheck = false;
    MainForm->WheelPosition(60);
    EXPECT_EQ(MainForm->JvDialButton1->Position(), 50);
    EXPECT_EQ(MainForm->TrackBar1->Position(), 60);

    MainForm->DrawRelativeStrip();
    const int width = MainForm->FMovImageWidth;
    const int start = MainForm->FCurMovX;
    MainForm->MoveRelativeMarker(0);
    EXPECT_EQ(MainForm->FCurMovX, start);
    MainForm->MoveRelativeMarker(5);
    EXPECT_EQ(MainForm->FCurMovX, start + 5);
    MainForm->MoveRelativeMarker(40000);
    EXPECT_EQ(MainForm->FCurMovX, width - 8);
    const QImage& strip = MainForm->MovImage->Picture();
    EXPECT_EQ(strip.pixelColor(width - 8, strip.height() / 2), QColor(Qt::white));
    EXPECT_EQ(strip.pixelColor(width - 9, strip.height() / 2), QColor(0x00, 0x40, 0x80));
    MainForm->MoveRelativeMarker(-40000);
    EXPECT_EQ(MainForm->FCurMovX, 2);
    EXPECT_EQ(strip.pixelColor(7, strip.height() - 5), QColor(Qt::white));
    EXPECT_EQ(strip.pixelColor(8, strip.height() - 5), QColor(0x00, 0x40, 0x80));
}

TEST_F(DisplayTest, display_AClickOnTheBarGraphReseedsADragDoesNot)
{
    auto send = [](QEvent::Type type, QPoint at) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, MainForm->BarGraph->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(MainForm->BarGraph, &event);
    };
    auto requests = [this] { return Errors().count("Device power is off!"); };
    const QPoint at = MainForm->BarGraph->rect().center();
    const int before = requests();
    send(QEvent::MouseButtonPress, at);
    send(QEvent::MouseButtonRelease, at + QPoint(1, 1));
    EXPECT_EQ(requests(), before + 1); // the Reseed was attempted (the chip is off)

    send(QEvent::MouseButtonPress, at);
    send(QEvent::MouseMove, at + QPoint(0, 30));
    send(QEvent::MouseButtonRelease, at + QPoint(0, 30));
    EXPECT_EQ(requests(), before + 1);

    MainForm->RedoATIBtn->click();
    EXPECT_EQ(requests(), before + 2);
}

} // namespace
