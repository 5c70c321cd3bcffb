// The preferences reader on arbitrary files: every form's options and placement. A read that succeeds gives
// plain colours and the same channel boxes however they are asked for. The write-back has its own target
// (fuzz_preferences_roundtrip), as its saves cost far more than the reads.

#include "fuzz/FuzzSupport.h"

#include "persist/Preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    static const QString path = Fuzz::TempPath(QStringLiteral("KT610B/KorvaneKT610B.ini"));
    static const QList<QRect> monitors{QRect(0, 0, 1920, 1200), QRect(1920, -200, 1280, 1024)};
    static TPreferences prefs(path);
    static const bool located = prefs.Locate();
    FUZZ_CHECK(located);
    Fuzz::WriteFile(path, data, size);
    const TWindowGeometry current{100, 100, 800, 600, false};

    TMainFormOptions main;
    std::optional<TWindowGeometry> place;
    prefs.ReadMainForm(current, monitors, main, place);

    TScopeFormOptions scope;
    if (prefs.ReadScopeForm(current, monitors, scope, place)) {
        for (uint32_t colour : scope.CHColor)
            FUZZ_CHECK(colour <= 0xFFFFFF);
        std::array<bool, 4> boxes{};
        FUZZ_CHECK(prefs.ReadScopeChannelBoxes(false, boxes) && boxes == scope.CS);
        FUZZ_CHECK(prefs.ReadScopeChannelBoxes(true, boxes) && boxes == scope.LT);
    }

    for (const char* section : {TPreferences::SettingsSection, TPreferences::SendComSection})
        prefs.ReadFormGeometry(QString::fromLatin1(section), current, monitors, place);
    return 0;
}
