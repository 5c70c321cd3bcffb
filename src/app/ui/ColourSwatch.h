#pragma once
// A small rounded rectangle in a colour; a click on it asks for another colour.

#include <QColor>
#include <QWidget>

class TColourSwatch : public QWidget {
    Q_OBJECT
public:
    explicit TColourSwatch(const QColor& colour, QWidget* parent = nullptr);

    QColor Colour() const { return FColour; }
    void SetColour(const QColor& colour);

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor FColour;
};
