#include "app/ui/CommandLine.h"

bool ParseCommandLine(const QStringList& args, TCommandLine& commandLine, bool ignoreUnknown, QString& error)
{
    error.clear();
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            commandLine.Help = true;
        } else if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            commandLine.Version = true;
        } else if (arg == QLatin1String("--send-message")) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("--send-message needs a text");
                return false;
            }
            commandLine.SendMessage = true;
            commandLine.Message = next;
            ++i;
        } else if (arg.startsWith(QLatin1String("--send-message="))) {
            commandLine.SendMessage = true;
            commandLine.Message = arg.mid(int(qstrlen("--send-message=")));
        } else if (arg == QLatin1String("--replay") || arg.startsWith(QLatin1String("--replay="))) {
            const bool inline_ = arg.contains(u'=');
            if (!inline_ && i + 1 >= args.size()) {
                error = QStringLiteral("--replay needs a file");
                return false;
            }
            commandLine.ReplayFile = inline_ ? arg.mid(int(qstrlen("--replay="))) : next;
            i += inline_ ? 0 : 1;
        } else {
            bool consumedNext = false;
            if (ParseSimulatorArgument(arg, next, commandLine.Sim, consumedNext, error)) {
                if (!error.isEmpty())
                    return false;
                if (consumedNext)
                    ++i;
            } else if (!ignoreUnknown || arg.startsWith(QLatin1String("--"))) {
                // The toolkit's own options take one dash: two dashes can only be meant for us.
                error = QStringLiteral("unknown argument: %1").arg(arg);
                return false;
            }
        }
    }
    if (!commandLine.ReplayFile.isEmpty() && commandLine.Sim.simulate) {
        error = QStringLiteral("--replay and --simulate cannot be combined");
        return false;
    }
    return true;
}

QString CommandLineHelp()
{
    return QStringLiteral(
               "Usage: kt610b [OPTION]...\n"
               "Debug, tuning and live display of the KT610B through its configuration tool.\n"
               "\n"
               "  -h, --help                   show this help and exit\n"
               "  -v, --version                show the version and exit\n"
               "  --send-message TEXT          send TEXT to the running program and print its answer:\n"
               "                               1 (\"Status\": it runs), 2 (\"Close\": it closes), 0 (other);\n"
               "                               exit status 1 when no instance runs\n"
               "  --replay FILE                play a frame recording (.ktrec) or a data log back as the tool\n"
               "\n") +
           SimulatorOptionsHelp();
}
