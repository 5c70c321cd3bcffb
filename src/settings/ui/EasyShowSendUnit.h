#pragma once
// The register table window: every register write of the settings groups.

#include <QWidget>

class TEasyShowSendForm : public QWidget {
    Q_OBJECT
public:
    explicit TEasyShowSendForm(QWidget* parent = nullptr);
};
