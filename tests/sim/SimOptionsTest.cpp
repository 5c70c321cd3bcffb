#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    bool handled = false;
    bool consumed = false;
    QString error;
    SimOptions options;
};

Parsed Parse(const QString& arg, const QString& next = QString())
{
    Parsed p;
    p.handled = ParseSimulatorArgument(arg, next, p.options, p.consumed, p.error);
    return p;
}

} // namespace

TEST(SimOptions, OtherArgumentsAreNotOurs)
{
    EXPECT_FALSE(Parse(QStringLiteral("--help")).handled);
    EXPECT_FALSE(Parse(QStringLiteral("file.ini")).handled);
    EXPECT_FALSE(Parse(QStringLiteral("--simfoo")).handled);
}

TEST(SimOptions, SimulateWithAndWithoutScenario)
{
    Parsed p = Parse(QStringLiteral("--simulate"), QStringLiteral("wheel"));
    EXPECT_TRUE(p.handled && p.error.isEmpty());
    EXPECT_TRUE(p.options.simulate);
    EXPECT_FALSE(p.consumed); // the scenario is only taken in the = form
    EXPECT_EQ(p.options.scenario, QStringLiteral("demo"));

    p = Parse(QStringLiteral("--simulate=wheel"));
    EXPECT_EQ(p.options.scenario, QStringLiteral("wheel"));
    EXPECT_FALSE(Parse(QStringLiteral("--simulate=dance")).error.isEmpty());
}

TEST(SimOptions, ValuesInlineOrFollowing)
{
    Parsed p = Parse(QStringLiteral("--sim-address"), QStringLiteral("45"));
    EXPECT_TRUE(p.consumed);
    EXPECT_EQ(p.options.chipAddress, 0x45);
    EXPECT_EQ(Parse(QStringLiteral("--sim-address=0x46")).options.chipAddress, 0x46);
    EXPECT_EQ(Parse(QStringLiteral("--sim-address=none")).options.chipAddress, -1);
    EXPECT_FALSE(Parse(QStringLiteral("--sim-address=zz")).error.isEmpty());
    EXPECT_FALSE(Parse(QStringLiteral("--sim-address")).error.isEmpty()); // value missing
    EXPECT_FALSE(Parse(QStringLiteral("--sim-address"), QStringLiteral("--seed")).error.isEmpty());

    EXPECT_EQ(Parse(QStringLiteral("--seed=42")).options.seed, 42u);
    EXPECT_EQ(Parse(QStringLiteral("--sim-rate"), QStringLiteral("2000")).options.sampleRateHz, 2000);
    EXPECT_FALSE(Parse(QStringLiteral("--sim-rate=0")).error.isEmpty());
    EXPECT_FALSE(Parse(QStringLiteral("--sim-rate=20001")).error.isEmpty());
    EXPECT_EQ(Parse(QStringLiteral("--sim-model=kd30")).options.productId, 0x0D30);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fw-version=0105")).options.firmwareVersion, 0x0105u);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fw-build=18")).options.firmwareBuild, 18);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fw-release=0B")).options.firmwareRelease, 0x0B);
    EXPECT_FALSE(Parse(QStringLiteral("--sim-unplugged")).options.plugged);
}

TEST(SimOptions, FaultRates)
{
    const SimOptions every = Parse(QStringLiteral("--sim-fault-drop=10")).options;
    EXPECT_EQ(every.faults.drop.everyNth, 10);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-duplicate=2.5%")).options.faults.duplicate.probability, 0.025);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-reorder=0.1")).options.faults.reorder.probability, 0.1);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-skip-counter"), QStringLiteral("7")).options.faults.skipCounter.everyNth, 7);
    EXPECT_FALSE(Parse(QStringLiteral("--sim-fault-drop=0")).error.isEmpty());
    EXPECT_FALSE(Parse(QStringLiteral("--sim-fault-drop=150%")).error.isEmpty());
    EXPECT_FALSE(Parse(QStringLiteral("--sim-fault-drop=often")).error.isEmpty());
}

TEST(SimOptions, CommandFaults)
{
    SimOptions o;
    bool consumed = false;
    QString error;
    ASSERT_TRUE(ParseSimulatorArgument(QStringLiteral("--sim-fault-error=02:0203"), {}, o, consumed, error));
    ASSERT_TRUE(ParseSimulatorArgument(QStringLiteral("--sim-fault-error=0x12:1203:3"), {}, o, consumed, error));
    ASSERT_EQ(o.faults.errors.size(), 2);
    EXPECT_EQ(o.faults.errors[0].command, 0x02);
    EXPECT_EQ(o.faults.errors[0].code, 0x0203);
    EXPECT_EQ(o.faults.errors[0].times, -1);
    EXPECT_EQ(o.faults.errors[1].times, 3);
    EXPECT_FALSE(Parse(QStringLiteral("--sim-fault-error=02")).error.isEmpty());
    EXPECT_FALSE(Parse(QStringLiteral("--sim-fault-error=02:0")).error.isEmpty());

    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-silent")).options.faults.silentAfterCommands, 0);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-silent=5")).options.faults.silentAfterCommands, 5);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-vanish=1500")).options.faults.vanishAfterMs, 1500);
    EXPECT_EQ(Parse(QStringLiteral("--sim-fault-vanish-at=9")).options.faults.vanishAtCommand, 9);
    const SimOptions se = Parse(QStringLiteral("--sim-fault-stream-error=000E:50")).options;
    EXPECT_EQ(se.faults.streamError.code, 0x000E);
    EXPECT_EQ(se.faults.streamError.everyNth, 50);
}

TEST(SimOptions, HelpNamesEveryOption)
{
    const QString help = SimulatorOptionsHelp();
    for (const char* name : {"--simulate", "--sim-address", "--seed", "--sim-rate", "--sim-unplugged", "--sim-model",
                             "--sim-fw-version", "--sim-fw-build", "--sim-fw-release", "--sim-serial",
                             "--sim-dfu-delay", "--sim-fault-drop", "--sim-fault-duplicate", "--sim-fault-reorder",
                             "--sim-fault-skip-counter", "--sim-fault-error", "--sim-fault-stream-error",
                             "--sim-fault-silent", "--sim-fault-vanish", "--sim-fault-vanish-at"})
        EXPECT_TRUE(help.contains(QLatin1String(name))) << name;
}
