#pragma once
// The about window: the maker's logo, the program's name and version, the maker's web address.

#include <QDialog>

class QLabel;

// The maker's home page, shown and opened by the about window.
inline constexpr const char* MakerWebAddress = "www.korvane.com";

class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* InfoLabel;
    QLabel* SiteLabel;
};
