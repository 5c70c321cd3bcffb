// Every window as a user meets it, at its smallest and at a large size: texts fit their controls and no two
// controls lie over each other.

#include "UiTestSupport.h"
#include "WidgetFit.h"

#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "settings/SettingsPages.h"
#include "settings/ui/EasyShowSendUnit.h"
#include "settings/ui/SendCommandsUnit.h"
#include "settings/ui/SettingsUnit.h"
#include "sim/SimWire.h"
#include "sim/ui/SimulatorWindow.h"

#include <QApplication>

namespace {

const QSize Smallest(0, 0);
const QSize Large(1800, 1100);

// Faults of the window at both sizes, one per line, for a readable failure.
std::string FaultsAtBothSizes(QWidget* window)
{
    QStringList all;
    for (const QSize& size : {Smallest, Large}) {
        const QStringList faults = LayoutFaultsAt(window, size);
        if (!faults.isEmpty())
            all << QStringLiteral("at %1x%2:").arg(window->width()).arg(window->height()) << faults;
    }
    return all.join(QLatin1Char('\n')).toStdString();
}

class LayoutFitTest : public ShellTest {};

TEST_F(LayoutFitTest, MainWindow)
{
    EXPECT_EQ(FaultsAtBothSizes(MainForm), "");
}

TEST_F(LayoutFitTest, SettingsWindowPages)
{
    SettingsForm->SetEngineeringVisible(true);
    SettingsForm->show();
    const int pages[] = {spSetup, spSysFlags,  spProx0,   spProx1,  spProx2,      spProx3,
                         spEvents, spMultComp, spThr,    spTimings, spDataLog,   spEngineering};
    for (int page : pages) {
        SettingsForm->SelectPage(page);
        ASSERT_EQ(SettingsForm->ActivePage(), page);
        EXPECT_EQ(FaultsAtBothSizes(SettingsForm), "") << "page " << page;
    }
    // The notice that the chip re-tuned itself, with its two buttons.
    SettingsForm->ShowATINotice();
    EXPECT_EQ(FaultsAtBothSizes(SettingsForm), "") << "ATI notice";
}

TEST_F(LayoutFitTest, SendCommandsWindows)
{
    SendCommands->show();
    EXPECT_EQ(FaultsAtBothSizes(SendCommands), "");
    EasyShowSendForm->show();
    EXPECT_EQ(FaultsAtBothSizes(EasyShowSendForm), "");
}

} // namespace

// The Simulator window keeps its width while its status lines change, and its texts fit.
TEST(SimulatorWindowLayout, FitsAndKeepsItsWidth)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    TSimulatorWindow window(&sim);
    window.show();
    window.adjustSize();
    QApplication::processEvents();
    const int width = window.width();

    // Streaming, a touch, ATI: the longest status lines the window shows.
    ASSERT_EQ(wire.StartStream(DefaultStreamMap()), 0);
    sim.SetTouch(1, true);
    sim.Advance(20000);
    window.RefreshStatus();
    QApplication::processEvents();
    EXPECT_EQ(window.width(), width);
    EXPECT_EQ(LayoutFaults(&window).join(QLatin1Char('\n')).toStdString(), "");
    EXPECT_EQ(FaultsAtBothSizes(&window), "");
}

TEST(SimulatorWindowLayout, PlacedBesideTheMainWindowOnScreen)
{
    const QSize sim(384, 620);
    const QRect wide(0, 0, 1920, 1170);
    const QRect main(485, 100, 950, 750);
    // Room on the right: the main window stays.
    TSimulatorPlacement p = PlaceBeside(main, sim, wide);
    EXPECT_EQ(p.Main, main.topLeft());
    EXPECT_EQ(p.Simulator, QPoint(main.right() + 1 + 8, 100));

    // A main window centred on a small screen slides left just enough.
    const QRect small(0, 0, 1366, 738);
    const QRect centred(208, 4, 950, 730);
    p = PlaceBeside(centred, sim, small);
    const QRect mainAfter(p.Main, centred.size());
    const QRect simAfter(p.Simulator, sim);
    EXPECT_TRUE(small.contains(mainAfter)) << p.Main.x();
    EXPECT_TRUE(small.contains(simAfter)) << p.Simulator.x() << "," << p.Simulator.y();
    EXPECT_FALSE(mainAfter.intersects(simAfter));
    EXPECT_EQ(p.Main.y(), 4);

    // A main window at the right edge: the Simulator window goes to its left.
    const QRect right(1920 - 950, 0, 950, 700);
    p = PlaceBeside(right, sim, wide);
    EXPECT_EQ(p.Main, right.topLeft());
    EXPECT_EQ(p.Simulator.x(), right.left() - 8 - 384);

    // No room at all: on screen, over the main window's right end.
    const QRect tiny(0, 0, 1024, 700);
    p = PlaceBeside(QRect(0, 0, 1000, 600), sim, tiny);
    EXPECT_TRUE(tiny.contains(QRect(p.Simulator, sim))) << p.Simulator.x() << "," << p.Simulator.y();
}
