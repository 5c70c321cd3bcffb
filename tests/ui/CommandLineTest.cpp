// The program's command line.

#include "app/ui/CommandLine.h"

#include <gtest/gtest.h>

namespace {

bool Parse(const QStringList& args, TCommandLine& cl, QString& error, bool ignoreUnknown = false)
{
    return ParseCommandLine(args, cl, ignoreUnknown, error);
}

TEST(CommandLine, SendMessageTakesTheNextArgumentOrTheValueAfterTheEqualsSign)
{
    TCommandLine cl;
    QString error;
    ASSERT_TRUE(Parse({"--send-message", "Close"}, cl, error));
    EXPECT_TRUE(cl.SendMessage);
    EXPECT_EQ(cl.Message, QStringLiteral("Close"));

    TCommandLine eq;
    ASSERT_TRUE(Parse({"--send-message=Status now"}, eq, error));
    EXPECT_EQ(eq.Message, QStringLiteral("Status now"));

    TCommandLine missing;
    EXPECT_FALSE(Parse({"--send-message"}, missing, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CommandLine, SimulatorOptionsAndTheirValues)
{
    TCommandLine cl;
    QString error;
    ASSERT_TRUE(Parse({"--simulate=wheel", "--sim-rate", "500", "--version"}, cl, error)) << error.toStdString();
    EXPECT_TRUE(cl.Sim.simulate);
    EXPECT_EQ(cl.Sim.scenario, QStringLiteral("wheel"));
    EXPECT_EQ(cl.Sim.sampleRateHz, 500);
    EXPECT_TRUE(cl.Version);

    TCommandLine bad;
    EXPECT_FALSE(Parse({"--sim-rate", "lots"}, bad, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CommandLine, UnknownArgumentsAreRefusedUnlessTheyMayBeTheToolkits)
{
    TCommandLine cl;
    QString error;
    EXPECT_FALSE(Parse({"-platform"}, cl, error));
    EXPECT_TRUE(error.contains(QStringLiteral("-platform")));
    EXPECT_TRUE(Parse({"-platform", "offscreen", "-h"}, cl, error, true));
    EXPECT_TRUE(cl.Help);
    EXPECT_FALSE(Parse({"--platfrom"}, cl, error, true));
}

TEST(CommandLine, HelpListsTheProgramAndSimulatorOptions)
{
    const QString help = CommandLineHelp();
    EXPECT_TRUE(help.contains(QStringLiteral("--send-message TEXT")));
    EXPECT_TRUE(help.contains(QStringLiteral("--simulate")));
    EXPECT_TRUE(help.contains(QStringLiteral("--version")));
}

} // namespace
