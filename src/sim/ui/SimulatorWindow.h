#pragma once
// The "Simulator" window: a hand and a finger to move by mouse, the scenario, the tool's plug and the chip's
// address, and what the simulated tool and chip are doing.

#include <QWidget>

class TSimulator;
class QCheckBox;
class QComboBox;
class QDial;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

class TSimulatorWindow : public QWidget {
public:
    explicit TSimulatorWindow(TSimulator* simulator, QWidget* parent = nullptr);

    // Controls, named for tests and hints.
    QComboBox* ScenarioCombo = nullptr;
    QSlider* HandSlider = nullptr;
    QPushButton* TouchButtons[4] = {};
    QDial* WheelDial = nullptr;
    QCheckBox* WheelCheck = nullptr;
    QPushButton* TapButton = nullptr;
    QPushButton* FlickLeftButton = nullptr;
    QPushButton* FlickRightButton = nullptr;
    QPushButton* PlugButton = nullptr;
    QComboBox* AddressCombo = nullptr;
    QLabel* ToolLabel = nullptr;
    QLabel* ChipLabel = nullptr;

    void RefreshStatus();

private:
    void UpdateWheel();

    TSimulator* FSimulator;
    QTimer* FStatusTimer = nullptr;
};

// The window for the program's --simulate mode; the caller shows it.
QWidget* CreateSimulatorWindow(TSimulator* simulator, QWidget* parent = nullptr);
