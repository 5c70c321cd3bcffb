#include "app/FrameRecorder.h"

#include "app/MainCore.h"
#include "settings/RegisterMap.h"

namespace {

constexpr int HeaderBytes = 3;

// The registers whose values the frames are read against: system flag settings, multipliers, compensation,
// prox settings, thresholds, timings, gesture timers, active channels.
std::map<uint8_t, QByteArray> SetupRegisters(const TMainCore& core)
{
    using namespace KT610B;
    const std::pair<uint8_t, int> registers[] = {
        {SystemFlags, 1},        {Multipliers, MultipliersLength}, {Compensation, CompensationLength},
        {ProxSettings, ProxSettingsLength}, {Thresholds, ThresholdsLength}, {Timings, TimingsLength},
        {GestureTimers, GestureTimersLength}};
    std::map<uint8_t, QByteArray> setup;
    for (const auto& [address, length] : registers) {
        QByteArray bytes(length, '\0');
        for (int i = 0; i < length; ++i)
            bytes[i] = char(core.Settings.ComposeRegisterByte(address, i));
        setup[address] = bytes;
    }
    // The main window's channel boxes, as their click writes them.
    uint8_t channels = 0;
    for (int c = 0; c < 4; ++c)
        channels |= uint8_t(core.CHCheck[size_t(c)] ? 1 << c : 0);
    setup[ActiveChannels] = QByteArray(1, char(channels));
    return setup;
}

std::optional<std::array<int, 4>> ActualBase(const TMainCore& core)
{
    if (!core.FActualBaseRead)
        return std::nullopt;
    const auto& b = core.FActualBase;
    return std::array<int, 4>{b[0], b[1], b[2], b[3]};
}

} // namespace

TFrameRecorder::TFrameRecorder(TMainCore& core) : FCore(core)
{
    Clock = [this] { return FElapsed.nsecsElapsed() / 1000; };
}

TFrameRecorder::~TFrameRecorder()
{
    FCore.OnRecordFrame = nullptr;
    QString error;
    FWriter.Stop(error);
}

bool TFrameRecorder::Start(const QString& fileName)
{
    if (FWriter.Active())
        Stop();
    FActualBase = ActualBase(FCore);
    QString error;
    if (!FWriter.Start(fileName, SetupRegisters(FCore), FActualBase, error)) {
        FCore.KvrAddItem(error, TKvrItemType::aError);
        return false;
    }
    FElapsed.start();
    FFirstUs = -1;
    FCore.OnRecordFrame = [this](uint16_t size, const uint8_t* data) { FrameStep(size, data); };
    FCore.KvrAddItem(QStringLiteral("Frame recording started: %1").arg(fileName), TKvrItemType::aInfo);
    return true;
}

void TFrameRecorder::Stop()
{
    if (!FWriter.Active())
        return;
    FCore.OnRecordFrame = nullptr;
    const qint64 frames = FWriter.Frames();
    QString error;
    if (!FWriter.Stop(error)) {
        Failed(error);
        return;
    }
    FCore.KvrAddItem(QStringLiteral("Frame recording stopped (%1 frames)").arg(frames), TKvrItemType::aInfo);
}

void TFrameRecorder::Flush()
{
    QString error;
    if (FWriter.Active() && !FWriter.Flush(error))
        Failed(error);
}

void TFrameRecorder::FrameStep(uint16_t size, const uint8_t* data)
{
    const TStreamSetup& s = FCore.StreamSetup;
    const int length = s.FStreamLength;
    if (size < HeaderBytes + length)
        return;
    // Times count from the first frame, so that a replay starts at once.
    const qint64 now = Clock();
    if (FFirstUs < 0)
        FFirstUs = now;
    const QByteArray map(reinterpret_cast<const char*>(s.FStreamBytes.data()), length);
    QString error;
    // The actual base is read once a tuning run has ended, often after the recording began.
    if (const auto base = ActualBase(FCore); base != FActualBase) {
        FActualBase = base;
        if (base && !FWriter.AppendActualBase(*base, error)) {
            Failed(error);
            return;
        }
    }
    if (!FWriter.Append(now - FFirstUs, map, data + HeaderBytes, length, error))
        Failed(error);
}

void TFrameRecorder::Failed(const QString& error)
{
    FCore.OnRecordFrame = nullptr;
    FCore.KvrAddItem(error, TKvrItemType::aError);
    if (OnStopped)
        OnStopped();
}
