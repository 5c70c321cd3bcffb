#include "app/ui/KvrListBox.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

// Owner drawing of one item: the colours of its kind, the selection, the mouse highlight and the focus frame.
class TKvrListBox::TDelegate : public QStyledItemDelegate {
public:
    explicit TDelegate(TKvrListBox* list) : QStyledItemDelegate(list), FList(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        TKvrListBox& list = *FList;
        const int i = index.row();
        const bool error = list.FTypeList.value(i) == QLatin1String("1");
        QColor back = error ? list.FErrorBackgroundColor : list.FInfoBackgroundColor;
        const QColor text = error ? list.FErrorTextColor : list.FInfoTextColor;
        if (option.state & QStyle::State_Selected)
            back = list.FSelectedColor;
        const bool focused = (option.state & QStyle::State_HasFocus) && list.hasFocus();

        painter->save();
        if (!list.FMouseHighlight || i != list.FMouseOverIndex || focused || i == list.FFocused) {
            painter->fillRect(option.rect, back);
            if (focused) {
                QPen pen(Qt::black, 1, Qt::DotLine);
                painter->setPen(pen);
                painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
                list.FFocused = i;
            }
        } else {
            painter->fillRect(option.rect, list.FMouseOverColor);
        }
        painter->setPen(text);
        painter->setFont(option.font);
        painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {FList->FHorizontalExtent, FList->FItemHeight};
    }

private:
    TKvrListBox* FList;
};

TKvrListBox::TKvrListBox(QWidget* parent) : QListWidget(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setBold(true);
    setFont(font);
    setItemDelegate(new TDelegate(this));
    setUniformItemSizes(true);
    // Items accumulate for the whole run: lay them out in batches, or every add costs time in the count.
    setLayoutMode(QListView::Batched);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // The space below the last item is white.
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    // Not used for drags: the inherited drag auto-scroll stays off.
    QAbstractItemView::setAutoScroll(false);
}

TKvrListBox::~TKvrListBox() = default;

int TKvrListBox::KvrAddItem(const QString& Item, TKvrItemType ItemType)
{
    // Repaints are coalesced until the event loop runs: the list is painted once for the whole add.
    if (FAutoClearCount > 0 && count() > FAutoClearCount) {
        const QFontMetrics metrics(font());
        bool widestRemoved = false;
        while (count() > FAutoClearCount) {
            QListWidgetItem* oldest = takeItem(0);
            widestRemoved |= metrics.horizontalAdvance(oldest->text()) >= FWidestText;
            delete oldest;
            FTypeList.removeFirst();
        }
        FMouseOverIndex = -1;
        FFocused = -1;
        if (widestRemoved)
            RecalcHorizontalExtent();
    }
    FTypeList.append(ItemType == TKvrItemType::aError ? QStringLiteral("1") : QStringLiteral("0"));
    auto* item = new QListWidgetItem(FItemsPrefix + Item);
    addItem(item);
    const int index = count() - 1;
    if (FAutoScroll)
        scrollToItem(item, QAbstractItemView::PositionAtTop);
    const int width = QFontMetrics(font()).horizontalAdvance(item->text());

    if (ItemType == TKvrItemType::aError) {
        if (OnErrorItem)
            OnErrorItem(this);
    } else if (OnInfoItem) {
        OnInfoItem(this);
    }
    // Only the widest text counts, so a new item can only widen the extent.
    SetWidestText(std::max(FWidestText, width));
    return index;
}

void TKvrListBox::RecalcHorizontalExtent()
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(item(i)->text()));
    SetWidestText(widest);
}

void TKvrListBox::SetWidestText(int width)
{
    FWidestText = width;
    const int extent = width + 5;
    if (extent == FHorizontalExtent)
        return;
    FHorizontalExtent = extent;
    // Every item has the same size: make the view measure it again.
    doItemsLayout();
}

void TKvrListBox::SetMouseHighlight(bool value)
{
    FMouseHighlight = value;
    viewport()->update();
}

void TKvrListBox::SetItemHeight(int value)
{
    FItemHeight = value;
    doItemsLayout();
}

int TKvrListBox::TopIndex() const
{
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : -1;
}

void TKvrListBox::SetMouseOverIndex(int index)
{
    if (index == FMouseOverIndex)
        return;
    FMouseOverIndex = index;
    viewport()->update();
}

bool TKvrListBox::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (FMouseHighlight) {
            const QModelIndex at = indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            SetMouseOverIndex(at.isValid() ? at.row() : -1);
        }
        break;
    case QEvent::Enter:
    case QEvent::Leave:
        SetMouseOverIndex(-1);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        viewport()->update();
        break;
    default:
        break;
    }
    return QListWidget::viewportEvent(event);
}

void TKvrListBox::keyPressEvent(QKeyEvent* event)
{
    QListWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        viewport()->update();
}

void TKvrListBox::changeEvent(QEvent* event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        RecalcHorizontalExtent();
}
