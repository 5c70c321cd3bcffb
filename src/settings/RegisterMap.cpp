#include "settings/RegisterMap.h"

#include <algorithm>
#include <cmath>

namespace KT610B {

namespace {

const QStringList DisabledEnabled{QStringLiteral("Disabled"), QStringLiteral("Enabled")};
const QStringList EnabledDisabled{QStringLiteral("Enabled"), QStringLiteral("Disabled")};

TRegisterField Radio(const char* control, const char* field, const char* caption, uint8_t reg, int byte, int shift,
                     int width, TFieldEncoding encoding, const QStringList& items, int def)
{
    return TRegisterField{QString::fromLatin1(control), QString::fromLatin1(field), QString(),
                          QString::fromLatin1(caption), TControlKind::ckRadio, reg, byte, shift, width, encoding,
                          items, 0, int(items.size()) - 1, def, 1};
}

TRegisterField Combo(const char* control, const char* field, uint8_t reg, int byte, int shift, int width,
                     const QStringList& items)
{
    return TRegisterField{QString::fromLatin1(control), QString::fromLatin1(field), QString(), QString(),
                          TControlKind::ckCombo, reg, byte, shift, width, TFieldEncoding::feIndex, items,
                          0, int(items.size()) - 1, 0, 1};
}

TRegisterField Spin(const char* control, const char* exportName, const char* caption, uint8_t reg, int byte, int min,
                    int max, int def, int step = 1)
{
    return TRegisterField{QString::fromLatin1(control), QString::fromLatin1(exportName), QString::fromLatin1(exportName),
                          QString::fromLatin1(caption), TControlKind::ckSpin, reg, byte, 0, 8,
                          TFieldEncoding::feValue, {}, min, max, def, step};
}

TRegisterField Check(const char* control, const char* caption, uint8_t reg, int byte, int bit)
{
    return TRegisterField{QString::fromLatin1(control), QStringLiteral("RESEED_BLOCK"), QString(),
                          QString::fromLatin1(caption), TControlKind::ckCheck, reg, byte, bit, 1,
                          TFieldEncoding::feCheck, {}, 0, 1, 0, 1};
}

QStringList Numbered(int count, int first, int step)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QString::number(first + step * i);
    return items;
}

std::vector<TRegisterField> BuildFields()
{
    using E = TFieldEncoding;
    std::vector<TRegisterField> f;
    // 0x01 byte 0: the two settings bits.
    f.push_back(Radio("ProjectedRiadioGroup", "Projected", "Mutual / Self Capacitance", SystemFlags, 0, 4, 1, E::feIndex,
                      {QStringLiteral("Self"), QStringLiteral("Projected")}, 0));
    f.push_back(Radio("IgnoreFHRadioGroup", "IgnoreFilterHalt", "Ignore Global Filter Halt", SystemFlags, 0, 1, 1,
                      E::feIndex, DisabledEnabled, 0));

    // 0x07 Multipliers.
    for (int n = 0; n < 4; ++n) {
        const QByteArray sens = "Sens" + QByteArray::number(n) + "Combo";
        const QByteArray comp = "Comp" + QByteArray::number(n) + "Combo";
        f.push_back(Combo(sens.constData(), "Sens", Multipliers, n, 4, 2, SensItems()));
        f.push_back(Combo(comp.constData(), "Comp", Multipliers, n, 0, 4, CompItems()));
    }
    f.push_back(Combo("CH0BaseCombo", "BASE_VAL1", Multipliers, 4, 0, 4, BaseItems()));
    f.push_back(Combo("CH1BaseCombo", "BASE_VAL1", Multipliers, 4, 4, 4, BaseItems()));
    f.push_back(Combo("CH2BaseCombo", "BASE_VAL2", Multipliers, 5, 0, 4, BaseItems()));
    f.push_back(Combo("CH3BaseCombo", "BASE_VAL2", Multipliers, 5, 4, 4, BaseItems()));

    // 0x08 Compensation.
    for (int n = 0; n < 4; ++n) {
        const QByteArray spin = "Comp" + QByteArray::number(n) + "Spin";
        const QByteArray name = "COMPENSATION_CH" + QByteArray::number(n);
        f.push_back(Spin(spin.constData(), name.constData(), "Compensation", Compensation, n, 0, 255, 0));
    }

    // 0x09 byte 0.
    f.push_back(Radio("ATIRadio", "AutoATI", "Auto ATI", ProxSettings, 0, 7, 1, E::feInverted, DisabledEnabled, 1));
    f.push_back(Radio("ATIPartialRadio", "PartialATI", "Partial ATI", ProxSettings, 0, 6, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("BandRadio", "Band", "ATI Band", ProxSettings, 0, 5, 1, E::feIndex,
                      {QStringLiteral("1/8"), QStringLiteral("1/4")}, 0));
    f.push_back(Radio("StreamATIRadio", "StreamATI", "Stream ATI", ProxSettings, 0, 2, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("En4MhzRadio", "Osc", "Oscillator", ProxSettings, 0, 1, 1, E::feIndex,
                      {QStringLiteral("2MHz"), QStringLiteral("4MHz")}, 0));
    f.push_back(Radio("ForceHaltRadio", "ForceHalt", "Force Halt", ProxSettings, 0, 0, 1, E::feIndex, DisabledEnabled, 0));

    // 0x09 byte 1.
    f.push_back(Radio("WDTRadio", "WDT", "Watchdog Timer", ProxSettings, 1, 7, 1, E::feIndex, EnabledDisabled, 0));
    f.push_back(Radio("CommsModeRadio", "CommsMode", "Comms Mode", ProxSettings, 1, 6, 1, E::feInverted,
                      {QStringLiteral("Event Mode"), QStringLiteral("Streaming Mode")}, 1));
    f.push_back(Radio("LTABetaRadio", "LTABeta", "LTA Beta", ProxSettings, 1, 4, 2, E::feIndex,
                      {QStringLiteral("2^9"), QStringLiteral("2^8"), QStringLiteral("2^7"), QStringLiteral("2^6")}, 1));
    f.push_back(Radio("SliderRadio", "Slider", "Slider / Wheel", ProxSettings, 1, 2, 2, E::feIndex,
                      {QStringLiteral("Slider Disabled"), QStringLiteral("2CH Slider"), QStringLiteral("Wheel"),
                       QStringLiteral("3CH Slider")}, 1));
    f.push_back(Radio("ACFRadio", "ACF", "AC Filter", ProxSettings, 1, 0, 2, E::feIndex,
                      {QStringLiteral("AC Filter Off"), QStringLiteral("Beta - 01"), QStringLiteral("Beta - 02"),
                       QStringLiteral("Beta - 03")}, 1));

    // 0x09 byte 2.
    f.push_back(Radio("SleepHaltRadio", "SleepHalt", "Sleep Halt", ProxSettings, 2, 7, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("WakeRadio", "WakeRelease", "Wake 2 Directions", ProxSettings, 2, 5, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("WheelFilterRadio", "WheelFilter", "Wheel Filter", ProxSettings, 2, 4, 1, E::feIndex, EnabledDisabled, 0));
    f.push_back(Radio("MovementRadio", "Movement", "Movement", ProxSettings, 2, 2, 2, E::feIndex,
                      {QStringLiteral("Movement Disabled"), QStringLiteral("Movement on CH0"),
                       QStringLiteral("Movement on CH3")}, 1));
    f.push_back(Radio("OutRadio", "Out", "Output", ProxSettings, 2, 0, 2, E::feIndex,
                      {QStringLiteral("Prox"), QStringLiteral("Sync"), QStringLiteral("Touch on CH1"),
                       QStringLiteral("Movement Output")}, 1));

    // 0x09 byte 3.
    f.push_back(Radio("TDebounceRadio", "TouchDebounce", "Touch Debounce", ProxSettings, 3, 7, 1, E::feIndex,
                      {QStringLiteral("2"), QStringLiteral("4")}, 0));
    f.push_back(Radio("OffModeRadio", "CSCap", "Off Mode", ProxSettings, 3, 6, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("ProjectedBiasRadio", "ProjBias", "Projected Bias", ProxSettings, 3, 5, 1, E::feIndex,
                      {QStringLiteral("10uA"), QStringLiteral("20uA")}, 0));
    f.push_back(Radio("FloatCXRadio", "FloatCX", "Float CX", ProxSettings, 3, 4, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("HaltChargeRadio", "ATA", "Halt Charge", ProxSettings, 3, 3, 1, E::feIndex, DisabledEnabled, 0));
    f.push_back(Radio("TurboRadio", "Turbo", "Turbo", ProxSettings, 3, 2, 1, E::feIndex, EnabledDisabled, 0));
    f.push_back(Radio("FilterTouchRadio", "FilterTouch", "Filtered Touches", ProxSettings, 3, 1, 1, E::feIndex,
                      DisabledEnabled, 0));
    f.push_back(Radio("XferRadio", "Xfer", "Charge Transfer", ProxSettings, 3, 0, 1, E::feIndex,
                      {QStringLiteral("500Khz  / 1MHz (4M OSC)"), QStringLiteral("250Khz / 500Khz (2M OSC)")}, 0));

    // 0x09 byte 4: event mask.
    f.push_back(Radio("FlickRightRadio", "FlickRight", "Flick Right", ProxSettings, 4, 7, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("FlickLeftRadio", "FlickLeft", "Flick Left", ProxSettings, 4, 6, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("TapRadio", "Tap", "Tap", ProxSettings, 4, 5, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("MovRadio", "Mov", "Movement", ProxSettings, 4, 4, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("ATIEventRadio", "ATIEvent", "ATI", ProxSettings, 4, 3, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("SliderEventRadio", "SlideEvent", "Slider", ProxSettings, 4, 2, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("TouchRadio", "TouchEvent", "Touch", ProxSettings, 4, 1, 1, E::feIndex, DisabledEnabled, 1));
    f.push_back(Radio("ProxRadio", "ProxEvent", "Prox", ProxSettings, 4, 0, 1, E::feIndex, DisabledEnabled, 1));

    // 0x0A Thresholds.
    f.push_back(Spin("ProxSpin", "PROX_THRESHOLD", "Prox Threshold", Thresholds, 0, 1, 255, 4));
    f.push_back(Spin("Touch1Spin", "TOUCH_THRESHOLD_CH1", "Touch Thresholds", Thresholds, 1, 1, 255, 16));
    f.push_back(Spin("Touch2Spin", "TOUCH_THRESHOLD_CH2", "Touch Thresholds", Thresholds, 2, 1, 255, 16));
    f.push_back(Spin("Touch3Spin", "TOUCH_THRESHOLD_CH3", "Touch Thresholds", Thresholds, 3, 1, 255, 16));
    f.push_back(Spin("MovThrSpin", "MOVEMENT_THRESHOLD", "Movement", Thresholds, 4, 1, 255, 3));
    for (int n = 0; n < 4; ++n) {
        const QByteArray check = "FHCheckCh" + QByteArray::number(n);
        f.push_back(Check(check.constData(), "Filter Halt Reseed Block", Thresholds, 5, n));
    }
    f.push_back(Spin("HaltSpin", "HALT_TIME", "Halt Time", Thresholds, 6, 0, 255, 20));
    f.push_back(Spin("TimeoutSpin", "I2C_TIMEOUT", "I\u00B2C Timeout", Thresholds, 7, 0, 255, 4));

    // 0x0B Timings, 0x0C GestureTimers.
    f.push_back(Spin("LPSpin", "LOW_POWER", "Low Power", Timings, 0, 0, 255, 0));
    f.push_back(Spin("Targ1Spin", "ATI_TARGET_TOUCH", "ATI Targets", Timings, 1, 0, 255, 48));
    f.push_back(Spin("Targ2Spin", "ATI_TARGET_PROX", "ATI Targets", Timings, 2, 0, 255, 64));
    f.push_back(Spin("TapSpin", "TAP_TIMER", "Tap", GestureTimers, 0, 0, 255, 5, 16));
    f.push_back(Spin("FlickTimeSpin", "FLICK_TIMER", "Flick", GestureTimers, 1, 0, 255, 20, 8));
    f.push_back(Spin("FlickThrSpin", "FLICK_THRESHOLD", "Flick", GestureTimers, 2, 0, 255, 50, 8));
    return f;
}

} // namespace

const std::vector<TRegisterInfo>& Registers()
{
    static const std::vector<TRegisterInfo> registers{
        {DeviceInfo, "DeviceInfo", DeviceInfoLength},
        {SystemFlags, "SystemFlags", SystemFlagsLength},
        {Coordinates, "Coordinates", CoordinatesLength},
        {TouchBytes, "TouchBytes", TouchBytesLength},
        {Counts, "Counts", CountsLength},
        {LTA, "LTA", LTALength},
        {Deltas, "Deltas", DeltasLength},
        {Multipliers, "Multipliers", MultipliersLength},
        {Compensation, "Compensation", CompensationLength},
        {ProxSettings, "ProxSettings", ProxSettingsLength},
        {Thresholds, "Thresholds", ThresholdsLength},
        {Timings, "Timings", TimingsLength},
        {GestureTimers, "GestureTimers", GestureTimersLength},
        {ActiveChannels, "ActiveChannels", ActiveChannelsLength},
        {IndirectAddress, "IndirectAddress", 1},
        {IndirectData, "IndirectData", 1},
    };
    return registers;
}

const TRegisterInfo* FindRegister(uint8_t address)
{
    for (const TRegisterInfo& r : Registers())
        if (r.Address == address)
            return &r;
    return nullptr;
}

const std::vector<TRegisterField>& RegisterFields()
{
    static const std::vector<TRegisterField> fields = BuildFields();
    return fields;
}

const TRegisterField* FindRegisterField(const QString& control)
{
    for (const TRegisterField& f : RegisterFields())
        if (f.Control == control)
            return &f;
    return nullptr;
}

QStringList SensItems() { return Numbered(4, 1, 1); }
QStringList CompItems() { return Numbered(16, 1, 1); }
QStringList BaseItems() { return Numbered(16, 74, 16); }

int BaseValue(int index) { return 74 + 16 * index; }

QString FixedText(double value, int precision, int digits)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const double magnitude = std::fabs(value);
    // Round once, at whichever comes first: the last significant digit or the last printed decimal.
    const int exponent = magnitude > 0 ? int(std::floor(std::log10(magnitude))) : 0;
    const int kept = std::min(precision - 1 - exponent, digits);
    const double scale = std::pow(10.0, std::abs(kept));
    const double scaled = kept >= 0 ? magnitude * scale : magnitude / scale;
    const double rounded = std::floor(scaled + 0.5);
    double result = kept >= 0 ? rounded / scale : rounded * scale;
    if (value < 0 && rounded != 0)
        result = -result;
    return QString::number(result, 'f', digits);
}

QString ThresholdPercentText(int value)
{
    return FixedText(value / 256.0 * 100.0, 3, 2) + QLatin1Char('%');
}

QString HaltTimeText(int value)
{
    if (value == 0)
        return QStringLiteral("Never Halt");
    if (value == 255)
        return QStringLiteral("Always Halt");
    return QString::number(value * 50) + QStringLiteral(" Samples");
}

QString LowPowerTimeText(int value) { return QString::number(value * 16) + QStringLiteral("ms"); }

QString TargetText(int value) { return QString::number(value * 8) + QStringLiteral(" Target"); }

QString VersionText(uint8_t productNumber, uint8_t softwareVersion)
{
    return QString::number(productNumber) + QStringLiteral(" : ") + QString::number(softwareVersion);
}

} // namespace KT610B
