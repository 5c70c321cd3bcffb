#pragma once
// A three-digit seven-segment display: lit segments navy, unlit ones light grey, no decimal point.

#include <QColor>
#include <QWidget>

class TSevenSegment : public QWidget {
    Q_OBJECT
public:
    explicit TSevenSegment(QWidget* parent = nullptr);

    static constexpr int Digits = 3;

    int Value() const { return FValue; }
    // Shown right-aligned without leading zeros; values outside 0..999 are clamped.
    void SetValue(int value);
    // Segment mask (bit 0 = a .. bit 6 = g) of each digit position, left to right.
    uint8_t DigitSegments(int position) const;

    QSize sizeHint() const override { return {120, 66}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int FValue = 0;
    QColor FLitColor{0x00, 0x00, 0x80};
    QColor FUnlitColor{0xE4, 0xE4, 0xE4};
};
