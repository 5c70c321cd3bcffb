// Loading a settings file while streaming, as "Apply Settings" does it: the stream stopped, the file read
// and checked, the record and the windows filled, the whole set-up written to the chip. Cycles through the
// four demonstration set-ups; the restart of the stream after the load's fixed pause is not counted.

#include "persist/SettingsFile.h"
#include "BenchReport.h"
#include "BenchWindows.h"

#include <QDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SimOptions options;
    options.simulate = true;
    options.seed = 1;
    TBenchWindows windows(options, QStringLiteral("kt610b-bench-settings"));
    if (!TBenchWindows::StartStreaming()) {
        std::fprintf(stderr, "streaming did not start\n");
        return 1;
    }
    TMainCore& core = MainForm->Core();
    const QDir folder(QCoreApplication::applicationDirPath());
    const long loads = BenchIterations(argc, argv, 20);
    std::vector<double> ms;
    for (long i = 0; i < loads; ++i) {
        const QString file = folder.filePath(TSettingsFile::DemoFileNames[int(i % 4)]);
        if (!QFileInfo::exists(file)) {
            std::fprintf(stderr, "%s is missing: build the kt610b target first\n", qPrintable(file));
            return 1;
        }
        core.FSettingsFile = file;
        QElapsedTimer clock;
        clock.start();
        MainForm->SettingsFile->LoadCustomSettings();
        ms.push_back(clock.nsecsElapsed() / 1e6);
        if (!PumpUntil([&] { return core.FIsStreaming; }, 10000)) {
            std::fprintf(stderr, "streaming did not resume after loading %s\n", qPrintable(file));
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("settings load (file to chip, %ld loads): median %.1f ms, max %.1f ms\n", loads, ms[ms.size() / 2],
                ms.back());
    BenchResult("settings load, file to chip, median", ms[ms.size() / 2], "ms", "<= 200");
    return 0;
}
