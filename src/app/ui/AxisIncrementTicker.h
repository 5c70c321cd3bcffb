#pragma once
// Axis ticks at multiples of a set increment: every increment when there is room, otherwise every
// so-many increments, so that the labels never crowd.

#include <qcustomplot.h>

class TAxisIncrementTicker : public QCPAxisTicker {
public:
    explicit TAxisIncrementTicker(double increment);

    double Increment() const { return FIncrement; }
    void SetIncrement(double increment); // ignored when not above 0

protected:
    double getTickStep(const QCPRange& range) override;

private:
    double FIncrement;
};
