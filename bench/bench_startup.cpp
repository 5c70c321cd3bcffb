// Start-up to the first window: the time from starting a process until the main window has painted, with
// the simulator behind it. The process is this bench itself with --child, which starts as the program does
// (toolkit, simulator, all windows, the main window shown) and says when the first paint has happened.

#include "BenchReport.h"
#include "BenchWindows.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class TFirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            // After the paint event has been handled.
            QTimer::singleShot(0, [] {
                std::printf("painted\n");
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool FSeen = false;
};

int Child(int argc, char** argv)
{
    QApplication app(argc, argv);
    SimOptions options;
    options.simulate = true;
    options.seed = 1;
    TFirstPaint firstPaint;
    TBenchWindows windows(options, QStringLiteral("kt610b-bench-startup"));
    MainForm->installEventFilter(&firstPaint);
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return Child(argc, argv);

    QCoreApplication app(argc, argv);
    const long runs = BenchIterations(argc, argv, 7);
    std::vector<double> ms;
    for (long i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
        double painted = -1;
        while (child.waitForReadyRead(10000)) {
            if (child.readAll().contains("painted")) {
                painted = clock.nsecsElapsed() / 1e6;
                break;
            }
        }
        child.waitForFinished(10000);
        if (painted < 0) {
            std::fprintf(stderr, "the child did not paint its window\n");
            return 1;
        }
        ms.push_back(painted);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("start-up to the first window painted (%ld runs, platform %s): median %.0f ms, max %.0f ms\n", runs,
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData(),
                ms[ms.size() / 2], ms.back());
    BenchResult("start-up to first window, median", ms[ms.size() / 2], "ms", "<= 1000");
    return 0;
}
