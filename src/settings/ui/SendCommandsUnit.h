#pragma once
// The raw report window: every output report sent to the configuration tool, as hexadecimal bytes.

#include <QWidget>

class QListWidget;

class TSendCommands : public QWidget {
    Q_OBJECT
public:
    explicit TSendCommands(QWidget* parent = nullptr);

    // Appends one report line and selects it.
    void AddReportLine(const QString& line);

    QListWidget* ListBox1;
};
