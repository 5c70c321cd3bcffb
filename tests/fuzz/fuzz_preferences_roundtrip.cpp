// The preferences write-back: whatever a read accepts, writing it back and reading again gives the same
// options and placement. The reader alone, at a higher rate, is fuzz_preferences.

#include "fuzz/FuzzSupport.h"

#include "persist/Preferences.h"

#include <QFile>

namespace {

bool Same(const std::optional<TWindowGeometry>& a, const std::optional<TWindowGeometry>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->Left == b->Left && a->Top == b->Top && a->Width == b->Width && a->Height == b->Height &&
                  a->Maximised == b->Maximised);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    static const QString path = Fuzz::TempPath(QStringLiteral("KT610B/KorvaneKT610B.ini"));
    static const QList<QRect> monitors{QRect(0, 0, 1920, 1200), QRect(1920, -200, 1280, 1024)};
    const TWindowGeometry current{100, 100, 800, 600, false};
    TPreferences prefs(path);
    FUZZ_CHECK(prefs.Locate());
    Fuzz::WriteFile(path, data, size);

    TMainFormOptions main;
    std::optional<TWindowGeometry> mainPlace;
    if (prefs.ReadMainForm(current, monitors, main, mainPlace)) {
        const TWindowGeometry stored = mainPlace.value_or(current);
        FUZZ_CHECK(prefs.WriteMainForm(stored, main));
        TMainFormOptions again;
        std::optional<TWindowGeometry> againPlace;
        FUZZ_CHECK(prefs.ReadMainForm(current, monitors, again, againPlace));
        FUZZ_CHECK(again.Hints == main.Hints && again.Tips == main.Tips && again.Updates == main.Updates &&
                   again.Updates1 == main.Updates1);
        if (mainPlace)
            FUZZ_CHECK(Same(againPlace, mainPlace));
    }

    Fuzz::WriteFile(path, data, size);
    TScopeFormOptions scope;
    std::optional<TWindowGeometry> scopePlace;
    if (prefs.ReadScopeForm(current, monitors, scope, scopePlace)) {
        for (uint32_t colour : scope.CHColor)
            FUZZ_CHECK(colour <= 0xFFFFFF);
        std::array<bool, 4> boxes{};
        FUZZ_CHECK(prefs.ReadScopeChannelBoxes(false, boxes) && boxes == scope.CS);
        FUZZ_CHECK(prefs.ReadScopeChannelBoxes(true, boxes) && boxes == scope.LT);
        FUZZ_CHECK(prefs.WriteScopeForm(scopePlace.value_or(current), scope));
        TScopeFormOptions again;
        std::optional<TWindowGeometry> againPlace;
        FUZZ_CHECK(prefs.ReadScopeForm(current, monitors, again, againPlace));
        FUZZ_CHECK(again.CHColor == scope.CHColor && again.YInc == scope.YInc && again.XRange == scope.XRange &&
                   again.CS == scope.CS && again.LT == scope.LT);
        if (scopePlace)
            FUZZ_CHECK(Same(againPlace, scopePlace));
    }

    Fuzz::WriteFile(path, data, size);
    for (const char* section : {TPreferences::SettingsSection, TPreferences::SendComSection}) {
        std::optional<TWindowGeometry> place;
        if (prefs.ReadFormGeometry(QString::fromLatin1(section), current, monitors, place) && place)
            FUZZ_CHECK(prefs.WriteFormGeometry(QString::fromLatin1(section), *place));
    }
    return 0;
}
