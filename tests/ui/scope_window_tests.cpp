// The scope window: axis entries, the refresh, zoom and pan, the side panel and its preferences.

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/AxisIncrementTicker.h"
#include "app/ui/CategoryPanel.h"
#include "app/ui/ColourSwatch.h"
#include "app/ui/GraphPicture.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeUnit.h"
#include "persist/IniFile.h"
#include "settings/SettingsRecord.h"
#include "settings/ui/FormGeometry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <qcustomplot.h>

namespace {

class ScopeWindowTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // The preferences of these tests go to a file of their own, never the user's.
        Path = Dir.filePath(QStringLiteral("KorvaneKT610B.ini"));
        FormGeometry::SetPreferencesFile(Path);
        Hook();
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        FormGeometry::SetPreferencesFile(QString());
    }
    void Hook()
    {
        MainForm->IniFilePath = Path;
        ScopeForm->ErrorBox = [this](const QString& text) { Boxes << text; };
    }
    void Restart()
    {
        DestroyForms();
        CreateForms(FBackend, FCopyDataName);
        Hook();
    }
    void WriteFile(const QByteArray& text)
    {
        QFile file(Path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void ShowScope()
    {
        ScopeForm->show();
        ScopeForm->FormActivate();
        Pump(30);
        ScopeForm->ScopeGraph->replot();
    }
    int Errors() const
    {
        int n = 0;
        for (int i = 0; i < MainForm->MessageBox->count(); ++i)
            n += MainForm->MessageBox->item(i)->text() == QStringLiteral(" Error loading saved settings!");
        return n;
    }
    static void Mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget* chart = ScopeForm->ScopeGraph;
        QMouseEvent event(type, at, chart->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(chart, &event);
    }
    static void Drag(QPointF from, QPointF to, Qt::MouseButton button)
    {
        Mouse(QEvent::MouseButtonPress, from, button, button);
        Mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, button);
        Mouse(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    }
    static QCPRange XRange() { return ScopeForm->ScopeGraph->xAxis->range(); }
    static QCPRange YRange() { return ScopeForm->ScopeGraph->yAxis->range(); }
    static QPointF Pixel(double x, double y)
    {
        return {ScopeForm->ScopeGraph->xAxis->coordToPixel(x), ScopeForm->ScopeGraph->yAxis->coordToPixel(y)};
    }
    // Frames as the main window feeds them, with a refresh every 10 frames as at 100 frames/s.
    static void Feed(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            ScopeForm->CountChartPoint();
            ScopeForm->AddXY(1, ScopeForm->FXPos, 500 + ScopeForm->FXPos % 7);
            ScopeForm->AddXY(5, ScopeForm->FXPos, 480);
            ScopeForm->AdvanceX();
            if (ScopeForm->FXPos % 10 == 0)
                ScopeForm->UpdateTimerTimer();
        }
    }

    QTemporaryDir Dir;
    QString Path;
    QStringList Boxes;
};

} // namespace

TEST_F(ScopeWindowTest, scope_AxisEntriesAreRefusedAndTheFieldsShowTheAxisAgain)
{
    ShowScope();
    ScopeForm->MaxEdit->setText(QStringLiteral("12.5"));
    ScopeForm->SetMaxButton->click();
    ScopeForm->MinEdit->setText(QStringLiteral("1500"));
    ScopeForm->SetMinButton->click();
    EXPECT_EQ(Boxes, (QStringList{QStringLiteral("Invalid value entered! (no decimal values allowed)"),
                                  QStringLiteral("Minimum value must be smaller than the maximum value!")}));
    EXPECT_EQ(ScopeForm->MaxEdit->text(), QStringLiteral("1500"));
    EXPECT_EQ(ScopeForm->MinEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(YRange(), QCPRange(0, 1500));

    ScopeForm->MaxEdit->setText(QStringLiteral("800"));
    emit ScopeForm->MaxEdit->returnPressed(); // Enter works as the button
    ScopeForm->MinEdit->setText(QStringLiteral("-50"));
    ScopeForm->SetMinButton->click();
    EXPECT_EQ(YRange(), QCPRange(-50, 800));
    ScopeForm->MaxEdit->setText(QStringLiteral("-50"));
    ScopeForm->SetMaxButton->click();
    EXPECT_EQ(Boxes.last(), QStringLiteral("Maximum value must be larger than the minimum value!"));
    EXPECT_EQ(ScopeForm->MaxEdit->text(), QStringLiteral("800"));

    ScopeForm->YIncSpin->setValue(50);
    ScopeForm->YIncButton->click();
    auto* ticker = dynamic_cast<TAxisIncrementTicker*>(ScopeForm->ScopeGraph->yAxis->ticker().data());
    ASSERT_TRUE(ticker);
    EXPECT_EQ(ticker->Increment(), 50);

    ScopeForm->XRangeSpin->setValue(1000);
    ScopeForm->SetXRangeButton->click();
    EXPECT_EQ(ScopeForm->FXRange, 1000);
    EXPECT_EQ(XRange(), QCPRange(0, 1000));
}

TEST_F(ScopeWindowTest, scope_PointsReachTheChartOnlyOnTheRefreshWhichScrollsTheTimeAxis)
{
    ShowScope();
    MainForm->Core().FIsStreaming = true;
    EXPECT_TRUE(ScopeForm->BackgroundPicture->HasPicture()); // the chip's name before data
    for (int i = 0; i < 5; ++i) {
        ScopeForm->CountChartPoint();
        ScopeForm->AddXY(1, ScopeForm->FXPos, 500);
        ScopeForm->AdvanceX();
    }
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 0);
    ScopeForm->UpdateTimerTimer();
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 5);
    EXPECT_FALSE(ScopeForm->BackgroundPicture->HasPicture());

    Feed(1195);
    EXPECT_EQ(ScopeForm->FXPos, 1200);
    EXPECT_EQ(XRange(), QCPRange(600, 1200));
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 1200);
    // The average trace started 5 frames later: those positions are blanks, not points at 0.
    ASSERT_EQ(ScopeForm->Series[5]->dataCount(), 1200);
    EXPECT_TRUE(std::isnan(ScopeForm->Series[5]->data()->at(4)->value));
    EXPECT_EQ(ScopeForm->Series[5]->data()->at(5)->value, 480);
    EXPECT_EQ(ScopeForm->Series[0]->dataCount(), 0);

    // Closed: the time axis moves on, the points wait until the window is shown again.
    ScopeForm->close();
    Feed(100);
    EXPECT_EQ(XRange(), QCPRange(700, 1300));
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 1200);
    ScopeForm->StartUpdateTimer();
    ScopeForm->show();
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 1300);

    // Stopped: nothing is refreshed.
    MainForm->Core().FIsStreaming = false;
    Feed(20);
    EXPECT_EQ(ScopeForm->Series[1]->dataCount(), 1300);
}

TEST_F(ScopeWindowTest, scope_ZoomSnapsBackWhileStreamingAndZoomAndPanWorkWhenStopped)
{
    ShowScope();
    MainForm->Core().FIsStreaming = true;
    Feed(2000);
    ASSERT_EQ(XRange(), QCPRange(1400, 2000));
    Drag(Pixel(1500, 1200), Pixel(1700, 300), Qt::LeftButton);
    EXPECT_FALSE(ScopeForm->FZoomed);
    EXPECT_EQ(XRange(), QCPRange(1400, 2000));

    MainForm->Core().FIsStreaming = false;
    Drag(Pixel(1500, 1200), Pixel(1700, 300), Qt::LeftButton);
    EXPECT_TRUE(ScopeForm->FZoomed);
    EXPECT_NEAR(XRange().lower, 1500, 2);
    EXPECT_NEAR(XRange().upper, 1700, 2);
    EXPECT_NEAR(YRange().lower, 300, 5);
    EXPECT_NEAR(YRange().upper, 1200, 5);

    // The right button pans: dragging the chart left shows later samples.
    const QCPRange before = XRange();
    Drag(Pixel(1650, 500), Pixel(1600, 500), Qt::RightButton);
    EXPECT_NEAR(XRange().lower, before.lower + 50, 1);
    EXPECT_NEAR(XRange().size(), before.size(), 1e-6);
    EXPECT_TRUE(ScopeForm->FZoomed);

    // A drag to the left undoes the zoom: the range before it, vertical axis too.
    Drag(Pixel(1650, 500), Pixel(1600, 400), Qt::LeftButton);
    EXPECT_FALSE(ScopeForm->FZoomed);
    EXPECT_EQ(XRange(), QCPRange(1400, 2000));
    EXPECT_EQ(YRange(), QCPRange(0, 1500));

    // "Reset Scope View" when stopped: back to the latest samples.
    ScopeForm->ScopeGraph->xAxis->setRange(100, 700);
    ScopeForm->ResetScopeButton->click();
    EXPECT_EQ(XRange(), QCPRange(1400, 2000));
}

TEST_F(ScopeWindowTest, scope_CoordinatesFollowTheMouseOnlyWhileABoxIsChecked)
{
    ShowScope();
    EXPECT_FALSE(ScopeForm->CoordinatesLabel->isVisible());
    ScopeForm->XCoordCheck->click();
    EXPECT_TRUE(ScopeForm->CoordinatesLabel->isVisible());
    EXPECT_FALSE(ScopeForm->ScopeGraph->rect().intersects(ScopeForm->CoordinatesLabel->geometry()));

    ScopeForm->YCoordCheck->click();
    const QPointF at = Pixel(300, 750);
    Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(ScopeForm->CoordinatesLabel->text(), QStringLiteral("X: 300\n Y: 750"));
    EXPECT_EQ(ScopeForm->CoordinatesLabel->pos(), at.toPoint() + QPoint(20, -4));

    ScopeForm->XCoordCheck->click();
    Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(ScopeForm->CoordinatesLabel->text(), QStringLiteral("Y: 750"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(ScopeForm->ScopeGraph, &leave);
    EXPECT_FALSE(ScopeForm->CoordinatesLabel->isVisible());
    ScopeForm->YCoordCheck->click();
    Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(ScopeForm->CoordinatesLabel->isVisible());
}

TEST_F(ScopeWindowTest, scope_ChannelBoxesAndTheBaselineView)
{
    ShowScope();
    TMainCore& core = MainForm->Core();
    for (int c = 0; c < 4; ++c)
        ScopeForm->SetCurChecked(c, false);
    EXPECT_FALSE(ScopeForm->HasActiveChannel());
    ScopeForm->SetLTAChecked(3, true);
    EXPECT_TRUE(ScopeForm->HasActiveChannel());

    core.Settings.DeltaCheck = true;
    MainForm->Delta();
    EXPECT_FALSE(ScopeForm->HasActiveChannel()); // averages are not plotted in the baseline view
    EXPECT_EQ(ScopeForm->CurValCategory->Caption(), QStringLiteral("Deltas"));
    EXPECT_FALSE(ScopeForm->LTACategory->isVisible());
    EXPECT_FALSE(ScopeForm->RescaleScopeButton->isEnabled());
    EXPECT_EQ(YRange(), QCPRange(-200, 1000));
    EXPECT_EQ(ScopeForm->MinEdit->text(), QStringLiteral("-200"));
    EXPECT_EQ(ScopeForm->MaxEdit->text(), QStringLiteral("1000"));

    core.FCurrentChs = {1000, 900, 800, 700};
    core.FLTAChs = {990, 900, 800, 705};
    core.Settings.DeltaCheck = false;
    MainForm->Delta();
    EXPECT_EQ(ScopeForm->CurValCategory->Caption(), QStringLiteral("Count"));
    EXPECT_TRUE(ScopeForm->LTACategory->isVisible());
    EXPECT_TRUE(ScopeForm->HasActiveChannel());
    EXPECT_EQ(YRange(), QCPRange(140, 1100));
    EXPECT_EQ(ScopeForm->MaxEdit->text(), QStringLiteral("1100"));
    EXPECT_EQ(ScopeForm->MinEdit->text(), QStringLiteral("140"));
}

TEST_F(ScopeWindowTest, scope_SidePanelSlidesOutAndBackIn)
{
    ShowScope();
    ScopeForm->resize(700, 700);
    Pump(50);
    EXPECT_EQ(ScopeForm->ScopeCategoryPanel->width(), TScopeForm::FCatPanelWidth);
    ScopeForm->SpeedButton1->click();
    ASSERT_TRUE(WaitUntil([] { return ScopeForm->ScopeCategoryPanel->maximumWidth() == 0; }, 1000));
    EXPECT_EQ(ScopeForm->SpeedButton1->arrowType(), Qt::LeftArrow);
    ScopeForm->SpeedButton1->click();
    ASSERT_TRUE(WaitUntil([] { return ScopeForm->ScopeCategoryPanel->maximumWidth() >= TScopeForm::FCatPanelWidth; },
                          1000));
    EXPECT_EQ(ScopeForm->SpeedButton1->arrowType(), Qt::RightArrow);

    // A window too low for the three panels gets the scroll bar and a wider panel.
    ScopeForm->resize(700, 220);
    Pump(50);
    ScopeForm->CheckGategoryPanelSize();
    EXPECT_EQ(ScopeForm->ScopeCategoryPanel->width(), TScopeForm::FCatPanelWidth + 17);
    ScopeForm->SetupCategory->Collapse();
    ScopeForm->LTACategory->Collapse();
    ScopeForm->CurValCategory->Collapse();
    Pump(50);
    EXPECT_EQ(ScopeForm->ScopeCategoryPanel->width(), TScopeForm::FCatPanelWidth);
}

TEST_F(ScopeWindowTest, scope_ColoursAxisAndChannelChoicesSurviveARestart)
{
    ShowScope();
    ScopeForm->SetChannelColour(2, QColor(0x12, 0x34, 0x56));
    ScopeForm->YIncSpin->setValue(25);
    ScopeForm->YIncButton->click();
    ScopeForm->XRangeSpin->setValue(900);
    ScopeForm->SetXRangeButton->click();
    ScopeForm->SetCurChecked(1, false);
    ScopeForm->SetLTAChecked(3, true);
    Restart();

    TIniFile ini(Path);
    const QString section = QStringLiteral("ScopeForm");
    EXPECT_EQ(ini.ReadInteger(section, QStringLiteral("CH2Color"), 0), 0x563412); // red in the low byte
    EXPECT_EQ(ini.ReadInteger(section, QStringLiteral("CH0Color"), 0), 16711680);
    EXPECT_EQ(ini.ReadInteger(section, QStringLiteral("CH4Color"), 0), 8388736);
    EXPECT_EQ(ini.ReadString(section, QStringLiteral("YInc"), {}), QStringLiteral("25"));
    EXPECT_EQ(ini.ReadString(section, QStringLiteral("XRange"), {}), QStringLiteral("900"));
    EXPECT_EQ(ini.ReadString(section, QStringLiteral("CS1"), {}), QStringLiteral("0"));
    EXPECT_EQ(ini.ReadString(section, QStringLiteral("LT3"), {}), QStringLiteral("-1"));
    EXPECT_TRUE(ini.ValueExists(section, QStringLiteral("Width")));
    EXPECT_EQ(ini.ReadString(section, QStringLiteral("State"), {}), QStringLiteral("Nor"));

    // Nothing is read before the window is first activated.
    EXPECT_EQ(ScopeForm->ChannelColour(2), QColor(0x00, 0x80, 0x00));
    ShowScope();
    EXPECT_EQ(ScopeForm->ChannelColour(2), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ScopeForm->ColorShape[2]->Colour(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ScopeForm->LTAColShape[2]->Colour(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ScopeForm->Series[6]->scatterStyle().pixmap().toImage().pixelColor(0, 0), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ScopeForm->YIncSpin->value(), 25);
    EXPECT_EQ(ScopeForm->FXRange, 900);
    EXPECT_EQ(XRange(), QCPRange(0, 900));
    EXPECT_FALSE(ScopeForm->CurChecked(1));
    EXPECT_TRUE(ScopeForm->CurChecked(0));
    EXPECT_TRUE(ScopeForm->LTAChecked(3));
    EXPECT_FALSE(ScopeForm->LTAChecked(0));
    EXPECT_EQ(Errors(), 0);
}

TEST_F(ScopeWindowTest, scope_GreyAllRestoresTheBoxesOfTheLastRun)
{
    WriteFile("[ScopeForm]\r\nCS0=0\r\nCS1=-1\r\nCS2=0\r\nCS3=true\r\nLT1=1\r\n");
    ShowScope();
    const std::array<bool, 4> saved{false, true, false, true};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(ScopeForm->CurChecked(c), saved[size_t(c)]);
    EXPECT_EQ(ScopeForm->CSAllCheck->checkState(), Qt::PartiallyChecked);

    ScopeForm->CSAllCheck->click(); // checked
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(ScopeForm->CurChecked(c));
    ScopeForm->CSAllCheck->click(); // clear
    for (int c = 0; c < 4; ++c)
        EXPECT_FALSE(ScopeForm->CurChecked(c));
    ScopeForm->CSAllCheck->click(); // grey
    ASSERT_EQ(ScopeForm->CSAllCheck->checkState(), Qt::PartiallyChecked);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(ScopeForm->CurChecked(c), saved[size_t(c)]);

    // The average boxes have their own keys; a bad one is a read error and changes nothing.
    WriteFile("[ScopeForm]\r\nLT0=-1\r\nLT1=maybe\r\n");
    ScopeForm->LTAllCheck->click();
    ScopeForm->LTAllCheck->click();
    ScopeForm->LTAllCheck->click();
    EXPECT_EQ(Errors(), 1);
    EXPECT_FALSE(ScopeForm->LTAChecked(0));
}

TEST_F(ScopeWindowTest, scope_ReadErrorIsReportedOnceAndTheDefaultsStay)
{
    WriteFile("[ScopeForm]\r\nCH1Color=255\r\nXRange=wide\r\n");
    ShowScope();
    EXPECT_EQ(Errors(), 1);
    EXPECT_EQ(ScopeForm->FXRange, 600);
    EXPECT_EQ(ScopeForm->ChannelColour(1), QColor(0xFF, 0x00, 0x00));
    ScopeForm->FormActivate();
    EXPECT_EQ(Errors(), 1);
}

TEST_F(ScopeWindowTest, prefs_MainWindowReportsABadWidthAtEveryActivation)
{
    WriteFile("[MainForm]\r\nWidth=wide\r\n");
    MainForm->FSetupFormIni = true;
    for (int round = 1; round <= 2; ++round) {
        ScopeForm->show();
        ScopeForm->activateWindow();
        ASSERT_TRUE(WaitUntil([] { return ScopeForm->isActiveWindow(); }));
        MainForm->activateWindow();
        ASSERT_TRUE(WaitUntil([] { return MainForm->isActiveWindow(); }));
        EXPECT_EQ(Errors(), round);
    }
    EXPECT_TRUE(MainForm->FSetupFormIni);
    WriteFile("[MainForm]\r\nWidth=900\r\nHints=0\r\n");
    ScopeForm->activateWindow();
    ASSERT_TRUE(WaitUntil([] { return ScopeForm->isActiveWindow(); }));
    MainForm->activateWindow();
    ASSERT_TRUE(WaitUntil([] { return !MainForm->FSetupFormIni; }));
    EXPECT_FALSE(MainForm->Showhelphints1->isChecked());
}

TEST_F(ScopeWindowTest, prefs_ResetRemovesTheFileThatTheOtherWindowsWroteAtTheEnd)
{
    ShowScope();
    MainForm->Resetstartupapplicationsizeandposition1->trigger();
    MainForm->close();
    EXPECT_TRUE(QFile::exists(Path)); // the main window's section, written at close
    DestroyForms(); // the scope window writes its section, then the main window deletes the file
    EXPECT_FALSE(QFile::exists(Path));
    EXPECT_TRUE(QDir(Dir.path()).exists());

    // Without the reset the scope's section is what the file keeps.
    CreateForms(FBackend, FCopyDataName);
    Hook();
    ShowScope();
    DestroyForms();
    EXPECT_TRUE(TIniFile(Path).SectionExists(QStringLiteral("ScopeForm")));
}
