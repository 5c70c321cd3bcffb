#include "settings/ui/CommandLogModel.h"

#include "settings/SendCommandLog.h"

#include <algorithm>

TCommandLogModel::TCommandLogModel(const TSendCommandLog& log, QObject* parent) : QAbstractTableModel(parent), FLog(log)
{
    connect(&log, &TSendCommandLog::RowAdded, this, &TCommandLogModel::RowAdded);
    connect(&log, &TSendCommandLog::Cleared, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int TCommandLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(FLog.ListCount(), 1);
}

int TCommandLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TCommandLogModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole || index.row() >= FLog.ListCount())
        return QVariant();
    const QStringList& row = FLog.Row(index.row());
    return index.column() < row.size() ? row[index.column()] : QString();
}

QVariant TCommandLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0: return QStringLiteral("#");
    case 1: return QStringLiteral("Address");
    case 2: return QStringLiteral("Length");
    default: return QStringLiteral("Data%1").arg(section - 2);
    }
}

void TCommandLogModel::RowAdded(int index)
{
    // The first row takes the place of the empty one.
    if (index == 0) {
        emit dataChanged(this->index(0, 0), this->index(0, ColumnCount - 1));
        return;
    }
    beginInsertRows(QModelIndex(), index, index);
    endInsertRows();
}
