#pragma once
// The settings record: the one working copy of every writable chip field, named after its control.

struct TSettingsRecord {
};
