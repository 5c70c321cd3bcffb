// Program start: the command line, the hardware backend (real tools or the simulator), the nine windows.

#include "app/CopyDataServer.h"
#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/CommandLine.h"
#include "app/ui/MainUnit.h"
#include "app/ui/UnattendedRun.h"
#include "hid/HidapiBackend.h"
#include "replay/ReplayTool.h"
#include "replay/ui/ReplayWindow.h"
#include "sim/Simulator.h"
#include "sim/ui/SimulatorWindow.h"

#include <QApplication>
#include <QProxyStyle>
#include <QScreen>
#include <cstdio>

namespace {

// Hover hints appear after 350 ms everywhere in the program.
class TAppStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 350;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

int Fail(const QString& error)
{
    std::fprintf(stderr, "kt610b: %s\nTry 'kt610b --help'.\n", qPrintable(error));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Help, version and the copy-data client need no window.
    TCommandLine early;
    QString error;
    QStringList earlyArgs;
    for (int i = 1; i < argc; ++i)
        earlyArgs.append(QString::fromLocal8Bit(argv[i]));
    TUnattendedRun unattended;
    if (!TakeUnattendedOptions(earlyArgs, unattended, error) || !ParseCommandLine(earlyArgs, early, true, error))
        return Fail(error);
    if (early.Help) {
        std::fputs(qPrintable(CommandLineHelp()), stdout);
        std::fputs(qPrintable(UnattendedHelp()), stdout);
        return 0;
    }
    if (early.Version) {
        std::printf("Korvane KT610B %s\n", KT610B_VERSION);
        return 0;
    }
    if (early.SendMessage) {
        QCoreApplication app(argc, argv);
        const std::optional<int> answer = TCopyDataServer::SendMessage(early.Message);
        if (!answer) {
            std::fprintf(stderr, "kt610b: no running instance answered\n");
            return 1;
        }
        std::printf("%d\n", *answer);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kt610b"));
    QApplication::setOrganizationName(QStringLiteral("Korvane"));
    QApplication::setApplicationVersion(QStringLiteral(KT610B_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kt610b"));
    QApplication::setStyle(new TAppStyle);
    // The main window decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);

    // The toolkit has taken its own arguments out: anything left that is not ours is a mistake.
    TCommandLine commandLine;
    QStringList appArgs = QApplication::arguments().mid(1);
    if (!TakeUnattendedOptions(appArgs, unattended, error) || !ParseCommandLine(appArgs, commandLine, false, error))
        return Fail(error);

    std::unique_ptr<TSimulator> simulator;
    std::unique_ptr<TReplayTool> replay;
    std::shared_ptr<HidBackend> backend;
    if (!commandLine.ReplayFile.isEmpty()) {
        auto recording = ReadRecording(commandLine.ReplayFile, error);
        if (!recording) {
            std::fprintf(stderr, "kt610b: %s\n", qPrintable(error));
            return 1;
        }
        replay = std::make_unique<TReplayTool>(std::move(*recording));
        backend = replay->Backend();
    } else if (commandLine.Sim.simulate) {
        simulator = std::make_unique<TSimulator>(commandLine.Sim);
        backend = simulator->Backend();
    } else {
        backend = std::make_shared<HidapiBackend>();
    }

    CreateForms(backend);
    QObject::connect(MainForm, &TMainForm::FormClosed, &app, &QApplication::quit, Qt::QueuedConnection);
    MainForm->show();
    // With the simulator, its own small window lets the user touch the simulated sensor; a replay has its
    // controls in one too.
    std::unique_ptr<QWidget> simulatorWindow;
    if (simulator || replay) {
        simulatorWindow.reset(simulator ? CreateSimulatorWindow(simulator.get()) : new TReplayWindow(replay.get()));
        simulatorWindow->adjustSize();
        const TSimulatorPlacement place = PlaceBeside(MainForm->frameGeometry(), simulatorWindow->frameGeometry().size(),
                                                      MainForm->screen()->availableGeometry());
        MainForm->move(place.Main);
        simulatorWindow->move(place.Simulator);
        simulatorWindow->show();
        MainForm->activateWindow();
    }
    StartUnattended(unattended);
    const int result = app.exec();
    if (unattended.ExitStats)
        PrintRunStatistics();
    simulatorWindow.reset();
    DestroyForms();
    simulator.reset();
    replay.reset();
    return result;
}
