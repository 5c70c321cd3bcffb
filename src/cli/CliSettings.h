#pragma once
// The settings-file commands: save-settings, load-settings and diff, on the same loader and saver as the
// settings window.

#include "cli/CliOptions.h"

class TCliRunner;

namespace CliSettings {

// Reads every setting from the chip, as the main menu's read-all does, and saves them to the file.
int Save(TCliRunner& runner, const TCliOptions& options);
// "Apply Settings" with the file once streaming runs; waits for the tuning run it starts, then prints the
// items of the load.
int Load(TCliRunner& runner, const TCliOptions& options);
// The file against the chip's registers after a read-all.
int DiffWithChip(TCliRunner& runner, const TCliOptions& options);
// Two files, key by key; no tool needed.
int DiffFiles(const TCliOptions& options);

} // namespace CliSettings
