// The live display end to end: the main window streams from the simulator (manual clock) and shows what
// the simulated finger does.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/ColourBars.h"
#include "app/ui/DialButton.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeUnit.h"
#include "app/ui/SevenSegment.h"
#include "persist/SettingsFile.h"
#include "settings/RegisterOperations.h"
#include "sim/Simulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <array>
#include <qcustomplot.h>

namespace {

class DisplaySimulatorTest : public SimulatorFormsTest {
protected:
    void SetUp() override { OpenForms(11, QStringLiteral("kt610b-display")); }
    TColourBars* Counts() { return static_cast<TColourBars*>(MainForm->Series1); }
};

TEST_F(DisplaySimulatorTest, display_StreamingShowsValuesIndicatorsAndTheWheel)
{
    Start();
    Stream(200); // ATI settles and the averages follow
    ASSERT_EQ(Counts()->BarCount(), 4);
    EXPECT_GT(Counts()->BarValue(1), 0);
    bool ok = false;
    EXPECT_EQ(MainForm->CSLbl[1]->text().toInt(&ok), Core().FCurrentChs[1]);
    EXPECT_TRUE(ok);
    EXPECT_EQ(MainForm->LTALbl[2]->text().toInt(), Core().FLTAChs[2]);
    EXPECT_EQ(MainForm->CHPTShape[1]->pixmap().cacheKey(), MainForm->NonePNG.cacheKey());

    FSim->SetTouch(1, true);
    Stream(30);
    EXPECT_EQ(MainForm->CHPTShape[1]->pixmap().cacheKey(), MainForm->TouchPNG.cacheKey());
    EXPECT_EQ(Counts()->BarColour(1), QColor(0xFF, 0x33, 0x33));
    FSim->SetTouch(1, false);
    Stream(30);
    EXPECT_EQ(MainForm->CHPTShape[1]->pixmap().cacheKey(), MainForm->NonePNG.cacheKey());

    // Unchecking a channel box reaches the chip and the labels.
    MainForm->FCHChecks[3]->click();
    EXPECT_FALSE(Core().CHCheck[3]);
    Stream(10);
    EXPECT_EQ(MainForm->CSLbl[3]->text(), "N/A");
    EXPECT_EQ(FSim->ChipRegister(0x0D).at(0) & 0x0F, 0x07);
    MainForm->AllCHsCheck->click(); // clears all four
    EXPECT_FALSE(MainForm->FCHChecks[0]->isChecked());
    MainForm->AllCHsCheck->click(); // checks all four again, and starts an ATI
    EXPECT_TRUE(MainForm->FCHChecks[3]->isChecked());
    EXPECT_EQ(FSim->ChipRegister(0x0D).at(0) & 0x0F, 0x0F);
    Stream(300);

    // The wheel mode: the dial and the display follow the finger.
    Core().Settings.SliderRadio = 2;
    ASSERT_TRUE(Core().RegOps->ProxSettings1Cmd());
    FSim->SetWheelFinger(true, 0.25);
    Stream(60);
    EXPECT_NEAR(MainForm->JvDialButton1->Position(), 25, 4);
    EXPECT_EQ(MainForm->SevenSeg1->Value(), Core().FWheelData1);
    const int marker = MainForm->FCurMovX;
    FSim->SetWheelFinger(true, 0.5);
    Stream(60);
    EXPECT_NEAR(MainForm->JvDialButton1->Position(), 50, 4);
    EXPECT_GT(MainForm->FCurMovX, marker);
}

// On pause and on stop the bars last painted, the value labels and the indicators all show the last frame,
// also when frames were decoded after the last repaint.
TEST_F(DisplaySimulatorTest, display_PauseAndStopLeaveOneFrameOnScreen)
{
    struct TPainted {
        std::array<double, 4> Value{};
        std::array<QColor, 4> Colour{};
    } painted;
    QObject::connect(MainForm->BarGraph, &QCustomPlot::afterReplot, [&] {
        for (int c = 0; c < Counts()->BarCount() && c < 4; ++c) {
            painted.Value[size_t(c)] = Counts()->BarValue(c);
            painted.Colour[size_t(c)] = Counts()->BarColour(c);
        }
    });
    const auto expectOneFrame = [&](const char* when) {
        SCOPED_TRACE(when);
        for (int c = 0; c < 4; ++c) {
            SCOPED_TRACE(c);
            EXPECT_EQ(MainForm->CSLbl[c]->text(), QString::number(Core().FCurrentChs[c]));
            EXPECT_EQ(painted.Value[size_t(c)], Core().FCurrentChs[c]);
            const bool touch = MainForm->CHPTShape[c]->pixmap().cacheKey() == MainForm->TouchPNG.cacheKey();
            EXPECT_EQ(touch, Core().FTouchBools[c]);
            EXPECT_EQ(painted.Colour[size_t(c)] == QColor(0xFF, 0x33, 0x33), touch);
        }
    };

    // Frames decoded since the last repaint: the repaint timer is held off while the finger lifts.
    const auto framesSinceRepaint = [&](bool touch) {
        MainForm->BarTimer->start(60000);
        FSim->SetTouch(1, touch);
        Stream(8);
        EXPECT_NE(painted.Value[1], Core().FCurrentChs[1]) << "no frame arrived after the repaint";
    };

    Start();
    Stream(200);
    FSim->SetTouch(1, true);
    Stream(30);
    ASSERT_TRUE(Core().FTouchBools[1]);
    framesSinceRepaint(false);
    MainForm->PauseButton->click();
    ASSERT_TRUE(Core().FIsPaused);
    Pump(40);
    expectOneFrame("paused");

    MainForm->BarTimer->setInterval(10);
    MainForm->PauseButton->click(); // resume
    ASSERT_TRUE(Core().FIsStreaming);
    Stream(20);
    framesSinceRepaint(true);
    MainForm->StartButton->click(); // stop
    ASSERT_FALSE(Core().FIsStreaming);
    Pump(40);
    expectOneFrame("stopped");
}

// A demo set-up loaded at start switches the baseline view off: the scope's axis must then frame the counts
// the chip settles on with that set-up, not those of the frame that carried the load.
TEST_F(DisplaySimulatorTest, display_ScopeFramesTheCountsOfASetupLoadedAtStart)
{
    MainForm->SettingsFile->DemoFolder = QStringLiteral(KT610B_SOURCE_DIR "/resources/demo");
    Start(QStringLiteral("WheelButton"));
    // The load, the tuning it starts, and settled counts.
    for (int i = 0; i < 40; ++i)
        Stream(10);
    ASSERT_TRUE(WaitUntil([this] {
        Stream(10);
        return Core().FIsStreaming;
    }));
    ASSERT_FALSE(Core().FDeltaOnly);
    const QCPRange range = ScopeForm->ScopeGraph->yAxis->range();
    for (int c = 0; c < 4; ++c) {
        if (!Core().CHCheck[c])
            continue;
        SCOPED_TRACE(c);
        EXPECT_TRUE(range.contains(Core().FCurrentChs[c])) << range.lower << ".." << range.upper << " count "
                                                           << Core().FCurrentChs[c];
        EXPECT_TRUE(range.contains(Core().FLTAChs[c])) << "average " << Core().FLTAChs[c];
    }
    EXPECT_EQ(ScopeForm->MinEdit->text(), QString::number(qRound64(range.lower)));
    EXPECT_EQ(ScopeForm->MaxEdit->text(), QString::number(qRound64(range.upper)));

    // Once settled, the view stays where the engineer puts it.
    ScopeForm->MaxEdit->setText(QStringLiteral("5000"));
    ScopeForm->SetMaxButton->click();
    Stream(50);
    EXPECT_EQ(ScopeForm->ScopeGraph->yAxis->range().upper, 5000);
}

} // namespace
