#pragma once
// Window geometry kept in a section of the preferences file: "State" ("Max" or "Nor") and "Left", "Top",
// "Width", "Height" of the outer frame. The file itself is reached through two key functions that the
// owner of the preferences file sets; until then nothing is read or written.

#include <QString>
#include <functional>

class QWidget;

namespace FormGeometry {

// Reads one key; false on a read error. A missing key gives an empty value.
using TReadKey = std::function<bool(const QString& section, const QString& key, QString& value)>;
// Writes one key; false on a write error.
using TWriteKey = std::function<bool(const QString& section, const QString& key, const QString& value)>;

void SetPreferences(TReadKey read, TWriteKey write);

// State "Max": moves to (Left, Top) and maximises when a monitor contains (Left + 10, Top + 10). Otherwise:
// moves to (Left, Top) and takes Width and Height when a monitor contains (Left, Top). Missing keys default
// to the window's current values. False on a read error or a value that is not a number.
bool ReadGeometry(QWidget* window, const QString& section);
// Writes Width, Height, Left, Top and State, in this order; false when a write failed.
bool WriteGeometry(QWidget* window, const QString& section);

} // namespace FormGeometry
