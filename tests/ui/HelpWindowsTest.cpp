// Hover hints, the hints-and-tips window and the about window.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "help/MainButtonHints.h"
#include "help/ui/AboutDialogUnit.h"
#include "help/ui/HintTipsUnit.h"
#include "help/ui/ToolTipManager.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>

namespace {

void Click(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, {}, {});
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

TEST(MainButtonHints, TextsFollowTheStateAndVanishWithHintsOff)
{
    const QString pause = QStringLiteral("Pause"), resume = QStringLiteral("Resume");
    EXPECT_EQ(MainButtonHint(TMainHintButton::StartButton, false, pause, true).Title, "Start Streaming (F1)");
    EXPECT_EQ(MainButtonHint(TMainHintButton::StartButton, false, pause, true).Text,
              "Start streaming the connected KT610B");
    EXPECT_EQ(MainButtonHint(TMainHintButton::StartButton, true, pause, true).Title, "Stop Streaming (F1)");
    EXPECT_EQ(MainButtonHint(TMainHintButton::StartButton, true, pause, true).Text,
              "Stop device streaming and power off");
    EXPECT_EQ(MainButtonHint(TMainHintButton::PauseButton, true, pause, true).Text,
              "Pause device data streaming (power remains on)");
    EXPECT_EQ(MainButtonHint(TMainHintButton::PauseButton, false, resume, true).Title, "Resume Streaming (F2)");
    EXPECT_EQ(MainButtonHint(TMainHintButton::ScopeButton, false, pause, true).Title, "Open Scope (F3)");
    EXPECT_EQ(MainButtonHint(TMainHintButton::SetupButton, false, pause, true).Title, "Device & Application Setup");
    for (auto button : {TMainHintButton::StartButton, TMainHintButton::PauseButton, TMainHintButton::ScopeButton,
                        TMainHintButton::SetupButton}) {
        const THintText off = MainButtonHint(button, true, pause, false);
        EXPECT_TRUE(off.Title.isEmpty() && off.Text.isEmpty());
    }
}

class ToolTips : public ::testing::Test {
protected:
    void SetUp() override
    {
        Outer = new QWidget(&Window);
        Inner = new QWidget(Outer);
        Leaf = new QWidget(Inner);
        Spin = new QSpinBox(&Window);
        Manager.SetShowPause(10);
        Manager.OnBeforeShow = [this](TToolTipManager*, TToolTipItem* item) { Events << "before:" + item->Title; };
        Manager.OnShow = [this](TToolTipManager*, TToolTipItem* item) { Events << "show:" + item->Title; };
        Manager.OnHide = [this](TToolTipManager*, TToolTipItem* item) { Events << "hide:" + item->Title; };
    }
    TToolTipItem* Entry(QWidget* control, const QString& title)
    {
        TToolTipItem* item = Manager.Add(control);
        item->Title = title;
        item->Description = title + " text";
        return item;
    }
    QString Shown() const { return Manager.VisibleToolTip() ? Manager.VisibleToolTip()->Title : QString(); }

    QWidget Window;
    QWidget *Outer, *Inner, *Leaf;
    QSpinBox* Spin;
    TToolTipManager Manager;
    QStringList Events;
};

TEST_F(ToolTips, NestedControlsExactEntryWinsElseTheLastContainer)
{
    Entry(Outer, "outer");
    Entry(Inner, "inner");
    Entry(Outer, "outer again");
    Manager.Loaded();
    Manager.ShowToolTipFor(Inner);
    EXPECT_EQ(Shown(), "inner");
    Manager.ShowToolTipFor(Leaf);
    EXPECT_EQ(Shown(), "outer again") << "searched from the end, the first container met";
    EXPECT_EQ(Events.first(), "before:inner");
    EXPECT_TRUE(Events.contains("show:inner"));
    Manager.HideToolTip();
    EXPECT_EQ(Events.last(), "hide:outer again");
    EXPECT_EQ(Shown(), "");
}

TEST_F(ToolTips, HoverShowsAfterTheDelayAlsoOverTheInnerPartsOfACompositeControl)
{
    Entry(Spin, "spin");
    Manager.Loaded();
    QWidget* editor = Spin->findChild<QWidget*>();
    ASSERT_NE(editor, nullptr);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(editor, &enter);
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(WaitUntil([&] { return Shown() == "spin"; }, 1000));
    ASSERT_NE(Manager.ToolTipWindow(), nullptr);
    EXPECT_TRUE(Manager.ToolTipWindow()->isVisible());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(editor, &leave);
    EXPECT_EQ(Shown(), "");
    EXPECT_FALSE(Manager.ToolTipWindow()->isVisible());
}

TEST_F(ToolTips, EmptyTextShowsNothingAndEntriesWithoutControlAreSkipped)
{
    TToolTipItem* loose = Entry(nullptr, "loose");
    TToolTipItem* item = Entry(Outer, "outer");
    Manager.OnBeforeShow = [](TToolTipManager*, TToolTipItem* tip) { tip->Description.clear(); };
    Manager.Loaded();
    Manager.ShowToolTipFor(Outer);
    EXPECT_EQ(Manager.VisibleToolTip(), nullptr);
    EXPECT_EQ(loose->Control(), nullptr);
    EXPECT_EQ(item->Control(), Outer);
}

TEST_F(ToolTips, DestroyedControlLeavesItsEntryWithoutControl)
{
    TToolTipItem* inner = Entry(Inner, "inner");
    TToolTipItem* outer = Entry(Outer, "outer");
    Manager.Loaded();
    Manager.ShowToolTipFor(Inner);
    EXPECT_EQ(Shown(), "inner");
    delete Inner;
    EXPECT_EQ(inner->Control(), nullptr);
    EXPECT_EQ(outer->Control(), Outer);
    EXPECT_EQ(Manager.VisibleToolTip(), nullptr);
    Manager.ShowToolTipFor(Outer);
    EXPECT_EQ(Shown(), "outer");
}

TEST_F(ToolTips, DisablingRemovesTheTipsAndEnablingRebuildsThem)
{
    Entry(Outer, "outer");
    Manager.ShowToolTipFor(Outer);
    EXPECT_EQ(Manager.ToolTipWindow(), nullptr) << "nothing is built before the owner has loaded";
    Manager.Loaded();
    Manager.SetEnabled(false);
    EXPECT_EQ(Manager.ToolTipWindow(), nullptr);
    Manager.ShowToolTipFor(Outer);
    EXPECT_EQ(Shown(), "");
    Manager.SetEnabled(true);
    Manager.ShowToolTipFor(Outer);
    EXPECT_EQ(Shown(), "outer");
}

TEST(ToolTipItems, AssignmentCopiesThePropertiesAndControlGivesDefaultTexts)
{
    QWidget control;
    control.setToolTip(QStringLiteral("Short|Long explanation"));
    TToolTipManager manager;
    TToolTipItem* a = manager.Add(&control);
    EXPECT_EQ(a->Title, "Short");
    EXPECT_EQ(a->Description, "Long explanation");
    a->IconType = TToolTipIcon::ttiWarning;
    a->Color = Qt::yellow;
    TToolTipItem* b = manager.Add();
    *b = *a;
    EXPECT_EQ(b->Control(), &control);
    EXPECT_EQ(b->Title, "Short");
    EXPECT_EQ(b->IconType, TToolTipIcon::ttiWarning);
    EXPECT_EQ(b->Color, QColor(Qt::yellow));
}

using MainWindowHints = ShellTest;

TEST_F(MainWindowHints, StartButtonTipFollowsStreamingAndTheMenuSwitch)
{
    TToolTipManager* tips = MainForm->ToolTipManager1;
    ASSERT_EQ(tips->Count(), 4);
    EXPECT_TRUE(tips->CenterTip());
    EXPECT_EQ(tips->HidePause(), 20000u);
    tips->ShowToolTipFor(MainForm->StartButton);
    ASSERT_NE(tips->VisibleToolTip(), nullptr);
    EXPECT_EQ(tips->VisibleToolTip()->Title, "Start Streaming (F1)");
    EXPECT_EQ(tips->VisibleToolTip()->IconType, TToolTipIcon::ttiInformation);

    MainForm->Core().FIsStreaming = true;
    tips->ShowToolTipFor(MainForm->StartButton);
    EXPECT_EQ(tips->VisibleToolTip()->Title, "Stop Streaming (F1)");
    MainForm->Core().FIsStreaming = false;

    MainForm->Showhelphints1->trigger();
    EXPECT_FALSE(MainForm->Showhelphints1->isChecked());
    for (QWidget* b : std::initializer_list<QWidget*>{MainForm->StartButton, MainForm->PauseButton,
                                                     MainForm->ScopeButton, MainForm->SetupButton}) {
        tips->ShowToolTipFor(b);
        EXPECT_EQ(tips->VisibleToolTip(), nullptr);
    }
    MainForm->Showhelphints1->trigger();
    tips->ShowToolTipFor(MainForm->PauseButton);
    ASSERT_NE(tips->VisibleToolTip(), nullptr);
    EXPECT_EQ(tips->VisibleToolTip()->Title, "Pause Streaming (F2)");
}

using HintTipsWindow = ShellTest;

TEST_F(HintTipsWindow, PagesWrapAroundAndTheCounterFollows)
{
    THintTipsForm* tips = HintTipsForm;
    tips->FHintIndex = 1;
    tips->PreviousButton->click();
    EXPECT_EQ(tips->FHintIndex, 6);
    EXPECT_EQ(tips->Label1->text(), "6 / 6");
    EXPECT_TRUE(tips->InfoLabel->text().startsWith("A left click on the Bar Graph"));
    tips->NextButton->click();
    EXPECT_EQ(tips->Label1->text(), "1 / 6");
    EXPECT_EQ(tips->InfoLabel->text(), "USB Hubs slow down communication making the device appear sluggish.");
    EXPECT_EQ(tips->InfoLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(tips->InfoLabel->font().pointSize(), 9);
    tips->NextButton->click();
    EXPECT_TRUE(tips->InfoLabel->text().contains("'Settings Window'.  Click")) << "two blanks after the stop";
    EXPECT_EQ(tips->InfoLabel->font().pointSize(), 8);
    tips->NextButton->click();
    EXPECT_NE(tips->InfoLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_FALSE(tips->InfoLabel2->text().isEmpty());
}

TEST_F(HintTipsWindow, CheckBoxDecidesTheStartUpShowingOnCloseAndEsc)
{
    MainForm->FShowTips = true;
    HintTipsForm->show();
    EXPECT_FALSE(HintTipsForm->CheckBox1->isChecked());
    HintTipsForm->CheckBox1->click();
    EXPECT_TRUE(HintTipsForm->CheckBox1->font().bold());
    HintTipsForm->CancelBtn->click();
    EXPECT_FALSE(MainForm->FShowTips);
    EXPECT_FALSE(HintTipsForm->isVisible());

    HintTipsForm->show();
    EXPECT_TRUE(HintTipsForm->CheckBox1->isChecked()) << "derived again from the preference";
    HintTipsForm->CheckBox1->click();
    EXPECT_FALSE(HintTipsForm->CheckBox1->font().bold());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(HintTipsForm, &esc);
    EXPECT_TRUE(MainForm->FShowTips);
    EXPECT_FALSE(HintTipsForm->isVisible());
}

TEST_F(HintTipsWindow, StartUpShowingHappensOncePerRunWithTipsInIt)
{
    HintTipsForm->hide();
    MainForm->FShownTips = false;
    MainForm->FShowTips = true;
    MainForm->FSetupFormIni = false;
    QEvent activation(QEvent::ActivationChange);
    MainForm->activateWindow();
    int shown = 0;
    QObject::connect(HintTipsForm, &QDialog::finished, [&] { ++shown; });
    for (int i = 0; i < 3; ++i) {
        QApplication::setActiveWindow(MainForm);
        QCoreApplication::sendEvent(MainForm, &activation);
        if (WaitUntil([] { return HintTipsForm->isVisible(); }, 300)) {
            EXPECT_FALSE(HintTipsForm->InfoLabel->text().isEmpty());
            EXPECT_TRUE(HintTipsForm->isModal());
            HintTipsForm->CancelBtn->click();
        }
    }
    EXPECT_TRUE(MainForm->FShownTips);
    EXPECT_EQ(shown, 1);
}

using AboutWindow = ShellTest;

TEST_F(AboutWindow, TextsAndTheLink)
{
    QApplication::setActiveWindow(MainForm);
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(MainForm, &activation);
    const QStringList lines = AboutDialog->InfoLabel->text().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "KT610B GUI ALPHA");
    EXPECT_EQ(lines[1], "Version " + MainForm->FAppVersion);
    EXPECT_FALSE(lines[2].isEmpty());
    EXPECT_EQ(AboutDialog->SiteLabel->text(), QString::fromLatin1(MakerWebAddress));

    QList<QUrl> opened;
    AboutDialog->OpenUrl = [&](const QUrl& url) { opened << url; };
    Click(AboutDialog->SiteLabel);
    Click(AboutDialog->Image1);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].host(), QString::fromLatin1(MakerWebAddress));

    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QCoreApplication::sendEvent(AboutDialog->SiteLabel, &enter);
    EXPECT_TRUE(AboutDialog->SiteLabel->font().underline());
    EXPECT_EQ(AboutDialog->SiteLabel->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCoreApplication::sendEvent(AboutDialog->SiteLabel, &leave);
    EXPECT_FALSE(AboutDialog->SiteLabel->font().underline());
    EXPECT_TRUE(AboutDialog->SiteLabel->font().bold());
}

} // namespace
