#include "sim/SimTool.h"

#include <algorithm>
#include <cstring>

namespace {

// Command codes as the tool's firmware knows them.
enum : uint8_t {
    CmdSetICType = 0x01,
    CmdPowerOn = 0x02,
    CmdPowerOff = 0x03,
    CmdSetupComms = 0x05,
    CmdSetLSVoltage = 0x06,
    CmdSetDUTVoltage = 0x07,
    CmdSetToolId = 0x08,
    CmdGetVersion = 0x09,
    CmdCommsRead = 0x0A,
    CmdCommsWrite = 0x0B,
    CmdStopStreaming = 0x0D,
    CmdConfigI2C = 0x0F,
    CmdIORead = 0x10,
    CmdIOWrite = 0x11,
    CmdI2CRead = 0x12,
    CmdStopBit = 0x13,
    CmdStreamLength = 0x14,
    CmdStartStreaming = 0x15,
    CmdEventMode = 0x1A,
    CmdEnterDFU = 0xFF,
};

constexpr uint8_t CommsSPI = 3, CommsI2C = 4;
constexpr uint8_t TypeStream = 0xF, TypeError = 0xE, TypeEvent = 0xB;
constexpr uint16_t InvalidCommand = 0x00FF;
constexpr uint16_t NoCommsReply = 0x000E;
constexpr double MinDutVoltage = 1.6, MaxDutVoltage = 5.5;
constexpr int StreamPiece = 32;

uint16_t InvalidParameter(uint8_t command)
{
    return uint16_t(command << 8 | 0xFE);
}

} // namespace

TSimTool::TSimTool(const SimOptions& options, TSimChip& chip, TSimFaultInjector& faults)
    : FOptions(options), FChip(chip), FFaults(faults)
{
    Restart();
}

void TSimTool::Restart()
{
    FIcType = 0;
    FDutPower = false;
    FDutVoltage = 0.0;
    FLevelShifter = 0;
    FCommsType = 0;
    FCommsSpeed = 0;
    FI2CAddress = -1;
    FI2CType = 0;
    FStopOff = false;
    FWriteOpen = false;
    FIo.fill(2); // every line idles high
    FEventMode = false;
    FStreamLength = 0;
    FPendingMap.clear();
    FNextPiece = 0;
    FMap.clear();
    FStreaming = false;
    FFrameCounter = 0;
    FChipLost = false;
    FDfuRequested = false;
    UpdateSupply();
}

void TSimTool::PowerDown()
{
    FDutPower = false;
    FStreaming = false;
    UpdateSupply();
}

bool TSimTool::TakeDfuRequest()
{
    const bool requested = FDfuRequested;
    FDfuRequested = false;
    return requested;
}

SimToolStatus TSimTool::Status() const
{
    SimToolStatus s;
    s.dutPower = FDutPower;
    s.chipSupplied = FChip.Powered();
    s.streaming = FStreaming;
    s.eventMode = FEventMode;
    s.streamLength = FStreamLength;
    s.frameCounter = FFrameCounter;
    s.toolId = FToolId;
    s.commsType = FCommsType;
    s.i2cAddress = FI2CAddress;
    s.dutVoltage = FDutVoltage;
    s.commands = FCommands;
    s.framesSent = FFramesSent;
    return s;
}

QByteArray TSimTool::Report(uint8_t type, uint8_t byte2, uint8_t byte3, const QByteArray& data) const
{
    QByteArray r(ReportLength, '\0');
    r[1] = char(FToolId << 4 | type);
    r[2] = char(byte2);
    r[3] = char(byte3);
    const int n = std::min<int>(int(data.size()), ReportLength - 4);
    std::memcpy(r.data() + 4, data.constData(), size_t(n));
    return r;
}

QByteArray TSimTool::Reply(uint8_t messageId, const QByteArray& data) const
{
    return Report(ReplyType(), messageId, uint8_t(data.size()), data);
}

QByteArray TSimTool::ErrorReply(uint8_t messageId, uint16_t code) const
{
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    return Report(TypeError, messageId, 2, QByteArray(bytes, 2));
}

QByteArray TSimTool::StreamError(uint16_t code) const
{
    return ErrorReply(0, code); // not an answer: byte 2 holds no message ID
}

SimCommandVerdict TSimTool::Command(const QByteArray& report, Reports& out)
{
    if (report.size() < 4)
        return SimCommandVerdict::Ignore;
    // A zero-padded copy, so a count byte larger than the report reads zeros, never past the end.
    std::array<uint8_t, 4 + 256> r{};
    std::memcpy(r.data(), report.constData(), std::min<size_t>(size_t(report.size()), r.size()));
    const uint8_t messageId = r[1], command = r[2], count = r[3];

    uint16_t code = 0;
    const SimCommandVerdict verdict = FFaults.OnCommand(command, code);
    if (verdict == SimCommandVerdict::Error)
        out.append(ErrorReply(messageId, code));
    if (verdict != SimCommandVerdict::Carry)
        return verdict;

    ++FCommands;
    QByteArray data;
    const uint16_t result = Execute(command, count, r.data() + 4, data);
    out.append(result ? ErrorReply(messageId, result) : Reply(messageId, data));
    return verdict;
}

uint16_t TSimTool::Execute(uint8_t command, uint8_t count, const uint8_t* p, QByteArray& data)
{
    switch (command) {
    case CmdSetICType: return SetICType(count, p);
    case CmdPowerOn: return PowerOn();
    case CmdPowerOff: return PowerOff();
    case CmdSetupComms: return SetupComms(count, p);
    case CmdSetLSVoltage: return SetLSVoltage(count, p);
    case CmdSetDUTVoltage: return SetDUTVoltage(count, p);
    case CmdSetToolId: return SetToolId(count, p);
    case CmdGetVersion: {
        const uint32_t v = FOptions.firmwareVersion;
        const char bytes[6] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v),
                               char(FOptions.firmwareBuild), char(FOptions.firmwareRelease)};
        data = QByteArray(bytes, 6);
        return 0;
    }
    case CmdCommsRead: return CommsRead(count, p, data);
    case CmdCommsWrite: return CommsWrite(count, p, data);
    case CmdStopStreaming: return StopStreaming();
    case CmdConfigI2C: return ConfigI2C(count, p);
    case CmdIORead: return IORead(count, p, data);
    case CmdIOWrite: return IOWrite(count, p);
    case CmdI2CRead: return I2CRead(count, p, data);
    case CmdStopBit: return StopBitControl(count, p);
    case CmdStreamLength: return SetStreamLength(count, p);
    case CmdStartStreaming: return StartStreaming(count, p);
    case CmdEventMode: return EventMode(count, p);
    case CmdEnterDFU:
        FDfuRequested = true;
        return 0;
    default:
        return InvalidCommand;
    }
}

uint16_t TSimTool::SetICType(uint8_t count, const uint8_t* p)
{
    if (count < 2)
        return InvalidParameter(CmdSetICType);
    if (FDutPower)
        return 0x0102; // "Power to device is ON"
    if (p[1] == 0 || p[1] > 8)
        return 0x0101; // "IC type not supported"
    FIcType = p[1];
    return 0;
}

uint16_t TSimTool::PowerOn()
{
    if (FDutPower)
        return 0x0203;
    if (FDutVoltage <= 0.0)
        return 0x0201;
    if (FLevelShifter == 0)
        return 0x0202;
    FDutPower = true;
    UpdateSupply();
    return 0;
}

uint16_t TSimTool::PowerOff()
{
    if (!FDutPower)
        return 0x0301;
    FDutPower = false;
    FStreaming = false;
    UpdateSupply();
    return 0;
}

uint16_t TSimTool::SetupComms(uint8_t count, const uint8_t* p)
{
    if (count < 2)
        return InvalidParameter(CmdSetupComms);
    if (FIcType == 0)
        return 0x0503;
    if (p[0] != CommsSPI && p[0] != CommsI2C)
        return 0x0501;
    if (p[1] < 1 || p[1] > 3)
        return 0x0502;
    FCommsType = p[0];
    FCommsSpeed = p[1];
    EndOpenWrite();
    return 0;
}

uint16_t TSimTool::SetLSVoltage(uint8_t count, const uint8_t* p)
{
    if (count < 1)
        return InvalidParameter(CmdSetLSVoltage);
    if (p[0] != 1 && p[0] != 2)
        return 0x0601;
    FLevelShifter = p[0];
    return 0;
}

uint16_t TSimTool::SetDUTVoltage(uint8_t count, const uint8_t* p)
{
    double volts = 0.0;
    if (count == 1)
        volts = p[0] == 1 ? 3.3 : p[0] == 2 ? 5.0 : p[0] * 3.0 / 128.0; // fixed choices or coarse steps
    else if (count == 2)
        volts = ((p[0] << 4) | (p[1] >> 4)) * 6.6 / 4096.0; // 12-bit DAC
    if (volts < MinDutVoltage || volts > MaxDutVoltage)
        return 0x0701;
    FDutVoltage = volts;
    return 0;
}

uint16_t TSimTool::SetToolId(uint8_t count, const uint8_t* p)
{
    if (count < 1)
        return InvalidParameter(CmdSetToolId);
    if (p[0] > 15)
        return 0x0801;
    FToolId = p[0];
    return 0;
}

bool TSimTool::ChipAnswers() const
{
    return FCommsType == CommsI2C && FI2CAddress >= 0 && FChip.Acknowledges(uint8_t(FI2CAddress));
}

uint16_t TSimTool::CommsRead(uint8_t count, const uint8_t* p, QByteArray& data)
{
    if (count < 1)
        return InvalidParameter(CmdCommsRead);
    if (FCommsType == 0)
        return 0x0A01;
    if (p[0] > MaxTransferBytes)
        return 0x0A02;
    if (FCommsType == CommsSPI) {
        data = QByteArray(p[0], char(0xFF)); // nothing drives MISO
        return 0;
    }
    EndOpenWrite();
    if (!ChipAnswers())
        return 0x0A03;
    data = FChip.Read(p[0]);
    return 0;
}

uint16_t TSimTool::CommsWrite(uint8_t count, const uint8_t* p, QByteArray& data)
{
    if (FCommsType == 0)
        return 0x0B01;
    if (count > MaxTransferBytes)
        return 0x0B02;
    const QByteArray bytes(reinterpret_cast<const char*>(p), count);
    if (FCommsType == CommsSPI) {
        data = QByteArray(count, char(0xFF));
        return 0;
    }
    if (count == 0)
        return 0;
    if (!ChipAnswers()) {
        EndOpenWrite();
        return 0x0B03;
    }
    if (!FWriteOpen)
        FChip.BeginWrite();
    for (char b : bytes)
        FChip.WriteByte(uint8_t(b));
    FWriteOpen = FStopOff; // without a stop the next chunk continues this write
    data = bytes;
    return 0;
}

uint16_t TSimTool::ConfigI2C(uint8_t count, const uint8_t* p)
{
    if (count < 6)
        return InvalidParameter(CmdConfigI2C);
    if (FCommsType != CommsI2C)
        return 0x0F01;
    if (p[0] < 1 || p[0] > 4)
        return 0x0F02;
    if (p[1] < 1 || p[1] > 2)
        return 0x0F03;
    if (p[2] < 0x08 || p[2] > 0x77)
        return 0x0F04; // reserved 7-bit addresses
    if (p[3] < 1 || p[3] > 3 || p[4] < 1 || p[4] > 2 || p[5] < 1 || p[5] > 2)
        return InvalidParameter(CmdConfigI2C);
    FI2CType = p[0];
    FI2CAddress = p[2];
    FStopOff = false;
    EndOpenWrite();
    return 0;
}

uint16_t TSimTool::IORead(uint8_t count, const uint8_t* p, QByteArray& data)
{
    if (count < 1)
        return InvalidParameter(CmdIORead);
    if (p[0] < 1 || p[0] > IoLines)
        return 0x1001;
    data = QByteArray(1, char(FIo[p[0]]));
    return 0;
}

uint16_t TSimTool::IOWrite(uint8_t count, const uint8_t* p)
{
    if (count < 2)
        return InvalidParameter(CmdIOWrite);
    if (p[0] < 1 || p[0] > IoLines)
        return 0x1101;
    if (p[1] != 1 && p[1] != 2)
        return 0x1103;
    FIo[p[0]] = p[1];
    // Line 2 gates the chip's supply; lines 7 and 10, pulled low, wake the chip from off mode and halt charge.
    if (p[0] == 2)
        UpdateSupply();
    else if (p[0] == 7 && p[1] == 1)
        FChip.WakeLine();
    else if (p[0] == 10 && p[1] == 1)
        FChip.ReadyLine();
    return 0;
}

uint16_t TSimTool::I2CRead(uint8_t count, const uint8_t* p, QByteArray& data)
{
    if (count != 1)
        return InvalidParameter(CmdI2CRead); // one address byte
    if (FCommsType != CommsI2C)
        return 0x1201;
    if (p[1] > MaxTransferBytes)
        return 0x1202;
    EndOpenWrite();
    if (!ChipAnswers())
        return 0x1203;
    FChip.BeginWrite();
    FChip.WriteByte(p[0]);
    data = FChip.Read(p[1]);
    return 0;
}

uint16_t TSimTool::StopBitControl(uint8_t count, const uint8_t* p)
{
    if (count < 1 || p[0] > 1)
        return InvalidParameter(CmdStopBit);
    FStopOff = p[0] == 0;
    return 0;
}

uint16_t TSimTool::SetStreamLength(uint8_t count, const uint8_t* p)
{
    if (count < 2)
        return InvalidParameter(CmdStreamLength);
    const int length = p[0] << 8 | p[1];
    if (length == 0 || length > MaxStreamLength)
        return InvalidParameter(CmdStreamLength);
    FStreamLength = length;
    FPendingMap.clear();
    FNextPiece = 0;
    return 0;
}

uint16_t TSimTool::StartStreaming(uint8_t piece, const uint8_t* p)
{
    if (FStreamLength == 0)
        return 0x0CFE;
    if (FCommsType == 0)
        return 0x0C01;
    if (!FDutPower)
        return 0x0C05;
    if (FCommsType == CommsI2C && !ChipAnswers())
        return 0x0C03;
    if (piece == 0) {
        FPendingMap.clear();
        FNextPiece = 0;
    }
    if (piece != FNextPiece) {
        FPendingMap.clear();
        FNextPiece = 0;
        return InvalidParameter(CmdStartStreaming);
    }
    const int pieces = (FStreamLength + StreamPiece - 1) / StreamPiece;
    const int bytes = std::min(StreamPiece, FStreamLength - StreamPiece * piece);
    FPendingMap.append(reinterpret_cast<const char*>(p), bytes);
    if (++FNextPiece < pieces)
        return 0;
    FMap = FPendingMap;
    FPendingMap.clear();
    FNextPiece = 0;
    FStreaming = true;
    FChipLost = false;
    EndOpenWrite();
    return 0;
}

uint16_t TSimTool::StopStreaming()
{
    if (!FStreaming)
        return 0x0D01;
    FStreaming = false;
    return 0;
}

uint16_t TSimTool::EventMode(uint8_t count, const uint8_t* p)
{
    if (count < 1 || p[0] > 1)
        return InvalidParameter(CmdEventMode);
    if (p[0] == 1 && FI2CType == 1)
        return 0x1A01; // no ready line to wait on
    FEventMode = p[0] == 1;
    return 0;
}

void TSimTool::UpdateSupply()
{
    const bool supplied = FDutPower && FIo[2] != 1;
    if (supplied != FChip.Powered())
        FChip.SetPowered(supplied);
}

QByteArray TSimTool::ReadFrame()
{
    const int length = int(FMap.size());
    if (FCommsType == CommsSPI)
        return QByteArray(length, char(0xFF));
    QByteArray frame(length, '\0');
    // A non-zero map byte names a register; its bytes fill the frame up to the next register or the end.
    for (int start = 0; start < length;) {
        if (FMap[start] == 0) {
            ++start;
            continue;
        }
        int end = start + 1;
        while (end < length && FMap[end] == 0)
            ++end;
        FChip.BeginWrite();
        FChip.WriteByte(uint8_t(FMap[start]));
        const QByteArray bytes = FChip.Read(end - start);
        std::memcpy(frame.data() + start, bytes.constData(), size_t(end - start));
        start = end;
    }
    return frame;
}

void TSimTool::StreamFrame(Reports& out)
{
    // A chip in event mode signals only the cycles that raised an event; the others are numbered but not sent.
    if (FCommsType == CommsI2C && FChip.EventMode() && FChip.CycleEvents() == 0) {
        ++FFrameCounter;
        return;
    }
    if (FFaults.SkipCounter())
        ++FFrameCounter;
    const QByteArray frame = ReadFrame();
    const int pieces = std::max(1, (int(frame.size()) + StreamPiece - 1) / StreamPiece);
    for (int i = 0; i < pieces; ++i)
        out.append(Report(TypeStream, FFrameCounter, uint8_t(i), frame.mid(i * StreamPiece, StreamPiece)));
    ++FFrameCounter;
    ++FFramesSent;
}

void TSimTool::Tick(bool chipSampled, Reports& out)
{
    if (FFaults.Silent())
        return;
    Reports stream;
    if (FStreaming && FCommsType == CommsI2C && !ChipAnswers()) {
        if (!FChipLost)
            out.append(StreamError(NoCommsReply));
        FChipLost = true;
    } else if (FStreaming) {
        FChipLost = false;
        if ((chipSampled || FCommsType == CommsSPI) && !FWriteOpen)
            StreamFrame(stream);
    } else if (FEventMode && chipSampled && FChip.CycleEvents() != 0 && ChipAnswers()) {
        QByteArray data;
        if (FMap.isEmpty()) {
            FChip.BeginWrite();
            FChip.WriteByte(SimRegister::SystemFlags);
            data = FChip.Read(2);
        } else {
            data = ReadFrame();
        }
        out.append(Report(TypeEvent, 0xFF, 0, data));
    }
    FFaults.FilterStream(stream);
    out.append(stream);
    if (FStreaming && !stream.isEmpty()) {
        if (const auto code = FFaults.StreamError())
            out.append(StreamError(*code));
    }
}
