#include "app/ui/AxisIncrementTicker.h"

#include <cmath>

TAxisIncrementTicker::TAxisIncrementTicker(double increment) : FIncrement(increment > 0 ? increment : 1)
{
    setTickCount(8);
}

void TAxisIncrementTicker::SetIncrement(double increment)
{
    if (increment > 0)
        FIncrement = increment;
}

double TAxisIncrementTicker::getTickStep(const QCPRange& range)
{
    const double natural = QCPAxisTicker::getTickStep(range);
    if (natural <= FIncrement)
        return FIncrement;
    return std::ceil(natural / FIncrement - 1e-9) * FIncrement;
}
