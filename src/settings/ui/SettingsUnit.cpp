#include "settings/ui/SettingsUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSettingsForm::TSettingsForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    resize(820, 620);

    SetupNavButton = new QPushButton(QStringLiteral("Setup"), this);
    EngineeringNavButton = new QPushButton(QStringLiteral("Engineering"), this);
    EngineeringNavButton->hide();
    SetupPageHeader = new QLabel(this);
    PowerButton = new QPushButton(QStringLiteral("Power On"), this);

    auto* nav = new QVBoxLayout;
    nav->addWidget(SetupNavButton);
    nav->addWidget(EngineeringNavButton);
    nav->addStretch(1);
    auto* page = new QVBoxLayout;
    page->addWidget(SetupPageHeader);
    page->addWidget(PowerButton, 0, Qt::AlignLeft);
    page->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(nav);
    layout->addLayout(page, 1);

    connect(SetupNavButton, &QPushButton::clicked, this, [this] { SelectSetupPage(); });
    connect(EngineeringNavButton, &QPushButton::clicked, this, [this] { SelectEngineeringPage(); });
    SelectPage(SetupPageIndex);
}

void TSettingsForm::SelectPage(int index)
{
    FActivePage = index;
    const bool engineering = index == EngineeringPageIndex;
    SetupPageHeader->setText(engineering ? QStringLiteral("Engineering") : QStringLiteral("Setup"));
    PowerButton->setVisible(engineering);
}

void TSettingsForm::SetEngineeringVisible(bool visible)
{
    EngineeringNavButton->setVisible(visible);
}

bool TSettingsForm::IsEngineeringVisible() const
{
    return !EngineeringNavButton->isHidden();
}
