// The scope's deep history in the window: freeze, history view, cursors and the event lanes.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeCursorLines.h"
#include "app/ui/ScopeHistoryBar.h"
#include "app/ui/ScopeTimeline.h"
#include "app/ui/ScopeUnit.h"
#include "settings/ui/FormGeometry.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cmath>
#include <qcustomplot.h>

namespace {

class ScopeHistoryTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        FormGeometry::SetPreferencesFile(Dir.filePath(QStringLiteral("KorvaneKT610B.ini")));
        ScopeForm->show();
        ScopeForm->FormActivate();
        Pump(30);
        MainForm->Core().FIsStreaming = true;
    }
    void TearDown() override
    {
        MainForm->Core().FIsStreaming = false;
        ShellTest::TearDown();
        FormGeometry::SetPreferencesFile(QString());
    }
    // Frames as the main window feeds them, refreshed every 10 frames; a spike of 3000 at every 1000th.
    static void Feed(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            const int32_t x = ScopeForm->FXPos;
            ScopeForm->CountChartPoint();
            ScopeForm->AddXY(1, x, x % 1000 == 500 ? 3000 : 500 + x % 7);
            ScopeForm->AdvanceX();
            if (ScopeForm->FXPos % 10 == 0)
                ScopeForm->UpdateTimerTimer();
        }
    }
    static QCPRange XRange() { return ScopeForm->ScopeGraph->xAxis->range(); }
    static double MaxShown(int trace)
    {
        double hi = -1e9;
        for (auto it = ScopeForm->Series[size_t(trace)]->data()->constBegin();
             it != ScopeForm->Series[size_t(trace)]->data()->constEnd(); ++it)
            hi = std::max(hi, it->value);
        return hi;
    }
    QTemporaryDir Dir;
};

} // namespace

TEST_F(ScopeHistoryTest, FreezeHoldsTheViewWhileFramesGoOnAndUnfreezeReturnsToLive)
{
    TScopeHistoryBar* bar = ScopeForm->HistoryBar;
    Feed(2000);
    EXPECT_EQ(XRange(), QCPRange(1400, 2000));
    bar->FreezeButton->click();
    ASSERT_TRUE(bar->Frozen());
    const QCPRange held = XRange();
    const int shown = ScopeForm->Series[1]->dataCount();
    Feed(3000);
    // The view and its points stay; the feed goes on into the history and the scope's own store.
    EXPECT_EQ(XRange(), held);
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), shown);
    EXPECT_EQ(ScopeForm->FXPos, 5000);
    EXPECT_EQ(bar->History().LastX(), 4999);
    EXPECT_TRUE(bar->StatusLabel->text().startsWith(QStringLiteral("Frozen")));
    // Zoom works while frozen even though the session streams.
    ScopeForm->ZoomTo(QRect(QPoint(100, 50), QPoint(300, 200)));
    EXPECT_TRUE(ScopeForm->FZoomed);
    EXPECT_LT(XRange().size(), held.size());

    bar->FreezeButton->click();
    EXPECT_FALSE(bar->Frozen());
    EXPECT_FALSE(ScopeForm->FZoomed);
    EXPECT_EQ(XRange(), QCPRange(4400, 5000));
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), TScopeForm::FMaxNrChartPoints);
}

TEST_F(ScopeHistoryTest, ZoomedOutOverTheHistoryEverySpikeStaysAndTheScrollBarWalksBack)
{
    TScopeHistoryBar* bar = ScopeForm->HistoryBar;
    Feed(20000); // four times what the chart itself keeps
    // Out with the mouse wheel: frozen, and no wider than the history.
    for (int i = 0; i < 20; ++i)
        bar->ZoomTime(1.25, XRange().center());
    EXPECT_TRUE(bar->Frozen());
    EXPECT_EQ(XRange().size(), 20000);
    // The whole history: about two points per pixel column, every spike among them.
    ScopeForm->ScopeGraph->xAxis->setRange(0, 19999);
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 2 * ScopeForm->ScopeGraph->axisRect()->width());
    int spikes = 0;
    for (auto it = ScopeForm->Series[1]->data()->constBegin(); it != ScopeForm->Series[1]->data()->constEnd(); ++it)
        spikes += it->value == 3000;
    EXPECT_EQ(spikes, 20);

    // Back to the start with the scroll bar, a window of 600 samples long before the chart's own points.
    bar->ZoomTime(0.03, 10000);
    EXPECT_NEAR(XRange().lower, 9700, 1);
    EXPECT_NEAR(XRange().size(), 600, 1);
    bar->HistoryScroll->setValue(bar->HistoryScroll->minimum());
    EXPECT_EQ(XRange().lower, 0);
    EXPECT_EQ(MaxShown(1), 3000); // the spike at 500
    EXPECT_EQ(ScopeForm->Series[1]->data()->constBegin()->key, 0);
}

TEST_F(ScopeHistoryTest, CursorsReadTheDeltasAndDragOnWholeSamples)
{
    TScopeHistoryBar* bar = ScopeForm->HistoryBar;
    Feed(1000);
    bar->FreezeButton->click();
    bar->CursorsButton->click();
    ASSERT_TRUE(bar->Cursors->Shown());
    EXPECT_EQ(bar->Cursors->X(0), 600);
    EXPECT_EQ(bar->Cursors->X(1), 800);
    EXPECT_TRUE(bar->CursorLabel->text().startsWith(QStringLiteral("\u0394Samples 200   \u0394Time ")));
    // Values 500 + x % 7: from 600 (5) to 800 (2).
    EXPECT_TRUE(bar->CursorLabel->text().endsWith(QStringLiteral("\u0394CS1 -3"))) << bar->CursorLabel->text().toStdString();

    // Drag cursor 2 onto sample 500 (the spike): the zoom rectangle does not start.
    QCustomPlot* chart = ScopeForm->ScopeGraph;
    ScopeForm->ScopeGraph->replot();
    const double y = chart->axisRect()->center().y();
    auto mouse = [chart](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, chart->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(chart, &event);
    };
    const QPointF from(chart->xAxis->coordToPixel(800), y), to(chart->xAxis->coordToPixel(500.2), y);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar->Cursors->X(1), 500);
    EXPECT_FALSE(ScopeForm->FZoomed);
    EXPECT_TRUE(bar->CursorLabel->text().contains(QStringLiteral("\u0394Samples -100")));
    EXPECT_TRUE(bar->CursorLabel->text().endsWith(QStringLiteral("\u0394CS1 2495")));
}
