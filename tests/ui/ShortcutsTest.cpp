// Keys that work anywhere in the program, and the hidden engineering chord.

#include "UiTestSupport.h"

#include "app/ui/AppForms.h"
#include "app/ui/AppShortcuts.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeUnit.h"
#include "settings/ui/SettingsUnit.h"
#include "toollink/ui/CtSetupUnit.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QWindow>

namespace {

class ShortcutsTest : public ShellTest {
protected:
    // Keys reach the program through the active window, as the platform delivers them.
    static void Send(QEvent::Type type, int key, quint32 scanCode = 0, bool autoRepeat = false)
    {
        QWidget* target = QApplication::activeWindow() ? QApplication::activeWindow() : MainForm;
        QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, QString(), autoRepeat);
        QCoreApplication::sendEvent(target->windowHandle(), &event);
    }
    static void Tap(int key)
    {
        Send(QEvent::KeyPress, key);
        Send(QEvent::KeyRelease, key);
    }
    static void Chord()
    {
        Send(QEvent::KeyPress, Qt::Key_Control, TAppShortcuts::LeftControlScanCode);
        Send(QEvent::KeyPress, Qt::Key_Control, TAppShortcuts::RightControlScanCode);
        Send(QEvent::KeyRelease, Qt::Key_Control, TAppShortcuts::RightControlScanCode);
        Send(QEvent::KeyRelease, Qt::Key_Control, TAppShortcuts::LeftControlScanCode);
    }
    static bool Activate(QWidget* window)
    {
        window->activateWindow();
        return WaitUntil([&] { return window->isActiveWindow(); });
    }
    static QString LastMessage()
    {
        TKvrListBox* list = MainForm->MessageBox;
        return list->count() ? list->item(list->count() - 1)->text() : QString();
    }
};

TEST_F(ShortcutsTest, F3ShowsClosesAndRestoresTheScope)
{
    ASSERT_TRUE(Activate(MainForm));
    Tap(Qt::Key_F3);
    EXPECT_TRUE(ScopeForm->isVisible());
    ASSERT_TRUE(Activate(MainForm));
    Tap(Qt::Key_F3);
    EXPECT_FALSE(ScopeForm->isVisible());

    ScopeForm->showMinimized();
    ASSERT_TRUE(WaitUntil([] { return ScopeForm->isMinimized(); }));
    Tap(Qt::Key_F3);
    EXPECT_TRUE(ScopeForm->isVisible());
    EXPECT_FALSE(ScopeForm->isMinimized());
}

TEST_F(ShortcutsTest, EscClosesTheSettingsWindowOnlyWhileItIsActive)
{
    SettingsForm->show();
    ASSERT_TRUE(Activate(MainForm));
    Tap(Qt::Key_Escape);
    EXPECT_TRUE(SettingsForm->isVisible());

    ASSERT_TRUE(Activate(SettingsForm));
    Tap(Qt::Key_Escape);
    EXPECT_FALSE(SettingsForm->isVisible());
}

TEST_F(ShortcutsTest, F1AndF2ClickOnlyEnabledButtonsAndNeverUnderAModalWindow)
{
    int starts = 0, pauses = 0;
    // Counted instead of running a session.
    MainForm->StartButton->disconnect();
    MainForm->PauseButton->disconnect();
    QObject::connect(MainForm->StartButton, &QPushButton::clicked, [&] { ++starts; });
    QObject::connect(MainForm->PauseButton, &QPushButton::clicked, [&] { ++pauses; });
    ASSERT_TRUE(Activate(MainForm));

    Tap(Qt::Key_F1);
    Tap(Qt::Key_F2);
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(pauses, 0);

    MainForm->SetStartEnabled(true);
    MainForm->SetPauseEnabled(true);
    Tap(Qt::Key_F1);
    Tap(Qt::Key_F2);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(pauses, 1);

    QDialog modal;
    modal.setModal(true);
    modal.show();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeModalWidget() == &modal; }));
    Tap(Qt::Key_F1);
    Tap(Qt::Key_F2);
    Tap(Qt::Key_F3);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(pauses, 1);
    EXPECT_FALSE(ScopeForm->isVisible());
}

TEST_F(ShortcutsTest, ChordSwitchesEngineeringOnAndOff)
{
    ASSERT_TRUE(Activate(MainForm));
    Chord();
    EXPECT_TRUE(SettingsForm->IsEngineeringVisible());
    EXPECT_TRUE(SettingsForm->isVisible());
    EXPECT_TRUE(SettingsForm->IsEngineeringPageCurrent());
    EXPECT_TRUE(CtSetupForm->Engineering);
    EXPECT_EQ(LastMessage(), QStringLiteral(" Engineering Enabled"));

    Chord();
    EXPECT_FALSE(SettingsForm->IsEngineeringVisible());
    EXPECT_EQ(SettingsForm->ActivePage(), TSettingsForm::SetupPageIndex);
    EXPECT_FALSE(CtSetupForm->Engineering);
    EXPECT_EQ(LastMessage(), QStringLiteral(" Engineering Disabled"));
}

TEST_F(ShortcutsTest, ChordNeedsBothControlKeysAndIgnoresKeyRepeat)
{
    ASSERT_TRUE(Activate(MainForm));
    Send(QEvent::KeyPress, Qt::Key_Control, TAppShortcuts::LeftControlScanCode);
    Send(QEvent::KeyPress, Qt::Key_Control, TAppShortcuts::LeftControlScanCode, true);
    EXPECT_FALSE(SettingsForm->IsEngineeringVisible());

    Send(QEvent::KeyPress, Qt::Key_Control, TAppShortcuts::RightControlScanCode);
    EXPECT_TRUE(SettingsForm->IsEngineeringVisible());
    // Held down: the repeats do not flip it back and forth.
    for (int i = 0; i < 5; ++i)
        Send(QEvent::KeyPress, Qt::Key_Control, TAppShortcuts::RightControlScanCode, true);
    EXPECT_TRUE(SettingsForm->IsEngineeringVisible());
    Send(QEvent::KeyRelease, Qt::Key_Control, TAppShortcuts::RightControlScanCode);
    Send(QEvent::KeyRelease, Qt::Key_Control, TAppShortcuts::LeftControlScanCode);
}

TEST_F(ShortcutsTest, ChordWhileTheToolSetupWindowIsOpenOnlyTogglesItsCustomUpdateButton)
{
    CtSetupForm->show();
    ASSERT_TRUE(Activate(CtSetupForm));
    const int messages = MainForm->MessageBox->count();
    Chord();
    EXPECT_FALSE(SettingsForm->IsEngineeringVisible());
    EXPECT_FALSE(CtSetupForm->Engineering);
    EXPECT_FALSE(CtSetupForm->UpdateCustomButton->isHidden());
    EXPECT_EQ(MainForm->MessageBox->count(), messages);
    Chord();
    EXPECT_TRUE(CtSetupForm->UpdateCustomButton->isHidden());
    EXPECT_FALSE(SettingsForm->IsEngineeringVisible());
}

} // namespace
