#pragma once
// A small "Statistics" window beside the bar graph: the live statistics of the four channels and the way
// to the guided SNR measurement. The main window's own controls keep their places; this window sits next
// to them.

#include <QWidget>

class QPushButton;
class TMainCore;
class TSnrDialog;
class TStatisticsPanel;

class TStatisticsWindow : public QWidget {
    Q_OBJECT
public:
    TStatisticsWindow(TMainCore& core, QWidget* mainWindow);

    // Shows the window next to the main window's right edge (inside the screen), or raises it.
    void ShowBeside();
    void SnrButtonClick();

    TStatisticsPanel* Panel;
    QPushButton* SnrButton;
    TSnrDialog* SnrDialog() const { return FSnr; }

private:
    TMainCore& FCore;
    QWidget* FMainWindow;
    TSnrDialog* FSnr = nullptr;
    bool FPlaced = false;
};
