#pragma once
// A secondary window's geometry in its section of the preferences file ("SettingsForm", "SendComForm"): read
// at the first activation, written when the window goes away.

#include "persist/Preferences.h"

#include <QList>
#include <QRect>
#include <QString>

class QWidget;

namespace FormGeometry {

// The preferences file: the user's unless another is set (tests); an empty path goes back to the user's.
void SetPreferencesFile(const QString& path);
QString PreferencesFile();

// Puts the window where the section says, when that place lies on some monitor; a maximised window is
// maximised there. False on a read error (the window then stays as it is).
bool ReadGeometry(QWidget* window, const QString& section);
// The window's outer frame and state, and the monitors' rectangles, as the preferences file sees them.
TWindowGeometry Current(const QWidget* window);
QList<QRect> Monitors();
// Moves the window to a placement found by PlaceWindow and maximises it or gives it the stored outer size.
void Apply(QWidget* window, const TWindowGeometry& placement);
// Width, Height, Left, Top and State of the outer frame; false when the file could not be written.
bool WriteGeometry(QWidget* window, const QString& section);

} // namespace FormGeometry
