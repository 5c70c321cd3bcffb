#include "toollink/ui/CtSetupUnit.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QColor Rgb(uint32_t colour)
{
    return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void SetColours(QWidget* w, QPalette::ColorRole role, uint32_t colour)
{
    QPalette pal = w->palette();
    pal.setColor(role, Rgb(colour));
    w->setPalette(pal);
}

QLabel* BoldLabel(const QString& text, int pixelSize, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    if (pixelSize > 0)
        f.setPixelSize(pixelSize);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLineEdit* ReadOnlyEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QFrame* Panel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

} // namespace

TCtSetupForm::TCtSetupForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), TCtSetup(MainForm->Core(), *this)
{
    setObjectName(QStringLiteral("CtSetupForm"));
    setWindowTitle(QStringLiteral("Configuration Tool Setup"));
    setFixedSize(368, 420);
    setAutoFillBackground(true);
    SetColours(this, QPalette::Window, 0xCECECE);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    DevList = new QListWidget(this);
    DevList->setObjectName(QStringLiteral("DevList"));

    Panel1 = Panel(this);
    NameLabel = BoldLabel(QStringLiteral("N/A"), 16, Panel1);
    NameLabel->setWordWrap(true);
    FWVersionEdit = ReadOnlyEdit(Panel1);
    BuildEdit = ReadOnlyEdit(Panel1);
    ReleaseEdit = ReadOnlyEdit(Panel1);
    SerialEdit = ReadOnlyEdit(Panel1);
    CTIDSpin = new QSpinBox(Panel1);
    CTIDSpin->setRange(0, 15);
    CTIDSpin->setAlignment(Qt::AlignRight);
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Firmware Version :"), Panel1), 0, 0);
    fields->addWidget(FWVersionEdit, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Build :"), Panel1), 0, 2);
    fields->addWidget(BuildEdit, 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("Release :"), Panel1), 1, 0);
    fields->addWidget(ReleaseEdit, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("ID :"), Panel1), 1, 2);
    fields->addWidget(CTIDSpin, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("Serial :"), Panel1), 2, 0);
    fields->addWidget(SerialEdit, 2, 1, 1, 3);
    fields->setColumnStretch(1, 2);
    fields->setColumnStretch(3, 1);
    auto* panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->addWidget(NameLabel);
    panel1Layout->addLayout(fields);

    Panel2 = Panel(this);
    FirmstatusPanel = new QFrame(Panel2);
    FirmstatusPanel->setAutoFillBackground(true);
    FirmStatusLabel = BoldLabel(QString(), 16, FirmstatusPanel);
    auto* statusLayout = new QVBoxLayout(FirmstatusPanel);
    statusLayout->addWidget(FirmStatusLabel);
    UpdateButton = new QPushButton(QStringLiteral("Update to latest version"), Panel2);
    QFont bold = UpdateButton->font();
    bold.setBold(true);
    UpdateButton->setFont(bold);
    PrefFirmLabel = new QLabel(Panel2);
    PrefFirmLabel->setAlignment(Qt::AlignCenter);
    StabFirmLabel = new QLabel(Panel2);
    StabFirmLabel->setAlignment(Qt::AlignCenter);
    StabFirmLabel->hide();
    RevertButton = new QPushButton(QStringLiteral("Update to Stable release"), Panel2);
    RevertButton->hide();
    UpdateCustomButton = new QPushButton(QStringLiteral("Load custom firmware file..."), Panel2);
    UpdateCustomButton->hide();
    auto* panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 6);
    panel2Layout->addWidget(FirmstatusPanel);
    for (QWidget* w : std::initializer_list<QWidget*>{UpdateButton, PrefFirmLabel, StabFirmLabel, RevertButton,
                                                      UpdateCustomButton})
        panel2Layout->addWidget(w, 0, Qt::AlignHCenter);
    Panel2->hide();

    CloseButton = new QPushButton(QStringLiteral("Close"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DevList, 1);
    layout->addWidget(Panel1);
    layout->addWidget(Panel2);
    layout->addStretch();
    layout->addWidget(CloseButton, 0, Qt::AlignRight);

    connect(DevList, &QListWidget::itemClicked, this, &TCtSetupForm::DevListClick);
    connect(DevList, &QListWidget::itemChanged, this, &TCtSetupForm::DevListClickCheck);
    connect(CTIDSpin, &QSpinBox::valueChanged, this, [this](int id) {
        if (!FFilling)
            MainForm->Core().KorvaneHidTool1->SetCTID(uint8_t(id)); // the result is not shown
    });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(UpdateButton, &QPushButton::clicked, this, [this] { UpdateButtonClick(); });
    connect(RevertButton, &QPushButton::clicked, this, [this] { RevertButtonClick(); });
    connect(UpdateCustomButton, &QPushButton::clicked, this, &TCtSetupForm::UpdateCustomButtonClick);
}

void TCtSetupForm::ShowRows(const QStringList& names, int checked)
{
    FFilling = true;
    DevList->clear();
    for (const QString& name : names) {
        auto* row = new QListWidgetItem(name, DevList);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    if (QListWidgetItem* row = DevList->item(checked)) {
        row->setCheckState(Qt::Checked);
        DevList->setCurrentItem(row);
    }
    FFilling = false;
}

void TCtSetupForm::ClearList()
{
    FFilling = true;
    DevList->clear();
    FFilling = false;
    for (QLineEdit* edit : {FWVersionEdit, BuildEdit, ReleaseEdit, SerialEdit})
        edit->clear();
    NameLabel->setText(QStringLiteral("N/A"));
    Panel2->hide();
}

void TCtSetupForm::ShowDetails(const TToolDetails& details)
{
    FFilling = true;
    NameLabel->setText(details.Name);
    FWVersionEdit->setText(details.FWVersion);
    BuildEdit->setText(details.Build);
    ReleaseEdit->setText(details.Release);
    SerialEdit->setText(details.Serial);
    CTIDSpin->setValue(details.CTID);
    FFilling = false;
}

void TCtSetupForm::ShowVerdict(const TFirmwareVerdict& verdict)
{
    FirmStatusLabel->setText(verdict.StatusText());
    SetColours(FirmStatusLabel, QPalette::WindowText, verdict.StatusColour());
    SetColours(FirmstatusPanel, QPalette::Window, verdict.PanelColour());
    UpdateButton->setEnabled(verdict.UpdateEnabled);
    if (verdict.StabFirm)
        StabFirmLabel->setText(*verdict.StabFirm);
    if (verdict.PrefFirm)
        PrefFirmLabel->setText(*verdict.PrefFirm);
    Panel2->show();
}

bool TCtSetupForm::AskYesNo(const QString& question)
{
    return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void TCtSetupForm::ShowWarning(const QString& text)
{
    QMessageBox::warning(this, windowTitle(), text);
}

void TCtSetupForm::ShowError(const QString& text)
{
    QMessageBox::critical(this, windowTitle(), text);
}

void TCtSetupForm::ToggleCustomUpdateButton()
{
    UpdateCustomButton->setVisible(UpdateCustomButton->isHidden());
}

void TCtSetupForm::UpdateCustomButtonClick()
{
    if (UpdateBusy())
        return;
    const QString file =
        QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("DFU Files (*.dfu)"));
    if (!file.isEmpty())
        UpdateCustom(file);
}

int TCtSetupForm::FirstSelectedRow() const
{
    for (int row = 0; row < DevList->count(); ++row)
        if (DevList->item(row)->isSelected())
            return row;
    return -1;
}

void TCtSetupForm::DevListClick()
{
    const int row = FirstSelectedRow();
    if (row < 0)
        return;
    FSelectedItem = row;
    UpdateDetails(row);
}

void TCtSetupForm::DevListClickCheck(QListWidgetItem* item)
{
    if (FFilling)
        return;
    // The check boxes act as a single choice: the clicked row is the tool the program uses.
    FFilling = true;
    DevList->setCurrentItem(item);
    for (int row = 0; row < DevList->count(); ++row) {
        QListWidgetItem* other = DevList->item(row);
        if (other == item)
            CheckRow(row);
        else
            other->setCheckState(Qt::Unchecked);
    }
    FFilling = false;
}

void TCtSetupForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const int row = FirstSelectedRow();
    if (row >= 0)
        UpdateDetails(row);
}

void TCtSetupForm::closeEvent(QCloseEvent* event)
{
    if (MainForm->Core().FUpdating &&
        QMessageBox::question(this, windowTitle(),
                              TCtSetup::BusyText +
                                  QStringLiteral("\n\nIf something when wrong during the update click 'Cancel' to "
                                                 "close this window."),
                              QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Cancel) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TCtSetupForm::done(int result)
{
    // Whatever the user did with the check boxes, one tool stays checked and in use.
    bool anyChecked = false;
    for (int row = 0; row < DevList->count(); ++row)
        anyChecked = anyChecked || DevList->item(row)->checkState() == Qt::Checked;
    if (QListWidgetItem* row = DevList->item(FCheckedItem); row && !anyChecked) {
        FFilling = true;
        row->setCheckState(Qt::Checked);
        FFilling = false;
    }
    FormClose();
    QDialog::done(result);
}
