#include "cli/CliSettings.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "cli/BoundedBackend.h"
#include "cli/CliRunner.h"
#include "persist/SettingsFile.h"

#include <QFileInfo>

namespace {

// The values the chip gives back on a read-all; the active channels are not among them.
bool ReadBack(const TSettingsEntry& e)
{
    return !e.Register.isEmpty() && e.Section != QLatin1String("Channels");
}

// One line per key whose values differ: key, register, A, B. The exit status.
int PrintDiff(const QList<TSettingsEntry>& a, const QList<TSettingsEntry>& b, bool chipOnly)
{
    int differences = 0;
    for (qsizetype i = 0; i < a.size() && i < b.size(); ++i) {
        if ((chipOnly && !ReadBack(a[i])) || a[i].Value == b[i].Value)
            continue;
        ++differences;
        const QString line = QStringList{a[i].Section + QLatin1Char('/') + a[i].Key,
                                         a[i].Register.isEmpty() ? QStringLiteral("-") : a[i].Register,
                                         QString::number(a[i].Value), QString::number(b[i].Value)}
                                 .join(QLatin1Char('\t'));
        if (!TCliTerminal::Out(line))
            return CliExit::Failure;
    }
    TCliTerminal::Err(differences == 0 ? QStringLiteral("info: No differences")
                                       : QStringLiteral("info: %1 keys differ").arg(differences));
    return differences == 0 ? CliExit::Success : CliExit::Failure;
}

bool ReadFile(const QString& fileName, QList<TSettingsEntry>& entries)
{
    QString error;
    if (TSettingsFile::ReadEntries(fileName, entries, error))
        return true;
    TCliTerminal::Err(QStringLiteral("error: ") + error);
    return false;
}

// The read-all of the main menu after the start road; false with the error reported.
bool StartAndReadAll(TCliRunner& runner)
{
    if (!runner.StartSession())
        return false;
    const int errors = runner.Terminal().ErrorCount();
    runner.Waits().SetDeadline(TCliRunner::RoadDeadlineMs);
    runner.Core().Session->ReadAllClick();
    runner.Waits().ClearDeadline();
    return runner.Terminal().ErrorCount() == errors;
}

} // namespace

int CliSettings::Save(TCliRunner& runner, const TCliOptions& options)
{
    if (!StartAndReadAll(runner))
        return CliExit::Failure;
    return runner.Files().SaveSettings(options.File) ? CliExit::Success : CliExit::Failure;
}

int CliSettings::Load(TCliRunner& runner, const TCliOptions& options)
{
    TMainCore& core = runner.Core();
    TCliTerminal& terminal = runner.Terminal();
    // "Apply Settings" is offered once frames arrive.
    if (!runner.StartSession() || !runner.WaitForFrame())
        return CliExit::Failure;

    const qsizetype first = terminal.Items().size();
    const int errors = terminal.ErrorCount();
    core.FSettingsFile = QFileInfo(options.File).absoluteFilePath();
    runner.Waits().SetDeadline(TCliRunner::RoadDeadlineMs);
    runner.Files().LoadCustomSettings();
    bool ok = runner.WaitUntil([&core] { return core.FIsStreaming && !core.FRegBusy; }, TCliRunner::RoadDeadlineMs,
                               QStringLiteral("Device streaming did not resume after the load"));
    runner.Waits().ClearDeadline();
    // The tuning run the load started: a frame after the restart tells whether it still runs.
    if (ok && terminal.ErrorCount() == errors) {
        const quint64 frames = terminal.FrameCount();
        ok = runner.WaitUntil([&] { return terminal.FrameCount() > frames && !core.FATIBusy && !core.FRegBusy; },
                              TCliRunner::FrameWaitMs,
                              QStringLiteral("The automatic tuning did not end within %1 s")
                                  .arg(TCliRunner::FrameWaitMs / 1000));
    }
    for (qsizetype i = first; i < terminal.Items().size(); ++i)
        if (!TCliTerminal::Out(terminal.Items()[i].Text))
            return CliExit::Failure;
    return ok && terminal.ErrorCount() == errors ? CliExit::Success : CliExit::Failure;
}

int CliSettings::DiffWithChip(TCliRunner& runner, const TCliOptions& options)
{
    QList<TSettingsEntry> file;
    if (!ReadFile(options.FileA, file) || !StartAndReadAll(runner))
        return CliExit::Failure;
    return PrintDiff(file, runner.Files().CurrentEntries(), true);
}

int CliSettings::DiffFiles(const TCliOptions& options)
{
    QList<TSettingsEntry> a, b;
    if (!ReadFile(options.FileA, a) || !ReadFile(options.FileB, b))
        return CliExit::Failure;
    return PrintDiff(a, b, false);
}
