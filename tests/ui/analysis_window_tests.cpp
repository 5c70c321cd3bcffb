// The tuning analysis end to end on the simulator: the statistics window, the guided SNR measurement with
// a simulated finger, and threshold lines dragged on the bar graph and the scope.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ThresholdLines.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeUnit.h"
#include "app/ui/SnrDialog.h"
#include "app/ui/StatisticsPanel.h"
#include "app/ui/StatisticsWindow.h"
#include "app/ui/ThresholdOverlay.h"
#include "settings/ui/SettingsUnit.h"
#include "sim/Simulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <qcustomplot.h>

namespace {

class AnalysisTest : public SimulatorFormsTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenForms(5, QStringLiteral("kt610b-analysis")));
        ASSERT_NO_FATAL_FAILURE(Start());
        Stream(300); // ATI settles and the averages follow
    }
    static void Mouse(QWidget* w, QEvent::Type type, const QPoint& pos)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
};

TEST_F(AnalysisTest, StatisticsWindowAndGuidedSnrWithAFinger)
{
    MainForm->StatisticsBtn->click();
    TStatisticsWindow* window = MainForm->StatisticsWindow;
    ASSERT_TRUE(window && window->isVisible());
    // The window fills up frame by frame after the chip's tuning.
    Stream(Core().Statistics.Window());
    window->Panel->Refresh();
    EXPECT_EQ(window->Panel->Text(TStatisticsPanel::stFrames, 1), QString::number(Core().Statistics.Window()));
    EXPECT_NE(window->Panel->Text(TStatisticsPanel::stNoisePP, 1), "N/A");
    EXPECT_NE(window->Panel->Text(TStatisticsPanel::stDrift, 2), "N/A");
    // A new window length reaches the core and starts the windows afresh.
    window->Panel->WindowSpin->setValue(64);
    EXPECT_EQ(Core().Statistics.Window(), 64);

    MainForm->SnrAction->trigger();
    TSnrDialog* snr = window->SnrDialog();
    ASSERT_TRUE(snr && snr->isVisible());
    snr->ChannelCombo->setCurrentIndex(2);
    snr->FramesSpin->setValue(64);
    snr->StartButton->click();
    EXPECT_TRUE(snr->StepLabel->text().contains("released")) << snr->StepLabel->text().toStdString();
    Stream(70);
    snr->Follow();
    ASSERT_EQ(Core().Snr.Step(), TSnrStep::WaitTouch);
    EXPECT_TRUE(snr->StepLabel->text().contains("touch CH2")) << snr->StepLabel->text().toStdString();
    EXPECT_TRUE(snr->TouchButton->isEnabled());

    // The Simulator window's finger: the touch step starts by itself and completes.
    FSim->SetTouch(2, true);
    Stream(TSnrMeasurement::SettleFrames + 80);
    snr->Follow();
    ASSERT_EQ(Core().Snr.Step(), TSnrStep::Done) << snr->StepLabel->text().toStdString();
    EXPECT_TRUE(snr->VerdictLabel->text().startsWith("PASS")) << snr->SnrLabel->text().toStdString();
    EXPECT_GT(snr->SnrLabel->text().toDouble(), 5.0);
    EXPECT_FALSE(snr->AdviceLabel->text().isEmpty());
    // An editable minimum: the same measurement judged again.
    snr->MinimumSpin->setValue(snr->SnrLabel->text().toDouble() + 10);
    EXPECT_TRUE(snr->VerdictLabel->text().startsWith("FAIL"));
    FSim->SetTouch(2, false);
}

TEST_F(AnalysisTest, DraggingThresholdLinesChangesTheRecordAndMarksThePage)
{
    SettingsForm->AskYesNo = [](const QString&) { return true; };
    TThresholdLines lines(Core());
    const double level = *lines.Level(0, false);
    QCustomPlot* bars = MainForm->BarGraph;
    // A narrow value axis, so that a pixel is a fraction of a count.
    bars->yAxis->setRange(level - 40, level + 40);
    bars->replot();
    const auto pixel = [bars](double x, double y) {
        return QPoint(int(bars->xAxis->coordToPixel(x)), int(std::lround(bars->yAxis->coordToPixel(y))));
    };
    const uint8_t chipProx = uint8_t(FSim->ChipRegister(0x0A).at(0));

    // Prox threshold 4 -> 20: the line moves 16 counts away from the average.
    const double moved = Core().FProjected ? level + 16 : level - 16;
    Mouse(bars, QEvent::MouseButtonPress, pixel(0, level));
    ASSERT_TRUE(MainForm->BarThresholds->Dragging());
    Mouse(bars, QEvent::MouseMove, pixel(0, moved));
    Mouse(bars, QEvent::MouseButtonRelease, pixel(0, moved));
    EXPECT_FALSE(MainForm->BarThresholds->Dragging());
    EXPECT_NEAR(Core().Settings.ProxSpin, 20, 1);
    // The settings window tracks it on its Thresholds page: Undo and Apply are enabled, the spin shows it.
    EXPECT_EQ(SettingsForm->ActivePage(), int(spThr));
    EXPECT_TRUE(SettingsForm->ApplyButton->isEnabled());
    EXPECT_EQ(SettingsForm->findChild<QSpinBox*>(QStringLiteral("ProxSpin"))->value(), Core().Settings.ProxSpin);
    // Nothing was written to the chip by the drag; Apply writes it.
    EXPECT_EQ(uint8_t(FSim->ChipRegister(0x0A).at(0)), chipProx);
    SettingsForm->ApplyButtonClick();
    EXPECT_EQ(uint8_t(FSim->ChipRegister(0x0A).at(0)), Core().Settings.ProxSpin);
    EXPECT_FALSE(SettingsForm->ApplyButton->isEnabled());

    // The scope carries a line for each shown count trace; dragging CH1's moves its touch threshold.
    auto* scopeLines = ScopeForm->ScopeGraph->findChild<TThresholdOverlay*>();
    ASSERT_TRUE(scopeLines);
    ScopeForm->show();
    Stream(20);
    const double touch = *lines.Level(1, false);
    ScopeForm->ScopeGraph->yAxis->setRange(touch - 100, touch + 100);
    ScopeForm->ScopeGraph->replot();
    QCustomPlot* scope = ScopeForm->ScopeGraph;
    const double x = scope->xAxis->range().center();
    const QPoint at(int(scope->xAxis->coordToPixel(x)), int(std::lround(scope->yAxis->coordToPixel(touch))));
    const int before = Core().Settings.Touch1Spin;
    ASSERT_TRUE(scopeLines->PressAt(at));
    const double further = Core().FProjected ? touch + 60 : touch - 60;
    scopeLines->MoveTo(QPoint(at.x(), int(std::lround(scope->yAxis->coordToPixel(further)))));
    scopeLines->Release();
    EXPECT_GT(Core().Settings.Touch1Spin, before);
    EXPECT_TRUE(SettingsForm->ApplyButton->isEnabled());
}

} // namespace
