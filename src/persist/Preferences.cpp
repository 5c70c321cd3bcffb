#include "persist/Preferences.h"

#include "common/FileMode.h"
#include "persist/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Main = QString::fromLatin1(TPreferences::MainSection);
const QString Scope = QString::fromLatin1(TPreferences::ScopeSection);

bool OnSomeMonitor(qint64 x, qint64 y, const QList<QRect>& monitors)
{
    // 64-bit, so that a stored position near the integer limits cannot overflow with the offset.
    for (const QRect& r : monitors)
        if (!r.isEmpty() && x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom())
            return true;
    return false;
}

QString Numbered(const char* prefix, int n)
{
    return QString::fromLatin1(prefix) + QString::number(n);
}

} // namespace

std::optional<TWindowGeometry> PlaceWindow(const TWindowGeometry& stored, const QList<QRect>& monitors)
{
    const int offset = stored.Maximised ? 10 : 0;
    if (OnSomeMonitor(qint64(stored.Left) + offset, qint64(stored.Top) + offset, monitors))
        return stored;
    return std::nullopt;
}

TPreferences::TPreferences(const QString& filePath) : FFilePath(filePath) {}

QString TPreferences::LocalDataPath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    return QDir(base).filePath(QStringLiteral("Korvane")) + QLatin1Char('/');
}

QString TPreferences::DefaultFilePath()
{
    const QString local = LocalDataPath();
    return local.isEmpty() ? QString() : local + QStringLiteral("KT610B/KorvaneKT610B.ini");
}

bool TPreferences::Failed(const QString& error)
{
    FLastError = error;
    return false;
}

bool TPreferences::Locate()
{
    if (FFilePath.isEmpty())
        return Failed(QStringLiteral("There is no application-data folder for the preferences file"));
    const QString folder = QFileInfo(FFilePath).absolutePath();
    const bool existed = QFileInfo::exists(folder);
    if (!QDir().mkpath(folder))
        return Failed(QStringLiteral("Cannot create the folder \"%1\"").arg(folder));
    if (!existed)
        DropWorldWrite(folder);
    return true;
}

TWindowGeometry TPreferences::ReadStoredGeometry(const TIniFile& ini, const QString& section,
                                                 const TWindowGeometry& current)
{
    TWindowGeometry stored = current;
    stored.Maximised = ini.ReadString(section, QStringLiteral("State"), QStringLiteral("Nor")) ==
                       QLatin1String("Max");
    stored.Left = ini.ReadInteger(section, QStringLiteral("Left"), current.Left);
    stored.Top = ini.ReadInteger(section, QStringLiteral("Top"), current.Top);
    if (!stored.Maximised) {
        stored.Width = ini.ReadInteger(section, QStringLiteral("Width"), current.Width);
        stored.Height = ini.ReadInteger(section, QStringLiteral("Height"), current.Height);
    }
    return stored;
}

void TPreferences::WriteGeometry(TIniFile& ini, const QString& section, const TWindowGeometry& geometry)
{
    ini.WriteInteger(section, QStringLiteral("Width"), geometry.Width);
    ini.WriteInteger(section, QStringLiteral("Height"), geometry.Height);
    ini.WriteInteger(section, QStringLiteral("Left"), geometry.Left);
    ini.WriteInteger(section, QStringLiteral("Top"), geometry.Top);
    ini.WriteString(section, QStringLiteral("State"), geometry.Maximised ? QStringLiteral("Max") : QStringLiteral("Nor"));
}

bool TPreferences::ReadMainForm(const TWindowGeometry& current, const QList<QRect>& monitors,
                                TMainFormOptions& options, std::optional<TWindowGeometry>& placement)
{
    if (!Locate())
        return false;
    TIniFile ini(FFilePath);
    if (!QFileInfo::exists(FFilePath)) {
        // First run: the file starts with the width alone; the tips are shown.
        if (!ini.WriteInteger(Main, QStringLiteral("Width"), current.Width))
            return Failed(ini.ErrorString());
        const bool tips = ini.ReadBool(Main, QStringLiteral("Tips"), true);
        if (ini.ReadFailed())
            return Failed(ini.ErrorString());
        options.Tips = tips;
        placement.reset();
        return true;
    }
    const TWindowGeometry stored = ReadStoredGeometry(ini, Main, current);
    TMainFormOptions read;
    read.Hints = ini.ReadBool(Main, QStringLiteral("Hints"), true);
    read.Tips = ini.ReadBool(Main, QStringLiteral("Tips"), true);
    read.Updates = ini.ReadBool(Main, QStringLiteral("Updates"), false);
    read.Updates1 = ini.ReadBool(Main, QStringLiteral("Updates1"), false);
    if (ini.ReadFailed())
        return Failed(ini.ErrorString());
    options = read;
    placement = PlaceWindow(stored, monitors);
    return true;
}

bool TPreferences::WriteMainForm(const TWindowGeometry& geometry, const TMainFormOptions& options)
{
    if (!Locate())
        return false;
    TIniFile ini(FFilePath);
    ini.BeginUpdate();
    WriteGeometry(ini, Main, geometry);
    ini.WriteBool(Main, QStringLiteral("Hints"), options.Hints);
    ini.WriteBool(Main, QStringLiteral("Tips"), options.Tips);
    ini.WriteBool(Main, QStringLiteral("Updates"), options.Updates);
    ini.WriteBool(Main, QStringLiteral("Updates1"), options.Updates1);
    return ini.UpdateFile() || Failed(ini.ErrorString());
}

bool TPreferences::ReadScopeForm(const TWindowGeometry& current, const QList<QRect>& monitors,
                                 TScopeFormOptions& options, std::optional<TWindowGeometry>& placement)
{
    TIniFile ini(FFilePath);
    TScopeFormOptions read;
    for (int c = 0; c < int(read.CHColor.size()); ++c) {
        const QString key = QStringLiteral("CH%1Color").arg(c);
        const int colour = ini.ReadInteger(Scope, key, int(read.CHColor[c]));
        // Only plain colours; anything else (a system colour, a stray sign) keeps the default.
        if (colour >= 0 && colour <= 0xFFFFFF)
            read.CHColor[c] = uint32_t(colour);
    }
    read.YInc = ini.ReadInteger(Scope, QStringLiteral("YInc"), read.YInc);
    read.XRange = ini.ReadInteger(Scope, QStringLiteral("XRange"), read.XRange);
    for (int c = 0; c < 4; ++c)
        read.CS[c] = ini.ReadBool(Scope, Numbered("CS", c), read.CS[c]);
    for (int c = 0; c < 4; ++c)
        read.LT[c] = ini.ReadBool(Scope, Numbered("LT", c), read.LT[c]);
    const TWindowGeometry stored = ReadStoredGeometry(ini, Scope, current);
    if (ini.ReadFailed())
        return Failed(ini.ErrorString());
    options = read;
    placement = PlaceWindow(stored, monitors);
    return true;
}

bool TPreferences::WriteScopeForm(const TWindowGeometry& geometry, const TScopeFormOptions& options)
{
    if (!Locate())
        return false;
    TIniFile ini(FFilePath);
    ini.BeginUpdate();
    WriteGeometry(ini, Scope, geometry);
    for (int c = 0; c < int(options.CHColor.size()); ++c)
        ini.WriteInteger(Scope, QStringLiteral("CH%1Color").arg(c), int(options.CHColor[c] & 0xFFFFFF));
    ini.WriteInteger(Scope, QStringLiteral("YInc"), options.YInc);
    ini.WriteInteger(Scope, QStringLiteral("XRange"), options.XRange);
    for (int c = 0; c < 4; ++c)
        ini.WriteBool(Scope, Numbered("CS", c), options.CS[c]);
    for (int c = 0; c < 4; ++c)
        ini.WriteBool(Scope, Numbered("LT", c), options.LT[c]);
    return ini.UpdateFile() || Failed(ini.ErrorString());
}

bool TPreferences::ReadScopeChannelBoxes(bool averages, std::array<bool, 4>& boxes)
{
    TIniFile ini(FFilePath);
    std::array<bool, 4> read{};
    for (int c = 0; c < 4; ++c)
        read[c] = ini.ReadBool(Scope, Numbered(averages ? "LT" : "CS", c), !averages);
    if (ini.ReadFailed())
        return Failed(ini.ErrorString());
    boxes = read;
    return true;
}

bool TPreferences::ReadFormGeometry(const QString& section, const TWindowGeometry& current,
                                    const QList<QRect>& monitors, std::optional<TWindowGeometry>& placement)
{
    TIniFile ini(FFilePath);
    const TWindowGeometry stored = ReadStoredGeometry(ini, section, current);
    if (ini.ReadFailed())
        return Failed(ini.ErrorString());
    placement = PlaceWindow(stored, monitors);
    return true;
}

bool TPreferences::WriteFormGeometry(const QString& section, const TWindowGeometry& geometry)
{
    if (!Locate())
        return false;
    TIniFile ini(FFilePath);
    ini.BeginUpdate();
    WriteGeometry(ini, section, geometry);
    return ini.UpdateFile() || Failed(ini.ErrorString());
}

bool TPreferences::Delete()
{
    QFile file(FFilePath);
    if (!file.exists() || file.remove())
        return true;
    return Failed(QStringLiteral("Cannot delete \"%1\": %2").arg(FFilePath, file.errorString()));
}
