#include "settings/ui/GraphAxis.h"

#include "app/ui/AxisIncrementTicker.h"
#include "app/ui/MainUnit.h"

#include <QTimer>

void SetBarGraphAxis(TMainForm& form, int minimum, int maximum, int increment)
{
    QCPAxis* left = form.BarGraph->yAxis;
    left->setRange(minimum, maximum);
    if (auto ticker = left->ticker().dynamicCast<TAxisIncrementTicker>())
        ticker->SetIncrement(increment);
    else
        left->setTicker(QSharedPointer<QCPAxisTicker>(new TAxisIncrementTicker(increment)));
    if (!form.BarTimer->isActive())
        form.BarGraph->replot();
}
