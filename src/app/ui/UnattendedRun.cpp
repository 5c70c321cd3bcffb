#include "app/ui/UnattendedRun.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "hid/HidDevice.h"
#include "persist/DataLog.h"
#include "persist/ui/DataLogPage.h"
#include "settings/ui/SettingsUnit.h"
#include "toollink/KorvaneDevList.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

// Runs step every 50 ms until it returns true. The timer is stopped while step runs: a step that opens a
// modal dialog must not be run again from the dialog's event loop.
void Poll(const std::function<bool()>& step)
{
    auto* poll = new QTimer(MainForm);
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, MainForm, [poll, step] {
        poll->stop();
        if (step())
            poll->deleteLater();
        else
            poll->start();
    });
    poll->start();
}

// Once a tool is listed, start streaming with the default set-up, as a user would click it.
void AutoStart()
{
    Poll([] {
        if (!MainForm->StartButton->isEnabled())
            return false;
        // The start-up chooser may be shown modally: answer it with its default set-up button.
        Poll([] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
                    if (b->text().remove(QLatin1Char('&')) == QLatin1String("Default Device Setup")) {
                        b->click();
                        return true;
                    }
            }
            return MainForm->Core().FIsStreaming;
        });
        MainForm->StartButton->click();
        return true;
    });
}

// Once streaming, log every frame with every column, through the data-logging page as a user would.
void LogEveryFrame(const QString& fileName)
{
    Poll([fileName] {
        if (!MainForm->Core().FIsStreaming)
            return false;
        TDataLogPage& page = *SettingsForm->DataLog;
        page.LogCombo->setCurrentIndex(lmAllSamples);
        for (QCheckBox* box : {page.LogCountsCheck, page.LogLTACheck, page.LogDeltaCheck, page.LogProxCheck,
                               page.LogTouchCheck, page.LogWheelCheck, page.LogRelativeCheck})
            box->setChecked(true);
        for (QCheckBox* box : page.LogChChecks)
            box->setChecked(true);
        // Nobody is there to answer a box: errors go to standard error.
        page.ShowErrorBox = [](const QString& text) { std::fprintf(stderr, "kt610b: %s\n", qPrintable(text)); };
        page.AskLogFileName = [fileName] { return fileName; };
        page.LogDataButtonClick();
        return true;
    });
}

} // namespace

bool TakeUnattendedOptions(QStringList& args, TUnattendedRun& run, QString& error)
{
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--autostart")) {
            run.AutoStart = true;
        } else if (arg == QLatin1String("--show-scope")) {
            run.ShowScope = true;
        } else if (arg == QLatin1String("--exit-stats")) {
            run.ExitStats = true;
        } else if (arg == QLatin1String("--log-file")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                error = QStringLiteral("--log-file needs a file name");
                return false;
            }
            run.LogFile = args[++i];
        } else if (arg.startsWith(QLatin1String("--log-file="))) {
            run.LogFile = arg.mid(int(qstrlen("--log-file=")));
            if (run.LogFile.isEmpty()) {
                error = QStringLiteral("--log-file needs a file name");
                return false;
            }
        } else {
            rest.append(arg);
        }
    }
    args = rest;
    return true;
}

QString UnattendedHelp()
{
    return QStringLiteral("  --autostart                  once a tool is listed, press Start with the default set-up\n"
                          "  --show-scope                 show the scope window at start\n"
                          "  --log-file FILE              once streaming, log every frame to FILE (all columns)\n"
                          "  --exit-stats                 at exit, print frames decoded, data missed, reports dropped\n");
}

void StartUnattended(const TUnattendedRun& run)
{
    if (run.AutoStart)
        AutoStart();
    if (run.ShowScope)
        MainForm->ScopeButtonClick();
    if (!run.LogFile.isEmpty())
        LogEveryFrame(run.LogFile);
}

void PrintRunStatistics()
{
    const TMainCore& core = MainForm->Core();
    const THidDevice* device = core.KorvaneDevList1->HidDevices().NameObjects.value(0);
    std::printf("frames decoded %llu, data missed %llu, reports dropped %llu\n",
                (unsigned long long)core.FFramesDecoded, (unsigned long long)core.FDataMissedCount,
                (unsigned long long)(device ? device->DroppedReports() : 0));
    std::fflush(stdout);
}
