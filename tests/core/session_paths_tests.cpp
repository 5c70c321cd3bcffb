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

constexpr uint8_t CmdDUTVoltage = 0x07, CmdLSVoltage = 0x06, CmdStopStreaming = 0x0D, CmdConfigI2C = 0x0F;

class SessionPaths : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TMainCore> Core;
    QList<QByteArray> Sent; // command reports as written

    void Build(int chipAddress, const SimFaults& faults = {})
    {
        SimOptions options;
        options.simulate = true;
        options.manualClock = true;
        options.seed = 7;
        options.chipAddress = chipAddress;
        options.faults = faults;
        Sim = std::make_unique<TSimulator>(options);
        Core = std::make_unique<TMainCore>(Sim->Backend(), &Messages, &View);
        Core->KorvaneDevList1->Activate();
        ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneHidTool1->DeviceSelected; }));
        Core->KorvaneHidTool1->OnSendCommands = [this](const TKvrByteArray& c) {
            Sent << QByteArray(reinterpret_cast<const char*>(c.data()), 16);
        };
    }
    void TearDown() override
    {
        Core.reset();
        Sim.reset();
    }

    static bool PumpUntil(const std::function<bool()>& done, int ms = 3000)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }
    // Runs samples and hands every report that reaches the host to the core, until delivery settles.
    void Stream(int samples)
    {
        Sim->Advance(samples);
        int seen = -1;
        QElapsedTimer quiet;
        quiet.start();
        for (QElapsedTimer t; !t.isValid() || t.elapsed() < 3000;) {
            if (!t.isValid())
                t.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (View.Frames != seen) {
                seen = View.Frames;
                quiet.restart();
            } else if (quiet.elapsed() > 60) {
                break;
            }
        }
    }
    QList<int> ConfigI2CAddresses() const
    {
        QList<int> addresses;
        for (const QByteArray& r : Sent)
            if (uint8_t(r[2]) == CmdConfigI2C)
                addresses << uint8_t(r[6]);
        return addresses;
    }
    void Start(uint8_t chooserAnswer = 0)
    {
        View.ChooserAnswer = chooserAnswer;
        Core->Session->StartButtonClick();
    }
    void ExpectIdle()
    {
        EXPECT_FALSE(Core->FIsStreaming);
        EXPECT_FALSE(Core->FPowerOn);
        EXPECT_FALSE(Core->FCTSetup);
        EXPECT_FALSE(Core->FIsPaused);
        EXPECT_FALSE(Sim->ToolStatus().streaming);
    }
    static SimFaults ErrorOn(uint8_t command, uint16_t code, int times = -1)
    {
        SimFaults f;
        f.errors << SimErrorFault{command, code, times};
        return f;
    }
};

TEST_F(SessionPaths, StartAt44StreamsAndDecodes)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump().toStdString();
    EXPECT_TRUE(Messages.HasInfo("Device Address : 44H"));
    EXPECT_TRUE(Messages.HasInfo("Settings reset to default"));
    EXPECT_TRUE(Messages.HasInfo("Device streaming started"));
    EXPECT_EQ(Core->StartCaption, "Stop");
    EXPECT_EQ(Core->PowerCaption, "Power Off");
    EXPECT_TRUE(Core->PauseEnabled);
    EXPECT_TRUE(Core->ExportHEnabled);
    EXPECT_TRUE(View.Called("StartCaption(Stop)"));
    EXPECT_TRUE(View.Called("StartBarTimer"));
    EXPECT_TRUE(View.Called("TakeSettingsAsApplied"));
    EXPECT_EQ(ConfigI2CAddresses().mid(1), QList<int>{0x44}); // after the one of the tool set-up
    EXPECT_EQ(Sim->ToolStatus().streamLength, 27);

    Stream(20);
    EXPECT_GE(View.Frames, 10);
    EXPECT_GT(Core->FCurrentChs[1], 0);
    EXPECT_GT(Core->FLTAChs[1], 0);
    EXPECT_TRUE(Messages.Dump().count("E: ") == 0) << Messages.Dump().toStdString();
}

TEST_F(SessionPaths, ChipAt45IsFoundOnTheSecondAttemptAndTriedFirstNextTime)
{
    Build(0x45);
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump().toStdString();
    EXPECT_TRUE(Messages.HasInfo("Device Address : 45H"));
    EXPECT_EQ(Core->FDeviceAddress, 0x45);
    EXPECT_EQ(Core->KT880Device1->I2CAddress(), "45");
    EXPECT_EQ(ConfigI2CAddresses().mid(1), (QList<int>{0x44, 0x45}));

    Core->Session->StartButtonClick(); // Stop
    EXPECT_EQ(Core->StartCaption, "Start");
    Sim->SetChipAddress(0x47);
    Sent.clear();
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump().toStdString();
    // The tool set-up now names 45; the probe tries 45, then 44, then upwards without 45 again.
    EXPECT_EQ(ConfigI2CAddresses(), (QList<int>{0x45, 0x45, 0x44, 0x46, 0x47}));
    EXPECT_TRUE(Messages.HasInfo("Device Address : 47H"));
}

TEST_F(SessionPaths, NoChipFailsAfterFourAttempts)
{
    Build(-1);
    Start();
    EXPECT_EQ(ConfigI2CAddresses().mid(1), (QList<int>{0x44, 0x45, 0x46, 0x47}));
    EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
    EXPECT_EQ(View.Calls.last(), "Picture(000)");
    ExpectIdle();
    EXPECT_FALSE(Sim->ToolStatus().dutPower);
    EXPECT_EQ(Core->StartCaption, "Start");
    EXPECT_FALSE(Messages.HasInfo("Device streaming started"));
    EXPECT_FALSE(Core->PauseEnabled);
}

TEST_F(SessionPaths, FailedToolSetupEndsTheStart)
{
    Build(0x44, ErrorOn(CmdLSVoltage, 0x0601));
    Start();
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0601)));
    EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
    ExpectIdle();
    EXPECT_TRUE(ConfigI2CAddresses().isEmpty()); // neither the rest of the set-up nor the probe ran
}

TEST_F(SessionPaths, WithOnePointEightVoltsTheSupplyCommandDecides)
{
    // The link set-up fails at its last command, the 1.8 V supply command succeeds: the start goes on,
    // and the failure is still reported.
    Build(0x44, ErrorOn(CmdConfigI2C, 0x0F01, 1));
    Core->Settings.VoltageCombo = 1;
    Start();
    ASSERT_TRUE(Core->FIsStreaming) << Messages.Dump().toStdString();
    EXPECT_NEAR(Sim->ToolStatus().dutVoltage, 1.8, 0.05);
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0F01)));
    EXPECT_TRUE(View.Warnings.isEmpty());
}

TEST_F(SessionPaths, WithOnePointEightVoltsAnEarlierSetupFailureShowsBeforeTheProbeFails)
{
    Build(0x44, ErrorOn(CmdLSVoltage, 0x0601));
    Core->Settings.VoltageCombo = 1;
    Start();
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0601)));
    EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
    ExpectIdle();
}

TEST_F(SessionPaths, OnePointEightVoltsRefusedEndsTheStart)
{
    SimFaults faults = ErrorOn(CmdDUTVoltage, 0x0701, 1);
    faults.errors[0].times = -1;
    Build(0x44, faults);
    Core->Settings.VoltageCombo = 1;
    Start();
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0701)));
    EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
    ExpectIdle();
}

TEST_F(SessionPaths, CancelInTheChooserChangesNothingMore)
{
    Build(0x44);
    Start(255);
    EXPECT_TRUE(Sent.size() >= 1);
    EXPECT_TRUE(ConfigI2CAddresses().isEmpty());
    EXPECT_TRUE(View.Warnings.isEmpty());
    EXPECT_EQ(Core->StartCaption, "Start");
    EXPECT_FALSE(Core->FPowerOn);
}

TEST_F(SessionPaths, PauseResumeAndStopWhilePaused)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Stream(5);

    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device streaming paused"));
    EXPECT_EQ(Core->PauseCaption, "Resume");
    EXPECT_TRUE(Core->FIsPaused);
    EXPECT_FALSE(Core->FIsStreaming);
    EXPECT_FALSE(Sim->ToolStatus().streaming);
    EXPECT_TRUE(Sim->ToolStatus().dutPower);
    const int frames = View.Frames;
    Stream(5);
    EXPECT_EQ(View.Frames, frames);

    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device streaming resumed"));
    EXPECT_EQ(Core->PauseCaption, "Pause");
    EXPECT_TRUE(Core->FIsStreaming);
    EXPECT_FALSE(Core->FIsPaused);
    Stream(10);
    EXPECT_GT(View.Frames, frames);
    EXPECT_FALSE(View.Called("DataMissed"));

    Core->Session->PauseButtonClick();
    Core->Session->StartButtonClick(); // Stop while paused
    EXPECT_TRUE(Messages.HasInfo("Device powered off"));
    EXPECT_EQ(Core->StartCaption, "Start");
    EXPECT_EQ(Core->PauseCaption, "Pause");
    EXPECT_FALSE(Core->PauseEnabled);
    EXPECT_FALSE(Core->ExportHEnabled);
    EXPECT_EQ(Core->PowerCaption, "Power On");
    ExpectIdle();
    EXPECT_FALSE(Sim->ToolStatus().dutPower);
}

TEST_F(SessionPaths, FailedPauseKeepsThePauseCaption)
{
    // Every stop of streaming is refused; the start ignores that result, the pause does not.
    Build(0x44, ErrorOn(CmdStopStreaming, 0x0D01));
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x0D01)));
    EXPECT_EQ(Core->PauseCaption, "Pause");
    EXPECT_FALSE(Core->FIsStreaming);
    EXPECT_FALSE(Core->FIsPaused);
}

TEST_F(SessionPaths, FailedResumeTearsDownAndKeepsResume)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Core->Session->PauseButtonClick();
    Core->StreamSetup.FStreamLength = 32766; // a length the tool refuses
    Core->Session->PauseButtonClick();
    EXPECT_EQ(View.Warnings, QStringList{"Unable to start device streaming!"});
    EXPECT_EQ(Core->PauseCaption, "Resume");
    EXPECT_EQ(Messages.Items.back().Kind, TKvrItemType::aError);
    ExpectIdle();
}

TEST_F(SessionPaths, PowerButtonPowersWithoutStreaming)
{
    Build(0x44);
    Core->Session->PowerButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device powered on"));
    EXPECT_TRUE(Core->FPowerOn);
    EXPECT_TRUE(Core->FCTSetup);
    EXPECT_EQ(Core->PowerCaption, "Power Off");
    EXPECT_EQ(Core->StartCaption, "Start");
    EXPECT_TRUE(Sim->ToolStatus().dutPower);
    EXPECT_FALSE(Sim->ToolStatus().streaming);

    Core->FEventMode = true;
    Core->Settings.CommsModeRadio = 0;
    View.AckEnabled = false;
    Core->FAckReset = true;
    Core->Session->PowerButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device powered off"));
    EXPECT_EQ(Core->PowerCaption, "Power On");
    EXPECT_EQ(Core->Settings.CommsModeRadio, 1);
    EXPECT_FALSE(Core->FEventMode);
    EXPECT_FALSE(Core->FLoadingSettings);
    EXPECT_TRUE(View.AckEnabled);
    EXPECT_FALSE(Core->FAckReset);
    EXPECT_FALSE(Sim->ToolStatus().eventMode);
    ExpectIdle();
}

TEST_F(SessionPaths, ReadAllWhilePoweredEndsWithStreamingRunning)
{
    Build(0x44);
    Core->Session->PowerButtonClick();
    ASSERT_TRUE(Core->FPowerOn);
    Core->Session->ReadAllClick();
    EXPECT_TRUE(Core->FIsStreaming) << Messages.Dump().toStdString();
    EXPECT_TRUE(Sim->ToolStatus().streaming);
    EXPECT_TRUE(Core->FActualBaseRead);
    EXPECT_FALSE(Core->FGuiUpdate);
    Stream(5);
    EXPECT_GT(View.Frames, 0);
}

TEST_F(SessionPaths, ReadAllWhilePausedStaysPausedAndResumes)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Core->Session->PauseButtonClick();
    ASSERT_TRUE(Core->FIsPaused);
    Core->Session->ReadAllClick();
    EXPECT_FALSE(Core->FIsStreaming);
    EXPECT_FALSE(Sim->ToolStatus().streaming);
    EXPECT_TRUE(Core->FActualBaseRead);
    Core->Session->PauseButtonClick();
    EXPECT_TRUE(Messages.HasInfo("Device streaming resumed")) << Messages.Dump().toStdString();
    EXPECT_TRUE(View.Warnings.isEmpty());
    EXPECT_TRUE(Sim->ToolStatus().streaming);
}

TEST_F(SessionPaths, PendingUpdateNeedsPower)
{
    Build(0x44);
    Core->FUpdateOptions = TFUpdateOptions::utReadAll;
    Core->Session->UpdateTimerTimer();
    EXPECT_TRUE(Messages.HasError("Device power is off!"));
    EXPECT_TRUE(Sent.isEmpty());
}

TEST_F(SessionPaths, DemoLessStartReadsSettingsBackAfterATI)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    EXPECT_TRUE(Core->FReadDevice);
    EXPECT_FALSE(Core->FLoadSettings);
    EXPECT_FALSE(Core->FActualBaseRead);

    // The first frame without ATI busy reads everything back and streams on.
    Stream(1);
    EXPECT_FALSE(Core->FReadDevice);
    EXPECT_TRUE(Core->FActualBaseRead);
    EXPECT_EQ(View.Calls.count("TakeSettingsAsApplied"), 2);
    EXPECT_TRUE(Core->FIsStreaming);

    // The chip's own ATI after power-up: the notice, then the actual bases read again.
    Stream(120);
    EXPECT_TRUE(View.Called("ATINotice"));
    EXPECT_EQ(Core->FUpdateOptions, TFUpdateOptions::utReadActualBase);
    EXPECT_FALSE(Core->FATIBusy);
    EXPECT_TRUE(Core->FIsStreaming);
    EXPECT_TRUE(Sim->ToolStatus().streaming);
    EXPECT_GT(Core->FActualBase[1], 0);
    const int frames = View.Frames;
    Stream(10);
    EXPECT_GT(View.Frames, frames);
    EXPECT_TRUE(Messages.Dump().count("E: ") == 0) << Messages.Dump().toStdString();
}

TEST_F(SessionPaths, DemoSetupLoadsAfterATIWithoutTheNotice)
{
    Build(0x44);
    QList<int> loaded;
    Core->OnLoadDemoSettings = [&](int index) { loaded << index; };
    Start(2);
    ASSERT_TRUE(Core->FIsStreaming);
    EXPECT_TRUE(View.Called("WaitPicture"));
    EXPECT_TRUE(Core->FLoadSettings);
    EXPECT_FALSE(View.Called("TakeSettingsAsApplied")); // no read-back before the load

    Stream(1);
    EXPECT_EQ(loaded, QList<int>{1});
    EXPECT_EQ(Core->FStartupOption, 0);
    EXPECT_FALSE(Core->FLoadSettings);
    EXPECT_FALSE(Core->FReadDevice);
    EXPECT_TRUE(Core->FSettingsATIMessage);
    EXPECT_EQ(View.Calls.last(), "Picture(000)");
    Stream(120);
    EXPECT_FALSE(View.Called("ATINotice"));
    EXPECT_FALSE(Core->FSettingsATIMessage);
    EXPECT_TRUE(Core->FIsStreaming);
}

TEST_F(SessionPaths, SettingsFileLoadWithoutLoaderIsReported)
{
    Build(0x44);
    Core->Settings.LoadSettingsCheck = true;
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Stream(1);
    EXPECT_TRUE(Messages.HasError("Unable to load the settings file: no settings loader available!"));
    EXPECT_TRUE(Core->FIsStreaming); // streaming restarted all the same
    EXPECT_TRUE(Sim->ToolStatus().streaming);
}

TEST_F(SessionPaths, ToolPulledOutMidStream)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Stream(5);
    Sim->UnplugTool();
    ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneDevList1->HidDevices().Count == 0; }));
    EXPECT_TRUE(Messages.HasError("Streaming device disconnected!"));
    EXPECT_FALSE(Core->FIsStreaming);
    EXPECT_FALSE(Core->FPowerOn);
    EXPECT_EQ(Core->StartCaption, "Start");
    EXPECT_EQ(Core->PowerCaption, "Power On");
    EXPECT_TRUE(View.Called("StartCaption(Start)"));

    Sim->PlugTool();
    ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneDevList1->HidDevices().Count == 1; }));
    ASSERT_TRUE(PumpUntil([&] { return Core->KorvaneHidTool1->DeviceSelected; }));
    Start();
    EXPECT_TRUE(Core->FIsStreaming) << Messages.Dump().toStdString();
    EXPECT_EQ(Messages.Count("Device streaming started"), 2);
    const int frames = View.Frames;
    Stream(5);
    EXPECT_GT(View.Frames, frames);
}

TEST_F(SessionPaths, StreamErrorsAndMissedDataAreReportedAndStreamingGoesOn)
{
    SimFaults faults;
    faults.streamError = SimStreamErrorFault{0x000E, 4};
    faults.skipCounter.everyNth = 7;
    Build(0x44, faults);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Stream(30);
    EXPECT_TRUE(Messages.HasError(ErrorCodeText(0x000E)));
    EXPECT_TRUE(View.Called("DataMissed"));
    EXPECT_TRUE(Core->FIsStreaming);

    // In event mode missed data is not shown.
    View.Calls.clear();
    Core->FEventMode = true;
    Stream(30);
    EXPECT_FALSE(View.Called("DataMissed"));
}

TEST_F(SessionPaths, ApplyOfANewStreamSetupContinuesTheStream)
{
    Build(0x44);
    Start();
    ASSERT_TRUE(Core->FIsStreaming);
    Stream(3);
    Core->StreamSetup.SetStreamingSetup(0x1F);
    Core->StreamSetup.StreamChangeClick();
    EXPECT_TRUE(Core->StreamSetup.ApplyStreamSetup());
    EXPECT_TRUE(Messages.HasInfo("Streaming setup configured"));
    EXPECT_EQ(Sim->ToolStatus().streamLength, 35);
    EXPECT_TRUE(Sim->ToolStatus().streaming);
    const int frames = View.Frames;
    Stream(10);
    EXPECT_GT(View.Frames, frames);
    EXPECT_EQ(Core->Decoder->ShortFrames(), 0u);
    EXPECT_TRUE(Messages.Dump().count("E: ") == 0) << Messages.Dump().toStdString();
}

} // namespace
