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
#include <algorithm>

namespace {
constexpr int WheelSteps = 192;
constexpr int WindowGap = 8;
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
    // The status lines wrap inside the width the controls give the window; they never widen it.
    ToolLabel = new QLabel(hardwareBox);
    ToolLabel->setWordWrap(true);
    ToolLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ToolLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ToolLabel->setMinimumHeight(2 * ToolLabel->fontMetrics().lineSpacing());
    ChipLabel = new QLabel(hardwareBox);
    ChipLabel->setTextFormat(Qt::PlainText);
    ChipLabel->setWordWrap(true);
    ChipLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ChipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ChipLabel->setMinimumHeight(2 * ChipLabel->fontMetrics().lineSpacing());
    hardwareLayout->addWidget(PlugButton, 0, 0);
    hardwareLayout->addWidget(new QLabel(QStringLiteral("Chip address:"), hardwareBox), 0, 1);
    hardwareLayout->addWidget(AddressCombo, 0, 2);
    hardwareLayout->addWidget(ToolLabel, 1, 0, 1, 3);
    hardwareLayout->addWidget(ChipLabel, 2, 0, 1, 3);
    // Count, average and state of each channel in columns of their own, wide enough for any value, so the
    // window keeps its size while the values change.
    auto* channelGrid = new QGridLayout;
    channelGrid->setHorizontalSpacing(12);
    const QString widest = QStringLiteral("4095");
    const int valueWidth = hardwareBox->fontMetrics().horizontalAdvance(widest) + 4;
    channelGrid->addWidget(new QLabel(QStringLiteral("Count"), hardwareBox), 0, 1);
    channelGrid->addWidget(new QLabel(QStringLiteral("LTA"), hardwareBox), 0, 2);
    for (int ch = 0; ch < 4; ++ch) {
        channelGrid->addWidget(new QLabel(QStringLiteral("CH%1").arg(ch), hardwareBox), ch + 1, 0);
        CountLabels[ch] = new QLabel(hardwareBox);
        LtaLabels[ch] = new QLabel(hardwareBox);
        StateLabels[ch] = new QLabel(hardwareBox);
        for (QLabel* value : {CountLabels[ch], LtaLabels[ch]}) {
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            value->setMinimumWidth(std::max(valueWidth, value->minimumSizeHint().width()));
        }
        StateLabels[ch]->setMinimumWidth(hardwareBox->fontMetrics().horizontalAdvance(QStringLiteral("touch")) + 4);
        channelGrid->addWidget(CountLabels[ch], ch + 1, 1);
        channelGrid->addWidget(LtaLabels[ch], ch + 1, 2);
        channelGrid->addWidget(StateLabels[ch], ch + 1, 3);
    }
    channelGrid->setColumnStretch(4, 1);
    hardwareLayout->addLayout(channelGrid, 3, 0, 1, 3);
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
    c << (chip.powered ? QStringLiteral("Chip powered") : QStringLiteral("Chip unpowered"));
    if (chip.powered) {
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
    }
    ChipLabel->setText(c.join(QStringLiteral(", ")));
    for (int ch = 0; ch < 4; ++ch) {
        const size_t i = size_t(ch);
        CountLabels[ch]->setText(chip.powered ? QString::number(chip.counts[i]) : QString());
        LtaLabels[ch]->setText(chip.powered ? QString::number(chip.lta[i]) : QString());
        StateLabels[ch]->setText(!chip.powered || !chip.active[i] ? QString()
                                 : ch == 0                       ? QStringLiteral("prox")
                                                                 : QStringLiteral("touch"));
    }
}

QWidget* CreateSimulatorWindow(TSimulator* simulator, QWidget* parent)
{
    return new TSimulatorWindow(simulator, parent);
}

TSimulatorPlacement PlaceBeside(const QRect& mainFrame, const QSize& simulatorFrame, const QRect& area)
{
    QRect main = mainFrame;
    const int width = simulatorFrame.width();
    const auto fitsRight = [&] { return main.right() + WindowGap + width <= area.right(); };
    const auto fitsLeft = [&] { return main.left() - WindowGap - width >= area.left(); };
    const int needed = main.width() + WindowGap + width;
    if (!fitsRight() && !fitsLeft() && needed <= area.width())
        main.moveLeft(std::max(area.left(), area.right() + 1 - needed)); // just far enough left
    int x = area.right() + 1 - width;
    if (fitsRight())
        x = main.right() + 1 + WindowGap;
    else if (fitsLeft())
        x = main.left() - WindowGap - width;
    const int lowest = std::max(area.top(), area.bottom() + 1 - simulatorFrame.height());
    return {QPoint(std::max(x, area.left()), std::clamp(main.top(), area.top(), lowest)), main.topLeft()};
}
