#include "settings/ui/SpinTrackPair.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

TSpinTrackPair::TSpinTrackPair(QWidget* parent, const QString& spinName, const QString& trackName, int min, int max,
                               int step)
    : QObject(parent), Spin(new QSpinBox(parent)), Track(new QSlider(Qt::Horizontal, parent)), FParent(parent)
{
    Spin->setObjectName(spinName);
    Spin->setRange(min, max);
    Spin->setSingleStep(step);
    Spin->setMinimumWidth(60);
    Track->setObjectName(trackName);
    Track->setRange(min, max);
    Track->setPageStep(std::max(step, 16));
    Track->setMinimumWidth(80);
    connect(Spin, &QSpinBox::valueChanged, this, &TSpinTrackPair::SpinChanged);
    connect(Track, &QSlider::valueChanged, this, &TSpinTrackPair::TrackChanged);
}

void TSpinTrackPair::SetValueText(const QString& labelName, TValueText text)
{
    FText = std::move(text);
    ValueLabel = new QLabel(FParent);
    ValueLabel->setObjectName(labelName);
    // Wide enough for the longest text of the range, so that no value is cut off.
    int widest = 84;
    for (int v = Spin->minimum(); v <= Spin->maximum(); ++v)
        widest = std::max(widest, ValueLabel->fontMetrics().horizontalAdvance(FText(v)));
    ValueLabel->setMinimumWidth(widest);
    ShowValue(Spin->value());
}

int TSpinTrackPair::Value() const
{
    return Spin->value();
}

void TSpinTrackPair::SetValue(int value)
{
    const QSignalBlocker spin(Spin), track(Track);
    Spin->setValue(value);
    Track->setValue(Spin->value());
    ShowValue(Spin->value());
}

void TSpinTrackPair::AddToGrid(QGridLayout* grid, int row, const QString& caption, const QString& unit)
{
    if (!caption.isEmpty())
        grid->addWidget(new QLabel(caption, FParent), row, 0);
    grid->addWidget(Spin, row, 1);
    if (!unit.isEmpty())
        grid->addWidget(new QLabel(unit, FParent), row, 2);
    grid->addWidget(Track, row, 3);
    if (ValueLabel)
        grid->addWidget(ValueLabel, row, 4);
}

// The spin edit only reports complete numbers: while its text is empty nothing changes.
void TSpinTrackPair::SpinChanged(int value)
{
    const QSignalBlocker track(Track);
    Track->setValue(value);
    ShowValue(value);
    emit ValueEdited(value);
}

void TSpinTrackPair::TrackChanged(int value)
{
    const QSignalBlocker spin(Spin);
    Spin->setValue(value);
    ShowValue(value);
    emit ValueEdited(value);
}

void TSpinTrackPair::ShowValue(int value)
{
    if (ValueLabel && FText)
        ValueLabel->setText(FText(value));
}
