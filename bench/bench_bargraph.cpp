// The bar graph's repaint, as BarTimer runs it every 10 ms while streaming: the pending labels and bars
// written, the graph drawn and the bar panel painted at once. Between repaints ten frames change the
// counts and averages, as at 1,000 frames/s.

#include "app/ui/LiveDisplay.h"
#include "BenchReport.h"
#include "BenchWindows.h"

#include <QFrame>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void NextFrames(TMainCore& core, long& frame)
{
    for (int f = 0; f < 10; ++f, ++frame) {
        for (size_t c = 0; c < 4; ++c) {
            core.FCurrentChs[c] = 500 + int(frame * 7 + long(c) * 13) % 90;
            core.FLTAChs[c] = 520 + int(frame / 64 + long(c)) % 5;
        }
        core.FTouchBools[1] = (frame / 500) % 2;
        MainForm->LiveDisplay->FrameDecoded();
    }
}

void Repaint()
{
    MainForm->LiveDisplay->BarTimerTimer();
    MainForm->BarPanel->repaint();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SimOptions options;
    options.simulate = true;
    options.seed = 1;
    options.manualClock = true; // the bench sets the values itself
    TBenchWindows windows(options, QStringLiteral("kt610b-bench-bargraph"));
    if (!TBenchWindows::StartStreaming()) {
        std::fprintf(stderr, "streaming did not start\n");
        return 1;
    }
    PumpUntil([] { return false; }, 300);
    TMainCore& core = MainForm->Core();
    MainForm->BarTimer->stop(); // the bench repaints in its place
    long frame = 0;
    for (int i = 0; i < 20; ++i) { // warm-up: fonts, pixmaps, the graph's buffers
        NextFrames(core, frame);
        Repaint();
    }

    const long repaints = BenchIterations(argc, argv, 1000);
    std::vector<double> ms;
    ms.reserve(size_t(repaints));
    {
        const TInstructionCount counted("bar graph repaint, median", repaints);
        for (long i = 0; i < repaints; ++i) {
            NextFrames(core, frame);
            QElapsedTimer clock;
            clock.start();
            Repaint();
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("bar panel %dx%d, platform %s: repaint median %.3f ms, 90%% %.3f ms, max %.3f ms\n",
                MainForm->BarPanel->width(), MainForm->BarPanel->height(),
                qPrintable(QGuiApplication::platformName()), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
    BenchResult("bar graph repaint, median", ms[ms.size() / 2], "ms", "<= 2");
    BenchResult("bar graph repaint, 90 %", ms[ms.size() * 9 / 10], "ms", "<= 5");
    return 0;
}
