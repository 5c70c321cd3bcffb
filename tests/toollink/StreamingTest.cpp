// Stream start and stop, frame counter check and long-frame reassembly, through the real HID layer.
#include "FakeTool.h"

namespace {

// The stream bytes of frame f: distinct per frame and position.
QByteArray FrameBytes(int length, int f) { return Counting(length, f * 7 + 1); }

} // namespace

class StreamingTest : public ToolLinkTest {
protected:
    void SetUp() override
    {
        ToolLinkTest::SetUp();
        device = ActivateWithTool();
    }

    // Sends frame f of the running stream in its pieces, with sequence value seq.
    void SendFrame(int length, int f, uint8_t seq)
    {
        const QByteArray bytes = FrameBytes(length, f);
        for (int piece = 0; piece * 32 < std::max(length, 1); ++piece)
            device->SendStream(seq, uint8_t(piece), bytes.mid(piece * 32, 32));
    }
    bool WaitFrames(size_t n) { return WaitUntil([&] { return frames.size() >= n; }); }
    // Lets every report sent so far reach the handler.
    void Settle() { WaitUntil([] { return false; }, 150); }

    std::shared_ptr<FakeTool> device;
};

TEST_F(StreamingTest, StartSendsTheMapInIndexedPieces)
{
    for (int length : {32, 35, 64, 70}) {
        if (list->IsStreaming) {
            ASSERT_EQ(tool->StopStreaming(), 0);
        }
        device->ClearWritten();
        StartStream(uint16_t(length));
        const auto w = device->Written();
        ASSERT_EQ(uint8_t(w[0][2]), 0x14);
        EXPECT_EQ(w[0].mid(3, 3), Bytes({2, 0, length}));
        const int pieces = (length + 31) / 32;
        ASSERT_EQ(int(w.size()), 1 + pieces) << length;
        for (int p = 0; p < pieces; ++p) {
            const int chunk = std::min(32, length - 32 * p);
            EXPECT_EQ(uint8_t(w[size_t(1 + p)][2]), 0x15);
            EXPECT_EQ(uint8_t(w[size_t(1 + p)][3]), p);
            EXPECT_EQ(w[size_t(1 + p)].mid(4, chunk), Counting(chunk, 32 * p + 1)) << length << " " << p;
            EXPECT_EQ(w[size_t(1 + p)].mid(4 + chunk), QByteArray(61 - chunk, '\0'));
        }
        EXPECT_EQ(list->LongStreamingPackets, pieces - 1);
        EXPECT_TRUE(list->IsStreaming);
        EXPECT_TRUE(list->DoLongStream);
        EXPECT_EQ(list->StreamingCounter.Counter, QStringList({"0"}));
    }
}

TEST_F(StreamingTest, SingleReportFramesAreDeliveredAsReceived)
{
    device->Id = 3;
    uint32_t version = 0;
    ASSERT_EQ(tool->GetCTFWVersion(version), 0); // the stream is counted under the tool's ID
    StartStream(32);
    SendFrame(32, 0, 0);
    SendFrame(32, 1, 1);
    ASSERT_TRUE(WaitFrames(2));
    EXPECT_EQ(frames[0].size, 64);
    EXPECT_EQ(frames[0].id, 3);
    EXPECT_EQ(uint8_t(frames[0].data[0]), 0x3F);
    EXPECT_EQ(uint8_t(frames[1].data[1]), 1);
    EXPECT_EQ(frames[1].data[2], 0);
    EXPECT_EQ(frames[1].data.mid(3, 32), FrameBytes(32, 1));
    EXPECT_TRUE(missed.empty());
}

TEST_F(StreamingTest, LongFramesAreJoined)
{
    for (int length : {35, 64, 70}) {
        if (list->IsStreaming) {
            ASSERT_EQ(tool->StopStreaming(), 0);
        }
        frames.clear();
        StartStream(uint16_t(length));
        list->JustStopped = false;
        SendFrame(length, 0, 0);
        SendFrame(length, 1, 1);
        ASSERT_TRUE(WaitFrames(2)) << length;
        for (int f = 0; f < 2; ++f) {
            EXPECT_EQ(frames[size_t(f)].size, length + 3);
            EXPECT_EQ(uint8_t(frames[size_t(f)].data[0]), 0x0F);
            EXPECT_EQ(uint8_t(frames[size_t(f)].data[1]), f);
            EXPECT_EQ(uint8_t(frames[size_t(f)].data[2]), 0xFF);
            EXPECT_EQ(frames[size_t(f)].data.mid(3), FrameBytes(length, f)) << length;
        }
        EXPECT_EQ(list->StreamingCounter.Counter, QStringList({"2"}));
        EXPECT_TRUE(missed.empty());
    }
}

TEST_F(StreamingTest, RepeatedOrMissingPiecesDropOnlyTheirFrame)
{
    StartStream(70);
    const QByteArray a = FrameBytes(70, 0);
    // Piece 1 twice.
    device->SendStream(0, 0, a.mid(0, 32));
    device->SendStream(0, 1, a.mid(32, 32));
    device->SendStream(0, 1, a.mid(32, 32));
    device->SendStream(0, 2, a.mid(64));
    SendFrame(70, 1, 0);
    ASSERT_TRUE(WaitFrames(1));
    // Piece 1 missing.
    device->SendStream(1, 0, a.mid(0, 32));
    device->SendStream(1, 2, a.mid(64));
    SendFrame(70, 2, 1);
    ASSERT_TRUE(WaitFrames(2));
    // Last piece missing: the next frame starts at its piece 0 and the gap is reported once.
    device->SendStream(2, 0, a.mid(0, 32));
    device->SendStream(2, 1, a.mid(32, 32));
    SendFrame(70, 3, 3);
    ASSERT_TRUE(WaitFrames(3));
    Settle();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].data.mid(3), FrameBytes(70, 1));
    EXPECT_EQ(frames[1].data.mid(3), FrameBytes(70, 2));
    EXPECT_EQ(frames[2].data.mid(3), FrameBytes(70, 3));
    EXPECT_EQ(missed, std::vector<uint8_t>{0});
}

TEST_F(StreamingTest, CounterIsAdoptedAfterARestartThenGapsAreReported)
{
    StartStream(10);
    ASSERT_EQ(tool->StopStreaming(), 0);
    EXPECT_EQ(device->Commands().back(), 0x0D);
    EXPECT_TRUE(list->JustStopped);
    EXPECT_FALSE(list->IsStreaming);
    StartStream(10);
    int f = 0;
    for (int seq : {57, 58, 60, 61, 63, 64, 66})
        SendFrame(10, f++, uint8_t(seq));
    ASSERT_TRUE(WaitFrames(7));
    EXPECT_FALSE(list->JustStopped);
    EXPECT_FALSE(list->JustFixed);
    EXPECT_EQ(missed, (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(list->StreamingCounter.Counter, QStringList({"67"}));
}

TEST_F(StreamingTest, CounterWrapsAfter255)
{
    StartStream(10);
    list->StreamingCounter.Counter[0] = "254";
    SendFrame(10, 0, 254);
    SendFrame(10, 1, 255);
    SendFrame(10, 2, 0);
    SendFrame(10, 3, 1);
    ASSERT_TRUE(WaitFrames(4));
    EXPECT_TRUE(missed.empty());
    EXPECT_EQ(list->StreamingCounter.Counter, QStringList({"2"}));
}

TEST_F(StreamingTest, OnlyGeneralErrorsArePassedWhileStreaming)
{
    device->SendErrorReport(0x000E);
    Settle();
    EXPECT_TRUE(streamingErrors.empty());
    StartStream(10);
    device->SendErrorReport(0x0C05);
    device->SendErrorReport(0x000E);
    SendFrame(10, 0, 0);
    ASSERT_TRUE(WaitFrames(1));
    EXPECT_EQ(streamingErrors, std::vector<uint16_t>{0x000E});
}

TEST_F(StreamingTest, EventReportsArriveWhenNotStreaming)
{
    QByteArray event = Bytes({0, 0x5B, 0xFF, 0, 0x12, 0x34});
    device->SendInputReport(event);
    device->SendInputReport(Bytes({0, 0x5B, 0x01, 0, 0x12}));
    ASSERT_TRUE(WaitFrames(1));
    Settle();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].id, 0);
    EXPECT_EQ(frames[0].size, 64);
    EXPECT_EQ(frames[0].data.left(5), event.mid(1));
}

TEST_F(StreamingTest, StartRefusedTwiceAndOnOverlongLength)
{
    StartStream(10);
    device->ClearWritten();
    TKvrByteArray map{};
    EXPECT_EQ(tool->StartLongStreaming(map), 8);
    EXPECT_EQ(tool->SetLongStreamingLength(32766), 0x0B);
    EXPECT_TRUE(device->Written().empty());
    EXPECT_EQ(list->LongStreamingLength, 10);
    EXPECT_EQ(tool->SetLongStreamingLength(32765), 0);
    EXPECT_EQ(device->Written()[0].mid(2, 4), Bytes({0x14, 2, 0x7F, 0xFD}));
}

TEST_F(StreamingTest, FailedStartOrStopKeepsTheBookkeeping)
{
    ASSERT_EQ(tool->SetLongStreamingLength(40), 0);
    device->QueueOk();
    device->QueueError(0x0C05);
    TKvrByteArray map{};
    EXPECT_EQ(tool->StartLongStreaming(map), 0x0C05);
    EXPECT_FALSE(list->IsStreaming);
    EXPECT_EQ(list->StreamingDevices.NumberOfDevices, 0);
    EXPECT_TRUE(list->StreamingCounter.DevID.isEmpty());

    StartStream(10);
    device->QueueOk();              // version query
    device->QueueError(0x0D01);
    EXPECT_EQ(tool->StopStreaming(), 0x0D01);
    EXPECT_EQ(list->StreamingDevices.NumberOfDevices, 0);
    EXPECT_TRUE(list->IsStreaming);
    EXPECT_EQ(list->StreamingCounter.DevID, QStringList({"0"}));
}

TEST_F(StreamingTest, TransactionWhileStreamingSkipsTheStreamReports)
{
    StartStream(35);
    FakeTool::Reply reply{FakeTool::Reply::Ok, Bytes({0x66}), 0, {}};
    for (int f = 0; f < 40; ++f) {
        const QByteArray bytes = FrameBytes(35, f);
        reply.before.push_back(device->StreamReport(uint8_t(f), 0, bytes.left(32)));
        reply.before.push_back(device->StreamReport(uint8_t(f), 1, bytes.mid(32)));
    }
    device->Queue(reply);
    TKvrByteArray out{};
    EXPECT_EQ(tool->I2CRead(0x00, 1, out), 0);
    EXPECT_EQ(out[0], 0x66);
    // The handler still receives every frame, in order, afterwards.
    ASSERT_TRUE(WaitFrames(40));
    EXPECT_EQ(frames[39].data.mid(3), FrameBytes(35, 39));
    EXPECT_TRUE(missed.empty());
}

TEST_F(StreamingTest, SecondToolTakesAFreeSlotWithoutOverwriting)
{
    auto other = Plug(std::make_shared<FakeTool>(0x2E3C, 0x0C60, "Other", "O1"));
    ASSERT_EQ(list->HidDevices().Count, 2);
    THidDevice* first = list->HidDevices().NameObjects[0];
    THidDevice* second = list->HidDevices().NameObjects[1];
    StartStream(10);
    ASSERT_TRUE(tool->SetCurrentDevice(1));
    StartStream(10);
    ASSERT_TRUE(tool->SetCurrentDevice(0));
    ASSERT_EQ(tool->StopStreaming(), 0);
    StartStream(10);
    EXPECT_EQ(list->GetStreamingDevice(0), first);
    EXPECT_EQ(list->GetStreamingDevice(1), second);
    EXPECT_EQ(list->StreamingDevices.NumberOfDevices, 2);
    ASSERT_TRUE(tool->SetCurrentDevice(1));
    TKvrByteArray map{};
    EXPECT_EQ(tool->StartLongStreaming(map), 8);
}
