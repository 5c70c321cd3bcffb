#pragma once
// The hints and tips window, shown at start-up when the user wants it and from the Help menu.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class THintTipsForm : public QDialog {
    Q_OBJECT
public:
    explicit THintTipsForm(QWidget* parent = nullptr);

    static constexpr int TipCount = 6;

    void NextButtonClick();
    void PreviousButtonClick();
    // Close and Esc: the check box decides whether the window opens at the next start.
    void CancelBtnClick();
    void reject() override;

    int FHintIndex = 1; // the tip on show, 1..6; kept for the whole run

    QPushButton* NextButton;
    QLabel* InfoLabel;
    QLabel* InfoLabel2;
    QPushButton* PreviousButton;
    QPushButton* CancelBtn;
    QLabel* Label1;
    QCheckBox* CheckBox1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowTip();
};
