// Register operations against a scripted tool: the bytes on the wire, the decodes, the failure paths and
// the state machines driven per frame.
#include "core/registers_support.h"

#include "app/FrameDecoder.h"
#include "settings/RegisterMap.h"

#include <QTimer>

using namespace registers;

namespace {

constexpr uint8_t StopStreamingCode = 0x0D;
constexpr uint8_t StreamLengthCode = 0x14;

TEST_F(RegistersTest, GroupWritesSendTheRecordAndLogARow)
{
    EXPECT_TRUE(Ops().WriteAllThr());
    ASSERT_EQ(Tool->Writes().size(), 1u);
    EXPECT_EQ(Tool->Writes()[0], V({0x0A, 0x04, 0x10, 0x10, 0x10, 0x03, 0x00, 0x14, 0x04}));
    EXPECT_EQ(Ops().CommandLog.Row(0).join('|'), "1|0x0A|8|0x04|0x10|0x10|0x10|0x03|0x00|0x14|0x04");
    EXPECT_TRUE(Msgs.Infos.contains("Command sent successfully"));

    Tool->Clear();
    S().Sens1Combo = 3;
    S().Comp1Combo = 15;
    S().CH1BaseCombo = 15;
    S().CH2BaseCombo = 2;
    S().Comp3Spin = 200;
    EXPECT_TRUE(Ops().WriteMultComp(true, true));
    ASSERT_EQ(Tool->Writes().size(), 2u);
    EXPECT_EQ(Tool->Writes()[0], V({0x07, 0x00, 0x3F, 0x00, 0x00, 0xF0, 0x02}));
    EXPECT_EQ(Tool->Writes()[1], V({0x08, 0x00, 0x00, 0x00, 200}));

    Tool->Clear();
    S().LPSpin = 7;
    S().FlickThrSpin = 99;
    EXPECT_TRUE(Ops().WriteTimGes(false, true));
    ASSERT_EQ(Tool->Writes().size(), 1u);
    EXPECT_EQ(Tool->Writes()[0], V({0x0C, 5, 20, 99}));
}

TEST_F(RegistersTest, SecondGroupWriteIsMadeAfterTheFirstFailed)
{
    Tool->FailNext(0x0B, 0x07, 0x0C);
    EXPECT_FALSE(Ops().WriteMultComp(true, true));
    ASSERT_EQ(Tool->Writes().size(), 2u);
    EXPECT_EQ(Tool->Writes()[1][0], 0x08);
    // Both rows stay, the failure is reported.
    EXPECT_EQ(Ops().CommandLog.ListCount(), 2);
    EXPECT_EQ(Msgs.Errors.size(), 1);

    Tool->Clear();
    Tool->FailNext(0x0B, 0x0B, 0x0C);
    EXPECT_FALSE(Ops().WriteTimGes(true, true));
    ASSERT_EQ(Tool->Writes().size(), 2u);
    EXPECT_EQ(Tool->Writes()[1][0], 0x0C);
}

TEST_F(RegistersTest, NothingIsSentWhilePowerIsOffOrSettingsAreLoading)
{
    Core->FPowerOn = false;
    EXPECT_FALSE(Ops().WriteAllThr());
    EXPECT_FALSE(Ops().ProxSettings0Cmd());
    EXPECT_TRUE(Msgs.Errors.contains("Device power is off!"));
    EXPECT_TRUE(Tool->Commands().empty());

    Core->FPowerOn = true;
    Core->FLoadingSettings = true;
    EXPECT_TRUE(Ops().WriteAllThr());
    EXPECT_TRUE(Ops().WriteMultComp(true, true));
    EXPECT_TRUE(Ops().ProxSettingsAllCmd());
    EXPECT_TRUE(Ops().RedoATIBtnClick());
    Ops().ProxSettings3Cmd(nullptr);
    EXPECT_TRUE(Tool->Commands().empty());
    // The request waits for the next write of byte 0.
    EXPECT_TRUE(Core->FRedoATI);
    Core->FLoadingSettings = false;
    EXPECT_TRUE(Ops().ProxSettings0Cmd());
    EXPECT_EQ(Tool->Writes().at(0), V({0x09, 0x10}));
    EXPECT_FALSE(Core->FRedoATI);
}

TEST_F(RegistersTest, CommandBitsAreOneShotAndKeepTheLastWrittenByte)
{
    S().BandRadio = 1;
    S().ForceHaltRadio = 1;
    EXPECT_TRUE(Ops().ProxSettings0Cmd());
    // Unapplied page changes do not reach the command write.
    S().StreamATIRadio = 1;
    EXPECT_TRUE(Ops().RedoATIBtnClick());
    EXPECT_TRUE(Ops().ReseedBtnClick());
    Tool->FailNext(0x0B, 0x09, 0x0C);
    EXPECT_FALSE(Ops().RedoATIBtnClick());
    EXPECT_FALSE(Core->FRedoATI);
    EXPECT_TRUE(Ops().ProxSettings0Cmd());
    const auto w = Tool->Writes();
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(w[0], V({0x09, 0x21}));
    EXPECT_EQ(w[1], V({0x09, 0x31}));
    EXPECT_EQ(w[2], V({0x09, 0x29}));
    EXPECT_EQ(w[3], V({0x09, 0x31}));
    EXPECT_EQ(w[4], V({0x09, 0x25}));
    EXPECT_EQ(Core->Prox_Settings_0, 0x25);
}

TEST_F(RegistersTest, PartialProxWritesTakeTheLowerBytesFromTheImages)
{
    Core->Prox_Settings_0 = 0x80;
    Core->Prox_Settings_1 = 0x11;
    Core->Prox_Settings_2 = 0x00;
    // The record's byte 1 and 2 differ from the images; only the byte written is composed.
    S().WDTRadio = 1;
    S().CommsModeRadio = 0;
    S().LTABetaRadio = 3;
    S().SliderRadio = 2;
    S().ACFRadio = 0;
    EXPECT_TRUE(Ops().ProxSettings1Cmd());
    EXPECT_EQ(Tool->Writes().back(), V({0x09, 0x80, 0xF8}));

    Core->FForceSleep = true;
    Core->FForceSleepCount = 2;
    S().MovementRadio = 2;
    S().OutRadio = 3;
    S().WheelFilterRadio = 1;
    S().WakeRadio = 1;
    S().SleepHaltRadio = 1;
    EXPECT_TRUE(Ops().ProxSettings2Cmd());
    EXPECT_EQ(Tool->Writes().back(), V({0x09, 0x80, 0xF8, 0xFB}));
    EXPECT_EQ(Core->FForceSleepCount, 0);

    S().TDebounceRadio = 1;
    S().XferRadio = 1;
    bool done = false, result = false;
    Ops().ProxSettings3Cmd([&](bool ok) { done = true; result = ok; });
    EXPECT_TRUE(done); // no low-power time: no wait
    EXPECT_TRUE(result);
    EXPECT_EQ(Tool->Writes().back(), V({0x09, 0x80, 0xF8, 0xFB, 0x81}));

    S().ProxRadio = 0;
    S().TapRadio = 0;
    EXPECT_TRUE(Ops().ProxSettingsAllCmd());
    EXPECT_EQ(Tool->Writes().back(), V({0x09, 0x80, 0xF8, 0xFB, 0x81, 0xDE}));
    EXPECT_EQ(Ops().CommandLog.Newest().at(2), "5");
}

TEST_F(RegistersTest, UpdateAllProxSettingsComposesEveryImageFromTheRecord)
{
    Core->Prox_Settings_3 = 0xFF;
    Ops().UpdateAllProxSettings();
    EXPECT_EQ(Core->Prox_Settings_0, 0x00);
    EXPECT_EQ(Core->Prox_Settings_1, 0x15);
    EXPECT_EQ(Core->Prox_Settings_2, 0x05);
    EXPECT_EQ(Core->Prox_Settings_3, 0x00);
    EXPECT_EQ(Core->Prox_Event_Mask, 0xBF); // untouched

    // A pending request leaves only the command bits in byte 0; the request itself stays.
    S().ATIRadio = 0;
    Core->FReseed = true;
    Core->FForceSleep = true;
    S().HaltChargeRadio = 1;
    Ops().UpdateAllProxSettings();
    EXPECT_EQ(Core->Prox_Settings_0, 0x08);
    EXPECT_TRUE(Core->FReseed);
    EXPECT_EQ(Core->Prox_Settings_2, 0x45);
    EXPECT_TRUE(Core->FHaltChargeActive);

    Ops().ResetRegisterImages();
    EXPECT_EQ(Core->Prox_Settings_1, 0x11);
    EXPECT_FALSE(Core->FReseed);
    EXPECT_FALSE(Core->FLoadingSettings);
}

TEST_F(RegistersTest, SystemFlagsWritesKeepTheOtherBits)
{
    Tool->Registers[0x01][0] = 0xED; // 1110 1101
    S().IgnoreFHRadioGroup = 1;
    EXPECT_TRUE(Ops().WriteIgnoreFH());
    EXPECT_EQ(Tool->Writes().back(), V({0x01, 0xEF}));
    EXPECT_EQ(Ops().CommandLog.Newest().join('|'), "1|0x01|1|0x02");

    S().ProjectedRiadioGroup = 0;
    EXPECT_TRUE(Ops().WriteProjectedSelf());
    EXPECT_EQ(Tool->Writes().back(), V({0x01, 0xEF & ~0x10}));
    EXPECT_EQ(Ops().CommandLog.Newest().at(3), "0x02");

    Tool->Registers[0x01][0] = 0xFF;
    Ops().AckResetButtonClick();
    EXPECT_EQ(Tool->Writes().back(), V({0x01, 0x7F}));
    EXPECT_EQ(Ops().CommandLog.Newest().at(3), "0x10");
    EXPECT_FALSE(Screen.AckReset);
    // These writes add no success item.
    EXPECT_FALSE(Msgs.Infos.contains("Command sent successfully"));

    // A failed read skips the write.
    Tool->Clear();
    Tool->FailNext(0x12, 0x01, 0x0C);
    EXPECT_FALSE(Ops().WriteIgnoreFH());
    EXPECT_TRUE(Tool->Writes().empty());
}

TEST_F(RegistersTest, StreamingIsPausedAndResumedAroundSingleOperations)
{
    Core->FIsStreaming = true;
    Tool->Registers[0x00][0] = 67;
    Tool->Registers[0x00][1] = 3;
    EXPECT_TRUE(Ops().GetVersion());
    EXPECT_EQ(Tool->Codes(), V({StopStreamingCode, 0x12, StreamLengthCode, 0x15}));
    EXPECT_EQ(Screen.Version, "67 : 3");
    EXPECT_TRUE(Msgs.Infos.contains("Device Version (PROD:SW):  67 : 3"));

    // A failed transfer does not resume; the stream is still marked as running.
    Tool->Clear();
    Tool->FailNext(0x12, 0x0A, 0x0C);
    EXPECT_FALSE(Ops().ReadAllThr());
    EXPECT_EQ(Tool->Codes(), V({StopStreamingCode, 0x12}));
    EXPECT_TRUE(Core->FIsStreaming);

    // In a composite read the single reads leave streaming alone.
    Tool->Clear();
    Core->FGuiUpdate = true;
    EXPECT_TRUE(Ops().ReadAllTimings());
    EXPECT_EQ(Tool->Codes(), V({0x12, 0x12}));
}

TEST_F(RegistersTest, ReadSettingsDecodesAndClearsItsFlagsOnEveryExit)
{
    Tool->Registers[0x01][0] = 0x12;
    Tool->Registers[0x09] = {0xFF, 0xFF, 0xBF, 0x49, 0x5A};
    Tool->Registers[0x0B] = {9, 8, 7};
    Tool->Registers[0x0C] = {1, 2, 3};
    Screen.ForceSleep = false;
    Core->FIsStreaming = true;
    EXPECT_TRUE(Ops().ReadSettingsFromChip(true));
    EXPECT_FALSE(Core->FGuiUpdate);
    EXPECT_FALSE(Core->FLoadingSettings);
    // No resume was asked for.
    EXPECT_EQ(Tool->Codes(), V({StopStreamingCode, 0x12, 0x12, 0x12, 0x12}));

    const TSettingsRecord& s = S();
    EXPECT_EQ(s.ProjectedRiadioGroup, 1);
    EXPECT_EQ(s.IgnoreFHRadioGroup, 1);
    EXPECT_EQ(Core->Prox_Settings_0, 0xE7); // command bits dropped
    EXPECT_EQ(s.ATIRadio, 0);
    EXPECT_EQ(s.BandRadio, 1);
    EXPECT_EQ(s.CommsModeRadio, 0);
    EXPECT_EQ(s.LTABetaRadio, 3);
    EXPECT_EQ(s.SliderRadio, 3);
    EXPECT_EQ(s.MovementRadio, 2); // 3 is beyond the last item
    EXPECT_EQ(s.OutRadio, 3);
    EXPECT_EQ(s.WakeRadio, 1);
    EXPECT_TRUE(Screen.ForceSleep); // bit 6 clear re-enables the button
    EXPECT_EQ(s.OffModeRadio, 1);
    EXPECT_EQ(s.HaltChargeRadio, 1);
    EXPECT_TRUE(Core->FHaltChargeActive);
    EXPECT_EQ(s.XferRadio, 1);
    EXPECT_EQ(s.ProxRadio, 0);
    EXPECT_EQ(s.TouchRadio, 1);
    EXPECT_EQ(s.FlickLeftRadio, 1);
    EXPECT_EQ(s.FlickRightRadio, 0);
    EXPECT_EQ(s.LPSpin, 9);
    EXPECT_EQ(s.Targ2Spin, 7);
    EXPECT_EQ(s.FlickThrSpin, 3);
    // The other images are not rebuilt by a read.
    EXPECT_EQ(Core->Prox_Settings_1, 0x11);

    Tool->Clear();
    Tool->FailNext(0x12, 0x0B, 0x0C);
    EXPECT_FALSE(Ops().ReadSettingsFromChip(false));
    EXPECT_FALSE(Core->FGuiUpdate);
    EXPECT_FALSE(Core->FLoadingSettings);
    EXPECT_EQ(Tool->Codes(), V({StopStreamingCode, 0x12, 0x12, 0x12}));

    Core->FPowerOn = false;
    EXPECT_FALSE(Ops().ReadSettingsFromChip(false));
    EXPECT_FALSE(Core->FGuiUpdate || Core->FLoadingSettings);
}

TEST_F(RegistersTest, ReadsOfMultipliersAndThresholdsFillTheRecord)
{
    Tool->Registers[0x07] = {0x3F, 0x21, 0x00, 0x10, 0xF1, 0x2E};
    Tool->Registers[0x08] = {0, 10, 20, 255};
    Tool->Registers[0x0A] = {0, 27, 255, 16, 3, 0x0B, 255, 0};
    EXPECT_TRUE(Ops().ReadMultComp());
    EXPECT_TRUE(Ops().ReadAllThr());
    const TSettingsRecord& s = S();
    EXPECT_EQ(s.Sens0Combo, 3);
    EXPECT_EQ(s.Comp0Combo, 15);
    EXPECT_EQ(s.Sens1Combo, 2);
    EXPECT_EQ(s.Comp1Combo, 1);
    EXPECT_EQ(s.Sens3Combo, 1);
    EXPECT_EQ(s.CH0BaseCombo, 1);
    EXPECT_EQ(s.CH1BaseCombo, 15);
    EXPECT_EQ(s.CH2BaseCombo, 14);
    EXPECT_EQ(s.CH3BaseCombo, 2);
    EXPECT_EQ(s.Comp3Spin, 255);
    EXPECT_EQ(s.ProxSpin, 1); // the spin's minimum
    EXPECT_EQ(s.Touch1Spin, 27);
    EXPECT_TRUE(s.FHCheckCh0);
    EXPECT_TRUE(s.FHCheckCh1);
    EXPECT_FALSE(s.FHCheckCh2);
    EXPECT_TRUE(s.FHCheckCh3);
    EXPECT_EQ(s.HaltSpin, 255);
}

TEST_F(RegistersTest, ActualBaseIsTwiceTheMemoryByteAndStopsAtAFailure)
{
    Tool->Memory[0x7E] = 0x4B;
    Tool->Memory[0x7F] = 100;
    Tool->Memory[0x99] = 1;
    Tool->Memory[0x3F] = 255;
    EXPECT_TRUE(Ops().ReadActualBase());
    EXPECT_EQ(Core->FActualBase, (std::array<int32_t, 4>{150, 200, 2, 510}));
    EXPECT_TRUE(Core->FActualBaseRead);
    EXPECT_EQ(S().Base0Edit, "150");
    const auto w = Tool->Writes();
    ASSERT_EQ(w.size(), 8u);
    EXPECT_EQ(w[0], V({0xFC, 0x7E}));
    EXPECT_EQ(w[1], V({0xFD}));
    EXPECT_EQ(w[6], V({0xFC, 0x3F}));
    EXPECT_EQ(Ops().CommandLog.ListCount(), 0); // not logged

    Core->FActualBaseRead = false;
    Core->FIsStreaming = true;
    Tool->Clear();
    Tool->FailNext(0x0A, -1, 0x0C);
    EXPECT_FALSE(Ops().ReadActualBase());
    EXPECT_FALSE(Core->FActualBaseRead);
    EXPECT_EQ(Tool->Codes(), V({StopStreamingCode, 0x0B, 0x0B, 0x0A}));
}

TEST_F(RegistersTest, CalCapSwitchIsAReadModifyWriteOfBit3)
{
    Tool->Memory[0x6A] = 0xF1;
    EXPECT_TRUE(Ops().SetCalCap(true));
    EXPECT_EQ(Tool->Memory[0x6A], 0xF9);
    EXPECT_EQ(Tool->Writes().back(), V({0xFD, 0xF9}));
    EXPECT_TRUE(Ops().SetCalCap(false));
    EXPECT_EQ(Tool->Memory[0x6A], 0xF1);
    EXPECT_EQ(Ops().CommandLog.ListCount(), 0);
}

TEST_F(RegistersTest, EngineeringAccessRefusesTextThatIsNoByte)
{
    Tool->Registers[0x2A][0] = 0xC3;
    S().MMAddressEdit = "2a";
    Ops().ReadMMButtonClick();
    EXPECT_EQ(S().MMDataEdit, "C3");

    for (const QString& bad : {QString("G1"), QString("1FF"), QString("0x1")}) {
        Tool->Clear();
        S().MMAddressEdit = bad;
        S().MMDataEdit = "01";
        Ops().WriteMMButtonClick();
        Ops().ReadMMButtonClick();
        S().DirAddrEdit = bad;
        S().DirDataEdit = "01";
        Ops().InDirWriteButtonClick();
        Ops().InDirReadButtonClick();
        EXPECT_TRUE(Tool->Commands().empty()) << bad.toStdString();
    }
    EXPECT_EQ(Msgs.Errors.count("Invalid address!"), 12);
    S().DirAddrEdit = "10";
    S().DirDataEdit = "";
    Ops().InDirWriteButtonClick();
    EXPECT_TRUE(Msgs.Errors.contains("Invalid data!"));

    S().MMAddressEdit = "";
    Ops().WriteMMButtonClick();
    EXPECT_TRUE(Msgs.Errors.contains("No address or data specified!"));
    Ops().ReadMMButtonClick();
    EXPECT_TRUE(Msgs.Errors.contains("No address specified!"));
    EXPECT_TRUE(Tool->Writes().empty());
}

TEST_F(RegistersTest, RawWritesAreLoggedOnlyWhileTheTableIsOpen)
{
    S().MMAddressEdit = "0D";
    S().MMDataEdit = "05";
    S().DirAddrEdit = "6A";
    S().DirDataEdit = "08";
    Ops().WriteMMButtonClick();
    Ops().InDirWriteButtonClick();
    EXPECT_EQ(Ops().CommandLog.ListCount(), 0);
    EXPECT_EQ(Tool->Writes(), (std::vector<std::vector<uint8_t>>{V({0x0D, 0x05}), V({0xFC, 0x6A}), V({0xFD, 0x08})}));
    EXPECT_EQ(Tool->Memory[0x6A], 0x08);

    Core->FEasyShowSend = true;
    Ops().WriteMMButtonClick();
    // The indirect write goes on to its data byte after a failed address write.
    Tool->FailNext(0x0B, 0xFC, 0x0C);
    Ops().InDirWriteButtonClick();
    EXPECT_EQ(Ops().CommandLog.ListCount(), 3);
    EXPECT_EQ(Ops().CommandLog.Row(1).join('|'), "2|0xFC|1|0x6A");
    EXPECT_EQ(Ops().CommandLog.Row(2).join('|'), "3|0xFD|1|0x08");
    EXPECT_EQ(Tool->Writes().size(), 6u);
}

TEST_F(RegistersTest, ActiveChannelsFollowTheChecks)
{
    Core->FResources = {1, 2, 2, 0};
    Core->CHCheck = {true, false, true, false};
    Ops().CH0CheckClick();
    EXPECT_EQ(Tool->Writes().back(), V({0x0D, 0x05}));
    EXPECT_EQ(Core->FResources, (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(Screen.Calls.filter("Empty").join(','), "Empty(1)");
    EXPECT_TRUE(Core->FActiveChannels);

    // Checking "All" also starts a new ATI; unchecking does not.
    Tool->Clear();
    Core->AllCHsCheck = true;
    Ops().AllCHsCheckClick();
    EXPECT_EQ(Tool->Writes(), (std::vector<std::vector<uint8_t>>{V({0x0D, 0x0F}), V({0x09, 0x10})}));
    Tool->Clear();
    Core->AllCHsCheck = false;
    Ops().AllCHsCheckClick();
    EXPECT_EQ(Tool->Writes(), (std::vector<std::vector<uint8_t>>{V({0x0D, 0x00})}));
    EXPECT_FALSE(Core->FActiveChannels);
}

TEST_F(RegistersTest, HaltChargeWaitKeepsTheEventLoopRunningAndTheTrafficInOrder)
{
    S().LPSpin = 10; // 160 ms
    Core->FIsStreaming = true;
    bool done = false, result = false, ticked = false;
    QTimer::singleShot(40, [&] { ticked = true; });
    Ops().ProxSettings3Cmd([&](bool ok) { done = true; result = ok; });
    EXPECT_FALSE(done);
    EXPECT_TRUE(Core->FRegBusy);
    EXPECT_TRUE(Core->KorvaneDevList1->HidLayer()->DeliveryHeld());
    // Another operation meanwhile is refused and sends nothing.
    const size_t before = Tool->Commands().size();
    EXPECT_FALSE(Ops().WriteAllThr());
    EXPECT_EQ(Tool->Commands().size(), before);
    EXPECT_TRUE(Msgs.Errors.contains("Another chip operation is still running!"));

    ASSERT_TRUE(WaitUntil([&] { return done; }));
    EXPECT_TRUE(result);
    EXPECT_TRUE(ticked);
    EXPECT_FALSE(Core->FRegBusy);
    EXPECT_FALSE(Core->KorvaneDevList1->HidLayer()->DeliveryHeld());
    EXPECT_EQ(Screen.Calls.filter("Busy").join(','), "Busy(1),Busy(0)");
    const auto c = Tool->Traffic();
    ASSERT_EQ(Tool->Codes(), V({StopStreamingCode, 0x11, 0x10, 0x0B, StreamLengthCode, 0x15}));
    EXPECT_EQ(c[1].Payload, V({10, 1}));
    EXPECT_EQ(c[2].Payload, V({10}));
    EXPECT_GE(c[2].AtMs - c[1].AtMs, 150);
    EXPECT_EQ(c[3].Payload, V({0x09, 0x00, 0x11, 0x00, 0x00}));
}

TEST_F(RegistersTest, HaltChargeOnLeavesStreamingRunning)
{
    Core->FIsStreaming = true;
    S().HaltChargeRadio = 1;
    bool result = false;
    Ops().ProxSettings3Cmd([&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    EXPECT_TRUE(Core->FHaltChargeActive);
    EXPECT_EQ(Tool->Codes(), V({StopStreamingCode, 0x0B})); // paused, not resumed while the charge halts
    // Switching it off again: no pause (the stream did not run), the IO line, then the resume.
    Tool->Clear();
    S().HaltChargeRadio = 0;
    Ops().ProxSettings3Cmd([&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    EXPECT_EQ(Tool->Codes(), V({0x11, 0x10, 0x0B, StreamLengthCode, 0x15}));
}

TEST_F(RegistersTest, LeavingOffModeWakesTheChipAndRewritesEverySetting)
{
    S().HaltChargeRadio = 1;
    S().OffModeRadio = 1;
    bool result = false;
    Ops().ProxSettings3Cmd([&](bool ok) { result = ok; });
    EXPECT_TRUE(result);
    EXPECT_TRUE(Core->WasOff);
    EXPECT_EQ(Tool->Writes().back(), V({0x09, 0x00, 0x11, 0x00, 0x48}));

    Tool->Clear();
    S().OffModeRadio = 0;
    bool done = false;
    Ops().ProxSettings3Cmd([&](bool ok) { done = true; result = ok; });
    EXPECT_FALSE(done);
    ASSERT_TRUE(WaitUntil([&] { return done; }));
    EXPECT_TRUE(result);
    EXPECT_FALSE(Core->WasOff);
    const auto c = Tool->Commands();
    ASSERT_GE(c.size(), 4u);
    EXPECT_EQ(c[0].Code, 0x11);
    EXPECT_EQ(c[0].Payload, V({7, 1}));
    EXPECT_EQ(c[1].Code, 0x10);
    EXPECT_GE(c[1].AtMs - c[0].AtMs, 90);
    EXPECT_GE(c[2].AtMs - c[1].AtMs, 90);
    // The whole set-up, ending with a new ATI, then the byte itself.
    const auto w = Tool->Writes();
    ASSERT_GE(w.size(), 9u);
    EXPECT_EQ(w[0], V({0x0D, 0x0F}));
    EXPECT_EQ(w[1], V({0x09, 0x00, 0x15, 0x05, 0x08, 0xFF}));
    EXPECT_EQ(w[w.size() - 2], V({0x09, 0x10}));
    EXPECT_EQ(w.back(), V({0x09, 0x00, 0x15, 0x05, 0x08}));
    EXPECT_TRUE(Screen.Calls.contains("Delta"));
}

// Frames through the real frame handler: flags only, the initial stream set-up.
class RegistersFrames : public RegistersTest {
protected:
    void Frame(uint8_t flags)
    {
        std::vector<uint8_t> f(3 + size_t(Core->StreamSetup.FStreamLength), 0);
        f[0] = 0x0F;
        f[3] = flags;
        Core->Decoder->KT880Device1Streaming(uint16_t(f.size()), 0, f.data());
    }
};

TEST_F(RegistersFrames, ForceSleepCompletesThreeFramesAfterLowPowerEnds)
{
    EXPECT_TRUE(Ops().ForceSleepButtonClick());
    EXPECT_EQ(Tool->Writes().back(), V({0x09, 0x00, 0x11, 0x45}));
    EXPECT_FALSE(Screen.ForceSleep);
    Frame(0x00);
    Frame(0x01);
    Frame(0x01);
    Frame(0x00); // low power left
    EXPECT_TRUE(Core->FForceSleep);
    Frame(0x00);
    Frame(0x00);
    Frame(0x00);
    EXPECT_TRUE(Core->FForceSleep);
    EXPECT_FALSE(Screen.ForceSleep);
    Frame(0x00);
    EXPECT_FALSE(Core->FForceSleep);
    EXPECT_TRUE(Screen.ForceSleep);

    // A failed request returns to idle at once.
    Tool->FailNext(0x0B, 0x09, 0x0C);
    EXPECT_FALSE(Ops().ForceSleepButtonClick());
    EXPECT_FALSE(Core->FForceSleep);
    EXPECT_TRUE(Screen.ForceSleep);
}

TEST_F(RegistersFrames, ResetAcknowledgeWaitsTenUpdatesAndTheResetFlag)
{
    Ops().AckResetButtonClick();
    EXPECT_FALSE(Screen.AckReset);
    Core->FShowReset = true;
    for (int i = 0; i < 10; ++i)
        Ops().AckResetFrame();
    EXPECT_FALSE(Screen.AckReset);
    EXPECT_EQ(Core->FAckCount, 10);
    Core->FShowReset = false;
    Ops().AckResetFrame();
    EXPECT_TRUE(Core->FAckReset);
    Core->FShowReset = true;
    Ops().AckResetFrame();
    EXPECT_TRUE(Screen.AckReset);
    EXPECT_FALSE(Core->FAckReset);
}

TEST_F(RegistersTest, CommandLogRowsAndClear)
{
    TSendCommandLog& log = Ops().CommandLog;
    TKvrByteArray data{};
    data[0] = 0x12;
    for (int i = 1; i <= 12; ++i)
        data[size_t(i)] = uint8_t(i);
    log.AddCommand(2, 0x0312, data, 12 + 256);
    EXPECT_EQ(log.Row(0).mid(0, 5).join('|'), "1|0x0312|12|0x01|0x02");
    EXPECT_EQ(log.Row(0).size(), 15);
    log.Clear();
    EXPECT_EQ(log.ListCount(), 0);
    EXPECT_TRUE(log.Newest().isEmpty());
    log.AddCommand(1, 0x0D, data, 1);
    EXPECT_EQ(log.Row(0).at(0), "1");
}

} // namespace
