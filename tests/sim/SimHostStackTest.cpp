// The program's own tool link and chip device component against the simulator, end to end: set-up, power,
// the address probe, versions, every stream set-up reassembled by the device list, and every injected fault
// as the tool link reports it.
#include "sim/Simulator.h"

#include "chip/KorvaneKT880.h"
#include "toollink/KorvaneDevList.h"
#include "toollink/KorvaneHIDTool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

struct Frame {
    uint16_t size = 0;
    uint8_t id = 0;
    QByteArray data;
};

// Map and length as the settings window builds them from its five boxes (bit 0 coordinates, 1 prox and
// touch, 2 counts, 3 averages, 4 deltas); the system flags always come first.
struct StreamMap {
    TKvrByteArray map{};
    int length = 0;
    int offset[7] = {}; // frame offset of each register's block, by register address
};

StreamMap BuildMap(int boxes)
{
    StreamMap s;
    s.map[0] = 0x01;
    s.offset[1] = 3;
    int p = 2;
    const int reg[5] = {0x02, 0x03, 0x04, 0x05, 0x06};
    const int len[5] = {3, 2, 10, 10, 8};
    for (int b = 0; b < 5; ++b) {
        if (!(boxes >> b & 1))
            continue;
        s.map[size_t(p)] = uint8_t(reg[b]);
        s.offset[reg[b]] = p + 3;
        p += len[b];
    }
    s.length = p;
    return s;
}

class HostStack : public ::testing::Test {
protected:
    void Start(SimOptions options = Options())
    {
        Sim = std::make_unique<TSimulator>(options);
        List = std::make_unique<TKorvaneDevList>(Sim->Backend());
        Tool = std::make_unique<TKorvaneHidTool>();
        Tool->ReadWaitMs = 300;
        Tool->SetKorvaneDevList(List.get());
        Chip = std::make_unique<TKT880Device>();
        Chip->SetHIDTool(Tool.get());
        // As the main window configures it.
        Chip->SetDUTVoltage(TKTDUTVoltage::v3_3V);
        Chip->SetCommsType(TKT880CommsType::c880_I2C);
        Chip->SetI2CType(TI2CType::RDY_ActiveLow);
        Chip->SetI2CAddress(QStringLiteral("44"));
        Chip->OnStreaming = [this](uint16_t size, uint8_t id, const uint8_t* data) {
            Frames.append({size, id, QByteArray(reinterpret_cast<const char*>(data), size)});
        };
        Chip->OnStreamingError = [this](uint16_t code) { Errors.append(code); };
        Chip->OnStreamingDataMissed = [this](uint8_t) { ++Missed; };
        List->OnDeviceChange = [this](QObject*, bool) { ++DeviceChanges; };
        List->Activate();
        ASSERT_TRUE(WaitFor([this] { return List->HidDevices().Count == 1; }));
        ASSERT_TRUE(Tool->SetCurrentDevice(0));
    }
    void TearDown() override
    {
        Chip.reset();
        Tool.reset();
        List.reset();
        Sim.reset();
    }
    static SimOptions Options()
    {
        SimOptions o;
        o.seed = 21;
        o.manualClock = true;
        o.scenario = QStringLiteral("idle");
        return o;
    }
    void SetUpAndPower()
    {
        ASSERT_EQ(Chip->SetupCT(), 0);
        ASSERT_EQ(Chip->PowerOn(), 0);
    }
    // Runs samples and lets every report they made reach the device list.
    void Pump(int samples)
    {
        Sim->Advance(samples);
        // Done after 50 ms without a new frame: a slow machine or a sanitizer build delays the reader.
        int last = -1;
        QElapsedTimer quiet;
        quiet.start();
        while (quiet.elapsed() < 50) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
            if (Frames.size() != last)
                quiet.restart();
            last = Frames.size();
        }
    }
    uint16_t Stream(const StreamMap& s)
    {
        uint16_t r = Tool->SetLongStreamingLength(uint16_t(s.length));
        return r ? r : Tool->StartLongStreaming(s.map);
    }

    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TKorvaneDevList> List;
    std::unique_ptr<TKorvaneHidTool> Tool;
    std::unique_ptr<TKT880Device> Chip;
    QList<Frame> Frames;
    QList<uint16_t> Errors;
    int Missed = 0;
    int DeviceChanges = 0;
};

SimOptions WithFaults(const std::function<void(SimFaults&)>& set)
{
    SimOptions o;
    o.seed = 21;
    o.manualClock = true;
    o.scenario = QStringLiteral("idle");
    set(o.faults);
    return o;
}

} // namespace

TEST_F(HostStack, SetUpPowerAndVersion)
{
    Start();
    SetUpAndPower();
    EXPECT_TRUE(Sim->ToolStatus().chipSupplied);
    uint32_t version = 0;
    uint8_t build = 0, release = 0;
    ASSERT_EQ(Tool->GetCTFWVersion(version, build, release), 0);
    EXPECT_EQ(version, 0x0106u);
    EXPECT_EQ(build, 19);
    EXPECT_EQ(release, 0x0C);
    ASSERT_EQ(Tool->SetCTID(3), 0);
    ASSERT_EQ(Tool->GetCTFWVersion(version), 0);
    EXPECT_EQ(Tool->LastDevID, 3u);
    EXPECT_EQ(Tool->PowerOnDUT(), 0x0203);
    EXPECT_EQ(Chip->PowerOff(), 0);
    EXPECT_FALSE(Sim->ChipStatus().powered);
    EXPECT_EQ(Chip->PowerOff(), 0x0301);
}

TEST_F(HostStack, DeviceInfoAndSettingsRoundTrip)
{
    Start();
    SetUpAndPower();
    TKvrByteArray data{};
    ASSERT_EQ(Tool->I2CRead(0x00, 2, data), 0);
    EXPECT_EQ(data[0], 67);
    EXPECT_EQ(data[1], 3);
    TKvrByteArray write{};
    const uint8_t thresholds[9] = {0x0A, 6, 20, 24, 28, 4, 0x05, 30, 8};
    std::copy(std::begin(thresholds), std::end(thresholds), write.begin());
    ASSERT_EQ(Tool->CommsWrite(9, write), 0);
    EXPECT_EQ(Sim->ChipRegister(0x0A), QByteArray(reinterpret_cast<const char*>(thresholds + 1), 8));
    ASSERT_EQ(Tool->I2CRead(0x0A, 8, data), 0);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 8, thresholds + 1));
    // Indirect read of an actual base, as the register operations do it.
    Pump(80);
    TKvrByteArray a{0xFC, 0x7F}, b{0xFD};
    ASSERT_EQ(Tool->CommsWrite(2, a), 0);
    ASSERT_EQ(Tool->CommsWrite(1, b), 0);
    ASSERT_EQ(Tool->CommsRead(1, data), 0);
    EXPECT_EQ(data[0], Sim->ChipMemory(0x7F));
}

TEST_F(HostStack, AddressProbeFindsTheChipOrNothing)
{
    for (int address : {0x44, 0x45, 0x46, 0x47, -1}) {
        SimOptions o = Options();
        o.chipAddress = address;
        TearDown();
        Start(o);
        SetUpAndPower();
        int found = -1, attempts = 0;
        for (uint8_t a = 0x44; a <= 0x47 && found < 0; ++a) {
            ++attempts;
            ASSERT_EQ(Tool->ConfigI2C(TI2CType::RDY_ActiveLow, TPullUpResistors::prConnected, a, TReadyPin::rpPin10,
                                      TI2CStopCommand::scUseStop, TI2CPolling::ipNoPolling), 0);
            TKvrByteArray data{};
            const uint16_t r = Tool->I2CRead(0x00, 2, data);
            if (r == 0)
                found = a;
            else
                EXPECT_EQ(r, 0x1203);
        }
        EXPECT_EQ(found, address);
        EXPECT_EQ(attempts, address < 0 ? 4 : address - 0x44 + 1);
    }
}

TEST_F(HostStack, EveryStreamSetUpReassemblesToTheChipRegisters)
{
    Start();
    SetUpAndPower();
    Pump(80);
    for (int boxes = 0; boxes < 32; ++boxes) {
        const StreamMap s = BuildMap(boxes);
        Frames.clear();
        ASSERT_EQ(Stream(s), 0) << boxes;
        Pump(3);
        ASSERT_EQ(Frames.size(), 3) << "boxes " << boxes;
        const Frame& f = Frames.last();
        EXPECT_EQ(uint8_t(f.data[0]) & 0x0F, 0x0F);
        if (s.length > 32) {
            EXPECT_EQ(f.size, s.length + 3);
            EXPECT_EQ(uint8_t(f.data[2]), 0xFF);
        } else {
            EXPECT_EQ(f.size, 64);
            EXPECT_EQ(uint8_t(f.data[2]), 0);
        }
        EXPECT_EQ(uint8_t(uint8_t(Frames[1].data[1]) + 1), uint8_t(f.data[1])); // consecutive frames
        EXPECT_EQ(f.data[3], Sim->ChipRegister(0x01)[0]);
        for (int reg = 2; reg <= 6; ++reg) {
            if (!s.offset[reg])
                continue;
            const QByteArray expected = Sim->ChipRegister(uint8_t(reg));
            EXPECT_EQ(f.data.mid(s.offset[reg], expected.size()), expected) << "boxes " << boxes << " reg " << reg;
        }
        ASSERT_EQ(Chip->StopStreaming(), 0);
        Pump(2);
    }
    EXPECT_EQ(Missed, 0);
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(HostStack, DroppedReportsAreSeenAsMissedData)
{
    Start(WithFaults([](SimFaults& f) { f.drop.everyNth = 10; }));
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(101); // every tenth report lost: frames 9, 19, ... 99
    EXPECT_EQ(Frames.size(), 91);
    EXPECT_EQ(Missed, 10);
}

TEST_F(HostStack, LostPiecesDropLongFramesSilently)
{
    Start(WithFaults([](SimFaults& f) { f.drop.everyNth = 7; }));
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x1F)), 0); // 35 bytes: two pieces per frame
    Pump(70); // 140 pieces, 20 of them lost, each in another frame
    EXPECT_EQ(Frames.size(), 50);
    for (const Frame& f : Frames)
        EXPECT_EQ(f.size, 38);
}

TEST_F(HostStack, SkippedCounterValuesAndDuplicates)
{
    Start(WithFaults([](SimFaults& f) { f.skipCounter.everyNth = 25; }));
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(100);
    EXPECT_EQ(Frames.size(), 100);
    EXPECT_EQ(Missed, 4);

    TearDown();
    Frames.clear();
    Missed = 0;
    Start(WithFaults([](SimFaults& f) { f.duplicate.everyNth = 20; }));
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(100);
    EXPECT_EQ(Frames.size(), 105);
    EXPECT_GE(Missed, 5);
}

TEST_F(HostStack, RestartedStreamIsAdoptedWithoutAMissedNotice)
{
    Start();
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(60);
    ASSERT_EQ(Chip->StopStreaming(), 0);
    Pump(5);
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0); // the tool's counter goes on at 60, the list expects 0
    Pump(20);
    EXPECT_EQ(Frames.size(), 80);
    EXPECT_EQ(Missed, 0);
}

TEST_F(HostStack, ErrorRepliesBecomeResults)
{
    Start(WithFaults([](SimFaults& f) { f.errors.append(SimErrorFault{0x02, 0x0203, 1}); }));
    ASSERT_EQ(Chip->SetupCT(), 0);
    EXPECT_EQ(Tool->PowerOnDUT(), 515);
    EXPECT_FALSE(Tool->IsPowerOn);
    EXPECT_EQ(Tool->PowerOnDUT(), 0);
    EXPECT_TRUE(Tool->IsPowerOn);
}

TEST_F(HostStack, StreamingErrorsBelow256AreReported)
{
    Start(WithFaults([](SimFaults& f) { f.streamError = SimStreamErrorFault{0x000E, 20}; }));
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(100);
    EXPECT_EQ(Errors, (QList<uint16_t>{14, 14, 14, 14, 14}));
    EXPECT_EQ(Frames.size(), 100);

    TearDown();
    Errors.clear();
    Start(WithFaults([](SimFaults& f) { f.streamError = SimStreamErrorFault{0x0C05, 20}; }));
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(100);
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(HostStack, SilentToolTimesOutWithoutHanging)
{
    Start(WithFaults([](SimFaults& f) { f.silentAfterCommands = 5; }));
    ASSERT_EQ(Chip->SetupCT(), 0); // five commands answered
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Tool->PowerOnDUT(), 3);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_FALSE(Tool->IsPowerOn);
}

TEST_F(HostStack, ToolPulledOutMidTransaction)
{
    Start(WithFaults([](SimFaults& f) { f.vanishAtCommand = 6; }));
    ASSERT_EQ(Chip->SetupCT(), 0);
    const int changes = DeviceChanges;
    QElapsedTimer timer;
    timer.start();
    const uint16_t r = Tool->PowerOnDUT(); // the tool vanishes instead of answering
    EXPECT_TRUE(r == 3 || r == 12) << r;
    EXPECT_LT(timer.elapsed(), 2000);
    ASSERT_TRUE(WaitFor([&] { return DeviceChanges > changes && List->HidDevices().Count == 0; }));
    EXPECT_FALSE(Tool->ReselectDevice());
    EXPECT_EQ(Tool->PowerOnDUT(), 2); // no tool in the list
}

TEST_F(HostStack, ToolPulledOutMidStream)
{
    Start();
    SetUpAndPower();
    ASSERT_EQ(Stream(BuildMap(0x0F)), 0);
    Pump(10);
    ASSERT_TRUE(List->IsStreaming);
    Sim->UnplugTool();
    ASSERT_TRUE(WaitFor([&] { return List->HidDevices().Count == 0; }));
    EXPECT_FALSE(List->IsStreaming);
    EXPECT_TRUE(List->JustStopped);
    EXPECT_EQ(List->StreamingDevices.NumberOfDevices, 0);
    const int frames = Frames.size();
    Pump(10);
    EXPECT_EQ(Frames.size(), frames);

    // Plugged in again it is a tool straight out of the box.
    Sim->PlugTool();
    ASSERT_TRUE(WaitFor([&] { return List->HidDevices().Count == 1; }));
    ASSERT_TRUE(Tool->SetCurrentDevice(0));
    EXPECT_EQ(Tool->PowerOffDUT(), 0x0301);
}

TEST_F(HostStack, EventReportsInEventMode)
{
    Start();
    SetUpAndPower();
    Pump(80);
    ASSERT_EQ(Tool->EventMode(true), 0);
    Sim->SetTouch(1, true);
    Pump(20);
    ASSERT_FALSE(Frames.isEmpty());
    for (const Frame& f : Frames) {
        EXPECT_EQ(f.id, 0);
        EXPECT_EQ(uint8_t(f.data[0]) & 0x0F, 0x0B);
        EXPECT_EQ(uint8_t(f.data[1]), 0xFF);
    }
    ASSERT_EQ(Tool->EventMode(false), 0);
    Frames.clear();
    Sim->SetTouch(1, false);
    Pump(20);
    EXPECT_TRUE(Frames.isEmpty());
}

TEST_F(HostStack, OffModeWakesOnLineSevenAndHaltChargeEndsOnLineTen)
{
    Start();
    SetUpAndPower();
    Pump(80);
    TKvrByteArray off{0x09, 0x00, 0x11, 0x00, 0x40};
    ASSERT_EQ(Tool->CommsWrite(5, off), 0);
    Pump(5);
    EXPECT_TRUE(Sim->ChipStatus().offMode);
    ASSERT_EQ(Tool->IOWrite(7, 1), 0);
    uint8_t state = 0;
    ASSERT_EQ(Tool->IORead(7, state), 0);
    EXPECT_FALSE(Sim->ChipStatus().offMode);
    EXPECT_TRUE(Sim->ChipStatus().showReset);

    TKvrByteArray halt{0x09, 0x00, 0x11, 0x00, 0x08};
    ASSERT_EQ(Tool->CommsWrite(5, halt), 0);
    const quint64 cycles = Sim->ChipStatus().cycles;
    Pump(5);
    EXPECT_EQ(Sim->ChipStatus().cycles, cycles);
    ASSERT_EQ(Tool->IOWrite(10, 1), 0);
    Pump(5);
    EXPECT_EQ(Sim->ChipStatus().cycles, cycles + 5);
}
