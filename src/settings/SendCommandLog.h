#pragma once
// The register table of "Show Send Commands": one row per logged register write, kept whether or not the
// window is open. The window and the settings window's last-command rows show it.

#include "common/KvrTypes.h"

#include <QObject>
#include <QStringList>
#include <vector>

class TSendCommandLog : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // AddrLeng 1 shows the address in two hexadecimal digits, anything else in four. Data is the byte string
    // as sent (its first byte is the register address and is not shown again); Length (low 8 bits) counts
    // the data bytes after it.
    void AddCommand(uint8_t AddrLeng, uint16_t Addr, const TKvrByteArray& Data, int Length);
    void Clear();

    int ListCount() const { return int(FRows.size()); }
    // Cells of data row i (0-based, oldest first): "#", "Address", "Length", then one "0xHH" per data byte.
    const QStringList& Row(int i) const { return FRows.at(size_t(i)); }
    // The newest row, or an empty list when there is none.
    QStringList Newest(int back = 0) const;

signals:
    void RowAdded(int index);
    void Cleared();

private:
    std::vector<QStringList> FRows;
};
