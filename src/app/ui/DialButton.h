#pragma once
// The wheel read-out: a round dial face with a triangular pointer; positions 0..100 make one full turn.

#include <QColor>
#include <QWidget>

class TDialButton : public QWidget {
    Q_OBJECT
public:
    explicit TDialButton(QWidget* parent = nullptr);

    int Position() const { return FPosition; }
    void SetPosition(int position); // clamped to 0..100

    QSize sizeHint() const override { return {150, 150}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int FPosition = 0;
    QColor FFaceColor{0x86, 0xC0, 0xFB};
    QColor FPointerColor{0x00, 0x00, 0x80};
};
