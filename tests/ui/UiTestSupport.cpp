#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "sim/Simulator.h"
#include "toollink/ToolFilter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

namespace {
HidDeviceInfo ToolInfo(const QString& name, const QString& serial)
{
    HidDeviceInfo info;
    info.vendorId = ToolFilter::ToolVendorID;
    info.productId = ToolFilter::KC60;
    info.productName = name;
    info.serialNumber = serial;
    info.inputReportLength = 65;
    info.outputReportLength = 65;
    return info;
}
} // namespace

SilentTool::SilentTool(const QString& name, const QString& serial) : VirtualHidDevice(ToolInfo(name, serial)) {}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void Pump(int ms)
{
    WaitUntil([] { return false; }, ms);
}

void ShellTest::SetUp()
{
    QStandardPaths::setTestModeEnabled(true);
    static int run = 0;
    FCopyDataName = QStringLiteral("kt610b-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++run);
    FBackend = std::make_shared<VirtualHidBackend>();
    CreateForms(FBackend, FCopyDataName);
    // The tool setup window asks every plugged tool for its firmware; these tools never answer.
    MainForm->Core().KorvaneHidTool1->ReadWaitMs = 100;
    // The start-up tips are modal without blocking the caller: they would take the activation that window
    // tests ask for. Tests of the tips window clear this themselves.
    MainForm->FShownTips = true;
    MainForm->show();
    Pump(50); // the start-up scan
}

void ShellTest::TearDown()
{
    DestroyForms();
    FBackend.reset();
}

int ShellTest::ToolCount() const
{
    return MainForm->Core().KorvaneDevList1->HidDevices().Count;
}

std::shared_ptr<SilentTool> ShellTest::PlugTool(const QString& name, const QString& serial)
{
    auto tool = std::make_shared<SilentTool>(name, serial);
    const int before = ToolCount();
    FBackend->Plug(tool);
    EXPECT_TRUE(WaitUntil([&] { return ToolCount() == before + 1; }));
    Pump(20);
    return tool;
}

void ShellTest::UnplugTool(const std::shared_ptr<SilentTool>& tool)
{
    const int before = ToolCount();
    FBackend->Unplug(tool.get());
    EXPECT_TRUE(WaitUntil([&] { return ToolCount() == before - 1; }));
    Pump(20);
}

void SimulatorFormsTest::OpenForms(int seed, const QString& name)
{
    QStandardPaths::setTestModeEnabled(true);
    SimOptions options;
    options.simulate = true;
    options.manualClock = true;
    options.scenario = QStringLiteral("idle");
    options.seed = seed;
    FSim = std::make_unique<TSimulator>(options);
    static int run = 0;
    CreateForms(FSim->Backend(), QStringLiteral("%1-%2-%3").arg(name).arg(QCoreApplication::applicationPid()).arg(++run));
    MainForm->show();
    ASSERT_TRUE(WaitUntil([] { return MainForm->StartButton->isEnabled(); }));
}

void SimulatorFormsTest::TearDown()
{
    DestroyForms();
    FSim.reset();
}

TMainCore& SimulatorFormsTest::Core()
{
    return MainForm->Core();
}

void SimulatorFormsTest::Start(const QString& button)
{
    QTimer chooser;
    chooser.setInterval(20);
    QObject::connect(&chooser, &QTimer::timeout, [&button] {
        if (QWidget* modal = QApplication::activeModalWidget())
            if (auto* b = modal->findChild<QAbstractButton*>(button))
                b->click();
    });
    chooser.start();
    MainForm->StartButton->click();
    ASSERT_TRUE(Core().FIsStreaming);
}

void SimulatorFormsTest::Stream(int samples)
{
    FSim->Advance(samples);
    Pump(40);
}
