#pragma once
// A spin edit and a horizontal tracker over the same range that follow each other, with an optional label
// that shows the value converted (percent, samples, milliseconds, target).

#include <QObject>
#include <functional>

class QGridLayout;
class QLabel;
class QSlider;
class QSpinBox;
class QWidget;

class TSpinTrackPair : public QObject {
    Q_OBJECT
public:
    using TValueText = std::function<QString(int value)>;

    // The widgets are children of parent, named spinName and trackName.
    TSpinTrackPair(QWidget* parent, const QString& spinName, const QString& trackName, int min, int max,
                   int step = 1);

    // Adds a value label named labelName that shows text(value).
    void SetValueText(const QString& labelName, TValueText text);

    int Value() const;
    // Programmatic: neither widget raises ValueEdited.
    void SetValue(int value);

    // Puts caption, spin, unit, tracker and value label into columns 0..4 of the grid row.
    void AddToGrid(QGridLayout* grid, int row, const QString& caption, const QString& unit = QString());

    QSpinBox* Spin;
    QSlider* Track;
    QLabel* ValueLabel = nullptr;

signals:
    // The user changed the spin edit or the tracker.
    void ValueEdited(int value);

private:
    void SpinChanged(int value);
    void TrackChanged(int value);
    void ShowValue(int value);

    QWidget* FParent;
    TValueText FText;
};
