#pragma once
// The register table window: every register write of the settings groups, as address, length and data
// bytes. The rows live in the core's command log and stay while the window is hidden.

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;
class TCommandLogModel;
class TMainCore;
class TSendCommandLog;

class TEasyShowSendForm : public QWidget {
    Q_OBJECT
public:
    // Over the main window's core.
    explicit TEasyShowSendForm(QWidget* parent = nullptr);
    explicit TEasyShowSendForm(TMainCore& core, QWidget* parent = nullptr);

    // Data rows logged (the grid shows at least one, empty, row).
    int ListCount() const;

    void ClearButtonClick();
    void CloseButtonClick();

    QLabel* Label1;
    QTableView* StringGrid1;
    QPushButton* ClearButton;
    QPushButton* CloseButton;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void SelectLastRow();

    TMainCore* FCore;
    TSendCommandLog* FLog;
    TCommandLogModel* FModel;
};
