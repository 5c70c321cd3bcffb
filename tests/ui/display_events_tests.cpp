// The events read-out of the live display: held labels outside and inside event mode, the tap and flick
// pictures with their 200 ms timer, and "Show Events".

#include "UiTestSupport.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/GraphPicture.h"
#include "app/ui/LiveDisplay.h"
#include "app/ui/MainUnit.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <qcustomplot.h>

namespace {

class DisplayEventsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        TStreamSetup& s = Core().StreamSetup;
        s.SysFlagsActive = s.PTActive = s.CSActive = s.LTAActive = true;
        MainForm->BarGraph->replot(); // axes laid out, as after the window was shown
    }
    TMainCore& Core() { return MainForm->Core(); }
    void ClearEvents()
    {
        TMainCore& c = Core();
        c.FEProx = c.FETouch = c.FEATI = c.FESlider = c.FEMov = c.FETap = c.FEFlickLeft = c.FEFlickRight = false;
    }
    void Frame() { MainForm->FrameDecoded(); }
    void EventFrame(bool TMainCore::*event)
    {
        ClearEvents();
        Core().*event = true;
        Frame();
        ClearEvents();
    }
    static QColor Background(QLabel* label) { return label->palette().color(QPalette::Window); }
    int Pixel(double key) const { return int(MainForm->BarGraph->xAxis->coordToPixel(key)); }
    TGraphPicture* Picture() const { return MainForm->GraphPicture; }
};

TEST_F(DisplayEventsTest, display_HeldEventKeepsYesForThreeFramesAndReadsNoOnTheFourth)
{
    EventFrame(&TMainCore::FEProx);
    EXPECT_EQ(MainForm->FEProxLabel->text(), "Yes");
    EXPECT_EQ(Background(MainForm->FEProxLabel), QColor(0x00, 0x00, 0xFF));
    for (int frame = 1; frame <= 3; ++frame) {
        Frame();
        EXPECT_EQ(MainForm->FEProxLabel->text(), "Yes") << frame;
    }
    Frame();
    EXPECT_EQ(MainForm->FEProxLabel->text(), "No");
    EXPECT_EQ(Background(MainForm->FEProxLabel), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(MainForm->LiveDisplay->HeldFrames(TLiveDisplay::heProx), 0);

    // A repeated event does not restart the count.
    EventFrame(&TMainCore::FETouch);
    Frame();
    Frame();
    EventFrame(&TMainCore::FETouch);
    EXPECT_EQ(MainForm->LiveDisplay->HeldFrames(TLiveDisplay::heTouch), 2);
    Frame();
    Frame();
    EXPECT_EQ(MainForm->FETouchLabel->text(), "No");

    // ATI and Movement follow their bits frame by frame.
    EventFrame(&TMainCore::FEATI);
    EXPECT_EQ(MainForm->FEAtiLabel->text(), "Yes");
    EXPECT_EQ(Background(MainForm->FEAtiLabel), QColor(0x00, 0x80, 0x00));
    Frame();
    EXPECT_EQ(MainForm->FEAtiLabel->text(), "No");
}

TEST_F(DisplayEventsTest, display_EventModeTouchAfterProxClearsProxAndHoldsTouch100ms)
{
    Core().FEventMode = true;
    EventFrame(&TMainCore::FEProx);
    EXPECT_EQ(MainForm->FEProxLabel->text(), "Yes");
    EXPECT_TRUE(MainForm->LiveDisplay->EventTimer->isActive());
    EventFrame(&TMainCore::FETouch);
    EXPECT_EQ(MainForm->FEProxLabel->text(), "No");
    EXPECT_EQ(MainForm->FETouchLabel->text(), "Yes");

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitUntil([] { return MainForm->FETouchLabel->text() == "No"; }, 1000));
    EXPECT_GE(clock.elapsed(), 90);
    EXPECT_EQ(MainForm->LiveDisplay->HeldFrames(TLiveDisplay::heTouch), 0);

    // Events of one frame are all shown.
    ClearEvents();
    Core().FEProx = Core().FESlider = true;
    Frame();
    EXPECT_EQ(MainForm->FEProxLabel->text(), "Yes");
    EXPECT_EQ(MainForm->FESliderLabel->text(), "Yes");
}

TEST_F(DisplayEventsTest, display_TapPictureBetweenChannels1And2For200msAndASecondTapRestartsIt)
{
    EventFrame(&TMainCore::FETap);
    EXPECT_EQ(MainForm->FETapLabel->text(), "Yes");
    ASSERT_TRUE(Picture()->HasPicture());
    const QRect where = Picture()->PictureRect();
    EXPECT_EQ(where.size(), MainForm->TapPng.size());
    const int centre = Pixel(1) + (Pixel(2) - Pixel(1)) / 2;
    EXPECT_LE(std::abs(where.left() + where.width() / 2 - centre), 1);

    for (int i = 0; i < 4; ++i)
        Frame(); // the label goes back to "No"
    Pump(120);
    ASSERT_TRUE(Picture()->HasPicture());
    QElapsedTimer clock;
    clock.start();
    EventFrame(&TMainCore::FETap);
    Pump(120); // past the first tap's 200 ms
    EXPECT_TRUE(Picture()->HasPicture());
    ASSERT_TRUE(WaitUntil([this] { return !Picture()->HasPicture(); }, 1000));
    EXPECT_GE(clock.elapsed(), 190);
}

TEST_F(DisplayEventsTest, display_FlickArrowsAndPictures)
{
    EventFrame(&TMainCore::FEFlickRight);
    EXPECT_EQ(MainForm->FEFlickLabel->text(), "<--");
    ASSERT_TRUE(Picture()->HasPicture());
    // Centred over channel 0.
    EXPECT_EQ(Picture()->PictureRect().left(), Pixel(0) - MainForm->FlickLeft.width() / 2);

    EventFrame(&TMainCore::FEFlickLeft);
    EXPECT_EQ(MainForm->FEFlickLabel->text(), "-->");
    // Its right edge at channel 3.
    EXPECT_EQ(Picture()->PictureRect().right() + 1, Pixel(3) - 2 * (MainForm->FlickRight.width() / 2) +
                                                         MainForm->FlickRight.width());
    Frame();
    EXPECT_EQ(MainForm->FEFlickLabel->text(), "-->"); // the last arrow stays
    ASSERT_TRUE(WaitUntil([this] { return !Picture()->HasPicture(); }, 1000));
}

TEST_F(DisplayEventsTest, display_ShowEventsOffFreezesTheLabelsAndGreysTheGroup)
{
    EventFrame(&TMainCore::FEProx);
    MainForm->EventsCheck->click();
    EXPECT_FALSE(Core().EventsCheck);
    EXPECT_EQ(MainForm->EventsGroup->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    for (int i = 0; i < 5; ++i)
        Frame();
    EventFrame(&TMainCore::FETap);
    EXPECT_EQ(MainForm->FEProxLabel->text(), "Yes");
    EXPECT_EQ(MainForm->FETapLabel->text(), "No");
    EXPECT_EQ(Picture()->PictureRect().size(), MainForm->ChipNamePicture.size()); // no tap picture

    MainForm->EventsCheck->click();
    EXPECT_TRUE(Core().EventsCheck);
    EXPECT_NE(MainForm->EventsGroup->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
}

} // namespace
