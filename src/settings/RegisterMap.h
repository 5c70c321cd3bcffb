#pragma once
// The KT610B's registers as this program uses them: addresses, lengths, bit fields, item lists, ranges,
// defaults and the texts that show a field. The views, the settings file and the header export read them here.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace KT610B {

// Register addresses.
constexpr uint8_t DeviceInfo = 0x00;
constexpr uint8_t SystemFlags = 0x01;
constexpr uint8_t Coordinates = 0x02;
constexpr uint8_t TouchBytes = 0x03;
constexpr uint8_t Counts = 0x04;
constexpr uint8_t LTA = 0x05;
constexpr uint8_t Deltas = 0x06;
constexpr uint8_t Multipliers = 0x07;
constexpr uint8_t Compensation = 0x08;
constexpr uint8_t ProxSettings = 0x09;
constexpr uint8_t Thresholds = 0x0A;
constexpr uint8_t Timings = 0x0B;
constexpr uint8_t GestureTimers = 0x0C;
constexpr uint8_t ActiveChannels = 0x0D;
constexpr uint8_t IndirectAddress = 0xFC;
constexpr uint8_t IndirectData = 0xFD;

// Register lengths in bytes.
constexpr int DeviceInfoLength = 2;
constexpr int SystemFlagsLength = 2;
constexpr int CoordinatesLength = 3;
constexpr int TouchBytesLength = 2;
constexpr int CountsLength = 10;
constexpr int LTALength = 10;
constexpr int DeltasLength = 8;
constexpr int MultipliersLength = 6;
constexpr int CompensationLength = 4;
constexpr int ProxSettingsLength = 5;
constexpr int ThresholdsLength = 8;
constexpr int TimingsLength = 3;
constexpr int GestureTimersLength = 3;
constexpr int ActiveChannelsLength = 1;

struct TRegisterInfo {
    uint8_t Address;
    const char* Name;
    int Length;
};
// Every register of the table, in address order.
const std::vector<TRegisterInfo>& Registers();
const TRegisterInfo* FindRegister(uint8_t address);

// Chip memory reached indirectly (IndirectAddress, then IndirectData).
constexpr std::array<uint8_t, 4> ActualBaseAddress{0x7E, 0x7F, 0x99, 0x3F}; // CH0..CH3, half the actual base
constexpr uint8_t CalCapSwitchAddress = 0x6A;
constexpr int CalCapSwitchBit = 3;

// SystemFlags byte 0 (System Flags).
namespace SysFlagBit {
constexpr int ShowReset = 7;
constexpr int MovementFlag = 6;
constexpr int ATIError = 5;
constexpr int Projected = 4;
constexpr int ATIBusy = 2;
constexpr int IgnoreFilterHalt = 1;
constexpr int LowPower = 0;
}
// The settings bits of System Flags (what the header export and the write log show).
constexpr uint8_t SysFlagsSettingsMask = 0x12;

// SystemFlags byte 1 (System Events) and ProxSettings byte 4 (event mask) share this order.
namespace EventBit {
constexpr int FlickRight = 7;
constexpr int FlickLeft = 6;
constexpr int Tap = 5;
constexpr int Mov = 4;
constexpr int ATIEvent = 3;
constexpr int SlideEvent = 2;
constexpr int TouchEvent = 1;
constexpr int ProxEvent = 0;
}

// ProxSettings command bits: set only in the one write that sends the command.
namespace ProxBit {
constexpr int AutoATI = 7;    // byte 0
constexpr int RedoATI = 4;    // byte 0, command
constexpr int Reseed = 3;     // byte 0, command
constexpr int ForceSleep = 6; // byte 2, command
constexpr int CSCap = 6;      // byte 3, off mode
constexpr int ATA = 3;        // byte 3, halt charge
}

// Register images at start-up (they differ from the form defaults).
constexpr uint8_t StartupProxSettings0 = 0x00;
constexpr uint8_t StartupProxSettings1 = 0x11;
constexpr uint8_t StartupProxSettings2 = 0x00;
constexpr uint8_t StartupProxSettings3 = 0x00;
constexpr uint8_t StartupEventMask = 0xBF;

// How a control's value sits in its register bits.
enum class TFieldEncoding {
    feIndex,    // the bits equal the item index
    feInverted, // one bit, the opposite of the item index
    feValue,    // the whole byte is the spin value
    feCheck     // one bit, set when the box is checked
};
enum class TControlKind { ckRadio, ckCombo, ckSpin, ckCheck, ckText };

struct TRegisterField {
    QString Control;     // the control that edits the field, e.g. "ATIRadio"
    QString Field;       // the field's name, e.g. "AutoATI"
    QString ExportName;  // name in the header export (empty for bit fields inside a byte)
    QString Caption;     // caption of the control's group in the settings window
    TControlKind Kind;
    uint8_t Register;
    int Byte;            // counted from 0
    int Shift;           // lowest bit of the field
    int Width;           // bits
    TFieldEncoding Encoding;
    QStringList Items;   // radio groups and combo boxes
    int Min, Max;        // value range (item index range for choices)
    int Default;         // form default: item index, spin value, or 1/0 for a check box
    int Step;            // spin increment
};

// Every writable field, grouped by register and byte in register order.
const std::vector<TRegisterField>& RegisterFields();
const TRegisterField* FindRegisterField(const QString& control);

// Item lists of the choices that are not bit fields of one byte.
QStringList SensItems();  // "1".."4"
QStringList CompItems();  // "1".."16"
QStringList BaseItems();  // "74".."314"

// Display conversions.
int BaseValue(int index);                  // 74 + 16 x index
QString ThresholdPercentText(int value);   // value / 256 x 100, three significant digits, two decimals, "%"
QString HaltTimeText(int value);           // "Never Halt", "Always Halt" or value x 50 + " Samples"
QString LowPowerTimeText(int value);       // value x 16 + "ms"
QString TargetText(int value);             // value x 8 + " Target"
QString VersionText(uint8_t productNumber, uint8_t softwareVersion); // "PROD : SW" in decimal

// value rounded to `precision` significant digits (halves away from zero) and printed with `digits` decimals.
QString FixedText(double value, int precision, int digits);

} // namespace KT610B
