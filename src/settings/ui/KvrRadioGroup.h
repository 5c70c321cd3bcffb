#pragma once
// A radio group with its own fonts: HeaderFont for the caption, ItemsFont for every item. The items do not
// follow the group's font, so a bold or coloured caption leaves the items as they are.

#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QVBoxLayout;

class TKvrRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TKvrRadioGroup(const QString& caption, const QStringList& items = {}, QWidget* parent = nullptr);

    QStringList Items() const { return FItems; }
    void SetItems(const QStringList& items);

    // -1: nothing selected. Setting the index raises no signal.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const { return FButtons.at(size_t(index)); }

    QFont HeaderFont() const { return FHeaderFont; }
    QFont ItemsFont() const { return FItemsFont; }
    // An invalid colour keeps the palette's text colour.
    void SetHeaderFont(const QFont& font, const QColor& colour = QColor());
    void SetItemsFont(const QFont& font, const QColor& colour = QColor());
    void SetBackground(const QColor& colour);

signals:
    // The user picked an item.
    void Click(int index);

private:
    void ApplyFonts();

    QStringList FItems;
    std::vector<QRadioButton*> FButtons;
    QButtonGroup* FGroup;
    QVBoxLayout* FLayout;
    QFont FHeaderFont, FItemsFont;
    QColor FHeaderColour, FItemsColour;
};
