#pragma once
// The program's windows: created once at start-up in a fixed order, each a single instance that lives for
// the whole run and is reached through its global reference.

#include <QString>
#include <memory>

class HidBackend;
class QWidget;
class TMainForm;
class TScopeForm;
class TSendCommands;
class TAboutDialog;
class THintTipsForm;
class TEasyShowSendForm;
class TSettingsForm;
class TStartupForm;
class TCtSetupForm;

extern TMainForm* MainForm;
extern TScopeForm* ScopeForm;
extern TSendCommands* SendCommands;
extern TAboutDialog* AboutDialog;
extern THintTipsForm* HintTipsForm;
extern TEasyShowSendForm* EasyShowSendForm;
extern TSettingsForm* SettingsForm;
extern TStartupForm* StartupForm;
extern TCtSetupForm* CtSetupForm;

// Creates the nine windows, the main window first (the others may refer to it while they are created).
// copyDataName: the local socket of the copy-data interface (empty: the per-user default).
void CreateForms(std::shared_ptr<HidBackend> backend, const QString& copyDataName = QString());
// Destroys them, the main window last.
void DestroyForms();

// Moves a window to the centre of its screen's work area.
void CentreOnScreen(QWidget* window);
