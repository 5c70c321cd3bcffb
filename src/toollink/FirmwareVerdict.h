#pragma once
// The judgement of a configuration tool's firmware against the minimum versions of the maker's update
// program and the firmware files shipped with this program.

#include <QString>
#include <cstdint>
#include <optional>

// KD30, KC60 and KC70 hold a plain firmware version (0x0106); KC60N, KC60A and KD30N a packed one: bits 31..16
// the version, 15..8 the build, 7..0 the release. KC50 and KR30 are read but not used.
struct TMinVer {
    uint32_t KC50 = 0;
    uint32_t KD30 = 0;
    uint32_t KR30 = 0;
    uint32_t KC70 = 0;
    uint32_t KC60 = 0;
    uint32_t KC60N = 0;
    uint32_t KC60A = 0;
    uint32_t KD30N = 0;
};

// Versions of the ".dfu" files shipped beside the program, packed like TMinVer's packed fields.
namespace ShippedFirmware {
constexpr uint32_t KC60 = 0x0106130C;
constexpr uint32_t KC60A = 0x0100010B;
constexpr uint32_t KD30 = 0x0127010A;
}

// At least four upper-case hexadecimal digits with "." after the first two: 0x0106 reads "01.06".
QString Hex4Dot(uint32_t value);
// "Alpha", "Beta", "Customer", anything else "Custom".
QString ReleaseName(uint8_t release);
// "V01.06 Build 19 Release 0C" from 0x0106130C.
QString PackedVersionText(uint32_t packed);
// The model name that a shipped firmware file's name contains: "KC60", "KC60A", "KD30"; empty for others.
QString FirmwareModelName(uint16_t productId);

enum class TFirmStatus { fsOutdated, fsRecommended, fsUpToDate, fsUnsupported };

struct TFirmwareVerdict {
    TFirmStatus Status = TFirmStatus::fsUnsupported;
    bool LocalPref = false;     // the shipped file is at least as new as the one the update program offers
    bool UpdateEnabled = false; // "Update to latest version" can be used
    // Offered versions; unset where the model offers none (the labels keep what they showed).
    std::optional<QString> StabFirm;
    std::optional<QString> PrefFirm;

    QString StatusText() const;
    uint32_t StatusColour() const; // 0xRRGGBB
    uint32_t PanelColour() const;
};

TFirmwareVerdict JudgeFirmware(uint16_t productId, uint32_t version, uint8_t build, uint8_t release,
                               const TMinVer& min);
