#pragma once
// Runs kt610b-cli as a process and splits what it printed.

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <csignal>

struct CliRun {
    int ExitCode = -1;
    bool Finished = false;
    qint64 ElapsedMs = 0;
    QStringList Out; // lines of standard output
    QStringList Err; // lines of standard error

    // Raw report lines of --trace.
    QStringList Reports() const
    {
        static const QRegularExpression report(QStringLiteral("^([0-9A-F]{2} ){37}$"));
        QStringList lines;
        for (const QString& line : Err)
            if (report.match(line).hasMatch())
                lines << line;
        return lines;
    }
    // The command byte of each traced report.
    QStringList Commands() const
    {
        QStringList codes;
        for (const QString& line : Reports())
            codes << line.mid(6, 2);
        return codes;
    }
    bool ErrHas(const QString& line) const { return Err.contains(line); }
};

inline QString CliBinary()
{
    return QStringLiteral(KT610B_BINARY_DIR "/kt610b-cli");
}

inline QStringList Lines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Starts the program; after signalAfterLines lines of standard output (0: never) it is sent signalNumber.
inline CliRun RunCli(const QStringList& args, int timeoutMs = 20000, int signalAfterLines = 0,
                     int signalNumber = SIGINT)
{
    CliRun run;
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(CliBinary(), args);
    if (!process.waitForStarted(5000))
        return run;
    QByteArray out;
    bool signalled = false;
    while (process.state() != QProcess::NotRunning && clock.elapsed() < timeoutMs) {
        process.waitForReadyRead(50);
        out += process.readAllStandardOutput();
        if (signalAfterLines > 0 && !signalled && out.count('\n') >= signalAfterLines) {
            ::kill(pid_t(process.processId()), signalNumber);
            signalled = true;
        }
    }
    run.Finished = process.state() == QProcess::NotRunning || process.waitForFinished(100);
    if (!run.Finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    run.ElapsedMs = clock.elapsed();
    out += process.readAllStandardOutput();
    run.ExitCode = run.Finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = Lines(out);
    run.Err = Lines(process.readAllStandardError());
    return run;
}
