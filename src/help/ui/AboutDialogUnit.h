#pragma once
// The about window: the maker's logo, the program's name and version, the maker's web address.

#include <QDialog>
#include <functional>

class QLabel;
class QUrl;

// The maker's home page, shown and opened by the about window.
inline constexpr const char* MakerWebAddress = "www.korvane.com";

class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget* parent = nullptr);

    // Opens the maker's home page in the default web browser.
    void OpenSite();
    // Replaces the browser call, for tests.
    std::function<void(const QUrl&)> OpenUrl;

    QLabel* Image1;
    QLabel* InfoLabel;
    QLabel* SiteLabel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetSiteHighlighted(bool highlighted);
};
