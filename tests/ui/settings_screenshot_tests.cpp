// Pictures of every page of the settings window and of the two send-commands windows, for looking at by
// eye. Runs only when KT610B_SCREENSHOT_DIR names a folder.
#include "settings_support.h"

#include "settings/ui/EasyShowSendUnit.h"
#include "settings/ui/SendCommandsUnit.h"

#include <QDir>
#include <QPixmap>
#include <QSpinBox>

using namespace settingsui;

namespace {

QString ShotDir()
{
    return qEnvironmentVariable("KT610B_SCREENSHOT_DIR");
}

void Save(QWidget* w, const QString& name)
{
    w->show();
    w->raise();
    WaitUntil([] { return false; }, 150);
    EXPECT_TRUE(w->grab().save(QDir(ShotDir()).filePath(name)));
}

} // namespace

TEST_F(SettingsFormTest, settings_Screenshots)
{
    if (ShotDir().isEmpty())
        GTEST_SKIP() << "KT610B_SCREENSHOT_DIR not set";
    PowerOn();
    Form->SetEngineeringVisible(true);
    const int pages[] = {0, 11, 1, 2, 3, 4, 8, 5, 6, 7, 12, 9};
    for (int page : pages) {
        Form->SelectPage(page);
        ASSERT_EQ(Form->ActivePage(), page);
        Save(Form.get(), QStringLiteral("settings_page%1.png").arg(page));
    }
    // Dirty state with the ATI notice.
    Form->SelectPage(6);
    Form->findChild<QSpinBox*>(QStringLiteral("ProxSpin"))->setValue(9);
    Form->ShowATINotice();
    Save(Form.get(), QStringLiteral("settings_dirty.png"));
    Form->CancelButtonClick();
    Form->HideATINotice();

    Core->FEasyShowSend = true;
    Form->ApplyButtonClick();
    S().ProxSpin = 10;
    Core->RegOps->WriteAllThr();
    TEasyShowSendForm table(*Core);
    Save(&table, QStringLiteral("settings_easyshowsend.png"));
    TSendCommands reports;
    reports.Hook(Core->KorvaneHidTool1.get());
    Core->RegOps->WriteAllThr();
    Core->RegOps->ReadAllThr();
    Save(&reports, QStringLiteral("settings_sendcommands.png"));
    reports.Unhook();
}
