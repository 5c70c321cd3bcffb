// Session paths against the simulated tool and chip, with a manual sample clock.
#include "core/session_support.h"

#include "app/SessionControl.h"
#include "sim/Simulator.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr uint8_t CmdLSVoltage = 0x06, CmdStopStreaming = 0x0D, CmdConfigI2C = 0x0F;

class SessionPaths : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TMainCore> Core;
    QList<int> ConfigI2C; // the address of every ConfigI2C command sent

    void Build(int chipAddress, QList<SimErrorFault> errors = {})
    {
        SimOptions options;
        options.simulate = true;
        options.manualClock = true;
        options.seed = 7;
        options.chipAddress = chipAddress;
        options.faults.errors = errors;
        Core.reset();
        ConfigI2C.clear();
        Sim = std::make_unique<TSimulator>(options);
        Core = std::make_unique<TMainCore>(Sim->Backend(), &Messages, &View);
        Core->KorvaneDevList1->Activate();
        ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneHidTool1->DeviceSelected; }));
        Core->KorvaneHidTool1->OnSendCommands = [this](const TKvrByteArray& c) {
            if (c[2] == CmdConfigI2C)
                ConfigI2C << c[6];
        };
    }
    void TearDown() override
    {
        Core.reset();
        Sim.reset();
    }
    // Runs samples and waits for their frames, or for delivery to settle (no new frame for 200 ms) when
    // some of them do not count (stream stopped and restarted on the way).
    void Stream(int samples) { StreamFrames(*Sim, View, samples, 200, 3000); }
    void Start(uint8_t chooserAnswer = 0)
    {
        View.ChooserAnswer = chooserAnswer;
        Core->Session->StartButtonClick();
    }
    void ExpectFailedStart()
    {
        EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
        EXPECT_FALSE(Core->FIsStreaming || Core->FPowerOn || Core->FCTSetup || Core->FIsPaused);
        EXPECT_FALSE(Sim->ToolStatus().streaming || Sim->ToolStatus().dutPower);
        EXPECT_EQ(Core->StartCaption, "Start");
    }
};

TEST_F(SessionPaths, StartAt44StreamsAndDecodes)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump();
    for (const char* info : {"Device Address : 44H", "Settings reset to default", "Device streaming started"})
        EXPECT_TRUE(Messages.HasInfo(info)) << info;
    EXPECT_EQ(Core->StartCaption, "Stop");
    EXPECT_EQ(Core->PowerCaption, "Power Off");
    EXPECT_TRUE(Core->PauseEnabled && Core->ExportHEnabled);
    EXPECT_TRUE(View.Called("StartCaption(Stop)") && View.Called("StartBarTimer"));
    EXPECT_EQ(ConfigI2C, (QList<int>{0x44, 0x44})); // the tool set-up, then the probe
    EXPECT_EQ(Sim->ToolStatus().streamLength, 27);
    Stream(20);
    EXPECT_GE(View.Frames, 10);
    EXPECT_GT(Core->FCurrentChs[1], 0);
    EXPECT_GT(Core->FLTAChs[1], 0);
    EXPECT_EQ(Messages.Errors(), 0) << Messages.Dump();
}

TEST_F(SessionPaths, ChipAt45IsFoundSecondAndTriedFirstNextTime)
{
    Build(0x45);
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump();
    EXPECT_TRUE(Messages.HasInfo("Device Address : 45H"));
    EXPECT_EQ(Core->KT880Device1->I2CAddress(), "45");
    EXPECT_EQ(ConfigI2C.mid(1), (QList<int>{0x44, 0x45}));

    Core->Session->StartButtonClick(); // Stop
    Sim->SetChipAddress(0x47);
    ConfigI2C.clear();
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump();
    // 45 first, then 44, then upwards without 45 again.
    EXPECT_EQ(ConfigI2C.mid(1), (QList<int>{0x45, 0x44, 0x46, 0x47}));
    EXPECT_TRUE(Messages.HasInfo("Device Address : 47H"));
}

TEST_F(SessionPaths, NoChipFailsAfterFourAttempts)
{
    Build(-1);
    Start();
    EXPECT_EQ(ConfigI2C.mid(1), (QList<int>{0x44, 0x45, 0x46, 0x47}));
    ExpectFailedStart();
    EXPECT_EQ(View.Calls.last(), "Picture(000)");
}

TEST_F(SessionPaths, FailedToolSetupAndTheOnePointEightVoltPath)
{
    Build(0x44, {{CmdLSVoltage, 0x0601, -1}});
    Start();
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0601)));
    EXPECT_TRUE(ConfigI2C.isEmpty()); // neither the rest of the set-up nor the probe ran
    ExpectFailedStart();

    // With 1.8 V the supply command decides: a link set-up failing at its last step does not stop the
    // start, and is still reported.
    Build(0x44, {{CmdConfigI2C, 0x0F01, 1}});
    Core->Settings.VoltageCombo = 1;
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump();
    EXPECT_NEAR(Sim->ToolStatus().dutVoltage, 1.8, 0.05);
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0F01)));
}

TEST_F(SessionPaths, PauseResumeAndStopWhilePaused)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device streaming paused"));
    EXPECT_EQ(Core->PauseCaption, "Resume");
    EXPECT_TRUE(Core->FIsPaused && !Core->FIsStreaming && !Sim->ToolStatus().streaming);
    const int frames = View.Frames;
    Stream(5);
    EXPECT_EQ(View.Frames, frames);

    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device streaming resumed"));
    EXPECT_EQ(Core->PauseCaption, "Pause");
    EXPECT_TRUE(Core->FIsStreaming && !Core->FIsPaused);
    Stream(10);
    EXPECT_GT(View.Frames, frames);
    EXPECT_FALSE(View.Called("DataMissed"));

    Core->Session->PauseButtonClick();
    Core->FEventMode = true;
    Core->Settings.CommsModeRadio = 0;
    Core->Session->StartButtonClick(); // Stop while paused
    EXPECT_TRUE(Messages.HasInfo("Device powered off"));
    EXPECT_EQ(Core->StartCaption, "Start");
    EXPECT_EQ(Core->PauseCaption, "Pause");
    EXPECT_EQ(Core->PowerCaption, "Power On");
    EXPECT_FALSE(Core->PauseEnabled || Core->ExportHEnabled || Core->FPowerOn || Core->FIsPaused);
    EXPECT_FALSE(Sim->ToolStatus().dutPower || Sim->ToolStatus().eventMode);
    // The chip is back in streaming mode after the power cycle, and so are the settings.
    EXPECT_EQ(Core->Settings.CommsModeRadio, 1);
    EXPECT_FALSE(Core->FEventMode);
}

TEST_F(SessionPaths, RefusedPauseAndResume)
{
    Build(0x44, {{CmdStopStreaming, 0x0D01, -1}}); // the start ignores a refused stop, the pause does not
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0D01)));
    EXPECT_EQ(Core->PauseCaption, "Pause");
    EXPECT_FALSE(Core->FIsStreaming || Core->FIsPaused);

    Build(0x44);
    Start();
    Core->Session->PauseButtonClick();
    Core->StreamSetup.FStreamLength = 32766; // a length the tool refuses
    Core->Session->PauseButtonClick();
    EXPECT_EQ(Core->PauseCaption, "Resume");
    EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
    EXPECT_FALSE(Core->FIsStreaming || Core->FPowerOn || Sim->ToolStatus().dutPower);
}

TEST_F(SessionPaths, ReadAllEndsStreamingUnlessPaused)
{
    Build(0x44);
    Core->Session->PowerButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device powered on"));
    EXPECT_EQ(Core->PowerCaption, "Power Off");
    EXPECT_FALSE(Sim->ToolStatus().streaming);
    Core->Session->ReadAllClick();
    EXPECT_TRUE(Core->FIsStreaming && Sim->ToolStatus().streaming) << Messages.Dump();
    EXPECT_TRUE(Core->FActualBaseRead);
    EXPECT_FALSE(Core->FGuiUpdate);

    // A start from there, paused: the session stays paused and resumes normally afterwards.
    Start();
    ASSERT_TRUE(Messages.HasInfo("Device streaming started")) << Messages.Dump();
    Core->Session->PauseButtonClick();
    Core->Session->ReadAllClick();
    EXPECT_FALSE(Core->FIsStreaming || Sim->ToolStatus().streaming);
    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device streaming resumed")) << Messages.Dump();
    EXPECT_TRUE(View.Warnings.isEmpty());
}

TEST_F(SessionPaths, DemoLessStartReadsSettingsBackAfterATI)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming && Core->FReadDevice);
    EXPECT_FALSE(Core->FActualBaseRead);
    Stream(1); // the first frame without ATI busy: everything read back, streaming on
    EXPECT_FALSE(Core->FReadDevice);
    EXPECT_TRUE(Core->FActualBaseRead);
    EXPECT_EQ(View.Calls.count("TakeSettingsAsApplied"), 2);
    EXPECT_TRUE(Core->FIsStreaming);

    Stream(120); // the chip's own ATI after power-up: the notice, and the actual bases again
    EXPECT_TRUE(View.Called("ATINotice"));
    EXPECT_EQ(Core->FUpdateOptions, TFUpdateOptions::utReadActualBase);
    EXPECT_TRUE(Core->FIsStreaming && Sim->ToolStatus().streaming);
    EXPECT_GT(Core->FActualBase[1], 0);
    const int frames = View.Frames;
    Stream(10);
    EXPECT_GT(View.Frames, frames);
    EXPECT_EQ(Messages.Errors(), 0) << Messages.Dump();
}

TEST_F(SessionPaths, DemoSetupLoadsAfterATIWithoutTheNotice)
{
    Build(0x44);
    QList<int> loaded;
    Core->OnLoadDemoSettings = [&](int index) { loaded << index; };
    Start(2);
    ASSERT_TRUE(Core->FIsStreaming && Core->FLoadSettings);
    EXPECT_TRUE(View.Called("WaitPicture"));
    EXPECT_FALSE(View.Called("TakeSettingsAsApplied")); // no read-back before the load
    Stream(1);
    EXPECT_EQ(loaded, QList<int>{1});
    EXPECT_TRUE(Core->FStartupOption == 0 && !Core->FLoadSettings && !Core->FReadDevice);
    EXPECT_EQ(View.Calls.last(), "Picture(000)");
    Stream(120);
    EXPECT_FALSE(View.Called("ATINotice"));
    EXPECT_TRUE(Core->FIsStreaming);

    // No settings-file loader: a clear error, and streaming goes on.
    Core->Session->StartButtonClick(); // Stop
    Core->Settings.LoadSettingsCheck = true;
    Start();
    Stream(1);
    EXPECT_TRUE(Messages.HasError("Unable to load the settings file: no settings loader available!"));
    EXPECT_TRUE(Core->FIsStreaming && Sim->ToolStatus().streaming);
}

TEST_F(SessionPaths, ToolPulledOutMidStream)
{
    Build(0x44);
    Start();
    Stream(5);
    Sim->UnplugTool();
    ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneDevList1->HidDevices().Count == 0; }));
    EXPECT_TRUE(Messages.HasError("Streaming device disconnected!"));
    EXPECT_FALSE(Core->FIsStreaming || Core->FPowerOn);
    EXPECT_EQ(Core->StartCaption, "Start");

    Sim->PlugTool();
    ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneDevList1->HidDevices().Count == 1; }));
    Start();
    EXPECT_TRUE(Core->FIsStreaming) << Messages.Dump();
    const int frames = View.Frames;
    Stream(5);
    EXPECT_GT(View.Frames, frames);
}

TEST_F(SessionPaths, ANewSetupWhileStreamingContinuesWithLongFrames)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    // Every block: frames of 35 bytes, two reports each, decoded with the new offsets.
    Core->StreamSetup.SetStreamingSetup(0x1F);
    EXPECT_TRUE(Core->StreamSetup.ApplyStreamSetup());
    EXPECT_EQ(Sim->ToolStatus().streamLength, 35);
    EXPECT_TRUE(Sim->ToolStatus().streaming);
    const int frames = View.Frames;
    Stream(10);
    EXPECT_GT(View.Frames, frames);
    EXPECT_EQ(Core->Decoder->ShortFrames(), 0u);
    EXPECT_GT(Core->FDeltaChs[1] + Core->FCurrentChs[1], 0);
}

} // namespace
