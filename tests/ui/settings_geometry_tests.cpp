// Window geometry in the preferences file: read once at the first activation, written at destruction.
#include "settings_support.h"

#include "settings/ui/FormGeometry.h"
#include "settings/ui/SendCommandsUnit.h"

#include <map>

using namespace settingsui;

namespace {

struct Prefs {
    std::map<QString, QString> Keys; // "Section/Key"
    QStringList Written;
    int Reads = 0;

    void Install()
    {
        FormGeometry::SetPreferences(
            [this](const QString& section, const QString& key, QString& value) {
                ++Reads;
                value = Keys[section + '/' + key];
                return true;
            },
            [this](const QString& section, const QString& key, const QString& value) {
                Written << section + '/' + key + '=' + value;
                return true;
            });
    }
};

class SettingsGeometryTest : public SettingsFormTest {
protected:
    void TearDown() override
    {
        FormGeometry::SetPreferences(nullptr, nullptr);
        SettingsFormTest::TearDown();
    }
    Prefs P;
};

} // namespace

TEST_F(SettingsGeometryTest, settings_GeometryIsReadOnceAndWrittenAtTheEnd)
{
    P.Keys = {{"SettingsForm/State", "Nor"}, {"SettingsForm/Left", "40"}, {"SettingsForm/Top", "30"},
              {"SettingsForm/Width", "700"}, {"SettingsForm/Height", "520"}};
    P.Install();
    Form->show();
    Form->FormActivate();
    EXPECT_EQ(Form->frameGeometry().topLeft(), QPoint(40, 30));
    EXPECT_EQ(Form->frameGeometry().size(), QSize(700, 520));
    const int reads = P.Reads;
    Form->FormActivate();
    EXPECT_EQ(P.Reads, reads);

    Form->move(60, 50);
    Form.reset();
    EXPECT_EQ(P.Written.join(' '), QStringLiteral("SettingsForm/Width=700 SettingsForm/Height=520 SettingsForm/Left=60 "
                                                  "SettingsForm/Top=50 SettingsForm/State=Nor"));
}

TEST_F(SettingsGeometryTest, settings_GeometryErrorsAndLostMonitors)
{
    // A position on no monitor leaves the window where it is.
    P.Keys = {{"SettingsForm/Left", "-90000"}, {"SettingsForm/Top", "-90000"}, {"SettingsForm/Width", "300"}};
    P.Install();
    Form->show();
    const QRect before = Form->frameGeometry();
    Form->FormActivate();
    EXPECT_EQ(Form->frameGeometry(), before);
    EXPECT_TRUE(Msgs.Errors.isEmpty());

    // A value that is not a number is a read error of the settings window, ignored by the report window.
    P.Keys = {{"SettingsForm/Left", "abc"}, {"SendComForm/Left", "abc"}};
    Form.reset();
    Form = std::make_unique<TSettingsForm>(*Core);
    View.Form = Form.get();
    Form->show();
    Form->FormActivate();
    EXPECT_TRUE(Msgs.Errors.contains(QStringLiteral("Error loading saved settings!")));
    const int errors = Msgs.Errors.size();
    TSendCommands reports;
    reports.show();
    reports.FormActivate();
    EXPECT_EQ(Msgs.Errors.size(), errors);

    // Never activated: nothing is written.
    P.Written.clear();
    {
        TSendCommands unused;
    }
    EXPECT_TRUE(P.Written.isEmpty());
}

TEST_F(SettingsGeometryTest, settings_PositionComesBackAfterAClose)
{
    Form->show();
    Form->move(70, 80);
    WaitUntil([this] { return Form->pos() == QPoint(70, 80); }, 500);
    Form->close();
    Form->move(0, 0);
    Form->show();
    EXPECT_EQ(Form->pos(), QPoint(70, 80));
}
