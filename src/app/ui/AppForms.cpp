#include "app/ui/AppForms.h"

#include "app/ui/MainUnit.h"
#include "app/ui/ScopeThresholdLines.h"
#include "app/ui/ScopeUnit.h"
#include "help/ui/AboutDialogUnit.h"
#include "help/ui/HintTipsUnit.h"
#include "persist/ui/StartupUnit.h"
#include "settings/ui/EasyShowSendUnit.h"
#include "settings/SettingsPages.h"
#include "settings/ui/SendCommandsUnit.h"
#include "settings/ui/SettingsUnit.h"
#include "toollink/ui/CtSetupUnit.h"

#include <QScreen>

TMainForm* MainForm = nullptr;
TScopeForm* ScopeForm = nullptr;
TSendCommands* SendCommands = nullptr;
TAboutDialog* AboutDialog = nullptr;
THintTipsForm* HintTipsForm = nullptr;
TEasyShowSendForm* EasyShowSendForm = nullptr;
TSettingsForm* SettingsForm = nullptr;
TStartupForm* StartupForm = nullptr;
TCtSetupForm* CtSetupForm = nullptr;

void CreateForms(std::shared_ptr<HidBackend> backend, const QString& copyDataName)
{
    MainForm = new TMainForm(std::move(backend), copyDataName);
    ScopeForm = new TScopeForm;
    SendCommands = new TSendCommands;
    AboutDialog = new TAboutDialog;
    HintTipsForm = new THintTipsForm;
    EasyShowSendForm = new TEasyShowSendForm;
    SettingsForm = new TSettingsForm;
    StartupForm = new TStartupForm;
    CtSetupForm = new TCtSetupForm;
    AttachScopeAnalysis(*ScopeForm, MainForm->Core(), [] { SettingsForm->SelectPageForEdit(spThr); });
    for (QWidget* window : std::initializer_list<QWidget*>{ScopeForm, SendCommands, AboutDialog, HintTipsForm,
                                                           EasyShowSendForm, SettingsForm, StartupForm, CtSetupForm})
        CentreOnScreen(window);
}

template <typename T> static void Destroy(T*& form)
{
    delete form;
    form = nullptr;
}

void DestroyForms()
{
    Destroy(CtSetupForm);
    Destroy(StartupForm);
    Destroy(SettingsForm);
    Destroy(EasyShowSendForm);
    Destroy(HintTipsForm);
    Destroy(AboutDialog);
    Destroy(SendCommands);
    Destroy(ScopeForm);
    Destroy(MainForm);
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}
