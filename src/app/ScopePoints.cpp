#include "app/ScopePoints.h"

#include <algorithm>
#include <limits>

TScopePoints::TScopePoints()
{
    for (size_t t = 0; t < Traces; ++t) {
        FDesChartX[t].assign(2 * FMaxNrChartPoints, 0.0);
        FDesChartY[t].assign(2 * FMaxNrChartPoints, 0.0);
    }
}

void TScopePoints::CountChartPoint()
{
    // One past the capacity is enough to mean "full"; no further counting, so it cannot overflow.
    if (FNrOfChartPoints <= FMaxNrChartPoints)
        ++FNrOfChartPoints;
}

void TScopePoints::DropOldest(size_t t)
{
    if (FLength[t] == 0)
        return;
    --FLength[t];
    if (++FFirst[t] == FMaxNrChartPoints) {
        std::vector<double>& xs = FDesChartX[t];
        std::vector<double>& ys = FDesChartY[t];
        std::copy(xs.begin() + FMaxNrChartPoints, xs.end(), xs.begin());
        std::copy(ys.begin() + FMaxNrChartPoints, ys.end(), ys.begin());
        FFirst[t] = 0;
    }
}

void TScopePoints::AddXY(int SeriesNr, int32_t X, int32_t Y)
{
    if (SeriesNr < 0 || SeriesNr >= Traces)
        return;
    const size_t t = size_t(SeriesNr);
    if (FNrOfChartPoints > FMaxNrChartPoints || FMaxPoints) {
        FMaxPoints = true;
        FNrOfChartPoints = FMaxNrChartPoints;
        DropOldest(t);
    }
    if (FNrOfChartPoints <= 0)
        return;
    const int position = FNrOfChartPoints - 1;
    double* xs = FDesChartX[t].data() + FFirst[t];
    double* ys = FDesChartY[t].data() + FFirst[t];
    // Frames this trace missed get no point: their positions are blanks at this x, keeping x in order.
    for (int i = std::min(FLength[t], position); i < position; ++i) {
        xs[i] = X;
        ys[i] = std::numeric_limits<double>::quiet_NaN();
    }
    xs[position] = X;
    ys[position] = Y;
    FLength[t] = std::max(FLength[t], position + 1);
    FChanged[t] = true;
}

void TScopePoints::Clear()
{
    FNrOfChartPoints = 0;
    FMaxPoints = false;
    FFirst.fill(0);
    FLength.fill(0);
    FChanged.fill(false);
}
