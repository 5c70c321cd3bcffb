#pragma once
// The minimum tool firmware versions, from the "minver.ini" of the maker's firmware-update program, and
// the lookup of that program's folder.

#include "toollink/FirmwareVerdict.h"

#include <QString>

// Section "CT" of a minver.ini, the keys in TMinVer's field order. Values are hexadecimal text without
// prefix; a missing key reads as 0. A value that is not hexadecimal ends the reading: the fields read so
// far keep their values, the others stay 0. A missing or unreadable file gives all 0.
TMinVer ReadMinVer(const QString& fileName);

// The update program's folder as the platform records it, or empty. On Windows the value "Install_Dir" of
// HKEY_LOCAL_MACHINE\Software\Korvane_Reflash. Elsewhere the environment variable KORVANE_REFLASH_DIR, else
// the line "Install_Dir=<folder>" of configFile (by default /etc/korvane/reflash.conf).
QString UpdaterInstallDir(const QString& configFile = QStringLiteral("/etc/korvane/reflash.conf"));

// The update program in folder ("Korvane Reflash.exe"; elsewhere than Windows also "Korvane Reflash"), or
// empty when it is not there.
QString UpdaterProgram(const QString& folder);

// The main window's minimum-version check at start-up.
struct TUpdaterCheck {
    QString FUpdaterPath;
    bool FUpdaterInstalled = false;
    TMinVer MinVer;
};
TUpdaterCheck CheckMinimumVersions(const QString& updaterFolder = UpdaterInstallDir());
