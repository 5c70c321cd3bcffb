#pragma once
// A secondary window's geometry in its section of the preferences file ("SettingsForm", "SendComForm"): read
// at the first activation, written when the window goes away.

#include <QString>

class QWidget;

namespace FormGeometry {

// The preferences file: the user's unless another is set (tests); an empty path goes back to the user's.
void SetPreferencesFile(const QString& path);
QString PreferencesFile();

// Puts the window where the section says, when that place lies on some monitor; a maximised window is
// maximised there. False on a read error (the window then stays as it is).
bool ReadGeometry(QWidget* window, const QString& section);
// Width, Height, Left, Top and State of the outer frame; false when the file could not be written.
bool WriteGeometry(QWidget* window, const QString& section);

} // namespace FormGeometry
