// Register operations against the simulated tool and chip: what the chip holds after each write, the read
// back into the record, and the parasitic-capacitance measurement over streamed frames.
#include "core/registers_support.h"

#include "app/SessionControl.h"
#include "settings/RegisterMap.h"
#include "sim/Simulator.h"

#include <cmath>
#include <functional>

using namespace registers;
using namespace KT610B;

namespace {

struct CountingView : View {
    int Frames = 0;
    std::function<void()> OnFrame;
    void FrameDecoded() override
    {
        ++Frames;
        if (OnFrame)
            OnFrame();
    }
};

class RegistersSimulator : public ::testing::Test {
protected:
    static SimOptions Options()
    {
        SimOptions o;
        o.manualClock = true;
        o.seed = 11;
        o.scenario = QStringLiteral("idle");
        return o;
    }

    void SetUp() override
    {
        Core = std::make_unique<TMainCore>(Sim.Backend(), &Msgs, &Screen);
        Core->KorvaneDevList1->Activate();
        ASSERT_TRUE(WaitUntil([this] { return Core->KorvaneDevList1->HidDevices().Count == 1; }));
        ASSERT_TRUE(Core->KorvaneHidTool1->SetCurrentDevice(0));
    }
    void TearDown() override { Core.reset(); }

    void PowerOn()
    {
        Core->Session->PowerButtonClick();
        ASSERT_TRUE(Core->FPowerOn) << Msgs.Errors.join('\n').toStdString();
        ASSERT_TRUE(Sim.ChipStatus().powered);
    }
    // Runs samples and lets the frames they stream reach the frame handler.
    void Run(int samples)
    {
        Sim.Advance(samples);
        int last = -1;
        for (int quiet = 0; quiet < 5;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
            quiet = Screen.Frames == last ? quiet + 1 : 0;
            last = Screen.Frames;
        }
    }
    std::vector<uint8_t> Chip(uint8_t address)
    {
        const QByteArray r = Sim.ChipRegister(address);
        return std::vector<uint8_t>(r.begin(), r.end());
    }

    TSimulator Sim{Options()};
    Messages Msgs;
    CountingView Screen;
    std::unique_ptr<TMainCore> Core;
};

// A set-up far from every default (off mode and halt charge stay off: the chip must keep answering).
void Unusual(TSettingsRecord& s)
{
    s.ProjectedRiadioGroup = 1;
    s.IgnoreFHRadioGroup = 1;
    s.ATIRadio = 0;
    s.ATIPartialRadio = 1;
    s.BandRadio = 1;
    s.En4MhzRadio = 1;
    s.WDTRadio = 1;
    s.LTABetaRadio = 3;
    s.SliderRadio = 2;
    s.ACFRadio = 2;
    s.SleepHaltRadio = 1;
    s.WheelFilterRadio = 1;
    s.MovementRadio = 2;
    s.OutRadio = 3;
    s.TDebounceRadio = 1;
    s.ProjectedBiasRadio = 1;
    s.TurboRadio = 1;
    s.XferRadio = 1;
    s.TapRadio = 0;
    s.ProxRadio = 0;
    s.Sens1Combo = 2;
    s.Comp2Combo = 11;
    s.CH0BaseCombo = 3;
    s.CH3BaseCombo = 15;
    s.Comp0Spin = 12;
    s.Comp3Spin = 250;
    s.ProxSpin = 9;
    s.Touch1Spin = 20;
    s.Touch3Spin = 255;
    s.MovThrSpin = 5;
    s.FHCheckCh1 = true;
    s.FHCheckCh3 = true;
    s.HaltSpin = 0;
    s.TimeoutSpin = 9;
    s.LPSpin = 3;
    s.Targ1Spin = 50;
    s.Targ2Spin = 70;
    s.TapSpin = 6;
    s.FlickTimeSpin = 21;
    s.FlickThrSpin = 51;
}

TEST_F(RegistersSimulator, TheChipHoldsWhatEachWriteMeantAndReadsItBack)
{
    PowerOn();
    TRegisterOperations& ops = *Core->RegOps;
    TSettingsRecord& s = Core->Settings;
    Unusual(s);

    ASSERT_TRUE(ops.WriteAllThr());
    ASSERT_TRUE(ops.WriteTimGes(true, true));
    ASSERT_TRUE(ops.WriteMultComp(true, true));
    ops.UpdateAllProxSettings();
    ASSERT_TRUE(ops.ProxSettingsAllCmd());
    ASSERT_TRUE(ops.WriteIgnoreFH());
    ASSERT_TRUE(ops.WriteProjectedSelf());
    Core->CHCheck = {true, true, false, true};
    ops.CH0CheckClick();
    EXPECT_TRUE(Msgs.Errors.isEmpty()) << Msgs.Errors.join('\n').toStdString();

    for (uint8_t reg : {Thresholds, Timings, GestureTimers, Multipliers, Compensation}) {
        const auto held = Chip(reg);
        for (int b = 0; b < FindRegister(reg)->Length; ++b)
            EXPECT_EQ(held.at(size_t(b)), s.ComposeRegisterByte(reg, b)) << int(reg) << " byte " << b;
    }
    const auto prox = Chip(ProxSettings);
    EXPECT_EQ(prox[0], Core->Prox_Settings_0);
    EXPECT_EQ(prox[1], Core->Prox_Settings_1);
    EXPECT_EQ(prox[2], Core->Prox_Settings_2);
    EXPECT_EQ(prox[3], Core->Prox_Settings_3);
    EXPECT_EQ(prox[4], 0xDE);
    EXPECT_EQ(Chip(SystemFlags)[0] & SysFlagsSettingsMask, 0x12);
    EXPECT_EQ(Chip(ActiveChannels)[0], 0x0B);

    // Read back into a record at its defaults.
    const TSettingsRecord written = s;
    s = TSettingsRecord{};
    ASSERT_TRUE(ops.ReadSettingsFromChip(false));
    ASSERT_TRUE(ops.ReadAllThr());
    ASSERT_TRUE(ops.ReadMultComp());
    for (const TRegisterField& f : RegisterFields()) {
        // The chip's own tuning may have moved the compensation.
        if (f.Register != Compensation) {
            EXPECT_EQ(s.Value(f.Control), written.Value(f.Control)) << f.Control.toStdString();
        }
    }
}

TEST_F(RegistersSimulator, ActualBaseAndVersionComeFromTheChip)
{
    PowerOn();
    ASSERT_TRUE(Core->RegOps->GetVersion());
    EXPECT_EQ(Screen.Version, VersionText(TSimChip::ProductNumber, TSimChip::SoftwareVersion));
    ASSERT_TRUE(Core->RegOps->ReadActualBase());
    for (size_t ch = 0; ch < 4; ++ch)
        EXPECT_EQ(Core->FActualBase[ch], 2 * Sim.ChipMemory(ActualBaseAddress[ch]));
}

TEST_F(RegistersSimulator, MeasurementGivesPlausibleCapacitancesAndLeavesTheChipAsItWas)
{
    Screen.ForceSleep = true;
    Core->Session->StartButtonClick();
    ASSERT_TRUE(Core->FIsStreaming) << Msgs.Errors.join('\n').toStdString();
    Run(300); // power-up ATI and the read-back that follows it
    ASSERT_FALSE(Core->FATIBusy);

    TSettingsRecord& s = Core->Settings;
    const TSettingsRecord before = s;
    const auto multipliers = Chip(Multipliers);
    const auto prox = Chip(ProxSettings);
    const size_t errors = size_t(Msgs.Errors.size());

    Core->RegOps->Button2Click();
    EXPECT_TRUE(Core->RegOps->CalCapRunning());
    EXPECT_EQ(Chip(Multipliers)[4], 0xEE); // both bases at 298 while it measures
    EXPECT_TRUE(Chip(ProxSettings)[0] & 0x80); // ATI off
    QElapsedTimer clock;
    clock.start();
    while (Core->RegOps->CalCapRunning() && clock.elapsed() < 15000)
        Run(5);
    ASSERT_FALSE(Core->RegOps->CalCapRunning());
    EXPECT_EQ(size_t(Msgs.Errors.size()), errors) << Msgs.Errors.join('\n').toStdString();

    for (size_t ch = 0; ch < 4; ++ch) {
        bool ok = false;
        const double pf = (s.*TSettingsRecord::ParCapEdit[ch]).toDouble(&ok);
        EXPECT_TRUE(ok);
        EXPECT_TRUE(std::isfinite(Core->CalCap[ch]));
        EXPECT_GT(pf, 0.0) << ch;
        EXPECT_LT(pf, 1000.0) << ch;
    }
    EXPECT_EQ(Screen.Calls.filter("Wait").join(','), "Wait(1),Wait(0)");

    // The record and the chip are set up as before.
    EXPECT_EQ(s.ATIRadio, before.ATIRadio);
    EXPECT_EQ(s.CH0BaseCombo, before.CH0BaseCombo);
    EXPECT_EQ(s.CH1BaseCombo, before.CH1BaseCombo);
    for (auto field : TSettingsRecord::CompSpin)
        EXPECT_EQ(s.*field, before.*field);
    EXPECT_EQ(Chip(Multipliers), multipliers);
    EXPECT_EQ(Chip(ProxSettings)[0] & 0x80, prox[0] & 0x80);
    EXPECT_FALSE(Sim.ChipMemory(CalCapSwitchAddress) & (1 << CalCapSwitchBit));
    EXPECT_FALSE(Core->CalCapPreCapture || Core->CalCapCapture);
}

TEST_F(RegistersSimulator, InvalidFactorStartsNothing)
{
    PowerOn();
    Core->Settings.Edit1 = QStringLiteral("0,9x");
    const auto before = Chip(Multipliers);
    Core->RegOps->Button2Click();
    EXPECT_FALSE(Core->RegOps->CalCapRunning());
    EXPECT_TRUE(Msgs.Errors.contains("Invalid factor!"));
    EXPECT_EQ(Chip(Multipliers), before);
}

// What the screen shows as a channel's touch threshold is where the chip decides touch: over a finger swept
// across the keys (every delta from none to full), the touch bit rises only on frames at or over the shown
// threshold, stays off while two frames in a row reach it only short of debounce, and falls only below it.
TEST_F(RegistersSimulator, ShownTouchThresholdIsWhereTheChipDecidesTouch)
{
    struct Sample {
        int Delta, Threshold, Lta;
        bool Touch;
    };
    std::array<std::vector<Sample>, 4> frames;
    bool recording = false;
    Screen.OnFrame = [&] {
        if (!recording || Core->FATIBusy || !Core->FActualBaseRead)
            return;
        for (int c = 1; c < 4; ++c)
            frames[size_t(c)].push_back({Core->FDeltaChs[c], Core->FCalcTouchTH[c], Core->FLTAChs[c],
                                          Core->FTouchBools[c]});
    };

    const auto sweep = [&] {
        frames = {};
        recording = true;
        for (int c = 1; c < 4; ++c) {
            Sim.SetTouch(c, true);
            Run(12);
            Sim.SetTouch(c, false);
            Run(12);
        }
        // A finger gliding over the three keys and back presses each one from its edge to its centre.
        for (int i = 0; i <= 120; ++i) {
            const double p = i <= 60 ? i / 60.0 : (120 - i) / 60.0;
            Sim.SetWheelFinger(true, p);
            Run(1);
        }
        Sim.SetWheelFinger(false, 0.0);
        Run(12);
        recording = false;
    };
    const auto check = [&](const char* mode) {
        int touched = 0, between = 0;
        for (int c = 1; c < 4; ++c) {
            const auto& f = frames[size_t(c)];
            for (size_t k = 1; k < f.size(); ++k) {
                SCOPED_TRACE(testing::Message() << mode << " CH" << c << " frame " << k << " delta " << f[k].Delta
                                                << " shown " << f[k].Threshold);
                EXPECT_GT(f[k].Threshold, 0);
                if (f[k].Touch && !f[k - 1].Touch) {
                    EXPECT_GE(f[k].Delta, f[k].Threshold);
                }
                if (!f[k].Touch && f[k - 1].Touch) {
                    EXPECT_LT(f[k].Delta * 8, f[k].Threshold * 7);
                }
                if (!f[k - 1].Touch && f[k - 1].Delta >= f[k - 1].Threshold && f[k].Delta >= f[k].Threshold) {
                    EXPECT_TRUE(f[k].Touch);
                }
                touched += f[k].Touch;
                // Deltas past a plain share of the average but short of the shown threshold give no touch.
                if (!f[k].Touch && f[k].Delta >= f[k].Lta * 16 / 256 && f[k].Delta < f[k].Threshold)
                    ++between;
            }
        }
        EXPECT_GT(touched, 30) << mode;
        EXPECT_GT(between, 5) << mode;
    };

    Core->Session->StartButtonClick();
    ASSERT_TRUE(Core->FIsStreaming) << Msgs.Errors.join('\n').toStdString();
    Run(300); // power-up ATI and the read-back that follows it
    ASSERT_TRUE(Core->FActualBaseRead);
    sweep();
    check("self");

    // Projected mode divides by the compensation that the chip's own tuning chose; a new touch target makes
    // the next tuning choose another.
    Core->Settings.ProjectedRiadioGroup = 1;
    ASSERT_TRUE(Core->RegOps->WriteProjectedSelf());
    Core->Settings.Targ1Spin = 80;
    ASSERT_TRUE(Core->RegOps->WriteTimGes(true, false));
    ASSERT_TRUE(Core->RegOps->RedoATIBtnClick());
    Run(300);
    ASSERT_FALSE(Core->FATIBusy);
    ASSERT_TRUE(Core->FProjected);
    for (int c = 1; c < 4; ++c)
        EXPECT_EQ(Core->Settings.Compensation(c), std::max<int>(Chip(Compensation)[size_t(c)], 1)) << c;
    sweep();
    check("projected");
    EXPECT_TRUE(Msgs.Errors.isEmpty()) << Msgs.Errors.join('\n').toStdString();
}

} // namespace
