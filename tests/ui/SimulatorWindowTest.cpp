// The "Simulator" window drives the simulated hand, finger, tool and chip.

#include "sim/SimWire.h"
#include "sim/ui/SimulatorWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDial>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

TEST(SimulatorWindow, ControlsReachTheSimulator)
{
    TSimulator sim(ManualOptions());
    SimWire wire(sim);
    ASSERT_EQ(wire.SetUp(), 0);
    ASSERT_EQ(wire.PowerOn(), 0);
    sim.Advance(80);

    TSimulatorWindow window(&sim);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Simulator"));
    EXPECT_EQ(window.ScenarioCombo->currentText(), QStringLiteral("idle"));

    window.TouchButtons[2]->click();
    sim.Advance(10);
    EXPECT_TRUE(sim.ChipStatus().active[2]);
    window.TouchButtons[2]->click();
    sim.Advance(10);
    EXPECT_FALSE(sim.ChipStatus().active[2]);

    window.HandSlider->setValue(100);
    sim.Advance(10);
    EXPECT_TRUE(sim.ChipStatus().active[0]);
    window.HandSlider->setValue(0);

    window.ScenarioCombo->setCurrentText(QStringLiteral("wheel"));
    EXPECT_EQ(sim.Scenario(), QStringLiteral("wheel"));

    window.AddressCombo->setCurrentText(QStringLiteral("none"));
    EXPECT_EQ(sim.ChipAddress(), -1);
    window.AddressCombo->setCurrentText(QStringLiteral("46"));
    EXPECT_EQ(sim.ChipAddress(), 0x46);

    window.PlugButton->click();
    EXPECT_FALSE(sim.ToolPlugged());
    EXPECT_EQ(window.PlugButton->text(), QStringLiteral("Plug the tool in"));
    window.PlugButton->click();
    EXPECT_TRUE(sim.ToolPlugged());
    EXPECT_TRUE(window.ToolLabel->text().startsWith(QStringLiteral("Tool plugged in")));
}
