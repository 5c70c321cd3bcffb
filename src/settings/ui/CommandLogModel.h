#pragma once
// The rows of "Show Send Commands" as a table: "#", "Address", "Length", "Data1".."Data10". There is always
// at least one row; with an empty log it is empty.

#include <QAbstractTableModel>

class TSendCommandLog;

class TCommandLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 13;

    explicit TCommandLogModel(const TSendCommandLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void RowAdded(int index);

    const TSendCommandLog& FLog;
};
