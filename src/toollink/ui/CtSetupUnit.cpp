#include "toollink/ui/CtSetupUnit.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TCtSetupForm::TCtSetupForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("CtSetupForm"));
    setWindowTitle(QStringLiteral("Configuration Tool Setup"));
    setFixedSize(368, 420);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xCE, 0xCE, 0xCE));
    setPalette(pal);

    DevList = new QListWidget(this);
    NameLabel = new QLabel(QStringLiteral("N/A"), this);
    QFont name = NameLabel->font();
    name.setBold(true);
    name.setPixelSize(16);
    NameLabel->setFont(name);
    NameLabel->setAlignment(Qt::AlignCenter);
    NameLabel->setWordWrap(true);
    UpdateCustomButton = new QPushButton(QStringLiteral("Load custom firmware file..."), this);
    UpdateCustomButton->hide();
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DevList, 1);
    layout->addWidget(NameLabel);
    layout->addWidget(UpdateCustomButton);
    layout->addWidget(CloseButton, 0, Qt::AlignRight);
}

void TCtSetupForm::UpdateList()
{
    TMainCore& core = MainForm->Core();
    DevList->clear();
    for (const QString& name : core.KorvaneDevList1->HidDevices().Name) {
        auto* row = new QListWidgetItem(name, DevList);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    FCheckedItem = FSelectedItem = core.KorvaneHidTool1->CurrentDeviceIndex;
    QListWidgetItem* checked = DevList->item(FCheckedItem);
    if (!checked)
        return;
    checked->setCheckState(Qt::Checked);
    DevList->setCurrentItem(checked);
    NameLabel->setText(checked->text());

    // Until the firmware check is in place every tool counts as up to date.
    FOutdated = false;
    UpdatePref = false;
    MainForm->SetStartEnabled(true);
    MainForm->SetPauseEnabled(core.FIsStreaming);
    MainForm->SetCtLabel(checked->text(), 0x008000, true, false);
    MainForm->SetCtLabelHint(QString());
    MainForm->SetCtPanelColour(0xF0F0F0);
}

void TCtSetupForm::ClearList()
{
    DevList->clear();
    NameLabel->setText(QStringLiteral("N/A"));
}

void TCtSetupForm::ToggleCustomUpdateButton()
{
    UpdateCustomButton->setVisible(UpdateCustomButton->isHidden());
}
