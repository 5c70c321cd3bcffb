#include "cli/CliHeader.h"

#include "app/MainCore.h"
#include "cli/BoundedBackend.h"
#include "cli/CliRunner.h"
#include "hid/VirtualHidBackend.h"
#include "persist/AtomicFile.h"
#include "persist/HeaderExport.h"
#include "persist/SettingsFile.h"

int CliHeader::Export(TCliRunner& runner, const TCliOptions& options)
{
    // The system flags and events bytes are those of the most recent frame.
    if (!runner.StartSession() || !runner.WaitForFrame())
        return CliExit::Failure;
    const int errors = runner.Terminal().ErrorCount();
    runner.Waits().SetDeadline(TCliRunner::RoadDeadlineMs);
    HeaderExport::ExportHClick(runner.Core(), [&options] { return options.File; });
    runner.Waits().ClearDeadline();
    return runner.Terminal().ErrorCount() == errors ? CliExit::Success : CliExit::Failure;
}

int CliHeader::ExportFromFile(const TCliOptions& options)
{
    TCliTerminal terminal;
    // No tool is looked for: a backend without devices.
    TMainCore core(std::make_shared<VirtualHidBackend>(), &terminal, &terminal);
    TSettingsFile files(core);
    if (!files.FillFromFile(options.SettingsFile))
        return CliExit::Failure;
    core.FSysFlags = HeaderExport::SystemFlagsOf(core.Settings);
    if (!AtomicFile::Write(options.File, HeaderExport::HeaderText(core))) {
        core.KvrAddItem(QStringLiteral("Error while trying to export H file!"), TKvrItemType::aError);
        return CliExit::Failure;
    }
    core.KvrAddItem(QStringLiteral("H file exported successfully"), TKvrItemType::aInfo);
    return CliExit::Success;
}
