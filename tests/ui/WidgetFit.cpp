#include "WidgetFit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QWidget>

namespace {

// A caption needs this much air on each side of a push button.
constexpr int ButtonTextMargin = 6;
// Push buttons closer than this look joined.
constexpr int ButtonGap = 2;

QString Name(const QWidget* w)
{
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(w))
        text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        name += QLatin1Char(' ') + w->objectName();
    if (!text.isEmpty())
        name += QStringLiteral(" \"%1\"").arg(text.left(40));
    return name;
}

QString Rect(const QRect& r)
{
    return QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

QString Caption(QString text)
{
    text.replace(QLatin1String("&&"), QString(QChar(0x1)));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0x1), QLatin1Char('&'));
    return text;
}

void CheckLabel(const QLabel* label, QStringList& faults)
{
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return;
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                      -label->margin());
    QSize needed;
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich) {
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(label->text());
        if (label->wordWrap())
            doc.setTextWidth(room.width());
        needed = QSize(label->wordWrap() ? 0 : int(doc.idealWidth()), int(doc.size().height()));
    } else if (label->wordWrap()) {
        needed = QSize(0, label->heightForWidth(label->contentsRect().width()) - 2 * label->margin() -
                              (label->height() - label->contentsRect().height()));
    } else {
        needed = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
    }
    if (needed.width() > room.width() || needed.height() > room.height() + 1)
        faults << QStringLiteral("%1: text needs %2x%3, has %4").arg(Name(label)).arg(needed.width())
                      .arg(needed.height()).arg(Rect(room));
}

void CheckButton(const QAbstractButton* button, QStringList& faults)
{
    if (button->text().isEmpty())
        return;
    if (qobject_cast<const QPushButton*>(button)) {
        const int text = button->fontMetrics().horizontalAdvance(Caption(button->text()));
        const int iconRoom = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        if (text + iconRoom + 2 * ButtonTextMargin > button->width())
            faults << QStringLiteral("%1: caption of %2 px fills its %3 px").arg(Name(button)).arg(text)
                          .arg(button->width());
        return;
    }
    if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
        if (button->sizeHint().width() > button->width() || button->sizeHint().height() > button->height() + 2)
            faults << QStringLiteral("%1: needs %2x%3, has %4").arg(Name(button)).arg(button->sizeHint().width())
                          .arg(button->sizeHint().height()).arg(Rect(button->geometry()));
    }
}

void CheckHeader(const QHeaderView* header, QStringList& faults)
{
    if (header->orientation() != Qt::Horizontal || !header->model())
        return;
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i))
            continue;
        const QString text = header->model()->headerData(i, Qt::Horizontal).toString();
        if (text.isEmpty())
            continue;
        // The header draws its text inside a margin on each side.
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const int needed = header->fontMetrics().horizontalAdvance(text) + 2 * margin;
        if (needed > header->sectionSize(i))
            faults << QStringLiteral("%1: header \"%2\" needs %3 px, has %4").arg(Name(header->parentWidget()), text)
                          .arg(needed).arg(header->sectionSize(i));
    }
}

bool ScrollAreaPart(const QWidget* child)
{
    // A scroll area places its own viewport, bars and corner; they are not the window's controls.
    const auto* area = qobject_cast<const QAbstractScrollArea*>(child->parentWidget());
    return area && (child == area->viewport() || child->inherits("QAbstractScrollAreaScrollBarContainer") ||
                    child == area->cornerWidget());
}

void CheckSiblings(const QWidget* parent, const QWidget* window, QStringList& faults)
{
    QList<const QWidget*> shown;
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && !w->isWindow() && w->isVisibleTo(window) && !ScrollAreaPart(w) && w->width() > 0 && w->height() > 0)
            shown << w;
    }
    // Inside a scroll area's viewport the content may be larger than what is shown at once.
    const auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
    if (!(area && parent == area->viewport()))
        for (const QWidget* w : shown)
            if (!parent->rect().contains(w->geometry()))
                faults << QStringLiteral("%1 %2 sticks out of %3 %4").arg(Name(w), Rect(w->geometry()), Name(parent),
                                                                          Rect(parent->rect()));
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j) {
            const QRect a = shown[i]->geometry(), b = shown[j]->geometry();
            if (a.intersects(b)) {
                faults << QStringLiteral("%1 %2 overlaps %3 %4").arg(Name(shown[i]), Rect(a), Name(shown[j]), Rect(b));
                continue;
            }
            const bool buttons = qobject_cast<const QPushButton*>(shown[i]) && qobject_cast<const QPushButton*>(shown[j]);
            const int d = ButtonGap - 1;
            if (buttons && a.adjusted(-d, -d, d, d).intersects(b))
                faults << QStringLiteral("%1 %2 touches %3 %4").arg(Name(shown[i]), Rect(a), Name(shown[j]), Rect(b));
        }
    for (const QWidget* w : shown)
        CheckSiblings(w, window, faults);
}

void CheckTexts(const QWidget* window, QStringList& faults)
{
    for (const QWidget* w : window->findChildren<const QWidget*>()) {
        if (!w->isVisibleTo(window) || w->window() != window)
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w))
            CheckLabel(label, faults);
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            CheckButton(button, faults);
        else if (const auto* header = qobject_cast<const QHeaderView*>(w))
            CheckHeader(header, faults);
    }
}

} // namespace

QStringList LayoutFaults(const QWidget* window)
{
    QStringList faults;
    CheckTexts(window, faults);
    CheckSiblings(window, window, faults);
    return faults;
}

QStringList LayoutFaultsAt(QWidget* window, const QSize& size)
{
    window->resize(size.expandedTo(window->minimumSize()).boundedTo(window->maximumSize()));
    for (int i = 0; i < 5; ++i) {
        if (window->layout())
            window->layout()->activate();
        QApplication::processEvents();
    }
    return LayoutFaults(window);
}
