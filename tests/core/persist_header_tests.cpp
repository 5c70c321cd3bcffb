// The firmware header: byte for byte against reference files, compiled by the C compiler, and written whole
// or not at all.
#include "app/MainCore.h"
#include "core/session_support.h"
#include "hid/VirtualHidBackend.h"
#include "persist/HeaderExport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

namespace {

// The header of the default set-up, as the firmware project expects it.
const QByteArray DefaultHeader =
    "/*\n* This file contains all the necessary settings for the KT610 and this file can\n"
    "* be changed from the GUI or edited here\n* File:   KT610_init.h\n* Author: Korvane\n*/\r\n"
    "\r\n"
    "#ifndef KT610_INIT_H\r\n"
    "#define KT610_INIT_H\r\n"
    "\r\n"
    "/* Used to switch Projected mode & set Global Filter Halt (0x01 Byte1) */\r\n"
    "#define SYSTEM_FLAGS_VAL\t\t\t\t\t0x00\r\n"
    "\r\n"
    "/* Enable / Disable system events (0x01 Byte2)*/\r\n"
    "#define SYSTEM_EVENTS_VAL\t\t\t\t\t0x00\r\n"
    "\r\n"
    "/*\r\n"
    "* Change the Multipliers & Base values (0x07 in this order)\r\n"
    "* Please note that these values are affected by the Auto ATI routine and should\r\n"
    "* only be written in the case of a specific setup.  Alternatively Auto ATI\r\n"
    "* should be manually called after writing these settings.\r\n"
    "* This is applicable for both Multipliers and Compensation.\r\n"
    "*/\r\n"
    "#define MULTIPLIERS_CH0\t\t\t\t\t\t0x00\r\n"
    "#define MULTIPLIERS_CH1\t\t\t\t\t\t0x00\r\n"
    "#define MULTIPLIERS_CH2\t\t\t\t\t\t0x00\r\n"
    "#define MULTIPLIERS_CH3\t\t\t\t\t\t0x00\r\n"
    "#define BASE_VAL1\t\t\t\t\t\t\t0x00\r\n"
    "#define BASE_VAL2\t\t\t\t\t\t\t0x00\r\n"
    "\r\n"
    "/*\r\n"
    "* Change the Compensation for each channel (0x08 in this order)\r\n"
    "* Please note that these values are affected by the Auto ATI routine and should\r\n"
    "* only be written in the case of a specific setup.  Alternatively Auto ATI\r\n"
    "* should be manually called after writing these settings.\r\n"
    "* This is applicable for both Multipliers and Compensation.\r\n"
    "*/\r\n"
    "#define COMPENSATION_CH0\t\t\t\t\t0x00\r\n"
    "#define COMPENSATION_CH1\t\t\t\t\t0x00\r\n"
    "#define COMPENSATION_CH2\t\t\t\t\t0x00\r\n"
    "#define COMPENSATION_CH3\t\t\t\t\t0x00\r\n"
    "\r\n"
    "/* Change the Prox Settings or setup of the KT610 (0x09 in this order) */\r\n"
    "#define PROXSETTINGS0_VAL\t\t\t\t\t0x00\r\n"
    "#define PROXSETTINGS1_VAL\t\t\t\t\t0x11\r\n"
    "#define PROXSETTINGS2_VAL\t\t\t\t\t0x00\r\n"
    "#define PROXSETTINGS3_VAL\t\t\t\t\t0x00\r\n"
    "#define EVENT_MASK_VAL\t\t\t\t\t\t0xBF\r\n"
    "\r\n"
    "/* Change the Thresholds for each channel (0x0A in this order) */\r\n"
    "#define PROX_THRESHOLD\t\t\t\t\t\t0x04\r\n"
    "#define TOUCH_THRESHOLD_CH1\t\t\t\t\t0x10\r\n"
    "#define TOUCH_THRESHOLD_CH2\t\t\t\t\t0x10\r\n"
    "#define TOUCH_THRESHOLD_CH3\t\t\t\t\t0x10\r\n"
    "#define MOVEMENT_THRESHOLD\t\t\t\t\t0x03\r\n"
    "#define RESEED_BLOCK\t\t\t\t\t\t0x00\r\n"
    "#define HALT_TIME\t\t\t\t\t\t\t0x14\r\n"
    "#define I2C_TIMEOUT\t\t\t\t\t\t\t0x04\r\n"
    "\r\n"
    "/* Change the Timing settings (0x0B in this order) */\r\n"
    "#define LOW_POWER\t\t\t\t\t\t\t0x00\r\n"
    "#define ATI_TARGET_TOUCH\t\t\t\t\t0x30\r\n"
    "#define ATI_TARGET_PROX\t\t\t\t\t\t0x40\r\n"
    "#define TAP_TIMER\t\t\t\t\t\t\t0x05\r\n"
    "#define FLICK_TIMER\t\t\t\t\t\t\t0x14\r\n"
    "#define FLICK_THRESHOLD\t\t\t\t\t\t0x32\r\n"
    "\r\n"
    "/* Set Active Channels (0x0D) */\r\n"
    "#define ACTIVE_CHS\t\t\t\t\t\t0x0F\r\n"
    "\r\n"
    "#endif\t/* KT610_INIT_H */\r\n";

// Replaces the value of one define line in a reference.
QByteArray WithValue(QByteArray text, const QByteArray& name, const QByteArray& value)
{
    const qsizetype at = text.indexOf("#define " + name + "\t");
    const qsizetype hex = text.indexOf("0x", at);
    return text.replace(hex, text.indexOf("\r\n", hex) - hex, value);
}

class HeaderExportTest : public ::testing::Test {
protected:
    SessionMessages Messages;
    SessionView View;
    std::unique_ptr<TMainCore> Core =
        std::make_unique<TMainCore>(std::make_shared<VirtualHidBackend>(), &Messages, &View);
    QTemporaryDir Dir;

    void NonDefault()
    {
        TSettingsRecord& s = Core->Settings;
        Core->FSysFlags = 0xFF;
        Core->FSysEvents = 0xA5;
        for (int c = 0; c < 4; ++c) {
            s.*TSettingsRecord::SensCombo[c] = 3; // "4"
            s.*TSettingsRecord::CompCombo[c] = 15; // "16"
            s.*TSettingsRecord::CompSpin[c] = 200 + c;
        }
        s.CH0BaseCombo = 0; // "74"
        s.CH1BaseCombo = 15; // "314"
        s.CH2BaseCombo = 3;
        s.CH3BaseCombo = 12;
        Core->Prox_Settings_0 = 0x81;
        Core->Prox_Settings_1 = 0x5A;
        Core->Prox_Settings_2 = 0xC3;
        Core->Prox_Settings_3 = 0x7E;
        Core->Prox_Event_Mask = 0x01;
        s.ProxSpin = 255;
        s.Touch1Spin = 1;
        s.Touch2Spin = 2;
        s.Touch3Spin = 171;
        s.MovThrSpin = 9;
        s.FHCheckCh0 = true;
        s.FHCheckCh3 = true;
        s.HaltSpin = 254;
        s.TimeoutSpin = 10;
        s.LPSpin = 100;
        s.Targ1Spin = 11;
        s.Targ2Spin = 12;
        s.TapSpin = 13;
        s.FlickTimeSpin = 14;
        s.FlickThrSpin = 15;
        Core->CHCheck = {false, true, true, false};
    }
};

TEST_F(HeaderExportTest, DefaultSetUpMatchesTheReferenceByteForByte)
{
    const QByteArray text = HeaderExport::HeaderText(*Core);
    EXPECT_EQ(text, DefaultHeader);
    // The first block keeps bare line feeds.
    const QByteArray first = text.left(text.indexOf("*/") + 2);
    EXPECT_EQ(first.count('\n'), 5);
    EXPECT_FALSE(first.contains('\r'));
}

TEST_F(HeaderExportTest, EveryFieldNonDefaultComesFromItsSource)
{
    NonDefault();
    QByteArray expected = DefaultHeader;
    const std::pair<const char*, const char*> values[] = {
        {"SYSTEM_FLAGS_VAL", "0x12"}, {"SYSTEM_EVENTS_VAL", "0xA5"},  {"MULTIPLIERS_CH0", "0x3F"},
        {"MULTIPLIERS_CH1", "0x3F"},  {"MULTIPLIERS_CH2", "0x3F"},    {"MULTIPLIERS_CH3", "0x3F"},
        {"BASE_VAL1", "0xF0"},        {"BASE_VAL2", "0xC3"},          {"COMPENSATION_CH0", "0xC8"},
        {"COMPENSATION_CH1", "0xC9"}, {"COMPENSATION_CH2", "0xCA"},   {"COMPENSATION_CH3", "0xCB"},
        {"PROXSETTINGS0_VAL", "0x81"}, {"PROXSETTINGS1_VAL", "0x5A"}, {"PROXSETTINGS2_VAL", "0xC3"},
        {"PROXSETTINGS3_VAL", "0x7E"}, {"EVENT_MASK_VAL", "0x01"},    {"PROX_THRESHOLD", "0xFF"},
        {"TOUCH_THRESHOLD_CH1", "0x01"}, {"TOUCH_THRESHOLD_CH2", "0x02"}, {"TOUCH_THRESHOLD_CH3", "0xAB"},
        {"MOVEMENT_THRESHOLD", "0x09"}, {"RESEED_BLOCK", "0x09"},     {"HALT_TIME", "0xFE"},
        {"I2C_TIMEOUT", "0x0A"},      {"LOW_POWER", "0x64"},          {"ATI_TARGET_TOUCH", "0x0B"},
        {"ATI_TARGET_PROX", "0x0C"},  {"TAP_TIMER", "0x0D"},          {"FLICK_TIMER", "0x0E"},
        {"FLICK_THRESHOLD", "0x0F"},  {"ACTIVE_CHS", "0x06"}};
    for (const auto& [name, value] : values)
        expected = WithValue(expected, name, value);
    EXPECT_EQ(HeaderExport::HeaderText(*Core), expected);
}

TEST_F(HeaderExportTest, ExportedHeaderCompilesAndItsDefinesHoldTheValues)
{
    const QString cc = !QStandardPaths::findExecutable("cc").isEmpty() ? QStandardPaths::findExecutable("cc")
                                                                       : QStandardPaths::findExecutable("gcc");
    if (cc.isEmpty())
        GTEST_SKIP() << "no C compiler";
    NonDefault();
    const QString header = Dir.filePath("KT610_Init.h");
    HeaderExport::ExportHClick(*Core, [&] { return header; });
    ASSERT_TRUE(Messages.HasInfo("H file exported successfully")) << Messages.Dump();

    QFile source(Dir.filePath("check.c"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("#include \"KT610_Init.h\"\n"
                 "#include \"KT610_Init.h\"\n" // the include guard holds
                 "_Static_assert(MULTIPLIERS_CH2 == 0x3F, \"multipliers\");\n"
                 "_Static_assert(BASE_VAL1 == 0xF0, \"base\");\n"
                 "_Static_assert(SYSTEM_FLAGS_VAL == 0x12, \"flags\");\n"
                 "_Static_assert(ACTIVE_CHS == 6, \"channels\");\n"
                 "_Static_assert(TOUCH_THRESHOLD_CH3 == 171, \"threshold\");\n"
                 "_Static_assert(FLICK_THRESHOLD == 15, \"flick\");\n"
                 "int main(void) { return EVENT_MASK_VAL - 1; }\n");
    source.close();
    QProcess compiler;
    compiler.setWorkingDirectory(Dir.path());
    compiler.start(cc, {"-std=c11", "-Wall", "-Werror", "-o", Dir.filePath("check"), "check.c"});
    ASSERT_TRUE(compiler.waitForFinished(60000));
    EXPECT_EQ(compiler.exitCode(), 0) << compiler.readAllStandardError().toStdString();
    EXPECT_EQ(QProcess::execute(Dir.filePath("check"), {}), 0);
}

TEST_F(HeaderExportTest, CancelledDialogWritesNothingAndSaysNothing)
{
    HeaderExport::ExportHClick(*Core, [] { return QString(); });
    EXPECT_FALSE(Messages.HasInfo("H file exported successfully"));
    EXPECT_FALSE(Messages.HasError("Error while trying to export H file!"));
    EXPECT_TRUE(QDir(Dir.path()).isEmpty());
}

TEST_F(HeaderExportTest, AFailedWriteLeavesNoHalfFile)
{
    // A folder that does not exist.
    HeaderExport::ExportHClick(*Core, [&] { return Dir.filePath("missing/KT610_Init.h"); });
    EXPECT_TRUE(Messages.HasError("Error while trying to export H file!"));
    EXPECT_FALSE(QFile::exists(Dir.filePath("missing/KT610_Init.h")));

    // A disk that fills up half way: the old header stays whole, no temporary file is left.
    const QString target = Dir.filePath("KT610_Init.h");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old header\r\n");
    old.close();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    setrlimit(RLIMIT_FSIZE, &small);
    HeaderExport::ExportHClick(*Core, [&] { return target; });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Messages.Count("Error while trying to export H file!"), 2);
    EXPECT_FALSE(Messages.HasInfo("H file exported successfully"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old header\r\n"));
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"KT610_Init.h"});
}

} // namespace

#include "app/SessionControl.h"
#include "sim/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <map>

namespace {

TEST(HeaderExportSimulator, ValuesEqualTheChipRegistersAfterAStreamingSession)
{
    SimOptions options;
    options.simulate = true;
    options.manualClock = true;
    options.seed = 11;
    SimSession session(options);
    TSimulator& sim = session.Sim;
    SessionMessages& messages = session.Messages;
    SessionView& view = session.View;
    TMainCore& core = session.Core;
    ASSERT_TRUE(session.Start()) << messages.Dump();
    // Run through the chip's tuning and the follow-up read of the actual base values.
    for (int i = 0; i < 40 && !(view.Frames > 100 && !core.FATIBusy); ++i) {
        sim.Advance(10);
        QElapsedTimer pump;
        pump.start();
        while (pump.elapsed() < 30)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ASSERT_GT(view.Frames, 100);
    // A hand-set value the chip holds too: the export must take it from the chip.
    core.Settings.Touch2Spin = 99;

    QTemporaryDir dir;
    const QString file = dir.filePath("KT610_Init.h");
    HeaderExport::ExportHClick(core, [&] { return file; });
    ASSERT_TRUE(messages.HasInfo("H file exported successfully")) << messages.Dump();
    EXPECT_TRUE(core.FIsStreaming);

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    std::map<QString, int> defines;
    static const QRegularExpression line("^#define (\\w+)\\t+0x([0-9A-F]{2,})\\r$");
    for (const QByteArray& l : f.readAll().split('\n')) {
        const auto m = line.match(QString::fromLatin1(l));
        if (m.hasMatch())
            defines[m.captured(1)] = m.captured(2).toInt(nullptr, 16);
    }
    ASSERT_EQ(defines.size(), 32u);
    const auto chip = [&](uint8_t reg, int byte) { return uint8_t(sim.ChipRegister(reg).at(byte)); };
    EXPECT_EQ(defines["SYSTEM_FLAGS_VAL"], chip(0x01, 0) & 0x12);
    const char* names[][8] = {
        {"MULTIPLIERS_CH0", "MULTIPLIERS_CH1", "MULTIPLIERS_CH2", "MULTIPLIERS_CH3", "BASE_VAL1", "BASE_VAL2"},
        {"COMPENSATION_CH0", "COMPENSATION_CH1", "COMPENSATION_CH2", "COMPENSATION_CH3"},
        {"PROXSETTINGS0_VAL", "PROXSETTINGS1_VAL", "PROXSETTINGS2_VAL", "PROXSETTINGS3_VAL", "EVENT_MASK_VAL"},
        {"PROX_THRESHOLD", "TOUCH_THRESHOLD_CH1", "TOUCH_THRESHOLD_CH2", "TOUCH_THRESHOLD_CH3", "MOVEMENT_THRESHOLD",
         "RESEED_BLOCK", "HALT_TIME", "I2C_TIMEOUT"},
        {"LOW_POWER", "ATI_TARGET_TOUCH", "ATI_TARGET_PROX"},
        {"TAP_TIMER", "FLICK_TIMER", "FLICK_THRESHOLD"},
        {"ACTIVE_CHS"}};
    for (uint8_t reg = 0x07; reg <= 0x0D; ++reg)
        for (int byte = 0; byte < 8 && names[reg - 0x07][byte]; ++byte)
            EXPECT_EQ(defines[names[reg - 0x07][byte]], chip(reg, byte)) << names[reg - 0x07][byte];
    EXPECT_NE(defines["TOUCH_THRESHOLD_CH2"], 99);
}

} // namespace
