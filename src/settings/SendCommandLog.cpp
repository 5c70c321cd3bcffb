#include "settings/SendCommandLog.h"

#include "common/Hex.h"

void TSendCommandLog::AddCommand(uint8_t AddrLeng, uint16_t Addr, const TKvrByteArray& Data, int Length)
{
    const int count = Length & 0xFF;
    QStringList row;
    row.reserve(3 + count);
    row << QString::number(FRows.size() + 1);
    if (AddrLeng == 1)
        row << QStringLiteral("0x") + HexByte(uint8_t(Addr));
    else
        row << QStringLiteral("0x") + HexByte(uint8_t(Addr >> 8)) + HexByte(uint8_t(Addr));
    row << QString::number(count);
    for (int i = 1; i <= count; ++i)
        row << QStringLiteral("0x") + HexByte(Data[size_t(i)]);
    FRows.push_back(std::move(row));
    emit RowAdded(int(FRows.size()) - 1);
}

void TSendCommandLog::Clear()
{
    FRows.clear();
    emit Cleared();
}

QStringList TSendCommandLog::Newest(int back) const
{
    const int i = int(FRows.size()) - 1 - back;
    return i >= 0 ? FRows[size_t(i)] : QStringList();
}
