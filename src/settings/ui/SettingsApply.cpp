// The settings window's buttons that reach the chip: Apply and Undo, the reads, the one-shot commands, the
// tool voltage, and the command rows that show what was just sent.
#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "settings/RegisterOperations.h"
#include "settings/ui/SettingsUnit.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace {
const QString CouldNotUpdate = QStringLiteral("Could not update settings");
constexpr int CommandRowCells = 10; // "Address", "Length", "Data0".."Data7"
} // namespace

// ---- Apply and Undo -------------------------------------------------------------------------------------

void TSettingsForm::ApplyButtonClick()
{
    ChangeLabel->hide();
    TSettingsPages& pages = FCore.Pages;
    const int page = pages.FActivePage;
    if (page == spSetup) {
        ApplySetupPage();
        return;
    }
    if (!TSettingsPages::IsRegisterPage(page))
        return;
    // Rows to show afterwards: both writes of a two-register page, else the one write.
    int rows = 1;
    if (page == spMultComp)
        rows = int(pages.FMultSetupChanged) + int(pages.FCompSetupChanged);
    else if (page == spTimings)
        rows = int(pages.FTimSetupChanged) + int(pages.FGesSetupChanged);
    pages.GetSysCheckStates();
    const bool reread = page == spSysFlags && pages.FSysChecksChanged
                        && ((pages.FCurSysCheckStates ^ pages.FPrevSysCheckStates) & 1);
    QPointer<TSettingsForm> self(this);
    pages.ApplyButtonClick([self, page, rows, reread](bool ok) {
        if (self)
            self->ApplyDone(page, rows, reread, ok);
    });
}

void TSettingsForm::ApplyDone(int page, int rows, bool reread, bool ok)
{
    // Apply may read as well (actual base, the System Flags page's read-all).
    FillFromRecord();
    if (!ok) {
        ShowError(CouldNotUpdate);
        SyncChangeState();
        return;
    }
    ErrorLabel->hide();
    if (reread) {
        ClearCommandRows();
        ShowChange(QStringLiteral("All settings updated from device"));
    }
    CopyCommandRows(rows);
    SyncChangeState();
}

void TSettingsForm::ApplySetupPage()
{
    TSettingsPages& pages = FCore.Pages;
    TStreamSetup& stream = FCore.StreamSetup;
    if (stream.FStreamSetupChanged) {
        const bool ok = stream.ApplyStreamSetup();
        FillFromRecord();
        if (!ok) {
            // WheelCheck is checked again: the set-up is compared anew.
            stream.StreamChangeClick();
            SyncChangeState();
            return;
        }
    }
    if (pages.FSetupChecksChanged) {
        const std::array<int32_t, 5> previous = pages.FPrevSetupCheckStates;
        pages.GetSetupCheckStates();
        const std::array<int32_t, 5> current = pages.FCurSetupCheckStates;
        if (current[0] != previous[0])
            VoltageComboChange();
        if (current[1] != previous[1])
            FCore.View()->Delta();
        const bool graph = current[2] != previous[2] || current[3] != previous[3] || current[4] != previous[4];
        if (graph && !GraphMinSpin->cleanText().isEmpty() && !GraphMaxSpin->cleanText().isEmpty()) {
            if (current[3] <= current[2]) {
                Label59->setText(QStringLiteral("Min value must be smaller than Max value!"));
                ShowError(CouldNotUpdate);
                SyncChangeState();
                return;
            }
            if (OnSetGraphAxis)
                OnSetGraphAxis(current[2], current[3], current[4]);
            Label59->clear();
        }
        pages.FPrevSetupCheckStates = current;
        pages.FSetupChecksChanged = false;
        pages.CheckChanges();
    }
    ErrorLabel->hide();
    SyncChangeState();
}

void TSettingsForm::CancelButtonClick()
{
    ChangeLabel->hide();
    TSettingsPages& pages = FCore.Pages;
    pages.CancelButtonClick();
    if (pages.FActivePage == spSetup)
        Label59->clear();
    ErrorLabel->hide();
    FillFromRecord();
    SyncChangeState();
}

// ---- Snapshots and reads --------------------------------------------------------------------------------

void TSettingsForm::ResetDefault()
{
    FCore.Pages.ResetDefault();
    HideATINotice();
    ErrorLabel->hide();
    SyncChangeState();
}

void TSettingsForm::UpdateAllSettingsClick()
{
    ChangeLabel->hide();
    ErrorLabel->hide();
    const int fills = FRecordFills;
    FCore.Session->ReadAllClick();
    FillFromRecord();
    // A read that failed filled nothing: the pages keep their changes and the notice stays.
    if (FRecordFills == fills) {
        ShowError(CouldNotUpdate);
        SyncChangeState();
        return;
    }
    HideATINotice();
    ClearCommandRows();
    ResetDefault();
    ShowChange(QStringLiteral("All settings updated from device"));
}

void TSettingsForm::IgnoreButtonClick()
{
    HideATINotice();
}

void TSettingsForm::ShowReadResult(bool ok)
{
    FillFromRecord();
    if (ok)
        ErrorLabel->hide();
    else
        ShowError(CouldNotUpdate);
    SyncChangeState();
}

void TSettingsForm::ReadAllMultButtonClick()
{
    ShowReadResult(FCore.Pages.ReadAllMultButtonClick());
}

void TSettingsForm::ReadAllThrButtonClick()
{
    ShowReadResult(FCore.Pages.ReadAllThrButtonClick());
}

void TSettingsForm::ReadAllTimingsButtonClick()
{
    ShowReadResult(FCore.Pages.ReadAllTimingsButtonClick());
}

// ---- One-shot commands ----------------------------------------------------------------------------------

void TSettingsForm::RedoATIButtonClick()
{
    if (!FCore.RegOps->RedoATIBtnClick()) {
        ShowError(CouldNotUpdate);
        return;
    }
    const int page = FCore.Pages.FActivePage;
    if (page != spSetup && page != spMultComp && page != spTimings)
        CopyCommandRows(1);
}

void TSettingsForm::ReseedButtonClick()
{
    if (!FCore.RegOps->ReseedBtnClick()) {
        ShowError(CouldNotUpdate);
        return;
    }
    const int page = FCore.Pages.FActivePage;
    if (page != spSetup && page != spMultComp && page != spTimings)
        CopyCommandRows(1);
}

void TSettingsForm::ForceSleepButtonClick()
{
    if (!FCore.RegOps->ForceSleepButtonClick()) {
        ShowError(CouldNotUpdate);
        return;
    }
    ForceSleepButton->setEnabled(false);
    const int page = FCore.Pages.FActivePage;
    if (page != spSetup && page != spMultComp && page != spTimings)
        CopyCommandRows(1);
}

// ---- Setup page -----------------------------------------------------------------------------------------

void TSettingsForm::VoltageComboChange()
{
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    TKT880Device& chip = *FCore.KT880Device1;
    uint16_t result = 0;
    if (Settings().VoltageCombo == 1) {
        result = tool.SetDUTVoltage(1.8);
        chip.SetDUTVoltage(TKTDUTVoltage::vAdjustable);
        chip.SetAdjustableDUTVoltage(1.8);
    } else {
        result = tool.SetDUTVoltage(TDUTVoltage::dv3_3V);
        chip.SetDUTVoltage(TKTDUTVoltage::v3_3V);
    }
    if (result == 0)
        FCore.KvrAddItem(QStringLiteral("Voltage changed successfully"), TKvrItemType::aInfo);
    else
        FCore.KvrAddItem(ErrorCodeText(result), TKvrItemType::aError);
}

void TSettingsForm::SetDeltaCheckEnabled(bool enabled)
{
    DeltaCheck->setEnabled(enabled);
    if (!enabled)
        FillFromRecord(); // the set-up has cleared the box
}

// ---- Command rows ---------------------------------------------------------------------------------------

void TSettingsForm::CopyCommandRows(int count)
{
    const TSendCommandLog& log = FCore.RegOps->CommandLog;
    for (int back = 0; back < count && back < log.ListCount(); ++back) {
        const QStringList cells = log.Newest(back);
        for (int c = 0; c < CommandRowCells; ++c)
            StringGrid1->item(back, c)->setText(c + 1 < cells.size() ? cells[c + 1] : QString());
    }
}

void TSettingsForm::ClearCommandRows()
{
    for (int r = 0; r < StringGrid1->rowCount(); ++r)
        for (int c = 0; c < CommandRowCells; ++c)
            StringGrid1->item(r, c)->setText(QString());
}
