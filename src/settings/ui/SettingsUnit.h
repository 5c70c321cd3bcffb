#pragma once
// The settings window: a navigation column selects one page at a time.

#include <QWidget>

class QLabel;
class QPushButton;

class TSettingsForm : public QWidget {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);

    // Page indices (the navigation buttons' pages).
    static constexpr int SetupPageIndex = 0;
    static constexpr int Prox1PageIndex = 2;
    static constexpr int EngineeringPageIndex = 9;

    int ActivePage() const { return FActivePage; }
    void SelectPage(int index);

    // Engineering mode shows the "Engineering" navigation button.
    void SetEngineeringVisible(bool visible);
    bool IsEngineeringVisible() const;
    void SelectEngineeringPage() { SelectPage(EngineeringPageIndex); }
    void SelectSetupPage() { SelectPage(SetupPageIndex); }
    bool IsEngineeringPageCurrent() const { return FActivePage == EngineeringPageIndex; }

    QPushButton* SetupNavButton;
    QPushButton* EngineeringNavButton;
    QLabel* SetupPageHeader;
    QPushButton* PowerButton; // "Power On" / "Power Off", on the engineering page

private:
    int FActivePage = SetupPageIndex;
};
