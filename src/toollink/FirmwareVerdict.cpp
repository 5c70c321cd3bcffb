#include "toollink/FirmwareVerdict.h"

#include "common/Hex.h"
#include "toollink/ToolFilter.h"

#include <tuple>

QString Hex4Dot(uint32_t value)
{
    QString text = QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return text.insert(2, QLatin1Char('.'));
}

QString ReleaseName(uint8_t release)
{
    switch (release) {
    case 10:
        return QStringLiteral("Alpha");
    case 11:
        return QStringLiteral("Beta");
    case 12:
        return QStringLiteral("Customer");
    default:
        return QStringLiteral("Custom");
    }
}

QString PackedVersionText(uint32_t packed)
{
    return QStringLiteral("V") + Hex4Dot(packed >> 16) + QStringLiteral(" Build ") +
           QString::number((packed >> 8) & 0xFF) + QStringLiteral(" Release ") + HexByte(uint8_t(packed));
}

QString FirmwareModelName(uint16_t productId)
{
    switch (productId) {
    case ToolFilter::KC60:
        return QStringLiteral("KC60");
    case ToolFilter::KC60A:
        return QStringLiteral("KC60A");
    case ToolFilter::KD30:
        return QStringLiteral("KD30");
    default:
        return {};
    }
}

QString TFirmwareVerdict::StatusText() const
{
    switch (Status) {
    case TFirmStatus::fsOutdated:
        return QStringLiteral("Firmware is outdated!");
    case TFirmStatus::fsRecommended:
        return QStringLiteral("Firmware update is recommended");
    case TFirmStatus::fsUpToDate:
        return QStringLiteral("Firmware is up to date");
    case TFirmStatus::fsUnsupported:
        break;
    }
    return QStringLiteral("Unsupported device");
}

uint32_t TFirmwareVerdict::StatusColour() const
{
    switch (Status) {
    case TFirmStatus::fsRecommended:
        return 0xFF8000;
    case TFirmStatus::fsUpToDate:
        return 0x008000;
    default:
        return 0xFF0000;
    }
}

uint32_t TFirmwareVerdict::PanelColour() const
{
    switch (Status) {
    case TFirmStatus::fsRecommended:
        return 0xFFE9D2;
    case TFirmStatus::fsUpToDate:
        return 0xF0FFF0;
    default:
        return 0xFFF0F0;
    }
}

namespace {

struct TModelVersions {
    uint32_t Offered;  // packed version the update program offers (0: none known)
    uint32_t Plain;    // plain version shown when no packed one is known
    uint32_t Shipped;  // packed version of the shipped file
    uint32_t Minimum;  // plain minimum firmware version
};

std::optional<TModelVersions> VersionsOf(uint16_t productId, const TMinVer& min)
{
    switch (productId) {
    case ToolFilter::KC60:
        return TModelVersions{min.KC60N, min.KC60, ShippedFirmware::KC60, min.KC60};
    case ToolFilter::KC60A:
        return TModelVersions{min.KC60A, min.KC60A, ShippedFirmware::KC60A, min.KC60A >> 16};
    case ToolFilter::KD30:
        return TModelVersions{min.KD30N, min.KD30, ShippedFirmware::KD30, min.KD30};
    default:
        return std::nullopt;
    }
}

} // namespace

TFirmwareVerdict JudgeFirmware(uint16_t productId, uint32_t version, uint8_t build, uint8_t release,
                               const TMinVer& min)
{
    TFirmwareVerdict verdict;
    const std::optional<TModelVersions> model = VersionsOf(productId, min);
    if (!model) {
        if (productId == ToolFilter::KC70)
            verdict.StabFirm = QStringLiteral("V") + Hex4Dot(min.KC70);
        return verdict;
    }

    if (model->Offered < 1) {
        verdict.StabFirm = Hex4Dot(model->Plain);
    } else {
        verdict.StabFirm = PackedVersionText(model->Offered);
        verdict.LocalPref = model->Offered <= model->Shipped;
    }
    verdict.PrefFirm = verdict.LocalPref ? PackedVersionText(model->Shipped) : *verdict.StabFirm;
    // An outdated tool needs the button most of all.
    verdict.UpdateEnabled = true;

    if (version < model->Minimum) {
        verdict.Status = TFirmStatus::fsOutdated;
        return verdict;
    }
    const auto shipped = std::make_tuple(model->Shipped >> 16, uint8_t(model->Shipped >> 8), uint8_t(model->Shipped));
    verdict.Status = std::make_tuple(version, build, release) < shipped ? TFirmStatus::fsRecommended
                                                                          : TFirmStatus::fsUpToDate;
    return verdict;
}
