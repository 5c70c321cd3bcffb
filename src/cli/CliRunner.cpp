#include "cli/CliRunner.h"

#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "cli/BoundedBackend.h"
#include "cli/CliFormat.h"
#include "cli/CliHeader.h"
#include "cli/CliSettings.h"
#include "cli/CliStream.h"
#include "common/Hex.h"
#include "hid/HidDevice.h"
#include "hid/HidapiBackend.h"
#include "persist/SettingsFile.h"
#include "settings/RegisterOperations.h"
#include "replay/ReplayTool.h"
#include "sim/Simulator.h"
#include "toollink/HIDToolsErrorCodes.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace {

const QString VersionPrefix = QStringLiteral("Device Version (PROD:SW):  ");
constexpr int ReportHeaderBytes = 4; // report ID, type and tool ID, message ID, count

} // namespace

TCliRunner::TCliRunner(const TCliOptions& options, QObject* parent)
    : QObject(parent), FOptions(options), FWaits(std::make_shared<TReplyWaits>())
{
}

TCliRunner::~TCliRunner()
{
    FFiles.reset(); // before the core it hooks into
}

void TCliRunner::Error(const QString& text)
{
    FCore->KvrAddItem(text, TKvrItemType::aError);
}

bool TCliRunner::ToolPresent() const
{
    return FDevice && FCore->KorvaneHidTool1->GetCurrentDevice() == FDevice.data();
}

int TCliRunner::ReplyDataBytes() const
{
    return FDevice ? FDevice->InputReportLength() - ReportHeaderBytes : 0;
}

int TCliRunner::Run()
{
    if (const int status = Connect(); status >= 0)
        return status;

    int status = CliExit::Success;
    switch (FOptions.Command) {
    case TCliCommand::List:
        status = List();
        break;
    case TCliCommand::Version:
        status = Version();
        break;
    case TCliCommand::Read:
        status = Read();
        break;
    case TCliCommand::Write:
        status = Write();
        break;
    case TCliCommand::Stream:
    case TCliCommand::Log:
        status = TCliStream(*this, FOptions).Run();
        break;
    case TCliCommand::SaveSettings:
        status = CliSettings::Save(*this, FOptions);
        break;
    case TCliCommand::LoadSettings:
        status = CliSettings::Load(*this, FOptions);
        break;
    case TCliCommand::Diff:
        status = CliSettings::DiffWithChip(*this, FOptions);
        break;
    case TCliCommand::ExportHeader:
        status = CliHeader::Export(*this, FOptions);
        break;
    case TCliCommand::Errors:
    case TCliCommand::WhatIf: // runs without a tool
    case TCliCommand::None:
        break;
    }
    if (!PowerDown())
        status = CliExit::Failure;
    // Every failure along the way was reported as an error item: none may end in success.
    if (FTerminal.ErrorCount() > 0)
        status = CliExit::Failure;
    return status;
}

int TCliRunner::Connect()
{
    std::shared_ptr<HidBackend> backend;
    if (!FOptions.ReplayFile.isEmpty()) {
        QString error;
        auto recording = ReadRecording(FOptions.ReplayFile, error);
        if (!recording) {
            TCliTerminal::Err(QStringLiteral("error: ") + error);
            return CliExit::Failure;
        }
        FReplay = std::make_unique<TReplayTool>(std::move(*recording));
        backend = FReplay->Backend();
    } else if (FOptions.Sim.simulate) {
        FSimulator = std::make_unique<TSimulator>(FOptions.Sim);
        backend = FSimulator->Backend();
    } else {
        backend = std::make_shared<HidapiBackend>();
    }
    FCore = std::make_unique<TMainCore>(std::make_shared<TBoundedBackend>(backend, FWaits), &FTerminal, &FTerminal);
    FFiles = std::make_unique<TSettingsFile>(*FCore);
    TKorvaneHidTool& tool = *FCore->KorvaneHidTool1;
    TKorvaneDevList& list = *FCore->KorvaneDevList1;
    FTerminal.SetTool(&tool);
    tool.ReadWaitMs = ReplyWaitMs;
    if (FOptions.Trace)
        tool.OnSendCommands = [](const TKvrByteArray& report) { TCliTerminal::Err(CliFormat::ReportLine(report)); };

    // The list fills through the HID layer's start-up scan, once the event loop runs.
    QEventLoop loop;
    const TCTChangeEvent coreHandler = list.OnDeviceChange;
    list.OnDeviceChange = [&loop, coreHandler](QObject* sender, bool arrived) {
        if (coreHandler)
            coreHandler(sender, arrived);
        loop.quit();
    };
    connect(&FSignals, &TCliSignals::Interrupted, &loop, &QEventLoop::quit);
    QTimer::singleShot(FirstScanWaitMs, &loop, &QEventLoop::quit);
    list.Activate();
    loop.exec();
    // Later changes go to the core alone; it resets the session when the tool goes.
    list.OnDeviceChange = coreHandler;

    if (FSignals.Received()) {
        TCliTerminal::Err(QStringLiteral("error: Interrupted"));
        return CliExit::Failure;
    }
    const int count = list.HidDevices().Count;
    if (count == 0) {
        TCliTerminal::Err(QStringLiteral("error: No configuration tool found"));
        return CliExit::NoTool;
    }
    if (FOptions.Command == TCliCommand::List)
        return -1;
    if (!tool.SetCurrentDevice(FOptions.Tool)) {
        TCliTerminal::Err(QStringLiteral("error: No configuration tool with index %1 (%2 found)")
                              .arg(FOptions.Tool)
                              .arg(count));
        return CliExit::NoTool;
    }
    FDevice = tool.GetCurrentDevice();

    if (FOptions.Command == TCliCommand::Read && FOptions.Count > ReplyDataBytes()) {
        TCliTerminal::Err(
            QStringLiteral("error: This tool reads at most %1 bytes at a time").arg(ReplyDataBytes()));
        TCliTerminal::Err(CliUsageLine());
        return CliExit::Usage;
    }
    return -1;
}

int TCliRunner::List()
{
    TKorvaneHidTool& tool = *FCore->KorvaneHidTool1;
    const TCTData& tools = FCore->KorvaneDevList1->HidDevices();
    int status = CliExit::Success;
    for (int k = 0; k < tools.Count; ++k) {
        tool.SetCurrentDevice(k);
        uint32_t version = 0;
        uint8_t build = 0, release = 0;
        FWaits->SetDeadline(QueryDeadlineMs);
        const uint16_t r = tool.GetCTFWVersion(version, build, release);
        FWaits->ClearDeadline();
        const QString ids = QStringLiteral("%1:%2")
                                .arg(tools.VendorID.value(k).toUInt(), 4, 16, QLatin1Char('0'))
                                .arg(tools.ProductID.value(k).toUInt(), 4, 16, QLatin1Char('0'));
        QString firmware;
        if (r == 0) {
            firmware = CliFormat::Firmware(version, build, release);
        } else {
            Error(QStringLiteral("%1: %2").arg(tools.Name.value(k), ErrorCodeText(r)));
            status = CliExit::Failure;
        }
        const QString line =
            QStringList{QString::number(k), tools.Name.value(k), ids, tools.SerialNumber.value(k), firmware}.join(
                QLatin1Char('\t'));
        if (!TCliTerminal::Out(line))
            return CliExit::Failure;
    }
    return status;
}

bool TCliRunner::PowerUp()
{
    TSessionControl& session = *FCore->Session;
    const int errors = FTerminal.ErrorCount();
    session.PowerButtonClick(); // "Power On": the tool is set up for the chip, then the chip is powered
    if (!FCore->FPowerOn || FTerminal.ErrorCount() != errors)
        return false;
    if (!session.ProbeDeviceAddress()) {
        Error(QStringLiteral("No chip answered on the I2C bus (addresses 44H to 47H)"));
        return false;
    }
    FCore->KvrAddItem(QStringLiteral("Device Address : %1H").arg(HexByte(FCore->FDeviceAddress)),
                      TKvrItemType::aInfo);
    return true;
}

bool TCliRunner::PowerDown()
{
    TMainCore& core = *FCore;
    TKorvaneHidTool& tool = *core.KorvaneHidTool1;
    if (!ToolPresent())
        return true; // gone: its chip has no supply any more, and another tool must not be touched
    const bool wasStreaming = core.KorvaneDevList1->IsStreaming;
    if (!core.FIsStreaming && !core.FIsPaused && !core.FPowerOn && !tool.IsPowerOn && !wasStreaming)
        return true;

    FWaits->SetDeadline(TeardownDeadlineMs);
    if (core.StartCaption == SessionCaption::Stop) {
        core.Session->StartButtonClick();
    } else {
        core.Session->SetPowerCaption(SessionCaption::PowerOff);
        core.Session->PowerButtonClick();
    }
    FWaits->ClearDeadline();

    // The session goes on whatever these commands answered; a chip left powered must not pass unnoticed.
    bool ok = true;
    if (core.KorvaneDevList1->IsStreaming) {
        Error(QStringLiteral("Device streaming could not be stopped"));
        ok = false;
    }
    if (tool.IsPowerOn) {
        Error(QStringLiteral("Device power could not be switched off"));
        ok = false;
    }
    return ok;
}

bool TCliRunner::StartSession()
{
    TMainCore& core = *FCore;
    const int errors = FTerminal.ErrorCount();
    FTerminal.StartupOption = FOptions.Demo;
    if (!FOptions.SettingsFile.isEmpty()) {
        core.FSettingsFile = QFileInfo(FOptions.SettingsFile).absoluteFilePath();
        core.Settings.LoadSettingsCheck = true;
    }
    FWaits->SetDeadline(RoadDeadlineMs);
    core.Session->StartButtonClick();
    FWaits->ClearDeadline();
    if (!core.FIsStreaming) {
        // Every failure of the start but the address probe reports its own error.
        if (FTerminal.ErrorCount() == errors)
            Error(QStringLiteral("No chip answered on the I2C bus (addresses 44H to 47H)"));
        return false;
    }
    if (!core.FLoadSettings)
        return true;
    // The set-up goes in with the first frame; streaming restarts after the load's pause.
    FWaits->SetDeadline(RoadDeadlineMs);
    const bool loaded = WaitUntil([&core] { return !core.FLoadSettings && core.FIsStreaming && !core.FRegBusy; },
                                  RoadDeadlineMs, QStringLiteral("The set-up could not be loaded in time"));
    FWaits->ClearDeadline();
    return loaded && FTerminal.ErrorCount() == errors;
}

bool TCliRunner::WaitUntil(const std::function<bool()>& done, int ms, const QString& timeoutError)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    connect(&check, &QTimer::timeout, &loop, [&] {
        timedOut = clock.elapsed() > ms;
        if (done() || timedOut || !ToolPresent())
            loop.quit();
    });
    connect(&FSignals, &TCliSignals::Interrupted, &loop, &QEventLoop::quit);
    check.start(10);
    loop.exec();
    if (done())
        return true;
    if (FSignals.Received())
        Error(QStringLiteral("Interrupted"));
    else if (timedOut)
        Error(timeoutError);
    // A tool that went has been reported by the session.
    return false;
}

bool TCliRunner::WaitForFrame()
{
    const quint64 frames = FTerminal.FrameCount();
    return WaitUntil([this, frames] { return FTerminal.FrameCount() > frames; }, FrameWaitMs,
                     QStringLiteral("No stream frames received for %1 s").arg(FrameWaitMs / 1000));
}

int TCliRunner::Version()
{
    bool ok = false;
    if (FOptions.Demo != 0 || !FOptions.SettingsFile.isEmpty()) {
        ok = StartSession(); // the start road reads the version itself
    } else {
        FWaits->SetDeadline(RoadDeadlineMs);
        ok = PowerUp() && FCore->RegOps->GetVersion();
        FWaits->ClearDeadline();
    }
    if (!ok)
        return CliExit::Failure;
    const QString address = FTerminal.LastInfo(QStringLiteral("Device Address : "));
    const QString version = FTerminal.LastInfo(VersionPrefix);
    return TCliTerminal::Out(address) && TCliTerminal::Out(version) ? CliExit::Success : CliExit::Failure;
}

int TCliRunner::Read()
{
    FWaits->SetDeadline(RoadDeadlineMs);
    bool ok = PowerUp();
    TKvrByteArray data{};
    if (ok) {
        if (const uint16_t r = FCore->KorvaneHidTool1->I2CRead(FOptions.Address, uint8_t(FOptions.Count), data)) {
            Error(ErrorCodeText(r));
            ok = false;
        }
    }
    FWaits->ClearDeadline();
    if (!ok)
        return CliExit::Failure;
    return TCliTerminal::Out(CliFormat::HexBytes(data.data(), FOptions.Count)) ? CliExit::Success
                                                                                 : CliExit::Failure;
}

int TCliRunner::Write()
{
    FWaits->SetDeadline(RoadDeadlineMs);
    bool ok = PowerUp();
    if (ok) {
        TKvrByteArray data{};
        data[0] = FOptions.Address;
        for (int i = 0; i < FOptions.Bytes.size(); ++i)
            data[size_t(i) + 1] = FOptions.Bytes[i];
        if (const uint16_t r = FCore->KorvaneHidTool1->CommsWrite(uint8_t(FOptions.Bytes.size() + 1), data)) {
            Error(ErrorCodeText(r));
            ok = false;
        } else {
            FCore->KvrAddItem(QStringLiteral("Command sent successfully"), TKvrItemType::aInfo);
        }
    }
    FWaits->ClearDeadline();
    return ok ? CliExit::Success : CliExit::Failure;
}
