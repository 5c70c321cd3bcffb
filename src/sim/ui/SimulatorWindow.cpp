#include "sim/ui/SimulatorWindow.h"

#include "sim/Simulator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDial>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int WheelSteps = 192;
constexpr int StatusIntervalMs = 250;
} // namespace

TSimulatorWindow::TSimulatorWindow(TSimulator* simulator, QWidget* parent)
    : QWidget(parent, Qt::Window), FSimulator(simulator)
{
    setWindowTitle(QStringLiteral("Simulator"));
    auto* layout = new QVBoxLayout(this);

    auto* scenarioBox = new QGroupBox(QStringLiteral("Scenario"), this);
    auto* scenarioLayout = new QHBoxLayout(scenarioBox);
    ScenarioCombo = new QComboBox(scenarioBox);
    ScenarioCombo->addItems(TSimulator::Scenarios());
    ScenarioCombo->setCurrentText(FSimulator->Scenario());
    ScenarioCombo->setToolTip(QStringLiteral("demo: a hand, touches, a slide, a tap and flicks every 20 s; "
                                             "idle: only what you do here; wheel: a finger circling the wheel"));
    scenarioLayout->addWidget(ScenarioCombo);
    layout->addWidget(scenarioBox);
    connect(ScenarioCombo, &QComboBox::currentTextChanged, this,
            [this](const QString& name) { FSimulator->SetScenario(name); });

    auto* handBox = new QGroupBox(QStringLiteral("Hand near CH0"), this);
    auto* handLayout = new QHBoxLayout(handBox);
    handLayout->addWidget(new QLabel(QStringLiteral("far"), handBox));
    HandSlider = new QSlider(Qt::Horizontal, handBox);
    HandSlider->setRange(0, 100);
    handLayout->addWidget(HandSlider);
    handLayout->addWidget(new QLabel(QStringLiteral("near"), handBox));
    layout->addWidget(handBox);
    connect(HandSlider, &QSlider::valueChanged, this, [this](int v) { FSimulator->SetHand(v / 100.0); });

    auto* touchBox = new QGroupBox(QStringLiteral("Finger on a channel"), this);
    auto* touchLayout = new QHBoxLayout(touchBox);
    for (int c = 0; c < 4; ++c) {
        TouchButtons[c] = new QPushButton(QStringLiteral("CH%1").arg(c), touchBox);
        TouchButtons[c]->setCheckable(true);
        touchLayout->addWidget(TouchButtons[c]);
        connect(TouchButtons[c], &QPushButton::toggled, this, [this, c](bool on) { FSimulator->SetTouch(c, on); });
    }
    layout->addWidget(touchBox);

    auto* wheelBox = new QGroupBox(QStringLiteral("Wheel / Slider"), this);
    auto* wheelLayout = new QGridLayout(wheelBox);
    WheelDial = new QDial(wheelBox);
    WheelDial->setRange(0, WheelSteps - 1);
    WheelDial->setWrapping(true);
    WheelDial->setNotchesVisible(true);
    WheelDial->setToolTip(QStringLiteral("Where the finger is along the wheel or slider"));
    WheelCheck = new QCheckBox(QStringLiteral("Finger on the wheel"), wheelBox);
    TapButton = new QPushButton(QStringLiteral("Tap"), wheelBox);
    FlickLeftButton = new QPushButton(QStringLiteral("Flick left"), wheelBox);
    FlickRightButton = new QPushButton(QStringLiteral("Flick right"), wheelBox);
    wheelLayout->addWidget(WheelDial, 0, 0, 4, 1);
    wheelLayout->addWidget(WheelCheck, 0, 1);
    wheelLayout->addWidget(TapButton, 1, 1);
    wheelLayout->addWidget(FlickLeftButton, 2, 1);
    wheelLayout->addWidget(FlickRightButton, 3, 1);
    layout->addWidget(wheelBox);
    connect(WheelDial, &QDial::valueChanged, this, [this] { UpdateWheel(); });
    connect(WheelCheck, &QCheckBox::toggled, this, [this] { UpdateWheel(); });
    connect(TapButton, &QPushButton::clicked, this, [this] { FSimulator->StartGesture(SimGesture::Tap); });
    connect(FlickLeftButton, &QPushButton::clicked, this,
            [this] { FSimulator->StartGesture(SimGesture::FlickLeft); });
    connect(FlickRightButton, &QPushButton::clicked, this,
            [this] { FSimulator->StartGesture(SimGesture::FlickRight); });

    auto* hardwareBox = new QGroupBox(QStringLiteral("Tool and chip"), this);
    auto* hardwareLayout = new QGridLayout(hardwareBox);
    PlugButton = new QPushButton(hardwareBox);
    AddressCombo = new QComboBox(hardwareBox);
    AddressCombo->addItems({QStringLiteral("44"), QStringLiteral("45"), QStringLiteral("46"), QStringLiteral("47"),
                            QStringLiteral("none")});
    const int address = FSimulator->ChipAddress();
    AddressCombo->setCurrentText(address < 0 ? QStringLiteral("none")
                                             : QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper());
    ToolLabel = new QLabel(hardwareBox);
    ChipLabel = new QLabel(hardwareBox);
    ChipLabel->setTextFormat(Qt::PlainText);
    hardwareLayout->addWidget(PlugButton, 0, 0);
    hardwareLayout->addWidget(new QLabel(QStringLiteral("Chip address:"), hardwareBox), 0, 1);
    hardwareLayout->addWidget(AddressCombo, 0, 2);
    hardwareLayout->addWidget(ToolLabel, 1, 0, 1, 3);
    hardwareLayout->addWidget(ChipLabel, 2, 0, 1, 3);
    layout->addWidget(hardwareBox);
    connect(PlugButton, &QPushButton::clicked, this, [this] {
        if (FSimulator->ToolPlugged())
            FSimulator->UnplugTool();
        else
            FSimulator->PlugTool();
        RefreshStatus();
    });
    connect(AddressCombo, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok, 16);
        FSimulator->SetChipAddress(ok ? value : -1);
    });

    FStatusTimer = new QTimer(this);
    FStatusTimer->setInterval(StatusIntervalMs);
    connect(FStatusTimer, &QTimer::timeout, this, [this] { RefreshStatus(); });
    FStatusTimer->start();
    RefreshStatus();
}

void TSimulatorWindow::UpdateWheel()
{
    FSimulator->SetWheelFinger(WheelCheck->isChecked(), double(WheelDial->value()) / WheelSteps);
}

void TSimulatorWindow::RefreshStatus()
{
    const bool plugged = FSimulator->ToolPlugged();
    PlugButton->setText(plugged ? QStringLiteral("Pull the tool out") : QStringLiteral("Plug the tool in"));

    const SimToolStatus tool = FSimulator->ToolStatus();
    QStringList t;
    t << (plugged ? QStringLiteral("Tool plugged in") : QStringLiteral("Tool pulled out"));
    if (plugged) {
        t << (tool.chipSupplied ? QStringLiteral("chip powered") : QStringLiteral("chip off"));
        if (tool.streaming)
            t << QStringLiteral("streaming %1 bytes, %2 frames sent").arg(tool.streamLength).arg(tool.framesSent);
        if (tool.eventMode)
            t << QStringLiteral("event mode");
        t << QStringLiteral("ID %1").arg(tool.toolId);
    }
    ToolLabel->setText(t.join(QStringLiteral(", ")));

    const SimChipStatus chip = FSimulator->ChipStatus();
    QStringList c;
    if (!chip.powered) {
        c << QStringLiteral("Chip unpowered");
    } else {
        if (chip.offMode)
            c << QStringLiteral("off mode");
        if (chip.haltCharge)
            c << QStringLiteral("halt charge");
        if (chip.atiBusy)
            c << QStringLiteral("ATI busy");
        if (chip.atiError)
            c << QStringLiteral("ATI error");
        if (chip.lowPower)
            c << QStringLiteral("low power");
        QStringList counts;
        for (int ch = 0; ch < 4; ++ch)
            counts << QStringLiteral("CH%1 %2/%3%4")
                          .arg(ch)
                          .arg(chip.counts[size_t(ch)])
                          .arg(chip.lta[size_t(ch)])
                          .arg(chip.active[size_t(ch)] ? (ch == 0 ? QStringLiteral(" prox") : QStringLiteral(" touch"))
                                                       : QString());
        c << QStringLiteral("count/LTA: ") + counts.join(QStringLiteral("  "));
    }
    ChipLabel->setText(c.join(QStringLiteral(", ")));
}

QWidget* CreateSimulatorWindow(TSimulator* simulator, QWidget* parent)
{
    return new TSimulatorWindow(simulator, parent);
}
