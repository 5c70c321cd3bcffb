// A long frame is joined only from pieces that carry the same frame counter.
#include "FakeTool.h"

class ReassemblyCounter : public ToolLinkTest {};

TEST_F(ReassemblyCounter, PiecesOfTwoFramesAreNeverJoined)
{
    auto device = ActivateWithTool();
    StartStream(35);
    list->JustStopped = false;
    const QByteArray a = Counting(35, 1), b = Counting(35, 101), c = Counting(35, 201);
    // Frame 0 loses its last piece and frame 1 its first: what is left of them must not make a frame.
    device->SendStream(0, 0, a.mid(0, 32));
    device->SendStream(1, 1, b.mid(32));
    device->SendStream(2, 0, c.mid(0, 32));
    device->SendStream(2, 1, c.mid(32));
    ASSERT_TRUE(WaitUntil([&] { return !frames.empty(); }));
    WaitUntil([] { return false; }, 150);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data.mid(3), c);
    EXPECT_FALSE(missed.empty());
}
