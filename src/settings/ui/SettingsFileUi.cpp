// The settings window's "Save / Load Settings" group: the settings file, loading it on start-up, applying it
// now, and saving the set-up.
#include "settings/ui/SettingsUnit.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "persist/SettingsFile.h"
#include "persist/ui/StartupUnit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// The read-only file name box opens the file selection when clicked.
class TClickEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QLineEdit::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && OnClick)
            OnClick();
    }
};

const QString IniExtension = QStringLiteral("ini");

} // namespace

void TSettingsForm::CreateSaveLoadGroup()
{
    auto* edit = new TClickEdit(SaveLoadGroup);
    edit->OnClick = [this] { SettingsFileButtonClick(); };
    SettingsFileEdit = edit;
    SettingsFileEdit->setObjectName(QStringLiteral("SettingsFileEdit"));
    SettingsFileEdit->setReadOnly(true);
    SettingsFileButton = Button(QStringLiteral("SettingsFileButton"), QStringLiteral("..."));
    SettingsFileButton->setToolTip(QStringLiteral("Select settings file"));
    SettingsFileButton->setFixedWidth(30);
    LoadSettingsCheck = new QCheckBox(QStringLiteral("Load settings on start up"), SaveLoadGroup);
    LoadSettingsCheck->setObjectName(QStringLiteral("LoadSettingsCheck"));
    SaveSettingsButton = Button(QStringLiteral("SaveSettingsButton"), QStringLiteral("Save Settings"));
    LoadSettingsButton = Button(QStringLiteral("LoadSettingsButton"), QStringLiteral("Apply Settings"));
    LoadSettingsButton->setEnabled(FLoadSettingsEnabled);

    auto* grid = new QGridLayout(SaveLoadGroup);
    grid->addWidget(SettingsFileEdit, 0, 0, 1, 2);
    grid->addWidget(SettingsFileButton, 0, 2);
    grid->addWidget(LoadSettingsCheck, 1, 0, 1, 3);
    grid->addWidget(SaveSettingsButton, 2, 0);
    grid->addWidget(LoadSettingsButton, 2, 1, 1, 2);
    grid->setRowStretch(3, 1);

    connect(SettingsFileButton, &QPushButton::clicked, this, [this] { SettingsFileButtonClick(); });
    connect(LoadSettingsCheck, &QCheckBox::clicked, this, [this](bool checked) { LoadSettingsCheckClick(checked); });
    connect(SaveSettingsButton, &QPushButton::clicked, this, [this] { SaveSettingsButtonClick(); });
    connect(LoadSettingsButton, &QPushButton::clicked, this, [this] { LoadSettingsButtonClick(); });
    FFills.push_back([this] {
        SettingsFileEdit->setText(Settings().SettingsFileEdit);
        const QSignalBlocker quiet(LoadSettingsCheck);
        LoadSettingsCheck->setChecked(Settings().LoadSettingsCheck);
        SetLoadSettingsCaptionBold(Settings().LoadSettingsCheck && !FCore.FSettingsFile.isEmpty());
    });

    AskOpenSettingsFile = [this] {
        QFileDialog dialog(this);
        dialog.setObjectName(QStringLiteral("OpenSettingsDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QStringLiteral("IniFiles (*.ini)"));
        dialog.setDefaultSuffix(IniExtension);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    AskSaveSettingsFile = [this](const QString& initial) {
        QFileDialog dialog(this);
        dialog.setObjectName(QStringLiteral("SaveSettingsDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("Ini Files (*.ini)"));
        dialog.setDefaultSuffix(IniExtension);
        if (!initial.isEmpty())
            dialog.selectFile(initial);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    AskUpdateBeforeSave = [this](const QString& text) {
        QMessageBox box(QMessageBox::Question, windowTitle(), text, QMessageBox::Yes | QMessageBox::No, this);
        const int answer = box.exec();
        return answer == QMessageBox::Yes ? 1 : answer == QMessageBox::No ? 0 : -1;
    };
}

TSettingsFile& TSettingsForm::SettingsFileOps()
{
    if (MainForm && &MainForm->Core() == &FCore && MainForm->SettingsFile)
        return *MainForm->SettingsFile;
    if (!FOwnSettingsFile)
        FOwnSettingsFile = std::make_unique<TSettingsFile>(FCore);
    return *FOwnSettingsFile;
}

void TSettingsForm::SetLoadSettingsCaptionBold(bool bold)
{
    QFont f = LoadSettingsCheck->font();
    f.setBold(bold);
    LoadSettingsCheck->setFont(f);
}

void TSettingsForm::BringToFront()
{
    if (!isVisible())
        return;
    raise();
    activateWindow();
}

void TSettingsForm::SettingsFileButtonClick()
{
    const QString fileName = AskOpenSettingsFile ? AskOpenSettingsFile() : QString();
    if (!fileName.isEmpty()) {
        FCore.FSettingsFile = QFileInfo(fileName).absoluteFilePath();
        Settings().SettingsFileEdit = QFileInfo(fileName).fileName();
        SettingsFileEdit->setText(Settings().SettingsFileEdit);
        if (FCore.FIsStreaming)
            FCore.Session->SetLoadSettingsButtonEnabled(true);
        Settings().LoadSettingsCheck = true;
        const QSignalBlocker quiet(LoadSettingsCheck);
        LoadSettingsCheck->setChecked(true);
        SetLoadSettingsCaptionBold(true);
        if (StartupForm)
            StartupForm->FileLabel->show();
    } else if (FCore.FSettingsFile.isEmpty()) {
        {
            const QSignalBlocker quiet(LoadSettingsCheck);
            LoadSettingsCheck->setChecked(false);
        }
        LoadSettingsCheckClick(false);
    }
    BringToFront();
}

void TSettingsForm::LoadSettingsCheckClick(bool checked)
{
    Settings().LoadSettingsCheck = checked;
    if (checked) {
        if (StartupForm)
            StartupForm->FileLabel->show();
        if (!FCore.FSettingsFile.isEmpty())
            SetLoadSettingsCaptionBold(true);
        else
            SettingsFileButtonClick();
        return;
    }
    SetLoadSettingsCaptionBold(false);
    if (StartupForm)
        StartupForm->FileLabel->hide();
}

void TSettingsForm::LoadSettingsButtonClick()
{
    ChangeLabel->hide();
    ErrorLabel->hide();
    SettingsFileOps().LoadCustomSettings();
    ShowChange(QStringLiteral("Custom settings loaded"));
}

void TSettingsForm::SaveSettingsButtonClick()
{
    if (ATINoticeVisible()) {
        const int answer =
            AskUpdateBeforeSave
                ? AskUpdateBeforeSave(QStringLiteral("Do you want to update the settings from the chip before saving?"))
                : -1;
        if (answer == 1) {
            UpdateAllSettingsClick();
            SaveSettings();
        } else if (answer == 0) {
            SaveSettings();
        }
    } else {
        SaveSettings();
    }
    BringToFront();
}

void TSettingsForm::SaveSettings()
{
    const QString fileName = AskSaveSettingsFile ? AskSaveSettingsFile(FCore.FSettingsFile) : QString();
    if (!fileName.isEmpty())
        SettingsFileOps().SaveSettings(fileName);
}
