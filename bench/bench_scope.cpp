// The scope window's cost.
//  - Without options: one refresh (the stored points handed to the chart, then an immediate repaint) with all
//    eight traces full (8 x 5,000 points), on the platform given (offscreen by default: the software
//    rasteriser). Once with the live 600-sample window, once zoomed out over all 5,000 samples.
//  - With --stream SECONDS: the whole program streams from the simulator at --rate frames per second (default
//    1000) with the main window and the scope shown and every count and average plotted; prints the frames
//    shown and the CPU of the process. --shot FILE saves a picture of the scope window at the end.

#include "BenchProcess.h"
#include "BenchWindows.h"
#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "app/ui/ScopeUnit.h"
#include "sim/Simulator.h"
#include "BenchReport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <qcustomplot.h>
#include <vector>

namespace {

void ShowScope()
{
    ScopeForm->show();
    ScopeForm->activateWindow();
    PumpUntil([] { return false; }, 300);
}

// Milliseconds of each of the refreshes, sorted.
std::vector<double> Refreshes(int count)
{
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        // New points since the last refresh, as at 1,000 frames/s.
        for (int f = 0; f < 100; ++f) {
            ScopeForm->CountChartPoint();
            for (int t = 0; t < TScopeForm::Traces; ++t)
                ScopeForm->AddXY(t, ScopeForm->FXPos, 400 + 150 * (t % 4) + (ScopeForm->FXPos * 7 + t * 13) % 23);
            ScopeForm->AdvanceX();
        }
        QElapsedTimer clock;
        clock.start();
        ScopeForm->UpdateTimerTimer();
        ScopeForm->ScopeGraph->replot(QCustomPlot::rpImmediateRefresh);
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

int MeasureRefresh()
{
    MainForm->Core().FIsStreaming = true; // the refresh runs only while streaming; no tool is needed here
    ShowScope(); // reads the window's preferences
    for (int c = 0; c < 4; ++c)
        ScopeForm->SetLTAChecked(c, true);
    Refreshes(60); // 6,000 frames: every trace full
    for (int t = 0; t < TScopeForm::Traces; ++t)
        if (ScopeForm->ChartPoints().Count(t) != TScopeForm::FMaxNrChartPoints)
            return std::fprintf(stderr, "trace %d is not full\n", t), 1;
    std::printf("scope %dx%d, platform %s, 8 traces x %d points\n", ScopeForm->ScopeGraph->width(),
                ScopeForm->ScopeGraph->height(), qPrintable(QGuiApplication::platformName()),
                TScopeForm::FMaxNrChartPoints);
    auto report = [](const char* what, const std::vector<double>& ms) {
        std::printf("%-44s median %.2f ms, 90%% %.2f ms, max %.2f ms\n", what, ms[ms.size() / 2],
                    ms[ms.size() * 9 / 10], ms.back());
    };
    const std::vector<double> live = Refreshes(100);
    report("refresh, live 600-sample window:", live);
    BenchResult("scope refresh 8 x 5,000, live window, median", live[live.size() / 2], "ms", "<= 10");
    // Zoomed out: every stored point lies inside the time axis. The refresh scrolls it, so it is re-opened
    // before each run.
    std::vector<double> all;
    for (int i = 0; i < 100; ++i) {
        QCPAxis* x = ScopeForm->ScopeGraph->xAxis;
        x->setRange(ScopeForm->FXPos + 100 - TScopeForm::FMaxNrChartPoints, ScopeForm->FXPos + 100);
        all.push_back(Refreshes(1).front());
    }
    std::sort(all.begin(), all.end());
    report("refresh, all 5,000 samples on the axis:", all);
    BenchResult("scope refresh 8 x 5,000, all on the axis, median", all[all.size() / 2], "ms", "<= 10");
    return 0;
}

int Stream(int seconds, const QString& shot)
{
    TMainCore& core = MainForm->Core();
    quint64 frames = 0;
    core.OnLogFrame = [&frames] { ++frames; };
    ShowScope(); // reads the window's preferences
    for (int c = 0; c < 4; ++c)
        ScopeForm->SetLTAChecked(c, true);
    PumpUntil([] { return false; }, 2000); // settle: ATI and the read-back
    const quint64 frames0 = frames;
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = wall.elapsed() / 1000.0;
    std::printf("streamed %.1f s on %s with the scope shown: %.0f frames/s, CPU of the process %.1f %% of one core\n",
                elapsed, qPrintable(QGuiApplication::platformName()), (frames - frames0) / elapsed,
                (CpuSeconds() - cpu0) / elapsed * 100.0);
    std::printf("points per trace %d, x position %d\n", ScopeForm->ChartPoints().Count(0), ScopeForm->FXPos);
    if (!shot.isEmpty())
        ScopeForm->grab().save(shot);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int streamSeconds = 0, rate = 1000;
    QString shot;
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray option(argv[i]);
        if (option == "--stream")
            streamSeconds = atoi(argv[i + 1]);
        else if (option == "--rate")
            rate = atoi(argv[i + 1]);
        else if (option == "--shot")
            shot = QString::fromLocal8Bit(argv[i + 1]);
    }

    SimOptions options;
    options.simulate = true;
    options.seed = 1;
    options.manualClock = streamSeconds == 0;
    options.sampleRateHz = rate;
    TBenchWindows windows(options, QStringLiteral("kt610b-bench-scope"));
    if (streamSeconds == 0)
        return MeasureRefresh();
    return TBenchWindows::StartStreaming() ? Stream(streamSeconds, shot) : 1;
}
