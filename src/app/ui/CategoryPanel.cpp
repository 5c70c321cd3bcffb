#include "app/ui/CategoryPanel.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

QString CaptionText(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                text += QLatin1Char('&'), ++i;
            continue;
        }
        text += caption[i];
    }
    return text;
}

class TCategoryPanel::THeader : public QWidget {
public:
    explicit THeader(TCategoryPanel* panel) : QWidget(panel), FPanel(panel)
    {
        setFixedHeight(HeaderHeight);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setPointSize(9);
        f.setBold(true);
        setFont(f);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect();
        QLinearGradient back(0, 0, 0, r.height());
        back.setColorAt(0, QColor(0xFA, 0xFA, 0xFA));
        back.setColorAt(1, QColor(0xDD, 0xDD, 0xDD));
        p.fillRect(r, back);
        p.setPen(QColor(0xA0, 0xA0, 0xA0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(QColor(0x00, 0x00, 0xA0));
        // Centred; a caption too long for that uses the room left of the chevron.
        const QString caption = CaptionText(FPanel->Caption());
        QRect text = r.adjusted(20, 0, -20, 0);
        if (p.fontMetrics().horizontalAdvance(caption) > text.width())
            text = r.adjusted(4, 0, -22, 0);
        p.drawText(text, Qt::AlignCenter, caption);
        // Chevron: up while expanded (click collapses), down while collapsed.
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF c(r.width() - 12.5, r.height() / 2.0);
        const double dy = FPanel->Collapsed() ? 2.0 : -2.0;
        QPainterPath chevron;
        chevron.moveTo(c.x() - 4, c.y() - dy);
        chevron.lineTo(c.x(), c.y() + dy);
        chevron.lineTo(c.x() + 4, c.y() - dy);
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.6));
        p.drawPath(chevron);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            FPanel->SetCollapsed(!FPanel->Collapsed());
    }

private:
    TCategoryPanel* FPanel;
};

TCategoryPanel::TCategoryPanel(const QString& caption, QWidget* parent)
    : QWidget(parent), FCaption(caption), FHeader(new THeader(this)), FContent(new QWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FHeader);
    layout->addWidget(FContent, 1);
}

void TCategoryPanel::SetCaption(const QString& caption)
{
    FCaption = caption;
    FHeader->update();
}

void TCategoryPanel::SetCollapsed(bool collapsed)
{
    if (collapsed == FCollapsed)
        return;
    FCollapsed = collapsed;
    FContent->setVisible(!collapsed);
    FHeader->update();
    emit CollapsedChanged(collapsed);
}

TCategoryPanelGroup::TCategoryPanelGroup(QWidget* parent) : QWidget(parent), FLayout(new QVBoxLayout(this))
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xCE, 0xCE, 0xCE));
    setPalette(pal);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(1);
    FLayout->addStretch(0);
}

void TCategoryPanelGroup::AddPanel(TCategoryPanel* panel, int stretch)
{
    panel->setParent(this);
    FPanels.append({panel, stretch});
    FLayout->insertWidget(FLayout->count() - 1, panel, 0);
    connect(panel, &TCategoryPanel::CollapsedChanged, this, &TCategoryPanelGroup::Relayout);
    Relayout();
}

void TCategoryPanelGroup::Relayout()
{
    // An expanded stretching panel takes the spare height; otherwise the spare height stays below the panels.
    bool stretched = false;
    for (int i = 0; i < FPanels.size(); ++i) {
        TCategoryPanel* panel = FPanels[i].first;
        const int stretch = panel->Collapsed() ? 0 : FPanels[i].second;
        FLayout->setStretch(i, stretch);
        panel->setSizePolicy(QSizePolicy::Preferred, stretch > 0 ? QSizePolicy::Expanding : QSizePolicy::Fixed);
        stretched |= stretch > 0;
    }
    FLayout->setStretch(FPanels.size(), stretched ? 0 : 1);
}
