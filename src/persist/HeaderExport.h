#pragma once
// The firmware header: the chip set-up as C #define lines, one register byte each, in register map order.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

class TMainCore;
struct TSettingsRecord;

namespace HeaderExport {

// The whole file as the firmware project takes it, from the core's current values.
QByteArray HeaderText(const TMainCore& core);

// The settings bits of the system flags byte (projected mode, global filter halt) as the record chooses them,
// for a header made without a chip to stream them.
uint8_t SystemFlagsOf(const TSettingsRecord& settings);

// The "Export H File" menu item: refreshes the settings from the chip, asks for the file (empty: cancelled),
// writes it and reports in the message list.
void ExportHClick(TMainCore& core, const std::function<QString()>& askFileName);

} // namespace HeaderExport
