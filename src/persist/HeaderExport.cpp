#include "persist/HeaderExport.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "persist/AtomicFile.h"
#include "common/Bits.h"
#include "settings/RegisterMap.h"

namespace {

const char CrLf[] = "\r\n";

// "0x" and the value in upper-case hex, at least two digits.
QByteArray Hex(int value)
{
    return "0x" + QByteArray::number(value, 16).toUpper().rightJustified(2, '0');
}

class THeaderWriter {
public:
    void Line(const char* text = "") { FText += text, FText += CrLf; }
    void Define(const char* name, int tabs, int value)
    {
        FText += "#define ";
        FText += name;
        FText += QByteArray(tabs, '\t');
        FText += Hex(value);
        FText += CrLf;
    }
    QByteArray Text() const { return FText; }

private:
    QByteArray FText;
};

void MultiplierNote(THeaderWriter& h)
{
    h.Line("* Please note that these values are affected by the Auto ATI routine and should");
    h.Line("* only be written in the case of a specific setup.  Alternatively Auto ATI");
    h.Line("* should be manually called after writing these settings.");
    h.Line("* This is applicable for both Multipliers and Compensation.");
    h.Line("*/");
}

} // namespace

QByteArray HeaderExport::HeaderText(const TMainCore& core)
{
    using namespace KT610B;
    const TSettingsRecord& s = core.Settings;
    THeaderWriter h;
    // The firmware project keeps this block with bare line feeds.
    h.Line("/*\n* This file contains all the necessary settings for the KT610 and this file can\n"
           "* be changed from the GUI or edited here\n* File:   KT610_init.h\n* Author: Korvane\n*/");
    h.Line();
    h.Line("#ifndef KT610_INIT_H");
    h.Line("#define KT610_INIT_H");
    h.Line();
    h.Line("/* Used to switch Projected mode & set Global Filter Halt (0x01 Byte1) */");
    h.Define("SYSTEM_FLAGS_VAL", 5, core.FSysFlags & 0x12);
    h.Line();
    h.Line("/* Enable / Disable system events (0x01 Byte2)*/");
    h.Define("SYSTEM_EVENTS_VAL", 5, core.FSysEvents);
    h.Line();

    h.Line("/*");
    h.Line("* Change the Multipliers & Base values (0x07 in this order)");
    MultiplierNote(h);
    const char* multipliers[] = {"MULTIPLIERS_CH0", "MULTIPLIERS_CH1", "MULTIPLIERS_CH2", "MULTIPLIERS_CH3"};
    for (int c = 0; c < 4; ++c)
        h.Define(multipliers[c], 6, s.ComposeRegisterByte(Multipliers, c));
    h.Define("BASE_VAL1", 7, s.ComposeRegisterByte(Multipliers, 4));
    h.Define("BASE_VAL2", 7, s.ComposeRegisterByte(Multipliers, 5));
    h.Line();

    h.Line("/*");
    h.Line("* Change the Compensation for each channel (0x08 in this order)");
    MultiplierNote(h);
    const char* compensation[] = {"COMPENSATION_CH0", "COMPENSATION_CH1", "COMPENSATION_CH2", "COMPENSATION_CH3"};
    for (int c = 0; c < 4; ++c)
        h.Define(compensation[c], 5, s.*TSettingsRecord::CompSpin[c]);
    h.Line();

    h.Line("/* Change the Prox Settings or setup of the KT610 (0x09 in this order) */");
    h.Define("PROXSETTINGS0_VAL", 5, core.Prox_Settings_0);
    h.Define("PROXSETTINGS1_VAL", 5, core.Prox_Settings_1);
    h.Define("PROXSETTINGS2_VAL", 5, core.Prox_Settings_2);
    h.Define("PROXSETTINGS3_VAL", 5, core.Prox_Settings_3);
    h.Define("EVENT_MASK_VAL", 6, core.Prox_Event_Mask);
    h.Line();

    h.Line("/* Change the Thresholds for each channel (0x0A in this order) */");
    h.Define("PROX_THRESHOLD", 6, s.ProxSpin);
    h.Define("TOUCH_THRESHOLD_CH1", 5, s.Touch1Spin);
    h.Define("TOUCH_THRESHOLD_CH2", 5, s.Touch2Spin);
    h.Define("TOUCH_THRESHOLD_CH3", 5, s.Touch3Spin);
    h.Define("MOVEMENT_THRESHOLD", 5, s.MovThrSpin);
    h.Define("RESEED_BLOCK", 6, s.ReseedBlock());
    h.Define("HALT_TIME", 7, s.HaltSpin);
    h.Define("I2C_TIMEOUT", 7, s.TimeoutSpin);
    h.Line();

    h.Line("/* Change the Timing settings (0x0B in this order) */");
    h.Define("LOW_POWER", 7, s.LPSpin);
    h.Define("ATI_TARGET_TOUCH", 5, s.Targ1Spin);
    h.Define("ATI_TARGET_PROX", 6, s.Targ2Spin);
    h.Define("TAP_TIMER", 7, s.TapSpin);
    h.Define("FLICK_TIMER", 7, s.FlickTimeSpin);
    h.Define("FLICK_THRESHOLD", 6, s.FlickThrSpin);
    h.Line();

    h.Line("/* Set Active Channels (0x0D) */");
    int active = 0x0F;
    for (int c = 0; c < 4; ++c)
        if (!core.CHCheck[c])
            active &= ~(1 << c);
    h.Define("ACTIVE_CHS", 6, active);
    h.Line();
    h.Line("#endif\t/* KT610_INIT_H */");
    return h.Text();
}

uint8_t HeaderExport::SystemFlagsOf(const TSettingsRecord& settings)
{
    using namespace KT610B;
    uint8_t flags = 0;
    if (settings.ProjectedRiadioGroup == 1)
        flags = SetBit(flags, SysFlagBit::Projected);
    if (settings.IgnoreFHRadioGroup == 1)
        flags = SetBit(flags, SysFlagBit::IgnoreFilterHalt);
    return flags;
}

void HeaderExport::ExportHClick(TMainCore& core, const std::function<QString()>& askFileName)
{
    // The chip may have re-tuned itself: the file gets what the chip holds now.
    core.FUpdateOptions = TFUpdateOptions::utReadAll;
    core.Session->UpdateTimerTimer();

    const QString fileName = askFileName ? askFileName() : QString();
    if (fileName.isEmpty())
        return;
    // Written whole or not at all: a half header would still compile into a firmware.
    if (!AtomicFile::Write(fileName, HeaderText(core))) {
        core.KvrAddItem(QStringLiteral("Error while trying to export H file!"), TKvrItemType::aError);
        return;
    }
    core.KvrAddItem(QStringLiteral("H file exported successfully"), TKvrItemType::aInfo);
}
