#include "app/ui/AppShortcuts.h"

#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeUnit.h"
#include "settings/ui/SettingsUnit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

TAppShortcuts::TAppShortcuts(TMainForm* form) : FForm(form) {}

bool TAppShortcuts::eventFilter(QObject* watched, QEvent* event)
{
    // Every key event reaches the window before its widgets: seeing it there sees it once.
    switch (event->type()) {
    case QEvent::KeyPress:
        if (qobject_cast<QWindow*>(watched))
            KeyDown(*static_cast<QKeyEvent*>(event));
        break;
    case QEvent::KeyRelease:
        if (qobject_cast<QWindow*>(watched))
            KeyUp(*static_cast<QKeyEvent*>(event));
        break;
    case QEvent::ApplicationDeactivate:
        // Key releases while another program is active never arrive here.
        FLeftControlDown = FRightControlDown = false;
        break;
    default:
        break;
    }
    return false; // never handled here: the key goes on to its widget
}

void TAppShortcuts::KeyDown(const QKeyEvent& key)
{
    if (key.nativeScanCode() == LeftControlScanCode)
        FLeftControlDown = true;
    else if (key.nativeScanCode() == RightControlScanCode)
        FRightControlDown = true;
    // Holding the chord repeats key-downs: only a real press toggles.
    if (FLeftControlDown && FRightControlDown && !key.isAutoRepeat() && !QApplication::activeModalWidget())
        FForm->ToggleEngineering();
}

void TAppShortcuts::KeyUp(const QKeyEvent& key)
{
    if (key.nativeScanCode() == LeftControlScanCode)
        FLeftControlDown = false;
    else if (key.nativeScanCode() == RightControlScanCode)
        FRightControlDown = false;
    if (key.isAutoRepeat())
        return;

    if (key.key() == Qt::Key_Escape) {
        if (SettingsForm && SettingsForm->isVisible() && SettingsForm->isActiveWindow())
            SettingsForm->close();
        return;
    }
    // A modal window is waiting for an answer (the start-up chooser among them): nothing may start meanwhile.
    if (QApplication::activeModalWidget())
        return;
    switch (key.key()) {
    case Qt::Key_F1:
        if (FForm->StartButton->isEnabled())
            FForm->StartButton->click();
        break;
    case Qt::Key_F2:
        if (FForm->PauseButton->isEnabled())
            FForm->PauseButton->click();
        break;
    case Qt::Key_F3:
        ToggleScope();
        break;
    default:
        break;
    }
}

void TAppShortcuts::ToggleScope()
{
    if (!ScopeForm)
        return;
    if (ScopeForm->isVisible() && !ScopeForm->isMinimized()) {
        ScopeForm->close();
        return;
    }
    FForm->ScopeButtonClick();
}
