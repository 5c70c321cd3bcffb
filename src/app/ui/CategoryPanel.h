#pragma once
// Collapsible panels stacked in a column: a header bar with the caption (click to collapse or expand)
// above the panel's content.

#include <QWidget>

class QVBoxLayout;

// Caption text as shown: "&&" shows one "&", a single "&" (accelerator mark) is dropped.
QString CaptionText(const QString& caption);

class TCategoryPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCategoryPanel(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    // Children of the panel go here.
    QWidget* Content() const { return FContent; }

    bool Collapsed() const { return FCollapsed; }
    void SetCollapsed(bool collapsed);
    void Expand() { SetCollapsed(false); }
    void Collapse() { SetCollapsed(true); }

    static constexpr int HeaderHeight = 22;

signals:
    void CollapsedChanged(bool collapsed);

private:
    class THeader;
    QString FCaption;
    THeader* FHeader;
    QWidget* FContent;
    bool FCollapsed = false;
};

// The column that holds the panels, top to bottom (background #CECECE).
class TCategoryPanelGroup : public QWidget {
    Q_OBJECT
public:
    explicit TCategoryPanelGroup(QWidget* parent = nullptr);
    // A panel with stretch > 0 takes the height that is left while it is expanded.
    void AddPanel(TCategoryPanel* panel, int stretch = 0);

private:
    void Relayout();
    QVBoxLayout* FLayout;
    QList<QPair<TCategoryPanel*, int>> FPanels; // in layout order, with their stretch
};
