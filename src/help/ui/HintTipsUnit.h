#pragma once
// The hints and tips window, shown at start-up when the user wants it and from the Help menu.

#include <QDialog>

class THintTipsForm : public QDialog {
    Q_OBJECT
public:
    explicit THintTipsForm(QWidget* parent = nullptr);
};
