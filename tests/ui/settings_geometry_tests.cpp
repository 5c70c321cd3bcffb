// Window geometry in the preferences file: read once at the first activation, written at destruction.
#include "settings_support.h"

#include "settings/ui/SendCommandsUnit.h"

#include <QFile>

using namespace settingsui;

namespace {

class SettingsGeometryTest : public SettingsFormTest {
protected:
    QString PrefsFile() const { return FormGeometry::PreferencesFile(); }
    void WritePrefs(const QByteArray& text)
    {
        QFile f(PrefsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray ReadPrefs()
    {
        QFile f(PrefsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(SettingsGeometryTest, settings_GeometryIsReadOnceAndWrittenAtTheEnd)
{
    WritePrefs("[Other]\r\nKeep=1\r\n[SettingsForm]\r\nState=Nor\r\nLeft=40\r\nTop=30\r\nWidth=1010\r\nHeight=700\r\n");
    Form->show();
    Form->FormActivate();
    EXPECT_EQ(Form->frameGeometry().topLeft(), QPoint(40, 30));
    EXPECT_EQ(Form->frameGeometry().size(), QSize(1010, 700));

    // Read once only.
    WritePrefs("[SettingsForm]\r\nLeft=300\r\n");
    Form->FormActivate();
    EXPECT_EQ(Form->frameGeometry().topLeft(), QPoint(40, 30));

    Form->move(60, 50);
    Form.reset();
    EXPECT_EQ(ReadPrefs(), QByteArray("[SettingsForm]\r\nLeft=60\r\nWidth=1010\r\nHeight=700\r\nTop=50\r\nState=Nor\r\n"));
    EXPECT_TRUE(Msgs.Errors.isEmpty());
}

TEST_F(SettingsGeometryTest, settings_GeometryErrorsAndLostMonitors)
{
    // A position on no monitor leaves the window where it is.
    WritePrefs("[SettingsForm]\r\nLeft=-90000\r\nTop=-90000\r\nWidth=300\r\n");
    Form->show();
    const QRect before = Form->frameGeometry();
    Form->FormActivate();
    EXPECT_EQ(Form->frameGeometry(), before);
    EXPECT_TRUE(Msgs.Errors.isEmpty());

    // A value that is not a number is a read error of the settings window, ignored by the report window.
    Form.reset(); // writes its geometry
    WritePrefs("[SettingsForm]\r\nLeft=abc\r\n[SendComForm]\r\nLeft=abc\r\n");
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

    // A window never activated writes nothing.
    QFile::remove(PrefsFile());
    {
        TSendCommands unused;
    }
    EXPECT_FALSE(QFile::exists(PrefsFile()));
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
