#pragma once
// The slider read-out: a bar filled up to the position (0..100) with a dark-to-light blue gradient.

#include <QColor>
#include <QWidget>

class TColourTrackBar : public QWidget {
    Q_OBJECT
public:
    explicit TColourTrackBar(QWidget* parent = nullptr);

    int Position() const { return FPosition; }
    void SetPosition(int position); // clamped to 0..100

    QSize sizeHint() const override { return {300, 28}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int FPosition = 0;
    QColor FStartColor{0x00, 0x40, 0x80};
    QColor FEndColor{0xAA, 0xD5, 0xFF};
};
