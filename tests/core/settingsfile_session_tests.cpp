// Set-ups loaded by a session on the simulated tool and chip: the demonstration chosen at Start, and a saved
// file loaded on start-up in another run.
#include "core/prefs_support.h"
#include "core/session_support.h"

#include "app/SessionControl.h"
#include "persist/SettingsFile.h"
#include "settings/RegisterMap.h"
#include "settings/RegisterOperations.h"
#include "sim/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct BusyView : SessionView {
    bool Busy = false;
    void SetRegisterBusy(bool b) override { Busy = b; }
};

// One run of the program: simulator, core and settings-file loader.
struct ProgramRun {
    SessionMessages Messages;
    BusyView View;
    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TMainCore> Core;
    std::unique_ptr<TSettingsFile> File;

    explicit ProgramRun(uint32_t seed)
    {
        SimOptions options;
        options.simulate = true;
        options.manualClock = true;
        options.scenario = QStringLiteral("idle");
        options.seed = seed;
        Sim = std::make_unique<TSimulator>(options);
        Core = std::make_unique<TMainCore>(Sim->Backend(), &Messages, &View);
        File = std::make_unique<TSettingsFile>(*Core);
        File->DemoFolder = QStringLiteral(KT610B_SOURCE_DIR "/resources/demo");
        Core->KorvaneDevList1->Activate();
    }
    ~ProgramRun()
    {
        File.reset();
        Core.reset();
    }
    void Stream(int samples)
    {
        const int expected = View.Frames + samples;
        Sim->Advance(samples);
        PumpUntil([&] { return View.Frames >= expected; }, 1000);
    }
    QByteArray Chip(uint8_t reg) const { return Sim->ChipRegister(reg); }
};

TEST(SettingsFileSession, WheelChosenAtStartIsLoadedAfterTheFirstFrameAndASavedSetupComesBack)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath("bench.ini");
    QByteArray prox, thresholds, multipliers;
    {
        ProgramRun run(3);
        ASSERT_TRUE(PumpUntil([&] { return run.Core->KorvaneHidTool1->DeviceSelected; }));
        run.View.ChooserAnswer = 1; // "Wheel"
        run.Core->Session->StartButtonClick();
        ASSERT_TRUE(run.Core->FIsStreaming && run.Core->FLoadSettings);
        EXPECT_TRUE(run.View.Called("WaitPicture"));

        run.Stream(1);
        // Loaded; streaming waits out the pause with everything else held back, the wait picture is gone.
        EXPECT_TRUE(run.Messages.HasInfo("Settings loaded successfully")) << run.Messages.Dump();
        EXPECT_EQ(run.Core->Settings.SliderRadio, 2);
        EXPECT_EQ(run.View.Calls.last(), "Picture(000)");
        EXPECT_FALSE(run.Core->FIsStreaming);
        EXPECT_TRUE(run.View.Busy && run.Core->FRegBusy);
        ASSERT_TRUE(PumpUntil([&] { return run.Core->FIsStreaming; }));
        EXPECT_FALSE(run.View.Busy);
        EXPECT_TRUE(run.Sim->ToolStatus().streaming);
        EXPECT_EQ(run.Core->FStartupOption, 0);
        EXPECT_TRUE(run.Core->FSettingsFile.isEmpty());

        // The chip holds the set-up: wheel mode, every event unmasked.
        prox = run.Chip(KT610B::ProxSettings);
        EXPECT_EQ((uint8_t(prox[1]) >> 2) & 3, 2);
        EXPECT_EQ(uint8_t(prox[4]), 0xFF);
        const int frames = run.View.Frames;
        run.Stream(150);
        EXPECT_GT(run.View.Frames, frames);
        // The tuning run started by the load raises no notice.
        EXPECT_FALSE(run.View.Called("ATINotice"));
        EXPECT_FALSE(run.Core->FSettingsATIMessage);

        // A different set-up, applied and saved.
        run.Core->Settings.Touch2Spin = 30;
        run.Core->Settings.CH3BaseCombo = 6;
        ASSERT_TRUE(run.Core->RegOps->WriteAllThr());
        ASSERT_TRUE(run.Core->RegOps->WriteMultComp(true, true));
        ASSERT_TRUE(run.File->SaveSettings(saved));
        prox = run.Chip(KT610B::ProxSettings).left(5);
        thresholds = run.Chip(KT610B::Thresholds);
        multipliers = run.Chip(KT610B::Multipliers);
        EXPECT_EQ(run.Messages.Errors(), 0) << run.Messages.Dump();
    }

    ProgramRun again(4);
    ASSERT_TRUE(PumpUntil([&] { return again.Core->KorvaneHidTool1->DeviceSelected; }));
    again.Core->FSettingsFile = saved;
    again.Core->Settings.LoadSettingsCheck = true;
    again.Core->Session->StartButtonClick(); // "Default Device Setup"
    ASSERT_TRUE(again.Core->FLoadSettings);
    again.Stream(1);
    ASSERT_TRUE(PumpUntil([&] { return again.Core->FIsStreaming; }));
    EXPECT_TRUE(again.Messages.HasInfo("Settings loaded successfully")) << again.Messages.Dump();
    EXPECT_EQ(again.Core->Settings.Touch2Spin, 30);
    EXPECT_EQ(again.Core->Settings.CH3BaseCombo, 6);
    // Byte 0 carries the one-shot tuning command only while it is being written.
    EXPECT_EQ(again.Chip(KT610B::ProxSettings).mid(1, 4), prox.mid(1, 4));
    EXPECT_EQ(again.Chip(KT610B::Thresholds), thresholds);
    EXPECT_EQ(again.Chip(KT610B::Multipliers).mid(4, 2), multipliers.mid(4, 2));
}

TEST(SettingsFileSession, ApplySettingsLoadsTheFileNowWithTheWaitPicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.ini");
    PutFile(path, FileBytes(QStringLiteral(KT610B_SOURCE_DIR "/resources/demo/KT610 Discrete Keys.ini")));
    ProgramRun run(5);
    ASSERT_TRUE(PumpUntil([&] { return run.Core->KorvaneHidTool1->DeviceSelected; }));
    run.Core->Settings.ReadOnStartCheck = false;
    run.Core->Session->StartButtonClick();
    ASSERT_TRUE(run.Core->FIsStreaming);
    run.Stream(2);
    run.Core->FSettingsFile = path;
    run.View.Calls.clear();
    run.File->LoadCustomSettings();
    EXPECT_EQ(run.View.Calls.first(), "WaitPicture");
    EXPECT_EQ(run.View.Calls.last(), "Picture(000)");
    EXPECT_TRUE(run.Messages.HasInfo("Settings loaded successfully"));
    EXPECT_EQ(run.Core->Settings.TDebounceRadio, 1);
    EXPECT_EQ(uint8_t(run.Chip(KT610B::ProxSettings)[4]) & 0xF4, 0); // no gestures, no slide events
    ASSERT_TRUE(PumpUntil([&] { return run.Core->FIsStreaming; }));
    EXPECT_EQ(run.Core->FSettingsFile, path);
}

} // namespace
