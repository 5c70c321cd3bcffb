// The message list: items, kinds, scrolling, the limit, the horizontal extent and the drawing colours.

#include "UiTestSupport.h"

#include "app/ui/KvrListBox.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QScrollBar>
#include <QMouseEvent>

namespace {

void MouseMove(QWidget* widget, const QPoint& pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

class KvrListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        List.resize(240, 13 * 6 + 2 * List.frameWidth());
        List.SetItemsPrefix(QStringLiteral(" "));
        List.SetSelectedColor(QColor(0xD7, 0xEB, 0xFF));
        List.SetMouseOverColor(QColor(0xE9, 0xE9, 0xE9));
        List.show();
        Pump(20);
    }

    QColor PixelOf(int row, int x = -1)
    {
        const QRect r = List.visualItemRect(List.item(row));
        const QImage image = List.viewport()->grab().toImage();
        return image.pixelColor(x >= 0 ? x : r.right() - 2, r.center().y());
    }

    TKvrListBox List;
};

TEST_F(KvrListBoxTest, ItemsGetThePrefixAndTheirKindInOrder)
{
    EXPECT_EQ(List.KvrAddItem(QStringLiteral("Device streaming started"), TKvrItemType::aInfo), 0);
    EXPECT_EQ(List.KvrAddItem(QStringLiteral("Device power is off!"), TKvrItemType::aError), 1);
    ASSERT_EQ(List.count(), 2);
    EXPECT_EQ(List.item(0)->text(), QStringLiteral(" Device streaming started"));
    EXPECT_EQ(List.item(1)->text(), QStringLiteral(" Device power is off!"));
    EXPECT_EQ(List.TypeList(), QStringList({QStringLiteral("0"), QStringLiteral("1")}));
}

TEST_F(KvrListBoxTest, EventsFollowTheKindAndSeeTheNewItem)
{
    QStringList seen;
    List.OnInfoItem = [&](TKvrListBox* sender) { seen << QStringLiteral("info:") + sender->item(sender->count() - 1)->text(); };
    List.OnErrorItem = [&](TKvrListBox* sender) { seen << QStringLiteral("error:") + sender->item(sender->count() - 1)->text(); };
    List.KvrAddItem(QStringLiteral("a"), TKvrItemType::aInfo);
    List.KvrAddItem(QStringLiteral("b"), TKvrItemType::aError);
    EXPECT_EQ(seen, QStringList({QStringLiteral("info: a"), QStringLiteral("error: b")}));
}

TEST_F(KvrListBoxTest, NewItemIsScrolledToTheTopAsFarAsTheListAllows)
{
    const int visibleRows = List.viewport()->height() / List.ItemHeight();
    for (int i = 0; i < 3; ++i)
        List.KvrAddItem(QStringLiteral("item %1").arg(i), TKvrItemType::aInfo);
    EXPECT_EQ(List.TopIndex(), 0); // everything fits: nothing to scroll
    for (int i = 3; i < 30; ++i)
        List.KvrAddItem(QStringLiteral("item %1").arg(i), TKvrItemType::aInfo);
    EXPECT_EQ(List.TopIndex(), List.count() - visibleRows);
    EXPECT_TRUE(List.viewport()->rect().contains(List.visualItemRect(List.item(List.count() - 1))));

    // Scrolled back by the user: the next item brings the view back down.
    List.scrollToTop();
    EXPECT_EQ(List.TopIndex(), 0);
    List.KvrAddItem(QStringLiteral("newest"), TKvrItemType::aError);
    EXPECT_EQ(List.TopIndex(), List.count() - visibleRows);

    List.SetAutoScroll(false);
    List.scrollToTop();
    List.KvrAddItem(QStringLiteral("quiet"), TKvrItemType::aInfo);
    EXPECT_EQ(List.TopIndex(), 0);
}

TEST_F(KvrListBoxTest, AutoClearKeepsOneMoreThanTheLimit)
{
    List.SetAutoClear(3);
    for (int i = 0; i < 5; ++i)
        List.KvrAddItem(QString(QChar('a' + i)), i == 1 ? TKvrItemType::aError : TKvrItemType::aInfo);
    ASSERT_EQ(List.count(), 4);
    EXPECT_EQ(List.item(0)->text(), QStringLiteral(" b"));
    EXPECT_EQ(List.item(3)->text(), QStringLiteral(" e"));
    // The kinds went with their items.
    EXPECT_EQ(List.TypeList(), QStringList({"1", "0", "0", "0"}));

    List.SetAutoClear(0); // no limit
    for (int i = 0; i < 10; ++i)
        List.KvrAddItem(QStringLiteral("x"), TKvrItemType::aInfo);
    EXPECT_EQ(List.count(), 14);
}

TEST_F(KvrListBoxTest, HorizontalExtentIsTheWidestTextPlusFive)
{
    const QFontMetrics metrics(List.font());
    List.KvrAddItem(QStringLiteral("short"), TKvrItemType::aInfo);
    EXPECT_EQ(List.HorizontalExtent(), metrics.horizontalAdvance(QStringLiteral(" short")) + 5);
    EXPECT_EQ(List.horizontalScrollBar()->maximum(), 0);

    const QString longText = QStringLiteral("Unable to start device streaming! The configuration tool did not answer in time");
    List.KvrAddItem(longText, TKvrItemType::aError);
    const int extent = metrics.horizontalAdvance(QStringLiteral(" ") + longText) + 5;
    EXPECT_EQ(List.HorizontalExtent(), extent);
    Pump(10);
    EXPECT_EQ(List.horizontalScrollBar()->maximum(), extent - List.viewport()->width());

    // A shorter item afterwards leaves the extent alone; losing the widest item shrinks it.
    List.KvrAddItem(QStringLiteral("ok"), TKvrItemType::aInfo);
    EXPECT_EQ(List.HorizontalExtent(), extent);
    List.SetAutoClear(1);
    List.KvrAddItem(QStringLiteral("tiny"), TKvrItemType::aInfo);
    EXPECT_EQ(List.HorizontalExtent(), metrics.horizontalAdvance(QStringLiteral(" tiny")) + 5);
}

TEST_F(KvrListBoxTest, ItemsAreDrawnInTheColoursOfTheirKind)
{
    List.KvrAddItem(QStringLiteral("info"), TKvrItemType::aInfo);
    List.KvrAddItem(QStringLiteral("error"), TKvrItemType::aError);
    List.KvrAddItem(QStringLiteral("picked"), TKvrItemType::aInfo);
    List.item(2)->setSelected(true);
    Pump(10);
    EXPECT_EQ(PixelOf(0), QColor(0xF0, 0xFF, 0xF0));
    EXPECT_EQ(PixelOf(1), QColor(0xFF, 0xF0, 0xF0));
    EXPECT_EQ(PixelOf(2), QColor(0xD7, 0xEB, 0xFF));
    // Below the items the list is white.
    const QImage image = List.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, List.viewport()->height() - 3), QColor(Qt::white));

    // Some text pixels carry the kind's text colour.
    auto hasColour = [&](int row, const QColor& colour) {
        const QRect r = List.visualItemRect(List.item(row));
        for (int x = r.left(); x < r.left() + 60; ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasColour(0, QColor(0x00, 0x80, 0x00)));
    EXPECT_TRUE(hasColour(1, QColor(0xFF, 0x00, 0x00)));
}

TEST_F(KvrListBoxTest, ItemUnderTheMouseIsHighlightedUnlessItHasTheFocus)
{
    for (int i = 0; i < 3; ++i)
        List.KvrAddItem(QStringLiteral("item %1").arg(i), TKvrItemType::aInfo);
    const QPoint overRow1 = List.visualItemRect(List.item(1)).center();
    MouseMove(List.viewport(), overRow1);
    Pump(10);
    EXPECT_EQ(List.MouseOverIndex(), 1);
    EXPECT_EQ(PixelOf(1), QColor(0xE9, 0xE9, 0xE9));
    EXPECT_EQ(PixelOf(0), QColor(0xF0, 0xFF, 0xF0));

    // The focused item keeps its own background under the mouse.
    List.setFocus();
    List.setCurrentRow(1, QItemSelectionModel::NoUpdate);
    MouseMove(List.viewport(), overRow1 + QPoint(1, 0));
    Pump(10);
    ASSERT_TRUE(List.hasFocus());
    EXPECT_EQ(List.MouseOverIndex(), 1);
    EXPECT_EQ(PixelOf(1), QColor(0xF0, 0xFF, 0xF0));
    // The focus frame is dotted black at the item's edge.
    const QRect r = List.visualItemRect(List.item(1));
    const QImage image = List.viewport()->grab().toImage();
    int black = 0;
    for (int x = r.left(); x <= r.right(); ++x)
        black += image.pixelColor(x, r.top()) == QColor(Qt::black);
    EXPECT_GT(black, r.width() / 4);

    // Leaving the list ends the highlight; so does switching it off.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(List.viewport(), &leave);
    EXPECT_EQ(List.MouseOverIndex(), -1);
    List.SetMouseHighlight(false);
    MouseMove(List.viewport(), List.visualItemRect(List.item(2)).center());
    EXPECT_EQ(List.MouseOverIndex(), -1);
}

} // namespace
