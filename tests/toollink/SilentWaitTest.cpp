// A hung tool costs one full reply wait, not one per command; the waits are full again once it answers.
#include "FakeTool.h"

#include <QElapsedTimer>

TEST_F(ToolLinkTest, HungToolCostsOneLongWaitUntilItAnswersAgain)
{
    auto device = ActivateWithTool();
    tool->ReadWaitMs = 600;
    tool->SilentWaitMs = 50;
    const auto timed = [&] {
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(tool->PowerOffDUT(), 3);
        return timer.elapsed();
    };
    for (int i = 0; i < 3; ++i)
        device->QueueSilent();
    EXPECT_GE(timed(), 580);
    EXPECT_LT(timed(), 300);
    EXPECT_LT(timed(), 300);

    // It answers again: the next silence is given the whole wait once more.
    EXPECT_EQ(tool->PowerOffDUT(), 0);
    device->QueueSilent();
    EXPECT_GE(timed(), 580);
}
