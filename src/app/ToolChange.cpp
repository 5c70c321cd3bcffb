#include "app/ToolChange.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"

#include <QTimer>

TToolChange::TToolChange(TMainCore& core) : FCore(core) {}

void TToolChange::KorvaneDevList1DeviceChange(QObject* Sender, bool Arrived)
{
    IMainView* view = FCore.View();
    TKorvaneHidTool& tool = *FCore.KorvaneHidTool1;
    const TCTData& tools = FCore.KorvaneDevList1->HidDevices();

    if (tools.Count == 0) {
        ResetSessionIfActive();
        if (!FCore.FUpdating) {
            view->SetCtLabelHint(QString());
            view->SetCtPanelColour(IdlePanelColour);
        }
        view->SetCtLabel(NoDeviceText, NoDeviceColour, true, false);
        view->ClearCtSetupList();
        view->SetCtSetupButtonEnabled(false);
        view->SetStartEnabled(false);
        return;
    }

    if (!tool.DeviceSelected) {
        tool.SetCurrentDevice(0);
        ShowCurrentTool();
        if (FCore.FUpdating)
            FinishUpdate();
        FirmwarePrompts();
        return;
    }

    if (tool.ReselectDevice()) {
        view->UpdateCtSetupList();
        if (FCore.FUpdating)
            FinishUpdate();
        return;
    }

    // The selected tool is gone, another one takes its place.
    ResetSessionIfActive();
    tool.SetCurrentDevice(0);
    ShowCurrentTool();
    // The tool being updated went away and is back when its serial number is listed again, whichever tool
    // is current now (the only tool, coming back, is current already).
    if (FCore.FUpdating && tools.SerialNumber.contains(FCore.DeviceSerial))
        FinishUpdate();
    FirmwarePrompts();
}

void TToolChange::ResetSessionIfActive()
{
    // A session whose stream could not be restarted after a pending update still reads "Stop".
    if (FCore.FIsStreaming || FCore.FIsPaused || FCore.StartCaption == SessionCaption::Stop)
        ResetSession();
}

void TToolChange::ResetSession()
{
    TSessionControl& session = *FCore.Session;
    FCore.FIsStreaming = false;
    FCore.FIsPaused = false;
    FCore.FPowerOn = false;
    FCore.FCTSetup = false;
    session.SetStartCaption(SessionCaption::Start);
    session.SetPowerCaption(SessionCaption::PowerOn);
    session.SetPauseCaption(SessionCaption::Pause);
    session.SetPauseEnabled(false);
    session.SetExportHEnabled(false);
    // Nothing streams any more: the repaint timers and the pending-update button have nothing to act on.
    FCore.View()->StopBarTimer();
    FCore.View()->StopScopeTimer();
    session.SetLoadSettingsButtonEnabled(false);
    FCore.KvrAddItem(DisconnectedText, TKvrItemType::aError);
}

void TToolChange::ShowCurrentTool()
{
    IMainView* view = FCore.View();
    const TCTData& tools = FCore.KorvaneDevList1->HidDevices();
    view->SetCtLabel(tools.Name.value(FCore.KorvaneHidTool1->CurrentDeviceIndex), NameColour, true, false);
    view->UpdateCtSetupList();
    view->SetCtSetupButtonEnabled(true);
}

void TToolChange::FinishUpdate()
{
    FCore.FUpdating = false;
    FCore.KvrAddItem(UpdateCompletedText, TKvrItemType::aInfo);
    SelectToolBySerial(FCore.DeviceSerial);
    FCore.View()->UpdateCtSetupList();
}

void TToolChange::SelectToolBySerial(const QString& serial)
{
    const TCTData& tools = FCore.KorvaneDevList1->HidDevices();
    const int k = tools.SerialNumber.indexOf(serial);
    if (k >= 0)
        FCore.KorvaneHidTool1->SetCurrentDevice(k);
}

void TToolChange::FirmwarePrompts()
{
    // The prompt is a modal box: show it once the device change has been handled, so that no device change
    // runs inside another one; several changes in a row give one prompt.
    if (FPromptQueued)
        return;
    FPromptQueued = true;
    QTimer::singleShot(0, &FCore, [this] {
        IMainView* view = FCore.View();
        bool ok = false;
        if (FCore.KorvaneDevList1->HidDevices().Count > 0) { // the tool may have gone meanwhile
            if (view->ToolFirmwareOutdated())
                ok = view->AskFirmwarePrompt(true);
            else if (view->ToolUpdateRecommended())
                ok = view->AskFirmwarePrompt(false);
        }
        FPromptQueued = false;
        if (ok && view->CtSetupButtonEnabled()) {
            view->UpdateCtSetupList();
            view->ShowCtSetup();
        }
    });
}
