#pragma once
// The export-header command: the firmware header of the chip's set-up, or of a settings file without a tool.

#include "cli/CliOptions.h"

class TCliRunner;

namespace CliHeader {

// The "Export H File" menu item once frames arrive (its read-all included), to the -o file.
int Export(TCliRunner& runner, const TCliOptions& options);
// The values of the --settings file; the system flags byte composed from its projected and filter-halt keys.
int ExportFromFile(const TCliOptions& options);

} // namespace CliHeader
