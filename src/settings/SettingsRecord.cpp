#include "settings/SettingsRecord.h"

#include <algorithm>

using namespace KT610B;

namespace {

using R = TSettingsRecord;
using Info = TSettingsRecord::TControlInfo;

struct TIntBinding {
    const char* Name;
    R::IntField Field;
};
struct TBoolBinding {
    const char* Name;
    R::BoolField Field;
};
struct TTextBinding {
    const char* Name;
    R::TextField Field;
};

// The fields that edit a register; their kind, items and ranges come from the register map.
const TIntBinding RegisterInts[] = {
    {"ProjectedRiadioGroup", &R::ProjectedRiadioGroup}, {"IgnoreFHRadioGroup", &R::IgnoreFHRadioGroup},
    {"ATIRadio", &R::ATIRadio}, {"ATIPartialRadio", &R::ATIPartialRadio}, {"BandRadio", &R::BandRadio},
    {"StreamATIRadio", &R::StreamATIRadio}, {"En4MhzRadio", &R::En4MhzRadio}, {"ForceHaltRadio", &R::ForceHaltRadio},
    {"WDTRadio", &R::WDTRadio}, {"CommsModeRadio", &R::CommsModeRadio}, {"LTABetaRadio", &R::LTABetaRadio},
    {"SliderRadio", &R::SliderRadio}, {"ACFRadio", &R::ACFRadio},
    {"SleepHaltRadio", &R::SleepHaltRadio}, {"WakeRadio", &R::WakeRadio}, {"WheelFilterRadio", &R::WheelFilterRadio},
    {"MovementRadio", &R::MovementRadio}, {"OutRadio", &R::OutRadio},
    {"TDebounceRadio", &R::TDebounceRadio}, {"OffModeRadio", &R::OffModeRadio},
    {"ProjectedBiasRadio", &R::ProjectedBiasRadio}, {"FloatCXRadio", &R::FloatCXRadio},
    {"HaltChargeRadio", &R::HaltChargeRadio}, {"TurboRadio", &R::TurboRadio},
    {"FilterTouchRadio", &R::FilterTouchRadio}, {"XferRadio", &R::XferRadio},
    {"FlickRightRadio", &R::FlickRightRadio}, {"FlickLeftRadio", &R::FlickLeftRadio}, {"TapRadio", &R::TapRadio},
    {"MovRadio", &R::MovRadio}, {"ATIEventRadio", &R::ATIEventRadio}, {"SliderEventRadio", &R::SliderEventRadio},
    {"TouchRadio", &R::TouchRadio}, {"ProxRadio", &R::ProxRadio},
    {"Sens0Combo", &R::Sens0Combo}, {"Sens1Combo", &R::Sens1Combo}, {"Sens2Combo", &R::Sens2Combo},
    {"Sens3Combo", &R::Sens3Combo},
    {"Comp0Combo", &R::Comp0Combo}, {"Comp1Combo", &R::Comp1Combo}, {"Comp2Combo", &R::Comp2Combo},
    {"Comp3Combo", &R::Comp3Combo},
    {"CH0BaseCombo", &R::CH0BaseCombo}, {"CH1BaseCombo", &R::CH1BaseCombo}, {"CH2BaseCombo", &R::CH2BaseCombo},
    {"CH3BaseCombo", &R::CH3BaseCombo},
    {"Comp0Spin", &R::Comp0Spin}, {"Comp1Spin", &R::Comp1Spin}, {"Comp2Spin", &R::Comp2Spin},
    {"Comp3Spin", &R::Comp3Spin},
    {"ProxSpin", &R::ProxSpin}, {"Touch1Spin", &R::Touch1Spin}, {"Touch2Spin", &R::Touch2Spin},
    {"Touch3Spin", &R::Touch3Spin}, {"MovThrSpin", &R::MovThrSpin}, {"HaltSpin", &R::HaltSpin},
    {"TimeoutSpin", &R::TimeoutSpin},
    {"LPSpin", &R::LPSpin}, {"Targ1Spin", &R::Targ1Spin}, {"Targ2Spin", &R::Targ2Spin}, {"TapSpin", &R::TapSpin},
    {"FlickTimeSpin", &R::FlickTimeSpin}, {"FlickThrSpin", &R::FlickThrSpin},
};
const TBoolBinding RegisterBools[] = {
    {"FHCheckCh0", &R::FHCheckCh0}, {"FHCheckCh1", &R::FHCheckCh1}, {"FHCheckCh2", &R::FHCheckCh2},
    {"FHCheckCh3", &R::FHCheckCh3},
};
const TBoolBinding OtherBools[] = {
    {"WheelCheck", &R::WheelCheck}, {"PTCheck", &R::PTCheck}, {"CSCheck", &R::CSCheck}, {"LTACheck", &R::LTACheck},
    {"DeltaStrCheck", &R::DeltaStrCheck}, {"DeltaCheck", &R::DeltaCheck},
    {"LoadSettingsCheck", &R::LoadSettingsCheck}, {"ReadOnStartCheck", &R::ReadOnStartCheck},
};
const TTextBinding Texts[] = {
    {"SettingsFileEdit", &R::SettingsFileEdit},
    {"MMAddressEdit", &R::MMAddressEdit}, {"MMDataEdit", &R::MMDataEdit},
    {"DirAddrEdit", &R::DirAddrEdit}, {"DirDataEdit", &R::DirDataEdit},
    {"Base0Edit", &R::Base0Edit}, {"Base1Edit", &R::Base1Edit}, {"Base2Edit", &R::Base2Edit},
    {"Base3Edit", &R::Base3Edit}, {"Edit1", &R::Edit1},
    {"ParCap0Edit", &R::ParCap0Edit}, {"ParCap1Edit", &R::ParCap1Edit}, {"ParCap2Edit", &R::ParCap2Edit},
    {"ParCap3Edit", &R::ParCap3Edit},
};

std::vector<Info> BuildControls()
{
    std::vector<Info> controls;
    for (const TIntBinding& b : RegisterInts) {
        const TRegisterField* f = FindRegisterField(QString::fromLatin1(b.Name));
        Q_ASSERT(f);
        controls.push_back(Info{f->Control, f->Kind, b.Field, nullptr, nullptr, f->Items, f->Min, f->Max, f->Step});
    }
    for (const TBoolBinding& b : RegisterBools)
        controls.push_back(Info{QString::fromLatin1(b.Name), TControlKind::ckCheck, nullptr, b.Field, nullptr, {}, 0, 1, 1});
    // The Setup page's own controls.
    controls.push_back(Info{QStringLiteral("VoltageCombo"), TControlKind::ckCombo, &R::VoltageCombo, nullptr, nullptr,
                            {QStringLiteral("3.3 V"), QStringLiteral("1.8 V")}, 0, 1, 1});
    controls.push_back(Info{QStringLiteral("GraphMinSpin"), TControlKind::ckSpin, &R::GraphMinSpin, nullptr, nullptr,
                            {}, 0, 10000, 1});
    controls.push_back(Info{QStringLiteral("GraphMaxSpin"), TControlKind::ckSpin, &R::GraphMaxSpin, nullptr, nullptr,
                            {}, 1, 10000, 1});
    controls.push_back(Info{QStringLiteral("GraphIncSpin"), TControlKind::ckSpin, &R::GraphIncSpin, nullptr, nullptr,
                            {}, 1, 10000, 1});
    for (const TBoolBinding& b : OtherBools)
        controls.push_back(Info{QString::fromLatin1(b.Name), TControlKind::ckCheck, nullptr, b.Field, nullptr, {}, 0, 1, 1});
    for (const TTextBinding& b : Texts)
        controls.push_back(Info{QString::fromLatin1(b.Name), TControlKind::ckText, nullptr, nullptr, b.Field, {}, 0, 0, 1});
    return controls;
}

} // namespace

const std::vector<TSettingsRecord::TControlInfo>& TSettingsRecord::Controls()
{
    static const std::vector<TControlInfo> controls = BuildControls();
    return controls;
}

const TSettingsRecord::TControlInfo* TSettingsRecord::FindControl(const QString& name)
{
    for (const TControlInfo& c : Controls())
        if (c.Name == name)
            return &c;
    return nullptr;
}

const TSettingsRecord::TControlInfo* TSettingsRecord::FindControl(IntField field)
{
    for (const TControlInfo& c : Controls())
        if (c.Int == field)
            return &c;
    return nullptr;
}

int TSettingsRecord::ClampRadio(int index, int itemCount)
{
    if (index < 0 || itemCount <= 0)
        return -1;
    return std::min(index, itemCount - 1);
}

int TSettingsRecord::ClampCombo(int index, int itemCount)
{
    return index >= 0 && index < itemCount ? index : -1;
}

void TSettingsRecord::SetInt(IntField field, int value)
{
    const TControlInfo* c = FindControl(field);
    if (!c) {
        this->*field = value;
        return;
    }
    switch (c->Kind) {
    case TControlKind::ckRadio:
        this->*field = ClampRadio(value, int(c->Items.size()));
        break;
    case TControlKind::ckCombo:
        this->*field = ClampCombo(value, int(c->Items.size()));
        break;
    default:
        this->*field = std::clamp(value, c->Min, c->Max);
        break;
    }
}

bool TSettingsRecord::SetValue(const QString& control, int value)
{
    const TControlInfo* c = FindControl(control);
    if (!c || c->Kind == TControlKind::ckText)
        return false;
    if (c->Bool)
        this->*(c->Bool) = value != 0;
    else
        SetInt(c->Int, value);
    return true;
}

int TSettingsRecord::Value(const QString& control) const
{
    const TControlInfo* c = FindControl(control);
    if (!c || c->Kind == TControlKind::ckText)
        return 0;
    return c->Bool ? (this->*(c->Bool) ? 1 : 0) : this->*(c->Int);
}

void TSettingsRecord::RefreshMultCaches()
{
    CH1MulSens = Sens1Combo;
    CH2MulSens = Sens2Combo;
    CH3MulSens = Sens3Combo;
    CH1MulComp = Comp1Combo;
    CH2MulComp = Comp2Combo;
    CH3MulComp = Comp3Combo;
    // The touch-threshold formula divides by the compensation.
    CH1PCC = Comp1Spin == 0 ? 1 : Comp1Spin;
    CH2PCC = Comp2Spin == 0 ? 1 : Comp2Spin;
    CH3PCC = Comp3Spin == 0 ? 1 : Comp3Spin;
}

void TSettingsRecord::RefreshThrCaches()
{
    CH1TThr = Touch1Spin;
    CH2TThr = Touch2Spin;
    CH3TThr = Touch3Spin;
}

void TSettingsRecord::UpdateGlobalVariables()
{
    RefreshMultCaches();
    RefreshThrCaches();
}

int32_t TSettingsRecord::TouchThreshold(int c) const
{
    return c == 1 ? CH1TThr : c == 2 ? CH2TThr : c == 3 ? CH3TThr : 0;
}

int32_t TSettingsRecord::SensMultiplier(int c) const
{
    return c == 1 ? CH1MulSens : c == 2 ? CH2MulSens : c == 3 ? CH3MulSens : 0;
}

int32_t TSettingsRecord::CompMultiplier(int c) const
{
    return c == 1 ? CH1MulComp : c == 2 ? CH2MulComp : c == 3 ? CH3MulComp : 0;
}

int32_t TSettingsRecord::Compensation(int c) const
{
    return c == 1 ? CH1PCC : c == 2 ? CH2PCC : c == 3 ? CH3PCC : 0;
}

uint8_t TSettingsRecord::ReseedBlock() const
{
    uint8_t block = 0;
    for (int n = 0; n < 4; ++n)
        if (this->*FHCheck[size_t(n)])
            block |= uint8_t(1u << n);
    return block;
}

namespace {

// Reads or writes one field of the record through its control binding.
int FieldValue(const TSettingsRecord& rec, const TSettingsRecord::TControlInfo& c)
{
    return c.Bool ? (rec.*(c.Bool) ? 1 : 0) : rec.*(c.Int);
}

} // namespace

uint8_t TSettingsRecord::ComposeRegisterByte(uint8_t reg, int byte) const
{
    unsigned result = 0;
    for (const TRegisterField& f : RegisterFields()) {
        if (f.Register != reg || f.Byte != byte)
            continue;
        const TControlInfo* c = FindControl(f.Control);
        const int value = FieldValue(*this, *c);
        const unsigned mask = (1u << f.Width) - 1;
        switch (f.Encoding) {
        case TFieldEncoding::feIndex:
            if (f.Width == 1)
                result |= unsigned(value == 1) << f.Shift;
            else if (value > 0)
                result |= (unsigned(value) & mask) << f.Shift;
            break;
        case TFieldEncoding::feInverted:
            result |= unsigned(value == 0) << f.Shift;
            break;
        case TFieldEncoding::feCheck:
            result |= unsigned(value != 0) << f.Shift;
            break;
        case TFieldEncoding::feValue:
            result |= unsigned(value) & 0xFF;
            break;
        }
    }
    return uint8_t(result);
}

void TSettingsRecord::DecodeRegisterByte(uint8_t reg, int byte, uint8_t value)
{
    for (const TRegisterField& f : RegisterFields()) {
        if (f.Register != reg || f.Byte != byte)
            continue;
        const TControlInfo* c = FindControl(f.Control);
        const int bits = int((value >> f.Shift) & ((1u << f.Width) - 1));
        if (c->Bool)
            this->*(c->Bool) = bits != 0;
        else if (f.Encoding == TFieldEncoding::feInverted)
            SetInt(c->Int, 1 - bits);
        else
            SetInt(c->Int, bits);
    }
}

void TSettingsRecord::DecodeRegister(uint8_t reg, int length, const uint8_t* bytes)
{
    for (int byte = 0; byte < length; ++byte)
        DecodeRegisterByte(reg, byte, bytes[byte]);
}
