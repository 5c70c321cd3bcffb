#include "app/CtSetup.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "persist/MinVer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

const QString ContinueQuestion = QStringLiteral(
    "This will update the Configuration tool to the latest firmware available.\nAre you sure you want to continue?");
const QString NoUpdateFileText = QStringLiteral(
    "Unable to find update file. Please run the installation setup for this application to rectify this problem.");
const QString FileNotLocatedText = QStringLiteral(
    "The update file could not be located, please try reinstalling this program or contact Korvane for support.");
const QString CustomQuestion = QStringLiteral("Are you sure you want to continue and update the Configuration tool "
                                              "with the following firmware file? :\n\n");

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Green = 0x008000;
constexpr uint32_t Orange = 0xFF8000;

// A KC60 must never be given a KC60A file, although its name contains "KC60".
bool IsFirmwareFileFor(const QString& fileName, const QString& model)
{
    if (model.isEmpty() || !fileName.contains(model))
        return false;
    return model != QStringLiteral("KC60") || !fileName.contains(QStringLiteral("KC60A"));
}

} // namespace

TCtSetup::TCtSetup(TMainCore& core, ICtSetupView& view)
    : ProgramFolder(QCoreApplication::applicationDirPath()),
      StartProgram([](const QString& program, const QStringList& arguments, const QString& workingFolder) {
          return QProcess::startDetached(program, arguments, workingFolder);
      }),
      FCore(core),
      FView(view)
{
}

void TCtSetup::UpdateList()
{
    FCheckedItem = FSelectedItem = FCore.KorvaneHidTool1->CurrentDeviceIndex;
    const TCTData& tools = FCore.KorvaneDevList1->HidDevices();
    FView.ShowRows(tools.Name, FCheckedItem < tools.Count ? FCheckedItem : -1);
    UpdateDetails(FCheckedItem);
}

void TCtSetup::UpdateDetails(int Index)
{
    const TCTData& tools = FCore.KorvaneDevList1->HidDevices();
    if (Index < 0 || Index >= tools.Count)
        return;
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    UpdatePref = false;
    FLocalPref = false;
    tool.SetCurrentDevice(Index);

    // A failed query is judged as version 0.
    uint32_t version = 0;
    uint8_t build = 0;
    uint8_t release = 0;
    tool.GetCTFWVersion(version, build, release);
    Prod = uint16_t(tools.ProductID[Index].toUInt());
    FView.ShowDetails({tools.Name[Index], Hex4Dot(version), QString::number(build), ReleaseName(release),
                       tools.SerialNumber[Index], int(tool.LastDevID)});

    const TFirmwareVerdict verdict = JudgeFirmware(Prod, version, build, release, FCore.MinVer);
    FStatus = verdict.Status;
    FLocalPref = verdict.LocalPref;
    FView.ShowVerdict(verdict);

    const bool isChecked = Index == FCheckedItem;
    switch (verdict.Status) {
    case TFirmStatus::fsOutdated:
        if (isChecked) {
            FOutdated = true;
            if (!Engineering)
                SetSessionButtons(false);
        }
        break;
    case TFirmStatus::fsUnsupported:
        if (isChecked) {
            FOutdated = false;
            if (!Engineering)
                SetSessionButtons(false);
            IMainView* main = FCore.View();
            main->SetCtLabel(tools.Name[FCheckedItem], Red, true, true);
            main->SetCtLabelHint(QStringLiteral("Unsupported device"));
            main->SetCtPanelColour(0xFFCECE);
        }
        // Showing another tool's details must not change the tool the program talks to.
        tool.SetCurrentDevice(FCheckedItem);
        return;
    case TFirmStatus::fsRecommended:
    case TFirmStatus::fsUpToDate:
        UpdatePref = verdict.Status == TFirmStatus::fsRecommended;
        if (isChecked) {
            FOutdated = false;
            FCore.View()->SetStartEnabled(true);
            // A paused session is still a session: Resume must stay usable.
            FCore.Session->SetPauseEnabled(FCore.FIsStreaming || FCore.FIsPaused);
        }
        break;
    }

    if (isChecked)
        ShowCheckedTool(tools.Name[FCheckedItem]);
    tool.SetCurrentDevice(FCheckedItem);
}

void TCtSetup::ShowCheckedTool(const QString& name)
{
    // Every caller shows the row it judges, so the checked row is also the selected one here.
    IMainView* main = FCore.View();
    if (FOutdated) {
        main->SetCtLabel(name, Red, true, false);
        main->SetCtLabelHint(QStringLiteral("Firmware update required"));
        main->SetCtPanelColour(0xFFCECE);
    } else if (FStatus == TFirmStatus::fsUpToDate) {
        main->SetCtLabel(name, Green, true, false);
        main->SetCtLabelHint(QString());
        main->SetCtPanelColour(0xF0F0F0);
    } else {
        main->SetCtLabel(name, Orange, true, false);
        main->SetCtLabelHint(QStringLiteral("firmware update recommended"));
        main->SetCtPanelColour(0xFFE9D2);
    }
}

void TCtSetup::SetSessionButtons(bool enabled)
{
    FCore.View()->SetStartEnabled(enabled);
    FCore.Session->SetPauseEnabled(enabled);
}

void TCtSetup::CheckRow(int row)
{
    FCheckedItem = FSelectedItem = row;
    FCore.KorvaneHidTool1->SetCurrentDevice(row);
}

void TCtSetup::FormClose()
{
    FCore.KorvaneHidTool1->SetCurrentDevice(FCheckedItem);
}

bool TCtSetup::UpdateBusy()
{
    if (!FCore.FUpdating)
        return false;
    FView.ShowWarning(BusyText);
    return true;
}

void TCtSetup::TakeSelectedTool()
{
    FCore.KorvaneHidTool1->SetCurrentDevice(FSelectedItem);
    FCore.DeviceSerial = FCore.KorvaneDevList1->HidDevices().SerialNumber.value(FSelectedItem);
}

void TCtSetup::StopSession()
{
    // As the Start button does while it reads "Stop".
    if (FCore.FIsStreaming)
        FCore.Session->StartButtonClick();
}

void TCtSetup::StartUpdater(const QStringList& arguments, const QString& workingFolder)
{
    QString program = UpdaterProgram(FCore.FUpdaterPath);
    if (program.isEmpty())
        program = QDir(FCore.FUpdaterPath).filePath(QStringLiteral("Korvane Reflash.exe"));
    if (!StartProgram(program, arguments, workingFolder))
        return;
    FCore.FUpdating = true;
    FCore.KvrAddItem(UpdatingText, TKvrItemType::aInfo);
}

void TCtSetup::UpdateButtonClick()
{
    TakeSelectedTool();
    if (FLocalPref)
        LocalUpdate();
    else
        RevertButtonClick();
}

void TCtSetup::RevertButtonClick()
{
    TakeSelectedTool();
    if (UpdateBusy() || !FView.AskYesNo(ContinueQuestion))
        return;
    StopSession();
    StartUpdater({QStringLiteral("Override")}, QString());
}

void TCtSetup::LocalUpdate()
{
    if (UpdateBusy())
        return;
    const QStringList files =
        QDir(ProgramFolder).entryList({QStringLiteral("*.dfu")}, QDir::Files, QDir::Unsorted);
    if (files.isEmpty()) {
        FView.ShowError(NoUpdateFileText);
        return;
    }
    const QString model = FirmwareModelName(Prod);
    for (const QString& file : files) {
        if (!IsFirmwareFileFor(file, model))
            continue;
        if (FView.AskYesNo(ContinueQuestion)) {
            StopSession();
            FCore.KorvaneHidTool1->EnterDFU();
            // The file name is given relative to the program's folder, where the update program starts.
            StartUpdater({file, QStringLiteral("Y")}, ProgramFolder);
        }
        return;
    }
    FView.ShowError(FileNotLocatedText);
}

void TCtSetup::UpdateCustom(const QString& fileName)
{
    TakeSelectedTool();
    const QFileInfo file(fileName);
    if (!FView.AskYesNo(CustomQuestion + file.fileName()))
        return;
    StopSession();
    FCore.KorvaneHidTool1->EnterDFU();
    StartUpdater({file.absoluteFilePath(), QStringLiteral("Y")}, QString());
}
