#include "app/MainCore.h"

#include "app/FrameDecoder.h"
#include "app/SessionControl.h"
#include "app/ToolChange.h"
#include "persist/DataLog.h"
#include "settings/RegisterOperations.h"

TMainCore::TMainCore(std::shared_ptr<HidBackend> backend, IMessageSink* messages, IMainView* view, QObject* parent)
    : QObject(parent), FMessages(messages), FView(view ? view : &FNullView)
{
    KorvaneDevList1 = std::make_unique<TKorvaneDevList>(std::move(backend));
    KorvaneHidTool1 = std::make_unique<TKorvaneHidTool>();
    KorvaneHidTool1->SetKorvaneDevList(KorvaneDevList1.get());
    KT880Device1 = std::make_unique<TKT880Device>();
    KT880Device1->SetHIDTool(KorvaneHidTool1.get());
    // The main window's link settings.
    KT880Device1->SetDUTVoltage(TKTDUTVoltage::v3_3V);
    KT880Device1->SetAdjustableDUTVoltage(5.0);
    KT880Device1->SetCommsSpeed(TCommsSpeed::csFast);
    KT880Device1->SetLSVoltage(TVoltageFollow::vfVDDHI);
    KT880Device1->SetCommsType(TKT880CommsType::c880_I2C);
    KT880Device1->SetI2CType(TI2CType::RDY_ActiveLow);
    KT880Device1->SetI2CPullUpResistors(TPullUpResistors::prConnected);
    KT880Device1->SetI2CReadyPin(TReadyPin::rpPin10);
    KT880Device1->SetI2CStopCommand(TI2CStopCommand::scUseStop);
    KT880Device1->SetI2CPolling(TI2CPolling::ipNoPolling);
    KT880Device1->SetI2CAddress(QStringLiteral("44"));

    RegOps = std::make_unique<TRegisterOperations>(*this);
    Session = std::make_unique<TSessionControl>(*this);
    Decoder = std::make_unique<TFrameDecoder>(*this);
    ToolChange = std::make_unique<TToolChange>(*this);
    DataLog = std::make_unique<TDataLog>(*this);
    KorvaneDevList1->OnDeviceChange = [this](QObject* sender, bool arrived) {
        ToolChange->KorvaneDevList1DeviceChange(sender, arrived);
    };
}

TMainCore::~TMainCore()
{
    KorvaneDevList1->OnDeviceChange = nullptr;
    DataLog.reset();
    ToolChange.reset();
    Decoder.reset();
    Session.reset();
    RegOps.reset();
    // The chip component and the tool refer to the list: take them down first.
    KT880Device1.reset();
    KorvaneHidTool1.reset();
    KorvaneDevList1.reset();
}

int TMainCore::KvrAddItem(const QString& text, TKvrItemType kind)
{
    return FMessages ? FMessages->KvrAddItem(text, kind) : -1;
}

void TMainCore::AnalyseFrame()
{
    const TFrameSamples samples = FrameSamples(*this);
    Statistics.AddFrame(samples, FATIBusy);
    Snr.AddFrame(samples, FATIBusy);
}

bool TMainCore::CheckPowerOn()
{
    if (FPowerOn)
        return true;
    KvrAddItem(QStringLiteral("Device power is off!"), TKvrItemType::aError);
    return false;
}
