#pragma once
// The message list: one-line information and error items in two colour schemes, newest at the bottom,
// the item under the mouse highlighted.

#include "common/KvrTypes.h"

#include <QColor>
#include <QListWidget>
#include <QStringList>
#include <functional>

class TKvrListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TKvrListBox(QWidget* parent = nullptr);
    ~TKvrListBox() override;

    // Adds one item and returns its index.
    int KvrAddItem(const QString& Item, TKvrItemType ItemType);

    // Raised after an information or an error item has been added.
    std::function<void(TKvrListBox* Sender)> OnInfoItem;
    std::function<void(TKvrListBox* Sender)> OnErrorItem;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value) { FAutoScroll = value; }
    bool MouseHighlight() const { return FMouseHighlight; }
    void SetMouseHighlight(bool value);
    QString ItemsPrefix() const { return FItemsPrefix; }
    void SetItemsPrefix(const QString& value) { FItemsPrefix = value; }
    // Items kept before an add; 0 or less: no limit.
    int AutoClear() const { return FAutoClearCount; }
    void SetAutoClear(int value) { FAutoClearCount = value; }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value);

    QColor InfoBackgroundColor() const { return FInfoBackgroundColor; }
    void SetInfoBackgroundColor(const QColor& c) { FInfoBackgroundColor = c; viewport()->update(); }
    QColor InfoTextColor() const { return FInfoTextColor; }
    void SetInfoTextColor(const QColor& c) { FInfoTextColor = c; viewport()->update(); }
    QColor ErrorBackgroundColor() const { return FErrorBackgroundColor; }
    void SetErrorBackgroundColor(const QColor& c) { FErrorBackgroundColor = c; viewport()->update(); }
    QColor ErrorTextColor() const { return FErrorTextColor; }
    void SetErrorTextColor(const QColor& c) { FErrorTextColor = c; viewport()->update(); }
    QColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(const QColor& c) { FSelectedColor = c; viewport()->update(); }
    QColor MouseOverColor() const { return FMouseOverColor; }
    void SetMouseOverColor(const QColor& c) { FMouseOverColor = c; viewport()->update(); }

    // One entry per item: "0" information, "1" error.
    const QStringList& TypeList() const { return FTypeList; }
    int MouseOverIndex() const { return FMouseOverIndex; }
    // Width of the widest item text plus 5 pixels: how far the list scrolls sideways.
    int HorizontalExtent() const { return FHorizontalExtent; }
    // The first item shown at the top of the list.
    int TopIndex() const;

    // Small: the list takes whatever height its panel leaves it.
    QSize sizeHint() const override { return {200, 80}; }

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class TDelegate;
    void RecalcHorizontalExtent();
    void SetWidestText(int width);
    void SetMouseOverIndex(int index);

    QStringList FTypeList;
    bool FAutoScroll = true;
    bool FMouseHighlight = true;
    int FMouseOverIndex = -1;
    int FFocused = -1;
    QString FItemsPrefix;
    int FAutoClearCount = -1;
    int FItemHeight = 13;
    int FHorizontalExtent = 0;
    int FWidestText = 0;
    QColor FInfoBackgroundColor{0xF0, 0xFF, 0xF0};
    QColor FInfoTextColor{0x00, 0x80, 0x00};
    QColor FErrorBackgroundColor{0xFF, 0xF0, 0xF0};
    QColor FErrorTextColor{0xFF, 0x00, 0x00};
    QColor FSelectedColor{0xC0, 0xE0, 0xFF};
    QColor FMouseOverColor{0xFF, 0x00, 0x00};
};
