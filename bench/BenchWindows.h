#pragma once
// The whole program's windows for a benchmark: the simulator behind them, the dialogs on the way answered
// as a user would, streaming started with the default set-up.

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "sim/Simulator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// The start-up chooser gets the default set-up, any other dialog (the first run's hints) is closed.
inline void AnswerDialogs()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
        if (b->text().remove(QLatin1Char('&')) == QLatin1String("Default Device Setup")) {
            b->click();
            return;
        }
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
}

class TBenchWindows {
public:
    // Call after the QApplication exists. The program's preferences go to a folder of the bench's own.
    TBenchWindows(const SimOptions& options, const QString& name)
    {
        qputenv("XDG_DATA_HOME", FData.path().toLocal8Bit());
        QApplication::setQuitOnLastWindowClosed(false);
        QObject::connect(&FDialogs, &QTimer::timeout, &AnswerDialogs);
        FDialogs.start(20);
        FSim = std::make_unique<TSimulator>(options);
        CreateForms(FSim->Backend(), QStringLiteral("%1-%2").arg(name).arg(QCoreApplication::applicationPid()));
        MainForm->show();
    }
    ~TBenchWindows()
    {
        MainForm->close();
        DestroyForms();
        FSim.reset();
    }
    TBenchWindows(const TBenchWindows&) = delete;
    TBenchWindows& operator=(const TBenchWindows&) = delete;

    static bool StartStreaming()
    {
        if (!PumpUntil([] { return MainForm->StartButton->isEnabled(); }))
            return false;
        MainForm->StartButton->click();
        return PumpUntil([] { return MainForm->Core().FIsStreaming; });
    }

private:
    QTemporaryDir FData;
    QTimer FDialogs;
    std::unique_ptr<TSimulator> FSim;
};
