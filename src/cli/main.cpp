// kt610b-cli: the workbench's core on the command line, for test stations and CI rigs.
#include "cli/CliHeader.h"
#include "cli/CliOptions.h"
#include "cli/CliRunner.h"
#include "cli/CliSettings.h"
#include "cli/CliTerminal.h"
#include "cli/CliWhatIf.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kt610b-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KT610B_VERSION));

    const TCliParseResult parsed = ParseCommandLine(QCoreApplication::arguments().mid(1));
    const TCliOptions& options = parsed.Options;
    if (!parsed.Error.isEmpty()) {
        TCliTerminal::Err(QStringLiteral("error: ") + parsed.Error);
        TCliTerminal::Err(CliUsageLine());
        return CliExit::Usage;
    }
    if (options.Help) {
        TCliTerminal::Out(CliHelp().trimmed());
        return CliExit::Success;
    }
    if (options.ShowVersion) {
        TCliTerminal::Out(QStringLiteral("kt610b-cli %1").arg(QStringLiteral(KT610B_VERSION)));
        return CliExit::Success;
    }
    if (options.Command == TCliCommand::Errors) {
        for (uint16_t code : options.Codes)
            if (!TCliTerminal::Out(ErrorCodeText(code)))
                return CliExit::Failure;
        return CliExit::Success;
    }
    if (options.Command == TCliCommand::Diff && options.Offline())
        return CliSettings::DiffFiles(options);
    if (options.Command == TCliCommand::WhatIf)
        return CliWhatIf::Run(options);
    if (options.Command == TCliCommand::ExportHeader && options.Offline())
        return CliHeader::ExportFromFile(options);
    return TCliRunner(options).Run();
}
