#pragma once
// The whatif command: a recording evaluated against the thresholds and debounce given, without a tool.

#include "cli/CliOptions.h"

namespace CliWhatIf {
// Prints one line per event; the exit status.
int Run(const TCliOptions& options);
}
