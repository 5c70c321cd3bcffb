// Stream set-up and frame decode with hand-built frames fed straight to the frame handler.
#include "core/session_support.h"

#include "app/SessionControl.h"
#include "hid/VirtualHidBackend.h"

#include <gtest/gtest.h>

namespace {

class SessionDecode : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    TMainCore Core{std::make_shared<VirtualHidBackend>(), &Messages, &View};
    TSettingsRecord& S = Core.Settings;
    TStreamSetup& Setup = Core.StreamSetup;

    void Blocks(int bits)
    {
        Setup.SetStreamingSetup(uint8_t(bits));
        Setup.SetupStreaming();
    }
    // A frame of the initial set-up; counts and averages are padded to five words.
    void Frame(uint8_t flags, std::vector<uint16_t> counts, std::vector<uint16_t> ltas, uint8_t status = 0,
               uint8_t events = 0)
    {
        counts.resize(5);
        ltas.resize(5);
        FrameBuilder f;
        f.Flags(flags, events).Coordinates(0, 0, 0).ProxTouch(status, 0);
        for (uint16_t w : counts)
            f.Word(w);
        for (uint16_t w : ltas)
            f.Word(w);
        Feed(Core, f);
    }
};

TEST_F(SessionDecode, StreamMapAndOffsetsOfEveryBlockCombination)
{
    EXPECT_EQ(Setup.FStreamLength, 27);
    for (int p = 0; p < 40; ++p)
        EXPECT_EQ(Setup.FStreamBytes[p], p == 0 ? 1 : p == 2 ? 2 : p == 5 ? 3 : p == 7 ? 4 : p == 17 ? 5 : 0) << p;
    Blocks(0x1F);
    EXPECT_EQ(Setup.FStreamLength, 35);
    EXPECT_EQ(Setup.DeltasStartIndex, 30); // deltas at frame offsets 30..37

    // Whatever the blocks, the values land where the blocks were appended in stream order.
    for (int bits = 0; bits < 32; ++bits) {
        const bool wheel = bits & 1, pt = bits & 2, cs = bits & 4, lta = bits & 8, deltas = bits & 16;
        Blocks(bits);
        EXPECT_EQ(Setup.FStreamLength, 2 + 3 * wheel + 2 * pt + 10 * cs + 10 * lta + 8 * deltas) << bits;
        Core.FCurrentChs.fill(-1);
        Core.FLTAChs.fill(-1);
        Core.FDeltaChs.fill(-1);
        FrameBuilder f;
        f.Flags(0x10, 0); // projected
        if (wheel)
            f.Coordinates(128, 0x05, 0x00);
        if (pt)
            f.ProxTouch(0x0B, 0x03);
        if (cs)
            f.Words({900, uint16_t(1000 + bits), 1100, 1200, 1300});
        if (lta)
            f.Words({800, 990, 1090, 1190, 1290});
        if (deltas)
            f.Words({41, 42, 43, 44});
        Feed(Core, f);
        EXPECT_EQ(Core.FWheelEvent, wheel) << bits;
        if (wheel) {
            EXPECT_EQ(Core.FWheelData1, 128) << bits;
        }
        EXPECT_EQ(Core.FTouch, pt ? 0x0A : 0) << bits;
        EXPECT_EQ(Core.FHalt, pt ? 3 : 0) << bits;
        EXPECT_EQ(Core.FLPcsCH, cs ? 900 : 0) << bits;
        EXPECT_EQ(Core.FLPltaCH, lta ? 800 : 0) << bits;
        EXPECT_EQ(Core.FCurrentChs[0], cs ? 1000 + bits : -1) << bits;
        EXPECT_EQ(Core.FLTAChs[3], lta ? 1290 : -1) << bits;
        EXPECT_EQ(Core.FDeltaChs[0], deltas ? 41 : (cs && lta) ? 10 + bits : -1) << bits;
        EXPECT_EQ(Core.FDeltaChs[3], deltas ? 44 : (cs && lta) ? 10 : -1) << bits;
    }
}

TEST_F(SessionDecode, BaselineViewBoxAndApplyOfTheSetup)
{
    S.DeltaCheck = true;
    Blocks(StreamBits::CS | StreamBits::Wheel);
    EXPECT_FALSE(View.DeltaCheckEnabled);
    EXPECT_FALSE(S.DeltaCheck);
    Blocks(StreamBits::Deltas);
    EXPECT_TRUE(View.DeltaCheckEnabled);

    // Deltas alone are refused and the coordinates box is checked again.
    EXPECT_TRUE(Setup.StreamChangeClick());
    EXPECT_FALSE(Setup.ApplyStreamSetup());
    EXPECT_EQ(View.Warnings, QStringList{"At least 1 selection must be active in Streaming Setup!"});
    EXPECT_TRUE(S.WheelCheck);
    EXPECT_FALSE(Messages.HasInfo("Streaming setup configured"));

    Core.FDeltaOnly = true;
    Setup.SetStreamingSetup(StreamBits::Wheel | StreamBits::LTA);
    EXPECT_TRUE(Setup.ApplyStreamSetup());
    EXPECT_EQ(Setup.FStreamLength, 15);
    EXPECT_EQ(Setup.LTAStartIndex, 8);
    EXPECT_TRUE(Messages.HasInfo("Streaming setup configured"));
    EXPECT_TRUE(Messages.HasError("Count Samples are disabled"));
    EXPECT_FALSE(Messages.HasError("Long Term Averages are disabled"));
    EXPECT_EQ(Messages.Count("Unable to calculate deltas!"), 1);
    EXPECT_EQ(Setup.FPrevSetup, StreamBits::Wheel | StreamBits::LTA);
    EXPECT_FALSE(Setup.StreamChangeClick());
}

TEST_F(SessionDecode, CoordinatesSignRuleAndPercent)
{
    const struct {
        uint8_t low, high;
        int32_t relative;
    } rel[] = {{0xFF, 0xFF, -1}, {0x00, 0x80, 32768}, {0x05, 0x00, 5}, {0x01, 0x80, -32767}};
    for (const auto& c : rel) {
        Feed(Core, FrameBuilder().Flags(0, 0).Coordinates(0, c.low, c.high));
        EXPECT_EQ(Core.FWheelData2, c.relative);
        EXPECT_EQ(View.Steps.back(), c.relative);
    }
    Core.RelativeCheck = false; // the raw value, and the marker stays
    Feed(Core, FrameBuilder().Flags(0, 0).Coordinates(0, 0xFF, 0xFF));
    EXPECT_EQ(Core.FWheelData2, 0xFFFF);
    EXPECT_EQ(View.Steps.size(), 4u);

    const struct {
        int slider;
        uint8_t position;
        int percent;
    } pos[] = {{2, 96, 50}, {1, 32, 12}, {3, 96, 38}, {1, 255, 100}, {2, 255, 100}};
    for (const auto& c : pos) {
        S.SliderRadio = c.slider;
        Feed(Core, FrameBuilder().Flags(0, 0).Coordinates(c.position, 0, 0));
        EXPECT_EQ(Core.FWheelPercent, c.percent) << c.slider << " " << int(c.position);
        EXPECT_EQ(View.Percent, c.percent);
    }
}

TEST_F(SessionDecode, LowPowerChannelZeroAndForceSleep)
{
    Core.FForceSleep = true;
    Frame(0x11, {700, 1000, 1100}, {650, 990, 1090}); // projected, low power
    EXPECT_TRUE(Core.FLP);
    EXPECT_EQ(View.Channel0Label, "L");
    EXPECT_EQ(Core.FDeltaChs[0], 50); // the low-power words
    EXPECT_EQ(Core.FDeltaChs[1], 10);
    Frame(0x01, {700, 1000}, {650, 990}); // self
    EXPECT_EQ(Core.FDeltaChs[0], -50);
    Frame(0x00, {700, 1000}, {650, 990});
    EXPECT_FALSE(Core.FLP);
    EXPECT_EQ(View.Channel0Label, "0");
    EXPECT_EQ(Core.FDeltaChs[0], -10);
    // Force sleep ends on the fourth frame after leaving low power.
    for (int i = 0; i < 3; ++i)
        Frame(0x00, {700, 1000}, {650, 990});
    EXPECT_TRUE(Core.FForceSleep);
    Frame(0x00, {700, 1000}, {650, 990});
    EXPECT_FALSE(Core.FForceSleep);
    EXPECT_TRUE(View.Called("ForceSleepEnabled(1)"));

    // Without averages the deltas keep their last values.
    Blocks(StreamBits::CS);
    Feed(Core, FrameBuilder().Flags(0x10, 0).Words({0, 900, 900, 900, 900}));
    EXPECT_EQ(Core.FCurrentChs[0], 900);
    EXPECT_EQ(Core.FDeltaChs[0], -10);
}

TEST_F(SessionDecode, TouchThresholdFormulas)
{
    S.CH1TThr = 16, S.CH1MulSens = 1, S.CH1MulComp = 2, S.CH1PCC = 5;
    S.CH2TThr = 32, S.CH2MulSens = 0, S.CH2MulComp = 0, S.CH2PCC = 1;
    Core.FActualBase = {0, 200, 100, 150};
    Core.FActualBaseRead = true;
    // The mode used is that of the frame before.
    Frame(0x10, {}, {0, 0, 1000, 1000});
    Frame(0x10, {}, {0, 0, 1000, 1000});
    EXPECT_EQ(Core.FCalcTouchTH[1], 3276);   // 1000*16*4096 / (4 * 5 * 200 * 5) = 3276.8
    EXPECT_EQ(Core.FCalcTouchTH[2], 436906); // 1000*32*4096 / (1 * 3 * 100 * 1)
    Frame(0x00, {}, {0, 0, 1000, 1000});
    Frame(0x00, {}, {0, 0, 1000, 1000});
    EXPECT_EQ(Core.FCalcTouchTH[1], 32);  // 1000*16*4 / (2 * 5 * 200)
    EXPECT_EQ(Core.FCalcTouchTH[2], 426); // 128000 / 300 = 426.7

    // The numerator is a 32-bit signed product.
    S.CH1TThr = 255, S.CH1MulSens = 0, S.CH1MulComp = 0, S.CH1PCC = 1;
    Core.FActualBase[1] = 100;
    Frame(0x10, {}, {0, 0, 65535});
    Frame(0x10, {}, {0, 0, 65535});
    EXPECT_EQ(Core.FCalcTouchTH[1], -898266); // 68449996800 wraps to -269479936; / 300

    // With an actual base of 0: L x (T / 256), halves to even, for all three.
    Core.FActualBase[3] = 0;
    S.CH1TThr = S.CH2TThr = S.CH3TThr = 16;
    Frame(0x10, {}, {0, 0, 24, 8, 40});
    EXPECT_EQ(Core.FCalcTouchTH, (std::array<int32_t, 4>{0, 2, 0, 2}));
    Core.CHCheck[2] = false; // an unchecked channel keeps its value
    Frame(0x10, {}, {0, 0, 48, 48, 48});
    EXPECT_EQ(Core.FCalcTouchTH, (std::array<int32_t, 4>{0, 3, 0, 3}));

    // A multiplier index a settings file put out of range selects nothing: no shift by -1, the estimate.
    Core.CHCheck[2] = true;
    Core.FActualBase = {0, 200, 100, 150};
    ASSERT_TRUE(S.SetValue("Sens1Combo", 7));
    ASSERT_TRUE(S.SetValue("Comp2Combo", 99));
    S.RefreshMultCaches();
    S.CH1TThr = S.CH2TThr = 16;
    Frame(0x10, {}, {0, 0, 512, 512});
    EXPECT_EQ(Core.FCalcTouchTH[1], 32);
    EXPECT_EQ(Core.FCalcTouchTH[2], 32);
}

TEST_F(SessionDecode, FlagsEventsAndProxTouch)
{
    Frame(0xF0, {}, {}, 0x0F, 0xF7);
    EXPECT_TRUE(Core.FShowReset && Core.FMovment && Core.FATIError && Core.FProjected);
    EXPECT_TRUE(Core.FETap && Core.FESlider && Core.FEFlickLeft && Core.FEFlickRight && !Core.FEATI);
    EXPECT_EQ(Core.FProxBools, (std::array<bool, 4>{true, false, false, false}));
    EXPECT_EQ(Core.FTouchBools, (std::array<bool, 4>{false, true, true, true}));
    // An ATI event masks slider, tap and flicks of the same frame.
    Frame(0x00, {}, {}, 0, 0xFF);
    EXPECT_TRUE(Core.FEATI && Core.FEProx && Core.FETouch && Core.FEMov);
    EXPECT_FALSE(Core.FETap || Core.FESlider || Core.FEFlickLeft || Core.FEFlickRight);

    Feed(Core, FrameBuilder().Flags(0, 0).Coordinates(0, 0, 0).ProxTouch(0x04, 0x15));
    EXPECT_TRUE(Core.FFilterHalt);
    S.IgnoreFHRadioGroup = 1;
    Feed(Core, FrameBuilder().Flags(0, 0).Coordinates(0, 0, 0).ProxTouch(0x04, 0x15));
    EXPECT_FALSE(Core.FFilterHalt);

    // Logging events: every frame with prox, and the first one without.
    Core.FLogEvents = true;
    const uint8_t status[] = {0x01, 0x01, 0x00, 0x00, 0x04, 0x00};
    const bool prox[] = {true, true, true, false, false, false}, touch[] = {false, false, false, false, true, true};
    for (int i = 0; i < 6; ++i) {
        Frame(0, {}, {}, status[i]);
        EXPECT_EQ(Core.FProxEvent, prox[i]) << i;
        EXPECT_EQ(Core.FTouchEvent, touch[i]) << i;
    }
}

TEST_F(SessionDecode, FramesOfAnotherToolAfterClosingOrTooShortChangeNothing)
{
    Frame(0x04, {0, 10}, {}, 0x03);
    FrameBuilder other(3);
    other.Flags(0x00, 0xFF).Coordinates(9, 9, 9).ProxTouch(0, 0).Words({1, 2, 3, 4, 5});
    Feed(Core, other);
    EXPECT_EQ(View.Frames, 1);
    EXPECT_EQ(Core.FCurrentChs[0], 10);
    EXPECT_TRUE(Core.FATIBusy);
    EXPECT_TRUE(Core.FProxBools[0]);
    View.ToolID = 3; // the tool setup window shows tool 3 now
    Feed(Core, other);
    EXPECT_EQ(Core.FCurrentChs[0], 2);

    View.ToolID = 0;
    Blocks(0x1F);
    const std::vector<uint8_t> part{0x0F, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 7}; // 15 of 38 bytes
    Core.Decoder->KT880Device1Streaming(uint16_t(part.size()), 0, part.data());
    EXPECT_EQ(Core.Decoder->ShortFrames(), 1u);

    Core.FClosing = true;
    Frame(0, {0, 7}, {});
    EXPECT_EQ(View.Frames, 2);
    EXPECT_EQ(Core.FCurrentChs[0], 2);
}

TEST_F(SessionDecode, EndOfATINoticeActualBaseUpdateAndApplySettingsButton)
{
    Core.FSettingsFile = QStringLiteral("/tmp/x.ini");
    Frame(0x04, {}, {});
    EXPECT_FALSE(Core.LoadSettingsButtonEnabled); // not while ATI runs
    Frame(0x00, {}, {});
    EXPECT_EQ(View.Calls.count("ATINotice"), 1);
    EXPECT_EQ(Core.FUpdateOptions, TFUpdateOptions::utReadActualBase);
    EXPECT_EQ(Messages.Count("Device power is off!"), 1); // the pending update checks the power
    EXPECT_TRUE(Core.LoadSettingsButtonEnabled);

    // After a demo load the next ATI raises no notice, once.
    View.ATINotice = false;
    Core.FSettingsATIMessage = true;
    Frame(0x04, {}, {});
    Frame(0x00, {}, {});
    EXPECT_EQ(View.Calls.count("ATINotice"), 1);
    EXPECT_FALSE(Core.FSettingsATIMessage);
    EXPECT_EQ(View.Calls.count("LoadSettingsButton(1)"), 1);
}

} // namespace
