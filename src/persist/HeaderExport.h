#pragma once
// The firmware header: the chip set-up as C #define lines, one register byte each, in register map order.

#include <QByteArray>
#include <QString>
#include <functional>

class TMainCore;

namespace HeaderExport {

// The whole file as the firmware project takes it, from the core's current values.
QByteArray HeaderText(const TMainCore& core);

// The "Export H File" menu item: refreshes the settings from the chip, asks for the file (empty: cancelled),
// writes it and reports in the message list.
void ExportHClick(TMainCore& core, const std::function<QString()>& askFileName);

} // namespace HeaderExport
