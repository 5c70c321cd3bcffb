#pragma once
// A scripted configuration tool with a small register file behind it, and a core built over it, for the
// exact bytes of the register operations.

#include "app/MainCore.h"
#include "app/MainView.h"
#include "hid/VirtualHidBackend.h"
#include "settings/RegisterOperations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <array>
#include <functional>
#include <mutex>
#include <vector>

namespace registers {

// One command the tool received: its code and payload, and when it came (ms since the tool was made).
struct ToolCommand {
    uint8_t Code;
    std::vector<uint8_t> Payload;
    qint64 AtMs;
};

class RegisterTool : public VirtualHidDevice {
public:
    static constexpr int ReportLength = 65;
    RegisterTool()
        : VirtualHidDevice(HidDeviceInfo{{}, 0x2E3C, 0x0C60, QStringLiteral("KORVANE CT"), QStringLiteral("REG1"),
                                         ReportLength, ReportLength})
    {
        FClock.start();
        for (auto& r : Registers)
            r.fill(0);
        Memory.fill(0);
    }

    // The chip's registers (10 bytes each) and indirect memory, as the fake holds them.
    std::array<std::array<uint8_t, 10>, 256> Registers{};
    std::array<uint8_t, 256> Memory{};

    // The next command with this code (and, for writes and reads, this register; -1 any) answers an error.
    void FailNext(uint8_t code, int reg, uint16_t error)
    {
        std::lock_guard lock(FMutex);
        FFailures.push_back({code, reg, error});
    }

    std::vector<ToolCommand> Commands() const
    {
        std::lock_guard lock(FMutex);
        return FCommands;
    }
    void Clear()
    {
        std::lock_guard lock(FMutex);
        FCommands.clear();
    }
    // Payloads of the register writes (command 0x0B), first byte the register address.
    std::vector<std::vector<uint8_t>> Writes() const
    {
        std::vector<std::vector<uint8_t>> writes;
        for (const ToolCommand& c : Commands())
            if (c.Code == 0x0B)
                writes.push_back(c.Payload);
        return writes;
    }
    // The commands without the version queries that accompany every stop of streaming.
    std::vector<ToolCommand> Traffic() const
    {
        std::vector<ToolCommand> traffic;
        for (const ToolCommand& c : Commands())
            if (c.Code != 0x09)
                traffic.push_back(c);
        return traffic;
    }
    std::vector<uint8_t> Codes() const
    {
        std::vector<uint8_t> codes;
        for (const ToolCommand& c : Traffic())
            codes.push_back(c.Code);
        return codes;
    }

    void OutputReport(const QByteArray& report) override
    {
        const auto* r = reinterpret_cast<const uint8_t*>(report.constData());
        const uint8_t id = r[1], code = r[2], count = r[3];
        const uint8_t* p = r + 4;
        QByteArray reply;
        uint16_t error = 0;
        {
            std::lock_guard lock(FMutex);
            const int payloadLength = code == 0x12 ? 2 : code == 0x0A ? 1 : code == 0x11 ? 2 : code == 0x10 ? 1 : count;
            FCommands.push_back({code, std::vector<uint8_t>(p, p + payloadLength), FClock.elapsed()});
            const int reg = code == 0x12 ? p[0] : code == 0x0B ? p[0] : -1;
            for (auto it = FFailures.begin(); it != FFailures.end(); ++it) {
                if (it->Code == code && (it->Reg < 0 || it->Reg == reg)) {
                    error = it->Error;
                    FFailures.erase(it);
                    break;
                }
            }
            if (!error)
                reply = Execute(code, count, p);
        }
        QByteArray out(ReportLength, '\0');
        out[1] = char(error ? 0x0E : 0x01);
        out[2] = char(id);
        if (error) {
            out[4] = char(error >> 8);
            out[5] = char(error & 0xFF);
        } else {
            for (int i = 0; i < reply.size() && 4 + i < ReportLength; ++i)
                out[4 + i] = reply[i];
        }
        SendInputReport(out);
    }

    // A stream report carrying one whole frame of `data` (the data part after the 3 header bytes).
    void SendFrame(uint8_t sequence, const std::vector<uint8_t>& data)
    {
        QByteArray out(ReportLength, '\0');
        out[1] = char(0x0F);
        out[2] = char(sequence);
        out[3] = char(0x80 | data.size()); // one piece: first and last
        for (size_t i = 0; i < data.size() && 4 + i < size_t(ReportLength); ++i)
            out[int(4 + i)] = char(data[i]);
        SendInputReport(out);
    }

private:
    struct Failure {
        uint8_t Code;
        int Reg;
        uint16_t Error;
    };

    QByteArray Execute(uint8_t code, uint8_t count, const uint8_t* p)
    {
        QByteArray data;
        switch (code) {
        case 0x12: // I2CRead
            for (int i = 0; i < p[1]; ++i)
                data.append(char(Registers[p[0]][size_t(i % 10)]));
            break;
        case 0x0B: // CommsWrite
            data = QByteArray(reinterpret_cast<const char*>(p), count);
            if (count == 0)
                break;
            FPointer = p[0];
            if (p[0] == 0xFC && count >= 2)
                FMemoryAddress = p[1];
            else if (p[0] == 0xFD && count >= 2)
                Memory[FMemoryAddress] = p[1];
            else
                for (int i = 1; i < count && i <= 10; ++i)
                    Registers[p[0]][size_t(i - 1)] = p[i];
            break;
        case 0x0A: // CommsRead
            for (int i = 0; i < p[0]; ++i)
                data.append(char(FPointer == 0xFD ? Memory[FMemoryAddress] : Registers[FPointer][size_t(i % 10)]));
            break;
        case 0x10: // IORead
            data.append(char(1));
            break;
        default:
            break;
        }
        return data;
    }

    mutable std::mutex FMutex;
    std::vector<ToolCommand> FCommands;
    std::vector<Failure> FFailures;
    QElapsedTimer FClock;
    uint8_t FPointer = 0;
    uint8_t FMemoryAddress = 0;
};

struct Messages : IMessageSink {
    QStringList Infos, Errors;
    int KvrAddItem(const QString& item, TKvrItemType kind) override
    {
        (kind == TKvrItemType::aError ? Errors : Infos) << item;
        return Infos.size() + Errors.size() - 1;
    }
};

struct View : IMainView {
    QStringList Calls;
    bool ForceSleep = true, AckReset = true, Busy = false, Changed = false;
    QString Version;
    void SetVersionLabel(const QString& text) override { Version = text; }
    void SetForceSleepEnabled(bool e) override { ForceSleep = e; }
    bool ForceSleepEnabled() const override { return ForceSleep; }
    void SetAckResetEnabled(bool e) override { AckReset = e; }
    bool AckResetEnabled() const override { return AckReset; }
    void SetRegisterBusy(bool b) override
    {
        Busy = b;
        Calls << QString("Busy(%1)").arg(b);
    }
    void SetSettingsChanged(bool c) override
    {
        Changed = c;
        Calls << QString("Changed(%1)").arg(c);
    }
    void SetChannelEmpty(int c) override { Calls << QString("Empty(%1)").arg(c); }
    void SetCalCapWaitVisible(bool v) override { Calls << QString("Wait(%1)").arg(v); }
    void Delta() override { Calls << "Delta"; }
};

inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

inline std::vector<uint8_t> V(std::initializer_list<int> bytes)
{
    std::vector<uint8_t> v;
    for (int b : bytes)
        v.push_back(uint8_t(b));
    return v;
}

// A core over one RegisterTool, tool selected, chip powered.
class RegistersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Backend->Plug(Tool);
        Core = std::make_unique<TMainCore>(Backend, &Msgs, &Screen);
        Core->KorvaneDevList1->Activate();
        ASSERT_TRUE(WaitUntil([this] { return Core->KorvaneDevList1->HidDevices().Count == 1; }));
        ASSERT_TRUE(Core->KorvaneHidTool1->SetCurrentDevice(0));
        Core->FPowerOn = true;
        Tool->Clear();
    }
    void TearDown() override { Core.reset(); }

    TSettingsRecord& S() { return Core->Settings; }
    TRegisterOperations& Ops() { return *Core->RegOps; }

    std::shared_ptr<VirtualHidBackend> Backend = std::make_shared<VirtualHidBackend>();
    std::shared_ptr<RegisterTool> Tool = std::make_shared<RegisterTool>();
    Messages Msgs;
    View Screen;
    std::unique_ptr<TMainCore> Core;
};

} // namespace registers
