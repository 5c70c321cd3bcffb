// Report framing, reply pairing and the bounds of every wait.
#include "FakeTool.h"

#include <QElapsedTimer>
#include <thread>

TEST_F(ToolLinkTest, MessageIdsRunFrom2To254ThenWrapTo1)
{
    auto device = ActivateWithTool();
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(tool->PowerOffDUT(), 0);
    const auto written = device->Written();
    ASSERT_EQ(written.size(), 255u);
    EXPECT_EQ(uint8_t(written[0][1]), 2);
    EXPECT_EQ(uint8_t(written[252][1]), 254);
    EXPECT_EQ(uint8_t(written[253][1]), 1);
    EXPECT_EQ(uint8_t(written[254][1]), 2);
    // Whole output report length, report ID 0.
    EXPECT_EQ(written[0].size(), 65);
    EXPECT_EQ(written[0][0], 0);
}

TEST_F(ToolLinkTest, CallersMessageIdIsOverwrittenAndHookSeesTheWrittenReport)
{
    auto device = ActivateWithTool();
    std::vector<QByteArray> hooked;
    tool->OnSendCommands = [&](const TKvrByteArray& command) {
        hooked.push_back(QByteArray(reinterpret_cast<const char*>(command.data()), 65));
        EXPECT_EQ(device->Written().size(), hooked.size()); // after the write
    };
    TKvrByteArray send{};
    send[1] = 0x77;
    send[2] = 0x09;
    TKvrByteArray receive{};
    ASSERT_EQ(tool->SendReceive(send, receive), 0);
    EXPECT_EQ(send[1], 0x77);
    ASSERT_EQ(hooked.size(), 1u);
    EXPECT_EQ(hooked[0], device->Written()[0]);
    EXPECT_EQ(uint8_t(hooked[0][1]), 2);
    EXPECT_EQ(receive[2], 2); // the caller's buffer holds the reply
    EXPECT_EQ(receive[4], 0x01);
}

TEST_F(ToolLinkTest, ReplyTypeDIsAcceptedWhateverItsId)
{
    auto device = ActivateWithTool();
    device->Queue({FakeTool::Reply::Raw, device->ReplyReport(0x0D, 0x99, Bytes({0xAB})), 0, {}});
    EXPECT_EQ(tool->PowerOffDUT(), 0);
    EXPECT_EQ(tool->Receive[4], 0xAB);
}

TEST_F(ToolLinkTest, ErrorReplyGivesItsCodeAndLeavesPowerFlag)
{
    auto device = ActivateWithTool();
    device->QueueError(0x0203);
    EXPECT_EQ(tool->PowerOnDUT(), 515);
    EXPECT_FALSE(tool->IsPowerOn);
    EXPECT_EQ(tool->PowerOnDUT(), 0);
    EXPECT_TRUE(tool->IsPowerOn);
    device->QueueError(0x0301);
    EXPECT_EQ(tool->PowerOffDUT(), 0x0301);
    EXPECT_TRUE(tool->IsPowerOn);
}

TEST_F(ToolLinkTest, EmptyListGives2AndAZeroedReceive)
{
    Activate();
    tool->Receive.fill(0x5A);
    EXPECT_EQ(tool->SetCTID(3), 2);
    for (int i = 0; i < 80; ++i)
        ASSERT_EQ(tool->Receive[size_t(i)], 0) << i;
}

TEST_F(ToolLinkTest, StreamReportsAheadOfTheReplyAreSkippedUncounted)
{
    auto device = ActivateWithTool();
    FakeTool::Reply reply{FakeTool::Reply::Ok, Bytes({0x42}), 0, {}};
    for (int i = 0; i < 200; ++i)
        reply.before.push_back(device->StreamReport(uint8_t(i), 0, Counting(32)));
    // Replies to other message IDs count, but fewer than 90 do not end the wait.
    for (int i = 0; i < 80; ++i)
        reply.before.push_back(device->ReplyReport(0x01, 0xF0, {}));
    device->Queue(reply);
    EXPECT_EQ(tool->PowerOffDUT(), 0);
    EXPECT_EQ(tool->Receive[4], 0x42);
}

TEST_F(ToolLinkTest, NinetyForeignRepliesEndTheSearch)
{
    auto device = ActivateWithTool();
    FakeTool::Reply reply{FakeTool::Reply::Ok, {}, 0, {}};
    for (int i = 0; i < 90; ++i)
        reply.before.push_back(device->ReplyReport(0x01, 0xF0, {}));
    device->Queue(reply);
    EXPECT_EQ(tool->PowerOffDUT(), 3);
}

TEST_F(ToolLinkTest, SilentToolTimesOutWithinTheBound)
{
    auto device = ActivateWithTool();
    device->QueueSilent();
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(tool->PowerOffDUT(), 3);
    EXPECT_GE(timer.elapsed(), tool->ReadWaitMs - 20);
    EXPECT_LT(timer.elapsed(), tool->ReadWaitMs + 200);
}

TEST_F(ToolLinkTest, StreamReportsDoNotExtendTheWait)
{
    auto device = ActivateWithTool();
    device->QueueSilent();
    std::atomic<bool> stop{false};
    std::thread streamer([&] {
        for (uint8_t seq = 0; !stop; ++seq) {
            device->SendStream(seq, 0, Counting(32));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    QElapsedTimer timer;
    timer.start();
    const uint16_t result = tool->PowerOffDUT();
    const qint64 elapsed = timer.elapsed();
    stop = true;
    streamer.join();
    EXPECT_EQ(result, 3);
    EXPECT_LT(elapsed, tool->ReadWaitMs + 200);
}

TEST_F(ToolLinkTest, LateReplyIsNeverTakenForTheNextOne)
{
    auto device = ActivateWithTool();
    device->QueueSilent();
    ASSERT_EQ(tool->PowerOffDUT(), 3);
    const uint8_t lateID = tool->FMessageID;
    // Arrives after the wait gave up: the next flush drops it.
    device->SendInputReport(device->ReplyReport(0x0E, lateID, Bytes({0x03, 0x01})));
    device->QueueOk(Bytes({0x11}));
    EXPECT_EQ(tool->PowerOffDUT(), 0);
    EXPECT_EQ(tool->Receive[4], 0x11);
    // Arrives during the next wait, ahead of its reply: skipped by its message ID.
    device->QueueSilent();
    ASSERT_EQ(tool->PowerOffDUT(), 3);
    FakeTool::Reply reply{FakeTool::Reply::Ok, Bytes({0x22}), 0, {}};
    reply.before.push_back(device->ReplyReport(0x0E, tool->FMessageID, Bytes({0x03, 0x01})));
    device->Queue(reply);
    EXPECT_EQ(tool->PowerOffDUT(), 0);
    EXPECT_EQ(tool->Receive[4], 0x22);
}

TEST_F(ToolLinkTest, ToolPulledOutMidTransactionGives12AtOnce)
{
    auto device = ActivateWithTool();
    tool->ReadWaitMs = 5000;
    device->QueueSilent();
    std::thread puller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        backend->Unplug(device.get());
    });
    QElapsedTimer timer;
    timer.start();
    const uint16_t result = tool->PowerOffDUT();
    const qint64 elapsed = timer.elapsed();
    puller.join();
    EXPECT_EQ(result, 12);
    EXPECT_LT(elapsed, 1000);
    // Before the list has processed the change, the flush fails.
    EXPECT_EQ(tool->PowerOffDUT(), 1);
    ASSERT_TRUE(WaitUntil([this] { return list->HidDevices().Count == 0; }));
    EXPECT_EQ(tool->PowerOffDUT(), 2);
}
