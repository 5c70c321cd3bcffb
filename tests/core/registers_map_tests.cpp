// The register map's conversions and the settings record's encodings, clamping and caches.
#include "settings/RegisterMap.h"
#include "settings/SettingsRecord.h"

#include <gtest/gtest.h>

using namespace KT610B;

namespace {

TEST(RegistersMap, DisplayConversions)
{
    EXPECT_EQ(ThresholdPercentText(16), "6.25%");
    EXPECT_EQ(ThresholdPercentText(27), "10.50%");
    EXPECT_EQ(ThresholdPercentText(32), "12.50%");
    EXPECT_EQ(ThresholdPercentText(255), "99.60%");
    EXPECT_EQ(ThresholdPercentText(1), "0.39%");
    EXPECT_EQ(ThresholdPercentText(8), "3.13%"); // 3.125: halves round away from zero
    EXPECT_EQ(HaltTimeText(0), "Never Halt");
    EXPECT_EQ(HaltTimeText(255), "Always Halt");
    EXPECT_EQ(HaltTimeText(20), "1000 Samples");
    EXPECT_EQ(LowPowerTimeText(10), "160ms");
    EXPECT_EQ(TargetText(48), "384 Target");
    EXPECT_EQ(BaseValue(0), 74);
    EXPECT_EQ(BaseValue(15), 314);
    EXPECT_EQ(BaseItems().last(), "314");
    EXPECT_EQ(CompItems().size(), 16);
    EXPECT_EQ(VersionText(67, 3), "67 : 3");
    EXPECT_EQ(FixedText(12.3456, 4, 2), "12.35");
    EXPECT_EQ(FixedText(123.456, 4, 2), "123.50");
    EXPECT_EQ(FixedText(-2.5, 4, 2), "-2.50");
}

TEST(RegistersMap, EveryFieldHasAControlInTheRecordAndFitsItsByte)
{
    for (const TRegisterField& f : RegisterFields()) {
        const auto* c = TSettingsRecord::FindControl(f.Control);
        ASSERT_NE(c, nullptr) << f.Control.toStdString();
        EXPECT_LE(f.Shift + f.Width, 8) << f.Control.toStdString();
        const TRegisterInfo* r = FindRegister(f.Register);
        ASSERT_NE(r, nullptr);
        EXPECT_LT(f.Byte, r->Length) << f.Control.toStdString();
        if (f.Kind == TControlKind::ckRadio || f.Kind == TControlKind::ckCombo) {
            EXPECT_LE(f.Items.size(), 1 << f.Width) << f.Control.toStdString();
        }
    }
    EXPECT_EQ(FindRegisterField("XferRadio")->Items.first(), "500Khz  / 1MHz (4M OSC)");
}

TEST(RegistersRecord, FormDefaultsComposeTheDocumentedBytes)
{
    const TSettingsRecord s;
    EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, 0), 0x00);
    EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, 1), 0x15);
    EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, 2), 0x05);
    EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, 3), 0x00);
    EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, 4), 0xFF);
    const uint8_t thresholds[8] = {0x04, 0x10, 0x10, 0x10, 0x03, 0x00, 0x14, 0x04};
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(s.ComposeRegisterByte(Thresholds, b), thresholds[b]) << b;
    EXPECT_EQ(s.ComposeRegisterByte(Timings, 1), 48);
    EXPECT_EQ(s.ComposeRegisterByte(GestureTimers, 2), 50);
}

TEST(RegistersRecord, DecodeIsTheInverseOfComposeAndClampsRadioItems)
{
    TSettingsRecord s;
    for (int v = 0; v < 256; ++v) {
        for (int byte = 0; byte < 5; ++byte) {
            s.DecodeRegisterByte(ProxSettings, byte, uint8_t(v));
            const int commandBits = byte == 0 ? 0x18 : byte == 2 ? 0x40 : 0;
            // Movement 3 has no item: it reads back as the last one (2).
            int expected = v & ~commandBits;
            if (byte == 2 && ((v >> 2) & 3) == 3)
                expected = (expected & ~0x0C) | 0x08;
            EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, byte), expected) << byte << " " << v;
        }
    }
    s.DecodeRegisterByte(ProxSettings, 2, 0x0C);
    EXPECT_EQ(s.MovementRadio, 2);
}

TEST(RegistersRecord, NoSelectionDoesNotSpillIntoOtherBits)
{
    TSettingsRecord s;
    s.LTABetaRadio = -1;
    s.SliderRadio = 1;
    s.ACFRadio = 1;
    EXPECT_EQ(s.ComposeRegisterByte(ProxSettings, 1), 0x05);
    s.Sens0Combo = -1;
    s.Comp0Combo = 2;
    EXPECT_EQ(s.ComposeRegisterByte(Multipliers, 0), 0x02);
}

TEST(RegistersRecord, ValuesAreTakenTheWayTheControlsTakeThem)
{
    TSettingsRecord s;
    EXPECT_TRUE(s.SetValue("SliderRadio", 9));
    EXPECT_EQ(s.SliderRadio, 3);
    EXPECT_TRUE(s.SetValue("SliderRadio", -5));
    EXPECT_EQ(s.SliderRadio, -1);
    EXPECT_TRUE(s.SetValue("Sens0Combo", 7));
    EXPECT_EQ(s.Sens0Combo, -1);
    EXPECT_TRUE(s.SetValue("CH1BaseCombo", 15));
    EXPECT_EQ(s.Value("CH1BaseCombo"), 15);
    EXPECT_TRUE(s.SetValue("ProxSpin", 0));
    EXPECT_EQ(s.ProxSpin, 1);
    EXPECT_TRUE(s.SetValue("HaltSpin", 300));
    EXPECT_EQ(s.HaltSpin, 255);
    EXPECT_TRUE(s.SetValue("GraphMaxSpin", 0));
    EXPECT_EQ(s.GraphMaxSpin, 1);
    EXPECT_TRUE(s.SetValue("FHCheckCh2", -1));
    EXPECT_TRUE(s.FHCheckCh2);
    EXPECT_EQ(s.ReseedBlock(), 0x04);
    EXPECT_FALSE(s.SetValue("Edit1", 1));
    EXPECT_FALSE(s.SetValue("NoSuchControl", 1));
    EXPECT_EQ(TSettingsRecord::FindControl("Edit1")->Text, &TSettingsRecord::Edit1);
    EXPECT_EQ(s.Edit1, "0.935");
}

TEST(RegistersRecord, CachesFollowTheFieldsWithZeroCompensationAsOne)
{
    TSettingsRecord s;
    EXPECT_EQ(s.Compensation(1), 1);
    EXPECT_EQ(s.TouchThreshold(3), 16);
    s.Sens2Combo = 3;
    s.Comp3Combo = 9;
    s.Comp1Spin = 0;
    s.Comp2Spin = 77;
    s.Touch3Spin = 40;
    s.UpdateGlobalVariables();
    EXPECT_EQ(s.SensMultiplier(2), 3);
    EXPECT_EQ(s.CompMultiplier(3), 9);
    EXPECT_EQ(s.Compensation(1), 1);
    EXPECT_EQ(s.Compensation(2), 77);
    EXPECT_EQ(s.TouchThreshold(3), 40);
    EXPECT_EQ(s.TouchThreshold(0), 0);
}

} // namespace
