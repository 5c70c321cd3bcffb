#pragma once
// The configuration tool setup window: the connected tools, the one the program uses, and the verdict on
// its firmware that the main window acts on.

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TCtSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TCtSetupForm(QWidget* parent = nullptr);

    // Lists the tools, checks the current one and judges it.
    void UpdateList();
    void ClearList();
    // The engineering chord while this window is visible.
    void ToggleCustomUpdateButton();

    int FCheckedItem = 0;   // row of the tool the program uses
    int FSelectedItem = 0;  // row whose details are shown
    bool FOutdated = false; // the checked tool's firmware is below the minimum
    bool UpdatePref = false; // an update is recommended for the tool shown last
    bool Engineering = false;

    QListWidget* DevList;
    QLabel* NameLabel;
    QPushButton* UpdateCustomButton;
    QPushButton* CloseButton;
};
