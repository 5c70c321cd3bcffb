#pragma once
// The per-user preferences file: where the main, scope, settings and send-commands windows were, and a few
// options. Each read or write opens the file, does its work and closes it again. Reads return false on any
// error (unreadable file, a number or Boolean that does not parse) and then leave their outputs untouched,
// so the window keeps its defaults; the windows report that as LoadErrorText. Write failures are returned
// too; the windows ignore them.

#include <QList>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class TIniFile;

// A window's outer frame in screen coordinates, and whether it is maximised.
struct TWindowGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Maximised = false;
};

// Where a window goes at its first activation, given its stored geometry and the monitors' rectangles: the
// stored geometry when its reference point lies on some monitor, otherwise nothing (the window stays as it
// is). The reference point of a maximised window is (Left + 10, Top + 10), since a maximised frame reaches a
// few pixels beyond its monitor; of any other window it is (Left, Top). A maximised window keeps its size.
std::optional<TWindowGeometry> PlaceWindow(const TWindowGeometry& stored, const QList<QRect>& monitors);

// Colours are stored as the platform's colour integers: low byte red, then green, then blue.
constexpr uint32_t BgrToRgb(uint32_t bgr)
{
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
constexpr uint32_t RgbToBgr(uint32_t rgb)
{
    return BgrToRgb(rgb);
}

struct TMainFormOptions {
    bool Hints = true;     // "Show hover hints" checked
    bool Tips = true;      // show the hints-and-tips window at start-up
    bool Updates = false;  // stored options, written back as read
    bool Updates1 = false;
};

struct TScopeFormOptions {
    // Channels 0 to 3 (blue, red, green, lime) and a fifth colour kept for the file only (purple).
    std::array<uint32_t, 5> CHColor{0xFF0000, 0x0000FF, 0x008000, 0x00FF00, 0x800080};
    int YInc = 10;   // vertical axis step
    int XRange = 600; // time range in samples
    std::array<bool, 4> CS{true, true, true, true}; // count channel boxes
    std::array<bool, 4> LT{false, false, false, false}; // average channel boxes
};

class TPreferences {
public:
    static constexpr const char* MainSection = "MainForm";
    static constexpr const char* ScopeSection = "ScopeForm";
    static constexpr const char* SettingsSection = "SettingsForm";
    static constexpr const char* SendComSection = "SendComForm";
    static constexpr const char* LoadErrorText = "Error loading saved settings!";
    static constexpr const char* ResetNoticeText = "Saved settings will reset on next start-up";

    // The user's file; another path for tests.
    explicit TPreferences(const QString& filePath = DefaultFilePath());

    // The user's local application-data folder + "Korvane/", or empty when the platform has none.
    static QString LocalDataPath();
    // LocalDataPath() + "KT610B/KorvaneKT610B.ini", or empty.
    static QString DefaultFilePath();
    const QString& FilePath() const { return FFilePath; }

    // Creates the file's folders when missing.
    bool Locate();

    // Main window, at activation. Creates the folders; on a first run creates the file holding only the
    // current width and sets only options.Tips (true); otherwise reads the geometry and every option.
    bool ReadMainForm(const TWindowGeometry& current, const QList<QRect>& monitors, TMainFormOptions& options,
                      std::optional<TWindowGeometry>& placement);
    // Main window, at close: Width, Height, Left, Top, State, Hints, Tips, Updates, Updates1.
    bool WriteMainForm(const TWindowGeometry& geometry, const TMainFormOptions& options);

    // Scope window: colours, YInc, XRange, CS0..CS3, LT0..LT3, then the geometry.
    bool ReadScopeForm(const TWindowGeometry& current, const QList<QRect>& monitors, TScopeFormOptions& options,
                       std::optional<TWindowGeometry>& placement);
    bool WriteScopeForm(const TWindowGeometry& geometry, const TScopeFormOptions& options);
    // "CS0".."CS3" (averages false) or "LT0".."LT3" (averages true) again, for an "All" box's third state.
    bool ReadScopeChannelBoxes(bool averages, std::array<bool, 4>& boxes);

    // A window's geometry section alone (SettingsSection, SendComSection).
    bool ReadFormGeometry(const QString& section, const TWindowGeometry& current, const QList<QRect>& monitors,
                          std::optional<TWindowGeometry>& placement);
    bool WriteFormGeometry(const QString& section, const TWindowGeometry& geometry);

    // Removes the file (the folders stay); true when no file is left.
    bool Delete();

    // Why the last read or write failed.
    const QString& LastError() const { return FLastError; }

private:
    bool Failed(const QString& error);
    // Reads "State", "Left", "Top" and, unless maximised, "Width" and "Height", each defaulting to current.
    static TWindowGeometry ReadStoredGeometry(const TIniFile& ini, const QString& section,
                                              const TWindowGeometry& current);
    static void WriteGeometry(TIniFile& ini, const QString& section, const TWindowGeometry& geometry);

    QString FFilePath;
    QString FLastError;
};
