#pragma once
// The scope window: counts and averages plotted over time.

#include <QWidget>

class QTimer;

class TScopeForm : public QWidget {
    Q_OBJECT
public:
    explicit TScopeForm(QWidget* parent = nullptr);

    // Refreshes the plot every 100 ms while points arrive.
    QTimer* UpdateTimer;
};
