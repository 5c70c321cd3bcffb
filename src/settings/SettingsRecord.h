#pragma once
// The settings record: the one working copy of every writable chip field, named after the control of the
// settings window that edits it, plus the settings window's other inputs. A choice holds its item index
// (-1 for no selection), a spin edit its value, a check box its state, an edit box its text. The window binds
// its widgets to these fields; the settings file stores them by control name.

#include "settings/RegisterMap.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

struct TSettingsRecord {
    // System Flags page (0x01 byte 0).
    int ProjectedRiadioGroup = 0; // "Self", "Projected"
    int IgnoreFHRadioGroup = 0;   // "Disabled", "Enabled"

    // Prox Settings 0 (0x09 byte 0).
    int ATIRadio = 1;
    int ATIPartialRadio = 0;
    int BandRadio = 0;
    int StreamATIRadio = 0;
    int En4MhzRadio = 0;
    int ForceHaltRadio = 0;

    // Prox Settings 1 (0x09 byte 1).
    int WDTRadio = 0;
    int CommsModeRadio = 1;
    int LTABetaRadio = 1;
    int SliderRadio = 1;
    int ACFRadio = 1;

    // Prox Settings 2 (0x09 byte 2).
    int SleepHaltRadio = 0;
    int WakeRadio = 0;
    int WheelFilterRadio = 0;
    int MovementRadio = 1;
    int OutRadio = 1;

    // Prox Settings 3 (0x09 byte 3).
    int TDebounceRadio = 0;
    int OffModeRadio = 0;
    int ProjectedBiasRadio = 0;
    int FloatCXRadio = 0;
    int HaltChargeRadio = 0;
    int TurboRadio = 0;
    int FilterTouchRadio = 0;
    int XferRadio = 0;

    // Event mask (0x09 byte 4).
    int FlickRightRadio = 1;
    int FlickLeftRadio = 1;
    int TapRadio = 1;
    int MovRadio = 1;
    int ATIEventRadio = 1;
    int SliderEventRadio = 1;
    int TouchRadio = 1;
    int ProxRadio = 1;

    // Multipliers and compensation (0x07, 0x08).
    int Sens0Combo = 0, Sens1Combo = 0, Sens2Combo = 0, Sens3Combo = 0;
    int Comp0Combo = 0, Comp1Combo = 0, Comp2Combo = 0, Comp3Combo = 0;
    int CH0BaseCombo = 0, CH1BaseCombo = 0, CH2BaseCombo = 0, CH3BaseCombo = 0;
    int Comp0Spin = 0, Comp1Spin = 0, Comp2Spin = 0, Comp3Spin = 0;

    // Thresholds (0x0A).
    int ProxSpin = 4;
    int Touch1Spin = 16, Touch2Spin = 16, Touch3Spin = 16;
    int MovThrSpin = 3;
    bool FHCheckCh0 = false, FHCheckCh1 = false, FHCheckCh2 = false, FHCheckCh3 = false;
    int HaltSpin = 20;
    int TimeoutSpin = 4;

    // Timings and gestures (0x0B, 0x0C).
    int LPSpin = 0;
    int Targ1Spin = 48;
    int Targ2Spin = 64;
    int TapSpin = 5;
    int FlickTimeSpin = 20;
    int FlickThrSpin = 50;

    // Setup page: stream set-up boxes, tool voltage, display options, bar graph axis, settings file.
    bool WheelCheck = true;
    bool PTCheck = true;
    bool CSCheck = true;
    bool LTACheck = true;
    bool DeltaStrCheck = false;
    int VoltageCombo = 0; // "3.3 V", "1.8 V"
    bool DeltaCheck = false;
    int GraphMinSpin = 0;
    int GraphMaxSpin = 1500;
    int GraphIncSpin = 10;
    bool LoadSettingsCheck = false;
    bool ReadOnStartCheck = true;
    QString SettingsFileEdit = QStringLiteral("Settings file...");

    // Engineering page.
    QString MMAddressEdit, MMDataEdit;
    QString DirAddrEdit, DirDataEdit;
    QString Base0Edit, Base1Edit, Base2Edit, Base3Edit;
    QString Edit1 = QStringLiteral("0.935");
    QString ParCap0Edit, ParCap1Edit, ParCap2Edit, ParCap3Edit;

    // Values cached for the touch-threshold view; refreshed from the fields above on request.
    int32_t CH1MulSens = 1, CH2MulSens = 1, CH3MulSens = 1;
    int32_t CH1MulComp = 1, CH2MulComp = 1, CH3MulComp = 1;
    int32_t CH1PCC = 1, CH2PCC = 1, CH3PCC = 1;
    int32_t CH1TThr = 16, CH2TThr = 16, CH3TThr = 16;

    // Per-channel fields, indexed by channel 0..3.
    using IntField = int TSettingsRecord::*;
    using BoolField = bool TSettingsRecord::*;
    using TextField = QString TSettingsRecord::*;
    static constexpr std::array<IntField, 4> SensCombo{&TSettingsRecord::Sens0Combo, &TSettingsRecord::Sens1Combo,
                                                       &TSettingsRecord::Sens2Combo, &TSettingsRecord::Sens3Combo};
    static constexpr std::array<IntField, 4> CompCombo{&TSettingsRecord::Comp0Combo, &TSettingsRecord::Comp1Combo,
                                                       &TSettingsRecord::Comp2Combo, &TSettingsRecord::Comp3Combo};
    static constexpr std::array<IntField, 4> BaseCombo{&TSettingsRecord::CH0BaseCombo, &TSettingsRecord::CH1BaseCombo,
                                                       &TSettingsRecord::CH2BaseCombo, &TSettingsRecord::CH3BaseCombo};
    static constexpr std::array<IntField, 4> CompSpin{&TSettingsRecord::Comp0Spin, &TSettingsRecord::Comp1Spin,
                                                      &TSettingsRecord::Comp2Spin, &TSettingsRecord::Comp3Spin};
    static constexpr std::array<IntField, 3> TouchSpin{&TSettingsRecord::Touch1Spin, &TSettingsRecord::Touch2Spin,
                                                       &TSettingsRecord::Touch3Spin};
    static constexpr std::array<BoolField, 4> FHCheck{&TSettingsRecord::FHCheckCh0, &TSettingsRecord::FHCheckCh1,
                                                      &TSettingsRecord::FHCheckCh2, &TSettingsRecord::FHCheckCh3};
    static constexpr std::array<TextField, 4> BaseEdit{&TSettingsRecord::Base0Edit, &TSettingsRecord::Base1Edit,
                                                       &TSettingsRecord::Base2Edit, &TSettingsRecord::Base3Edit};
    static constexpr std::array<TextField, 4> ParCapEdit{&TSettingsRecord::ParCap0Edit, &TSettingsRecord::ParCap1Edit,
                                                         &TSettingsRecord::ParCap2Edit, &TSettingsRecord::ParCap3Edit};
    // The event radio groups in event-mask bit order: bit 0 ProxRadio .. bit 7 FlickRightRadio.
    static constexpr std::array<IntField, 8> EventRadio{
        &TSettingsRecord::ProxRadio,    &TSettingsRecord::TouchRadio, &TSettingsRecord::SliderEventRadio,
        &TSettingsRecord::ATIEventRadio, &TSettingsRecord::MovRadio,   &TSettingsRecord::TapRadio,
        &TSettingsRecord::FlickLeftRadio, &TSettingsRecord::FlickRightRadio};

    // Every control of the record, for binding by name (settings file, views).
    struct TControlInfo {
        QString Name;
        KT610B::TControlKind Kind;
        IntField Int = nullptr;   // radio groups, combo boxes, spin edits
        BoolField Bool = nullptr; // check boxes
        TextField Text = nullptr; // edit boxes
        QStringList Items;        // choices
        int Min = 0, Max = 0;     // spin range
        int Step = 1;
    };
    static const std::vector<TControlInfo>& Controls();
    static const TControlInfo* FindControl(const QString& name);
    static const TControlInfo* FindControl(IntField field);

    // Puts a value into a control the way the control takes it: a radio group above its last item selects
    // the last item and below 0 nothing (-1); a combo box outside its items selects nothing; a spin edit is
    // clamped to its range; a check box is checked for any non-zero value.
    // False when the name is unknown or names an edit box.
    bool SetValue(const QString& control, int value);
    void SetInt(IntField field, int value);
    // The control's value (item index, spin value, 1/0 for check boxes); 0 for unknown names and edit boxes.
    int Value(const QString& control) const;

    static int ClampRadio(int index, int itemCount);
    static int ClampCombo(int index, int itemCount);

    // Refresh of the cached values: multipliers and compensation, and touch thresholds.
    void RefreshMultCaches();
    void RefreshThrCaches();
    void UpdateGlobalVariables();
    // The cached values of touch channel c (1..3); 0 for other channels.
    int32_t TouchThreshold(int c) const;
    int32_t SensMultiplier(int c) const;
    int32_t CompMultiplier(int c) const;
    int32_t Compensation(int c) const;

    // The reseed block byte of the thresholds register from FHCheckCh0..3.
    uint8_t ReseedBlock() const;

    // Byte `byte` of register `reg` composed from the fields by their encodings: a choice's index sits in its
    // bits ("no selection" counts as 0), a one-bit "= index" field is set for index 1, an inverted one for
    // index 0. Command bits stay 0.
    uint8_t ComposeRegisterByte(uint8_t reg, int byte) const;
    // The fields of that byte set from a value read from the chip; a value beyond a radio group's last item
    // selects the last item, one beyond a combo box's items selects nothing.
    void DecodeRegisterByte(uint8_t reg, int byte, uint8_t value);
    // Bytes 0..length-1 of a register read.
    void DecodeRegister(uint8_t reg, int length, const uint8_t* bytes);
};
