#include "settings/ui/KvrRadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TKvrRadioGroup::TKvrRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), FGroup(new QButtonGroup(this)), FLayout(new QVBoxLayout(this))
{
    FHeaderFont = font();
    FHeaderFont.setBold(true);
    FItemsFont = font();
    FLayout->setContentsMargins(8, 4, 8, 6);
    FLayout->setSpacing(2);
    FLayout->addStretch(1); // items stay at the top when the group is taller than they are
    connect(FGroup, &QButtonGroup::idClicked, this, &TKvrRadioGroup::Click);
    SetItems(items);
}

void TKvrRadioGroup::SetItems(const QStringList& items)
{
    for (QRadioButton* b : FButtons)
        delete b;
    FButtons.clear();
    FItems = items;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        FGroup->addButton(b, i);
        FLayout->insertWidget(FLayout->count() - 1, b);
        FButtons.push_back(b);
    }
    ApplyFonts();
}

int TKvrRadioGroup::ItemIndex() const
{
    return FGroup->checkedId();
}

void TKvrRadioGroup::SetItemIndex(int index)
{
    if (index == ItemIndex())
        return;
    if (index >= 0 && index < int(FButtons.size())) {
        FButtons[size_t(index)]->setChecked(true);
        return;
    }
    // An exclusive group cannot be emptied by unchecking its button.
    FGroup->setExclusive(false);
    if (QAbstractButton* b = FGroup->checkedButton())
        b->setChecked(false);
    FGroup->setExclusive(true);
}

void TKvrRadioGroup::SetHeaderFont(const QFont& font, const QColor& colour)
{
    FHeaderFont = font;
    FHeaderColour = colour;
    ApplyFonts();
}

void TKvrRadioGroup::SetItemsFont(const QFont& font, const QColor& colour)
{
    FItemsFont = font;
    FItemsColour = colour;
    ApplyFonts();
}

void TKvrRadioGroup::SetBackground(const QColor& colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
    setAutoFillBackground(true);
    ApplyFonts();
}

void TKvrRadioGroup::ApplyFonts()
{
    setFont(FHeaderFont);
    QPalette header = palette();
    if (FHeaderColour.isValid())
        header.setColor(QPalette::WindowText, FHeaderColour);
    setPalette(header);
    for (QRadioButton* b : FButtons) {
        // An explicit font of its own: the item no longer follows the caption's font.
        QFont own = FItemsFont;
        own.setResolveMask(QFont::AllPropertiesResolved);
        b->setFont(own);
        QPalette pal = b->palette();
        pal.setColor(QPalette::WindowText, FItemsColour.isValid() ? FItemsColour : QPalette().color(QPalette::WindowText));
        b->setPalette(pal);
    }
}
