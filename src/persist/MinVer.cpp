#include "persist/MinVer.h"

#include "persist/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <array>
#include <utility>

namespace {

// Hexadecimal text of one to eight digits, no prefix, no sign.
bool ParseHex(const QString& text, uint32_t& value)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    value = 0;
    for (QChar c : text) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (digit < 0)
            return false;
        value = value << 4 | uint32_t(digit);
    }
    return true;
}

#ifndef Q_OS_WIN
QString InstallDirFromConfig(const QString& configFile)
{
    QFile file(configFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!file.atEnd()) {
        const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed().compare(QLatin1String("Install_Dir"), Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}
#endif

} // namespace

TMinVer ReadMinVer(const QString& fileName)
{
    TMinVer min;
    const std::array<std::pair<const char*, uint32_t*>, 8> fields{{{"KC50", &min.KC50},
                                                                   {"KD30", &min.KD30},
                                                                   {"KR30", &min.KR30},
                                                                   {"KC70", &min.KC70},
                                                                   {"KC60", &min.KC60},
                                                                   {"KC60N", &min.KC60N},
                                                                   {"KC60A", &min.KC60A},
                                                                   {"KD30N", &min.KD30N}}};
    const TIniFile ini(fileName);
    for (const auto& [key, field] : fields) {
        uint32_t value = 0;
        if (!ParseHex(ini.ReadString(QStringLiteral("CT"), QString::fromLatin1(key), QStringLiteral("0")), value))
            break;
        *field = value;
    }
    return min;
}

QString UpdaterInstallDir(const QString& configFile)
{
#ifdef Q_OS_WIN
    Q_UNUSED(configFile);
    // The update program's installer may be 32-bit and write to the 32-bit view of the registry.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::Registry32Format}) {
        const QSettings key(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Korvane_Reflash"), format);
        const QString dir = key.value(QStringLiteral("Install_Dir")).toString();
        if (!dir.isEmpty())
            return dir;
    }
    return {};
#else
    const QString fromEnvironment = qEnvironmentVariable("KORVANE_REFLASH_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return InstallDirFromConfig(configFile);
#endif
}

QString UpdaterProgram(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
#ifdef Q_OS_WIN
    const QStringList names{QStringLiteral("Korvane Reflash.exe")};
#else
    const QStringList names{QStringLiteral("Korvane Reflash"), QStringLiteral("Korvane Reflash.exe")};
#endif
    for (const QString& name : names) {
        const QFileInfo program(dir.filePath(name));
        if (program.isFile())
            return program.filePath();
    }
    return {};
}

TUpdaterCheck CheckMinimumVersions(const QString& updaterFolder)
{
    TUpdaterCheck check;
    check.FUpdaterPath = updaterFolder;
    check.FUpdaterInstalled = !UpdaterProgram(updaterFolder).isEmpty();
    if (!check.FUpdaterInstalled)
        return check;
    const QString minVer = QDir(updaterFolder).filePath(QStringLiteral("minver.ini"));
    if (QFileInfo::exists(minVer))
        check.MinVer = ReadMinVer(minVer);
    return check;
}
