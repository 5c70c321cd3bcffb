#include "app/ui/ScopeUnit.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>

TScopeForm::TScopeForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ScopeForm"));
    setWindowTitle(QStringLiteral("Scope"));
    resize(944, 509);
    setMinimumSize(620, 200);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    setPalette(pal);
    UpdateTimer = new QTimer(this);
    UpdateTimer->setInterval(100);

    for (int t = 0; t < Traces; ++t) {
        FDesChartX[size_t(t)].assign(2 * FMaxNrChartPoints, 0.0);
        FDesChartY[size_t(t)].assign(2 * FMaxNrChartPoints, 0.0);
    }
    for (int c = 0; c < 4; ++c) {
        CHPTShape[size_t(c)] = new QLabel(this);
        CHPTShape[size_t(c)]->setObjectName(QStringLiteral("CH%1PTShape").arg(c));
        CHPTShape[size_t(c)]->setFixedSize(28, 21);
    }
    if (MainForm)
        for (int c = 0; c < 4; ++c)
            SetChannelPicture(c, MainForm->SNonePNG);
}

void TScopeForm::StartUpdateTimer()
{
    if (!UpdateTimer->isActive())
        UpdateTimer->start();
}

void TScopeForm::StopUpdateTimer()
{
    UpdateTimer->stop();
}

void TScopeForm::AddXY(int SeriesNr, int32_t X, int32_t Y)
{
    if (SeriesNr < 0 || SeriesNr >= Traces)
        return;
    const size_t t = size_t(SeriesNr);
    std::vector<double>& xs = FDesChartX[t];
    std::vector<double>& ys = FDesChartY[t];
    int& first = FFirst[t];
    if (FNrOfChartPoints > FMaxNrChartPoints || FMaxPoints) {
        // Full: the oldest point goes.
        FMaxPoints = true;
        FNrOfChartPoints = FMaxNrChartPoints;
        if (++first == FMaxNrChartPoints) {
            std::copy(xs.begin() + first, xs.end(), xs.begin());
            std::copy(ys.begin() + first, ys.end(), ys.begin());
            first = 0;
        }
    }
    if (FNrOfChartPoints > 0) {
        xs[size_t(first + FNrOfChartPoints - 1)] = X;
        ys[size_t(first + FNrOfChartPoints - 1)] = Y;
        FChanged[t] = true;
    }
}

std::vector<std::pair<double, double>> TScopeForm::Points(int SeriesNr) const
{
    std::vector<std::pair<double, double>> points;
    if (SeriesNr < 0 || SeriesNr >= Traces || !FChanged[size_t(SeriesNr)])
        return points;
    const size_t t = size_t(SeriesNr);
    const int n = std::min(FNrOfChartPoints, FMaxNrChartPoints);
    points.reserve(size_t(n));
    for (int i = FFirst[t]; i < FFirst[t] + n; ++i)
        points.emplace_back(FDesChartX[t][size_t(i)], FDesChartY[t][size_t(i)]);
    return points;
}

void TScopeForm::SetCurChecked(int channel, bool checked)
{
    FCurChecks[size_t(channel)] = checked;
    CheckActiveChannels();
}

void TScopeForm::SetLTAChecked(int channel, bool checked)
{
    FLTAChecks[size_t(channel)] = checked;
    CheckActiveChannels();
}

void TScopeForm::CheckActiveChannels()
{
    if (!MainForm)
        return;
    const TMainCore& core = MainForm->Core();
    FActiveChannels = false;
    for (size_t c = 0; c < 4; ++c)
        if (core.CHCheck[c] && (FCurChecks[c] || (!core.FDeltaOnly && FLTAChecks[c])))
            FActiveChannels = true;
}

void TScopeForm::SetChannelPicture(int channel, const QPixmap& picture)
{
    CHPTShape[size_t(channel)]->setPixmap(picture);
}
