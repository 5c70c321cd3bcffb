#pragma once
// The configuration tool setup window: the connected tools, the one the program uses, its firmware and the
// verdict on it that the main window acts on, and the firmware updates.

#include "app/CtSetup.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

class TCtSetupForm : public QDialog, public ICtSetupView, public TCtSetup {
    Q_OBJECT
public:
    explicit TCtSetupForm(QWidget* parent = nullptr);

    void ClearList();
    // The engineering chord while this window is visible.
    void ToggleCustomUpdateButton();

    // ICtSetupView.
    void ShowRows(const QStringList& names, int checked) override;
    void ShowDetails(const TToolDetails& details) override;
    void ShowVerdict(const TFirmwareVerdict& verdict) override;
    bool AskYesNo(const QString& question) override;
    void ShowWarning(const QString& text) override;
    void ShowError(const QString& text) override;

    void UpdateCustomButtonClick();
    // Every way of closing ends here: one tool stays checked and current.
    void done(int result) override;

    QListWidget* DevList;
    QFrame* Panel1;
    QLabel* NameLabel;
    QLineEdit* FWVersionEdit;
    QLineEdit* BuildEdit;
    QLineEdit* ReleaseEdit;
    QLineEdit* SerialEdit;
    QSpinBox* CTIDSpin;
    QFrame* Panel2;
    QFrame* FirmstatusPanel;
    QLabel* FirmStatusLabel;
    QPushButton* UpdateButton;
    QLabel* PrefFirmLabel;
    QLabel* StabFirmLabel;
    QPushButton* RevertButton;
    QPushButton* UpdateCustomButton;
    QPushButton* CloseButton;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void DevListClick();
    void DevListClickCheck(QListWidgetItem* item);
    int FirstSelectedRow() const;

    bool FFilling = false; // the program itself fills the controls
};
