// The program core against a misbehaving tool: refused commands, a tool that falls silent or is pulled out
// at any step, damaged streams, a second tool streaming beside the first, and hot-plug churn. Whatever the
// tool does, the core must report it, end every wait, and keep what was already written.
#include "core/session_support.h"

#include "app/SessionControl.h"
#include "hid/HidLayer.h"
#include "persist/DataLog.h"
#include "persist/SettingsFile.h"
#include "settings/RegisterOperations.h"
#include "sim/Simulator.h"
#include "toollink/HIDToolsErrorCodes.h"
#include "toollink/ToolFilter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <set>
#include <functional>
#include <memory>
#include <thread>

namespace {

const QString UnableToStart = QStringLiteral("Unable to start device streaming!");
const QString Disconnected = QStringLiteral("Streaming device disconnected!");
constexpr int ReplyWaitMs = 40; // the simulator answers on the write; this only bounds a silent tool

// Hands every decoded frame to a test as well.
struct FrameView : SessionView {
    std::function<void()> OnFrame;
    void FrameDecoded() override
    {
        SessionView::FrameDecoded();
        if (OnFrame)
            OnFrame();
    }
};

// The decoded values of one frame; equal for equal chip samples.
using TFrameValues = std::array<int32_t, 12>;

TFrameValues Values(const TMainCore& core)
{
    TFrameValues v{};
    for (int n = 0; n < 4; ++n) {
        v[n] = core.FCurrentChs[n];
        v[4 + n] = core.FLTAChs[n];
        v[8 + n] = core.FDeltaChs[n];
    }
    return v;
}

// The simulated tool and chip with a core on them, the tool selected.
class FaultRig {
public:
    explicit FaultRig(const std::function<void(SimOptions&)>& set = {})
    {
        SimOptions options;
        options.simulate = true;
        options.manualClock = true;
        options.seed = 11;
        options.scenario = QStringLiteral("idle");
        if (set)
            set(options);
        Sim = std::make_unique<TSimulator>(options);
        Core = std::make_unique<TMainCore>(Sim->Backend(), &Messages, &View);
        Core->KorvaneHidTool1->ReadWaitMs = ReplyWaitMs;
        Core->KorvaneHidTool1->OnSendCommands = [this](const TKvrByteArray& c) { Sent << c[2]; };
        Core->KorvaneDevList1->Activate();
        Selected = PumpUntil([this] { return Core->KorvaneHidTool1->DeviceSelected; });
    }
    ~FaultRig()
    {
        Core.reset();
        Sim.reset();
    }

    // Runs samples and waits until their frames are in, or until nothing has come for 150 ms.
    void Stream(int samples) { StreamFrames(*Sim, View, samples, 150); }
    bool Idle() const
    {
        return Core->StartCaption == SessionCaption::Start && !Core->FIsStreaming && !Core->FIsPaused && !Core->FPowerOn;
    }
    bool ToldTheUser(uint16_t code) const
    {
        return Messages.HasError(ErrorCodeText(code)) || View.Warnings.contains(UnableToStart);
    }

    SessionMessages Messages;
    FrameView View;
    std::unique_ptr<TSimulator> Sim;
    std::unique_ptr<TMainCore> Core;
    QList<int> Sent;
    bool Selected = false;
};

// ---- Every command refused ----

struct TRefusal {
    uint8_t Command;
    uint16_t Code;
    bool Ignored; // its failure changes nothing for the user: the session still runs
};

void PrintTo(const TRefusal& r, std::ostream* os)
{
    *os << "command " << std::hex << int(r.Command) << " refused with " << r.Code;
}

class RefusedCommand : public ::testing::TestWithParam<TRefusal> {};

// A session's whole course: start, frames, writes, a wait on an IO line, read-all, pause and resume, stop.
TEST_P(RefusedCommand, IsReportedAndNothingHangs)
{
    const TRefusal refusal = GetParam();
    FaultRig rig([&](SimOptions& o) { o.faults.errors.append({refusal.Command, refusal.Code, -1}); });
    ASSERT_TRUE(rig.Selected);
    QElapsedTimer timer;
    timer.start();

    rig.Core->Session->StartButtonClick();
    rig.Stream(5);
    rig.Core->RegOps->WriteAllThr();
    rig.Core->Settings.HaltChargeRadio = 0;
    bool done = false;
    rig.Core->RegOps->ProxSettings3Cmd([&](bool) { done = true; });
    EXPECT_TRUE(PumpUntil([&] { return done; })) << "the halt-charge wait never ended";
    rig.Core->Session->ReadAllClick();
    rig.Core->Session->PauseButtonClick();
    rig.Core->Session->PauseButtonClick();
    if (rig.Core->StartCaption == SessionCaption::Stop)
        rig.Core->Session->StartButtonClick();

    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(rig.Sent.contains(refusal.Command)) << "the course never sent the command";
    EXPECT_TRUE(rig.Idle());
    EXPECT_FALSE(rig.Sim->ToolStatus().streaming);
    if (refusal.Ignored) {
        EXPECT_TRUE(rig.Messages.HasInfo("Device streaming resumed")) << rig.Messages.Dump();
        EXPECT_GT(rig.View.Frames, 0);
    } else {
        EXPECT_TRUE(rig.ToldTheUser(refusal.Code)) << rig.Messages.Dump();
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, RefusedCommand,
    ::testing::Values(TRefusal{0x01, 0x0101, false}, TRefusal{0x02, 0x00FE, false}, TRefusal{0x03, 0x2202, false},
                      TRefusal{0x05, 0x0501, false}, TRefusal{0x06, 0x0601, false}, TRefusal{0x07, 0x0701, false},
                      TRefusal{0x09, 0x00FF, true}, TRefusal{0x0A, 0x0A03, false}, TRefusal{0x0B, 0x0B03, false},
                      TRefusal{0x0D, 0x0D01, false}, TRefusal{0x0F, 0x0F04, false}, TRefusal{0x10, 0x1002, false},
                      TRefusal{0x11, 0x1102, false}, TRefusal{0x12, 0x1203, false}, TRefusal{0x13, 0x00FF, true},
                      TRefusal{0x14, 0x0C02, false}, TRefusal{0x15, 0x0C04, false}, TRefusal{0x1A, 0x1A01, true}));

// ---- A silent tool, a tool pulled out ----

// The commands of the start road with the default set-up: the tool falls silent or vanishes before each.
constexpr int StartRoadCommands = 20;

class SilentTool : public ::testing::TestWithParam<int> {};

TEST_P(SilentTool, AtEachStepOfTheStartRoad)
{
    const int answered = GetParam();
    FaultRig rig([&](SimOptions& o) { o.faults.silentAfterCommands = answered; });
    ASSERT_TRUE(rig.Selected);
    QElapsedTimer timer;
    timer.start();
    rig.Core->Session->StartButtonClick();
    if (answered < StartRoadCommands) {
        EXPECT_EQ(rig.View.Warnings, QStringList{UnableToStart}) << rig.Messages.Dump();
        EXPECT_TRUE(rig.Idle());
    } else {
        // Streaming was started and nothing comes: the stop is not held up either.
        ASSERT_TRUE(rig.Core->FIsStreaming) << rig.Messages.Dump();
        rig.Stream(5);
        EXPECT_EQ(rig.View.Frames, 0);
        rig.Core->Session->StartButtonClick();
        EXPECT_TRUE(rig.Idle());
        EXPECT_TRUE(rig.Messages.HasError(ErrorCodeText(3))) << "a power-off nobody answered is no success";
    }
    EXPECT_LT(timer.elapsed(), 40 * ReplyWaitMs);
}

INSTANTIATE_TEST_SUITE_P(StartRoad, SilentTool, ::testing::Range(0, StartRoadCommands + 1));

TEST(SilentToolFromTheStart, CostsOneLongWaitNotOnePerCommand)
{
    FaultRig rig([](SimOptions& o) { o.faults.silentAfterCommands = 0; });
    TKorvaneHidTool& tool = *rig.Core->KorvaneHidTool1;
    tool.ReadWaitMs = 1000;
    tool.SilentWaitMs = 100;
    QElapsedTimer timer;
    timer.start();
    rig.Core->Session->StartButtonClick();
    EXPECT_LT(timer.elapsed(), tool.ReadWaitMs + 15 * tool.SilentWaitMs) << rig.Sent.size() << " commands";
    EXPECT_EQ(rig.View.Warnings, QStringList{UnableToStart});
    EXPECT_TRUE(rig.Messages.HasError(ErrorCodeText(3)));
}

class VanishingTool : public ::testing::TestWithParam<int> {};

TEST_P(VanishingTool, AtEachStepOfTheStartRoad)
{
    FaultRig rig([&](SimOptions& o) { o.faults.vanishAtCommand = GetParam(); });
    ASSERT_TRUE(rig.Selected);
    QElapsedTimer timer;
    timer.start();
    rig.Core->Session->StartButtonClick();
    EXPECT_LT(timer.elapsed(), 40 * ReplyWaitMs);
    EXPECT_EQ(rig.View.Warnings, QStringList{UnableToStart}) << rig.Messages.Dump();
    ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 0; }));
    EXPECT_TRUE(rig.Idle());

    // Plugged in again, the next start works.
    rig.Sim->PlugTool();
    ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 1; }));
    rig.Core->Session->StartButtonClick();
    EXPECT_TRUE(rig.Core->FIsStreaming) << rig.Messages.Dump();
}

INSTANTIATE_TEST_SUITE_P(StartRoad, VanishingTool, ::testing::Range(1, StartRoadCommands + 1));

TEST(ToolPulledOut, MidLoadOfASettingsFileLeavesTheFileAndTheNextSessionAlone)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("bench.ini");
    QByteArray saved;
    int loadStarts = 0, loadEnds = 0;
    {
        // A clean run: the file, and where the load's traffic begins and ends.
        FaultRig rig;
        TSettingsFile files(*rig.Core);
        rig.Core->Settings.LoadSettingsCheck = true;
        ASSERT_TRUE(files.SaveSettings(path));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        saved = file.readAll();
        rig.Core->FSettingsFile = path;
        rig.Core->Session->StartButtonClick();
        ASSERT_TRUE(rig.Core->FIsStreaming);
        loadStarts = int(rig.Sent.size());
        rig.Stream(1);
        loadEnds = int(rig.Sent.size());
        ASSERT_GT(loadEnds - loadStarts, 10) << rig.Messages.Dump();
    }
    FaultRig rig([&](SimOptions& o) { o.faults.vanishAtCommand = (loadStarts + loadEnds) / 2; });
    TSettingsFile files(*rig.Core);
    rig.Core->Settings.LoadSettingsCheck = true;
    rig.Core->FSettingsFile = path;
    rig.Core->Session->StartButtonClick();
    ASSERT_TRUE(rig.Core->FIsStreaming);
    QElapsedTimer timer;
    timer.start();
    rig.Stream(1);
    EXPECT_LT(timer.elapsed(), 2000);
    ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 0 && !rig.Core->FRegBusy; }));
    EXPECT_TRUE(rig.Messages.HasError(Disconnected)) << rig.Messages.Dump();
    EXPECT_TRUE(rig.Idle()) << rig.Messages.Dump();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);

    rig.Sim->PlugTool();
    ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 1; }));
    rig.Core->Session->StartButtonClick();
    ASSERT_TRUE(rig.Core->FIsStreaming) << rig.Messages.Dump();
    rig.Stream(1); // the load, then streaming again after the chip's pause
    EXPECT_TRUE(PumpUntil([&] { return rig.Core->FIsStreaming && rig.Sim->ToolStatus().streaming; }))
        << rig.Messages.Dump();
    EXPECT_TRUE(rig.Messages.HasInfo("Settings loaded successfully"));
}

TEST(ToolPulledOut, MidLogKeepsEveryRowAndTheLogGoesOnWhenStreamingDoes)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("run.txt");
    FaultRig rig;
    rig.Core->Session->StartButtonClick();
    ASSERT_TRUE(rig.Core->FIsStreaming);
    ASSERT_TRUE(rig.Core->DataLog->Start(path));
    rig.Stream(40);
    rig.Sim->UnplugTool();
    ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 0; }));
    EXPECT_TRUE(rig.Messages.HasError(Disconnected));
    const auto rows = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("\r\n")) - 1 : -1;
    };
    EXPECT_EQ(rows(), int(rig.Core->FFramesDecoded));
    EXPECT_GE(rows(), 30);

    rig.Sim->PlugTool();
    ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 1; }));
    rig.Core->Session->StartButtonClick();
    ASSERT_TRUE(rig.Core->FIsStreaming);
    rig.Stream(10);
    rig.Core->DataLog->Stop();
    EXPECT_EQ(rows(), int(rig.Core->FFramesDecoded));
    EXPECT_FALSE(rig.Messages.HasError(QStringLiteral("Data log stopped! Unable to write to the log file \"%1\".").arg(path)));
}

// ---- Damaged streams ----

struct TStreamDamage {
    const char* Name;
    std::function<void(SimFaults&)> Set;
};

void PrintTo(const TStreamDamage& d, std::ostream* os)
{
    *os << d.Name;
}

constexpr int DamagedSamples = 1500;

class DamagedStream : public ::testing::TestWithParam<TStreamDamage> {};

// Two-piece frames at a high fault rate: every frame decoded is one the chip measured, never one joined
// from pieces of two samples; the gaps are counted; the session runs on.
TEST_P(DamagedStream, DecodesOnlyWholeFramesAndCountsTheGaps)
{
    const auto run = [](const std::function<void(SimFaults&)>& set, std::set<TFrameValues>& frames,
                        const std::function<void(FaultRig&)>& check) {
        FaultRig rig([&](SimOptions& o) {
            if (set)
                set(o.faults);
        });
        rig.Core->StreamSetup.SetStreamingSetup(0x1F);
        rig.Core->StreamSetup.SetupStreaming();
        rig.Core->Session->StartButtonClick();
        ASSERT_TRUE(rig.Core->FIsStreaming);
        ASSERT_EQ(rig.Sim->ToolStatus().streamLength, 35);
        rig.Core->Settings.LoadSettingsCheck = false;
        rig.Core->FReadDevice = false; // no read-back: the stream alone
        rig.View.OnFrame = [&] { frames.insert(Values(*rig.Core)); };
        rig.Stream(DamagedSamples);
        check(rig);
    };
    std::set<TFrameValues> clean, damaged;
    run({}, clean, [](FaultRig& rig) { EXPECT_EQ(rig.Core->FDataMissedCount, 0u); });
    run(GetParam().Set, damaged, [](FaultRig& rig) {
        EXPECT_GT(rig.Core->FDataMissedCount, 0u);
        EXPECT_GT(rig.View.Frames, DamagedSamples / 2);
        EXPECT_LE(rig.View.Frames, DamagedSamples);
        EXPECT_EQ(rig.Core->Decoder->ShortFrames(), 0u);
        EXPECT_TRUE(rig.Core->FIsStreaming && rig.Sim->ToolStatus().streaming);
        rig.Core->Session->StartButtonClick();
        EXPECT_TRUE(rig.Idle());
    });
    for (const TFrameValues& frame : damaged)
        ASSERT_TRUE(clean.count(frame)) << "a frame the chip never measured was decoded";
}

INSTANTIATE_TEST_SUITE_P(
    HighRate, DamagedStream,
    ::testing::Values(TStreamDamage{"Dropped", [](SimFaults& f) { f.drop.probability = 0.1; }},
                      TStreamDamage{"Duplicated", [](SimFaults& f) { f.duplicate.probability = 0.1; }},
                      TStreamDamage{"Reordered", [](SimFaults& f) { f.reorder.probability = 0.1; }},
                      TStreamDamage{"CounterJumps", [](SimFaults& f) { f.skipCounter.probability = 0.1; }},
                      TStreamDamage{"AllAtOnce",
                                    [](SimFaults& f) {
                                        f.drop.probability = f.duplicate.probability = 0.05;
                                        f.reorder.probability = f.skipCounter.probability = 0.05;
                                    }}),
    [](const ::testing::TestParamInfo<TStreamDamage>& info) { return std::string(info.param.Name); });

// ---- A second tool, hot-plug churn ----

// A tool someone else set streaming with tool ID 5: its frames are all 0xEE bytes.
class ForeignStreamer : public VirtualHidDevice {
public:
    explicit ForeignStreamer(const HidDeviceInfo& info) : VirtualHidDevice(info) {}
    ~ForeignStreamer() override { Stop(); }
    void OutputReport(const QByteArray&) override {}
    void Start()
    {
        FThread = std::thread([this] {
            for (uint8_t counter = 0; !FStop; ++counter) {
                for (uint8_t piece = 0; piece < 2; ++piece) {
                    QByteArray report(65, char(0xEE));
                    report[0] = 0;
                    report[1] = char(0x5F);
                    report[2] = char(counter);
                    report[3] = char(piece);
                    SendInputReport(report);
                }
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
        });
    }
    void Stop()
    {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
    }

private:
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

TEST(SecondTool, StreamingWithAnotherIDIsNeitherDecodedNorCountedAsMissedData)
{
    std::set<TFrameValues> clean, mixed;
    const auto run = [](bool foreign, std::set<TFrameValues>& frames) {
        FaultRig rig;
        HidDeviceInfo info;
        info.vendorId = ToolFilter::ToolVendorID;
        info.productId = ToolFilter::KC60;
        info.productName = QStringLiteral("Korvane KC60 Configuration Tool");
        info.serialNumber = QStringLiteral("OTHER-1");
        info.inputReportLength = info.outputReportLength = 65;
        auto other = std::make_shared<ForeignStreamer>(info);
        if (foreign) {
            rig.Sim->Backend()->Plug(other);
            ASSERT_TRUE(PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == 2; }));
        }
        rig.Core->StreamSetup.SetStreamingSetup(0x1F);
        rig.Core->StreamSetup.SetupStreaming();
        rig.Core->Session->StartButtonClick();
        ASSERT_TRUE(rig.Core->FIsStreaming) << rig.Messages.Dump();
        rig.Core->FReadDevice = false;
        rig.View.OnFrame = [&] { frames.insert(Values(*rig.Core)); };
        if (foreign)
            other->Start();
        rig.Stream(1000);
        other->Stop();
        EXPECT_EQ(rig.View.Frames, 1000);
        EXPECT_EQ(rig.Core->FDataMissedCount, 0u);
        EXPECT_EQ(rig.Messages.Errors(), 0) << rig.Messages.Dump();
    };
    run(false, clean);
    run(true, mixed);
    EXPECT_EQ(mixed, clean);
}

int Entries(const char* folder)
{
    return int(QDir(QString::fromLatin1(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

TEST(HotPlug, TenThousandCyclesLeakNoHandlesAndNoThreads)
{
    FaultRig rig;
    ASSERT_TRUE(rig.Selected);
    const auto listed = [&](int n) {
        return PumpUntil([&] { return rig.Core->KorvaneDevList1->HidDevices().Count == n; });
    };
    const int fds = Entries("/proc/self/fd");
    const int threads = Entries("/proc/self/task");
    // Scans at once instead of after the notification's short settling time.
    THidLayer* layer = rig.Core->KorvaneDevList1->HidLayer();
    for (int cycle = 0; cycle < 10000; ++cycle) {
        rig.Sim->UnplugTool();
        layer->StartScan();
        ASSERT_TRUE(listed(0)) << "cycle " << cycle;
        rig.Sim->PlugTool();
        layer->StartScan();
        ASSERT_TRUE(listed(1)) << "cycle " << cycle;
        if (cycle % 2500 == 0) {
            // Now and then a session on the tool as it is now.
            rig.Core->Session->StartButtonClick();
            ASSERT_TRUE(rig.Core->FIsStreaming) << "cycle " << cycle << rig.Messages.Dump();
        }
    }
    EXPECT_TRUE(PumpUntil([&] { return Entries("/proc/self/task") == threads; })) << Entries("/proc/self/task");
    EXPECT_EQ(Entries("/proc/self/fd"), fds);
    EXPECT_EQ(rig.Messages.Count(Disconnected), 4);
}

} // namespace
