#pragma once
// The start-up chooser: a demonstration set-up, the default set-up, or cancel.

#include <QDialog>

class TStartupForm : public QDialog {
    Q_OBJECT
public:
    explicit TStartupForm(QWidget* parent = nullptr);
};
