#pragma once
// The program's windows over an in-process HID backend, and a configuration tool that is listed but never
// answers.

#include "hid/VirtualHidBackend.h"

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>

class TMainCore;
class TSimulator;

class SilentTool : public VirtualHidDevice {
public:
    explicit SilentTool(const QString& name, const QString& serial);
    void OutputReport(const QByteArray&) override {}
};

// Runs the event loop until pred holds; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 3000);
// Runs the event loop for ms milliseconds.
void Pump(int ms);

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Plugs a tool in or pulls it out and waits until the main window has handled the change.
    std::shared_ptr<SilentTool> PlugTool(const QString& name, const QString& serial);
    void UnplugTool(const std::shared_ptr<SilentTool>& tool);
    int ToolCount() const;

    std::shared_ptr<VirtualHidBackend> FBackend;
    QString FCopyDataName;
};

// The windows over a simulator (manual clock, idle, seeded), ready to start.
class SimulatorFormsTest : public ::testing::Test {
protected:
    // Call from SetUp; name prefixes the copy-data name of this test's windows.
    void OpenForms(int seed, const QString& name);
    void TearDown() override;

    TMainCore& Core();
    // Start with the default set-up, or the named button of the start-up chooser if one is shown.
    void Start(const QString& button = QStringLiteral("CustomConfigButton"));
    // Runs samples and lets their frames and a bar repaint through.
    void Stream(int samples);

    std::unique_ptr<TSimulator> FSim;
};
