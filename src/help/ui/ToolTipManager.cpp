#include "help/ui/ToolTipManager.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

// The tip window: icon and bold title on the first line, the text below, on a balloon or a rectangle.
class TBalloonTip : public QWidget {
public:
    static constexpr int Stem = 10; // height of the balloon's pointer

    TBalloonTip(bool balloon, int maxWidth) : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), FBalloon(balloon)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setObjectName(QStringLiteral("ToolTipWindow"));
        Icon = new QLabel(this);
        Title = new QLabel(this);
        QFont bold = Title->font();
        bold.setBold(true);
        Title->setFont(bold);
        Text = new QLabel(this);
        Text->setWordWrap(true);
        Text->setMaximumWidth(maxWidth);
        auto* head = new QHBoxLayout;
        head->setSpacing(6);
        head->addWidget(Icon);
        head->addWidget(Title, 1);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(10, 8 + (balloon ? Stem : 0), 10, 8);
        layout->addLayout(head);
        layout->addWidget(Text);
    }

    void Style(const QColor& background, const QColor& text)
    {
        FBackground = background;
        for (QLabel* label : {Title, Text}) {
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, text);
            label->setPalette(pal);
        }
    }

    // x of the pointer, from the tip's left edge.
    int StemX = 20;
    QLabel* Icon;
    QLabel* Title;
    QLabel* Text;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF body = QRectF(rect()).adjusted(0.5, (FBalloon ? Stem : 0) + 0.5, -0.5, -0.5);
        QPainterPath path;
        if (FBalloon) {
            path.addRoundedRect(body, 8, 8);
            QPainterPath stem;
            const double x = std::clamp(double(StemX), body.left() + 12, body.right() - 12);
            stem.moveTo(x - 8, body.top() + 1);
            stem.lineTo(x, 0.5);
            stem.lineTo(x + 8, body.top() + 1);
            stem.closeSubpath();
            path = path.united(stem);
        } else {
            path.addRect(body);
        }
        p.setPen(QPen(palette().color(QPalette::Shadow), 1));
        p.setBrush(FBackground);
        p.drawPath(path);
    }

private:
    bool FBalloon;
    QColor FBackground;
};

TToolTipItem& TToolTipItem::operator=(const TToolTipItem& other)
{
    if (this == &other)
        return *this;
    SetControl(other.FControl);
    CustomIcon = other.CustomIcon;
    IconType = other.IconType;
    Title = other.Title;
    Description = other.Description;
    Color = other.Color;
    TextColor = other.TextColor;
    return *this;
}

void TToolTipItem::SetControl(QWidget* control)
{
    if (control == FControl)
        return;
    if (FControl) {
        FOwner->UnregisterToolTip(this);
        QObject::disconnect(FControl, &QObject::destroyed, FOwner, nullptr);
    }
    FControl = control;
    if (!control)
        return;
    QObject::connect(control, &QObject::destroyed, FOwner, [owner = FOwner](QObject* gone) { owner->ControlDestroyed(gone); });
    const QString hint = control->toolTip();
    const int bar = hint.indexOf(QLatin1Char('|'));
    if (Title.isEmpty())
        Title = bar < 0 ? hint : hint.left(bar);
    if (Description.isEmpty())
        Description = bar < 0 ? hint : hint.mid(bar + 1);
    FOwner->RegisterToolTip(this);
}

TToolTipManager::TToolTipManager(QObject* owner)
    : QObject(owner),
      DefaultColor(QToolTip::palette().color(QPalette::ToolTipBase)),
      DefaultTextColor(QToolTip::palette().color(QPalette::ToolTipText)),
      FShowTimer(new QTimer(this)),
      FHideTimer(new QTimer(this))
{
    FShowTimer->setSingleShot(true);
    FHideTimer->setSingleShot(true);
    connect(FShowTimer, &QTimer::timeout, this, [this] {
        if (FHovered)
            ShowToolTipFor(FHovered);
    });
    connect(FHideTimer, &QTimer::timeout, this, &TToolTipManager::HideToolTip);
}

TToolTipManager::~TToolTipManager()
{
    FDestroying = true;
    // The owner's handlers may refer to what is already gone.
    OnBeforeShow = OnShow = OnHide = nullptr;
    RemoveToolTips();
    for (const auto& item : FItems)
        if (item->FControl)
            disconnect(item->FControl, &QObject::destroyed, this, nullptr);
}

void TToolTipManager::SetBalloonTip(bool value)
{
    if (value == FBalloonTip)
        return;
    FBalloonTip = value;
    RebuildToolTips();
}

void TToolTipManager::SetCenterTip(bool value)
{
    if (value == FCenterTip)
        return;
    FCenterTip = value;
    RebuildToolTips();
}

void TToolTipManager::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    if (value)
        RebuildToolTips();
    else
        RemoveToolTips();
}

// The native control took its delays as 16-bit values.
void TToolTipManager::SetShowPause(uint32_t ms)
{
    FShowPause = ms;
}

void TToolTipManager::SetHidePause(uint32_t ms)
{
    FHidePause = ms;
}

void TToolTipManager::SetReshowPause(uint32_t ms)
{
    FReshowPause = ms;
}

TToolTipItem* TToolTipManager::Add(QWidget* control)
{
    FItems.push_back(std::make_unique<TToolTipItem>(this));
    TToolTipItem* item = FItems.back().get();
    item->SetControl(control);
    return item;
}

QWidget* TToolTipManager::ToolTipWindow() const
{
    return fToolTipWnd.get();
}

void TToolTipManager::Loaded()
{
    FLoading = false;
    RebuildToolTips();
}

void TToolTipManager::RebuildToolTips()
{
    if (FLoading || FDestroying || !FEnabled)
        return;
    RemoveToolTips();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int maxWidth = screen ? screen->geometry().width() / 3 : 400;
    fToolTipWnd = std::make_unique<TBalloonTip>(FBalloonTip, maxWidth);
    for (const auto& item : FItems)
        AddToolTip(item.get());
}

void TToolTipManager::RemoveToolTips()
{
    HideToolTip();
    FShowTimer->stop();
    for (const QPointer<QWidget>& window : std::as_const(FWatched))
        if (window)
            window->removeEventFilter(this);
    FWatched.clear();
    fToolTipWnd.reset();
}

void TToolTipManager::AddToolTip(TToolTipItem* Item)
{
    RegisterToolTip(Item);
}

// Containers keep their own children's tips; a composite control (a spin box: edit field and arrows)
// shows its one tip over every part.
static bool IsContainer(const QWidget* w)
{
    const QMetaObject* meta = w->metaObject();
    return meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w) ||
           qobject_cast<const QStackedWidget*>(w) || qobject_cast<const QScrollArea*>(w);
}

void TToolTipManager::RegisterToolTip(TToolTipItem* Item)
{
    if (!fToolTipWnd || !Item->FControl)
        return;
    Watch(Item->FControl);
    if (!IsContainer(Item->FControl))
        for (QWidget* child : Item->FControl->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            Watch(child);
}

void TToolTipManager::UnregisterToolTip(TToolTipItem* Item)
{
    if (!Item->FControl || !FWatched.removeOne(Item->FControl))
        return;
    Item->FControl->removeEventFilter(this);
    if (FVisibleToolTip == Item)
        HideToolTip();
}

bool TToolTipManager::IsWatched(QWidget* window) const
{
    return std::any_of(FWatched.begin(), FWatched.end(), [window](const QPointer<QWidget>& w) { return w == window; });
}

void TToolTipManager::Watch(QWidget* window)
{
    FWatched.removeAll(nullptr);
    if (IsWatched(window))
        return;
    FWatched.append(window);
    window->installEventFilter(this);
}

void TToolTipManager::ControlDestroyed(QObject* control)
{
    // A tip of it must not stay on screen; the pointers to it empty themselves.
    if (FVisibleToolTip && (!FVisibleToolTip->FControl || FVisibleToolTip->FControl == control))
        HideToolTip();
}

TToolTipItem* TToolTipManager::EntryFor(QWidget* window) const
{
    // An entry for the window itself wins; otherwise the last entry whose control contains it.
    TToolTipItem* container = nullptr;
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
        QWidget* control = (*it)->FControl;
        if (!control)
            continue;
        if (control == window)
            return it->get();
        if (!container && control->isAncestorOf(window))
            container = it->get();
    }
    return container;
}

void TToolTipManager::ShowToolTipFor(QWidget* window)
{
    if (!fToolTipWnd)
        return;
    TToolTipItem* item = EntryFor(window);
    if (!item)
        return;
    if (OnBeforeShow)
        OnBeforeShow(this, item);
    QLabel* text = fToolTipWnd->Text;
    text->setText(item->Description);
    // One line when it fits: a word-wrapped label would otherwise wrap early.
    text->setMinimumWidth(std::min(text->maximumWidth(), text->fontMetrics().horizontalAdvance(item->Description) + 2));
    ApplyToolTipStyle(item);
    // An empty text shows nothing.
    if (item->Description.isEmpty()) {
        HideToolTip();
        return;
    }
    Place(window);
    fToolTipWnd->show();
    if (OnShow)
        OnShow(this, item);
    FVisibleToolTip = item;
    FHideTimer->start(int(FHidePause & 0xFFFF));
}

void TToolTipManager::HideToolTip()
{
    FHideTimer->stop();
    if (!FVisibleToolTip)
        return;
    if (fToolTipWnd)
        fToolTipWnd->hide();
    TToolTipItem* hidden = FVisibleToolTip;
    FVisibleToolTip = nullptr;
    if (OnHide)
        OnHide(this, hidden);
}

void TToolTipManager::ApplyToolTipStyle(TToolTipItem* Item)
{
    TBalloonTip& tip = *fToolTipWnd;
    tip.Style(Item->Color.isValid() ? Item->Color : DefaultColor,
              Item->TextColor.isValid() ? Item->TextColor : DefaultTextColor);
    tip.Title->setText(Item->Title);
    QIcon icon;
    int size = 16;
    QStyle* style = QApplication::style();
    switch (Item->IconType) {
    case TToolTipIcon::ttiNone:
        break;
    case TToolTipIcon::ttiInformationLarge:
        size = 32;
        [[fallthrough]];
    case TToolTipIcon::ttiInformation:
        icon = style->standardIcon(QStyle::SP_MessageBoxInformation);
        break;
    case TToolTipIcon::ttiWarningLarge:
        size = 32;
        [[fallthrough]];
    case TToolTipIcon::ttiWarning:
        icon = style->standardIcon(QStyle::SP_MessageBoxWarning);
        break;
    case TToolTipIcon::ttiErrorLarge:
        size = 32;
        [[fallthrough]];
    case TToolTipIcon::ttiError:
        icon = style->standardIcon(QStyle::SP_MessageBoxCritical);
        break;
    case TToolTipIcon::ttiCustom:
        icon = !Item->CustomIcon.isNull() ? Item->CustomIcon
               : !DefaultCustomIcon.isNull() ? DefaultCustomIcon
                                              : QApplication::windowIcon();
        break;
    }
    tip.Icon->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(size, size));
    tip.Icon->setVisible(!icon.isNull());
}

void TToolTipManager::Place(QWidget* window)
{
    TBalloonTip& tip = *fToolTipWnd;
    tip.adjustSize();
    QPoint anchor = QCursor::pos() + QPoint(0, 16);
    if (FCenterTip)
        anchor = window->mapToGlobal(QPoint(window->width() / 2, window->height()));
    QPoint topLeft(anchor.x() - 20, anchor.y());
    if (FCenterTip)
        topLeft.setX(anchor.x() - tip.width() / 2);
    if (const QScreen* screen = QGuiApplication::screenAt(anchor)) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - tip.width())));
    }
    tip.StemX = anchor.x() - topLeft.x();
    tip.move(topLeft);
}

bool TToolTipManager::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !IsWatched(window))
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        FHovered = window;
        // Moving from one tool to the next while a tip was up is quicker.
        FShowTimer->start(int(((FVisibleToolTip || FReshow) ? FReshowPause : FShowPause) & 0xFFFF));
        FReshow = false;
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        if (FHovered == window) {
            FShowTimer->stop();
            FReshow = event->type() == QEvent::Leave && FVisibleToolTip;
            HideToolTip();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
