#pragma once
// The "Simulator" window: a hand and a finger to move by mouse, the scenario, the tool's plug and the chip's
// address, and what the simulated tool and chip are doing.

#include <QPoint>
#include <QRect>
#include <QSize>
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
    QLabel* CountLabels[4] = {};
    QLabel* LtaLabels[4] = {};
    QLabel* StateLabels[4] = {};

    void RefreshStatus();

private:
    void UpdateWheel();

    TSimulator* FSimulator;
    QTimer* FStatusTimer = nullptr;
};

// Where the Simulator window and the main window go, as top-left corners of their frames: the Simulator
// window beside the main window (right, else left), both inside the work area. When neither side has room,
// the main window moves aside to make it; only a work area narrower than both puts the Simulator window over
// the right end of the main window.
struct TSimulatorPlacement {
    QPoint Simulator;
    QPoint Main;
};
TSimulatorPlacement PlaceBeside(const QRect& mainFrame, const QSize& simulatorFrame, const QRect& area);

// The window for the program's --simulate mode; the caller shows it.
QWidget* CreateSimulatorWindow(TSimulator* simulator, QWidget* parent = nullptr);
