// Byte layouts of the command set.
#include "FakeTool.h"

namespace {

// Bytes 2.. of a written report: command, count, payload.
QByteArray Body(const QByteArray& report, int payload) { return report.mid(2, 2 + payload); }

} // namespace

TEST_F(ToolLinkTest, SimpleCommandsSendTheirBytes)
{
    auto device = ActivateWithTool();
    EXPECT_EQ(tool->SetICType(TICType::it43), 0);
    EXPECT_EQ(tool->SetDUTVoltage(TDUTVoltage::dv3_3V), 0);
    EXPECT_EQ(tool->SetLSVoltage(TVoltageFollow::vfVDD), 0);
    EXPECT_EQ(tool->SetupComms(TCommsType::ctI2C, TCommsSpeed::csSlow), 0);
    EXPECT_EQ(tool->ConfigI2C(TI2CType::RDY_ActiveLow, TPullUpResistors::prConnected, 0x44, TReadyPin::rpPin10,
                              TI2CStopCommand::scUseStop, TI2CPolling::ipNoPolling), 0);
    EXPECT_EQ(tool->StopBitControl(TStopBitControl::sbRestore), 0);
    EXPECT_EQ(tool->IOWrite(2, 1), 0);
    EXPECT_EQ(tool->SetCTID(9), 0);
    EXPECT_EQ(tool->EnterDFU(), 0);
    const auto w = device->Written();
    ASSERT_EQ(w.size(), 9u);
    EXPECT_EQ(Body(w[0], 2), Bytes({0x01, 2, 0, 3}));
    EXPECT_EQ(Body(w[1], 1), Bytes({0x07, 1, 1}));
    EXPECT_EQ(Body(w[2], 1), Bytes({0x06, 1, 1}));
    EXPECT_EQ(Body(w[3], 2), Bytes({0x05, 2, 4, 3}));
    EXPECT_EQ(Body(w[4], 6), Bytes({0x0F, 6, 3, 2, 0x44, 3, 2, 1}));
    EXPECT_EQ(Body(w[5], 1), Bytes({0x13, 1, 1}));
    EXPECT_EQ(Body(w[6], 2), Bytes({0x11, 2, 2, 1}));
    EXPECT_EQ(Body(w[7], 1), Bytes({0x08, 1, 9}));
    EXPECT_EQ(Body(w[8], 0), Bytes({0xFF, 0}));
    // Nothing beyond the payload.
    EXPECT_EQ(w[4].mid(10), QByteArray(55, '\0'));
}

TEST_F(ToolLinkTest, AdjustableVoltageBytes)
{
    auto device = ActivateWithTool();
    double quantised = 0;
    EXPECT_EQ(tool->SetDUTVoltage(1.8), 0);
    EXPECT_EQ(tool->SetDUTVoltage(5.0), 0);
    EXPECT_EQ(tool->SetDUTVoltage(3.3, quantised), 0);
    EXPECT_DOUBLE_EQ(quantised, 141 * 3.0 / 128);
    EXPECT_EQ(tool->SetDUTVoltage(3.05, quantised), 0);
    EXPECT_EQ(tool->SetDUTVoltage(1.8, quantised), 0);
    // Out of range: the nearest value that fits, never a wrapped one.
    EXPECT_EQ(tool->SetDUTVoltage(7.0), 0);
    EXPECT_EQ(tool->SetDUTVoltage(6.5, quantised), 0);
    EXPECT_EQ(tool->SetDUTVoltage(-1.0), 0);
    const auto w = device->Written();
    EXPECT_EQ(Body(w[0], 2), Bytes({0x07, 2, 0x45, 0xD0}));
    EXPECT_EQ(Body(w[1], 2), Bytes({0x07, 2, 0xC1, 0xF0}));
    EXPECT_EQ(Body(w[2], 1), Bytes({0x07, 1, 141}));
    EXPECT_EQ(Body(w[3], 1), Bytes({0x07, 1, 130}));
    EXPECT_EQ(Body(w[4], 1), Bytes({0x07, 1, 77}));
    EXPECT_EQ(Body(w[5], 2), Bytes({0x07, 2, 0xFF, 0xF0}));
    EXPECT_EQ(Body(w[6], 1), Bytes({0x07, 1, 255}));
    EXPECT_EQ(Body(w[7], 2), Bytes({0x07, 2, 0, 0}));
}

TEST_F(ToolLinkTest, CommsWriteChunksWithStopBitCommands)
{
    auto device = ActivateWithTool();
    for (int size : {32, 33, 70}) {
        device->ClearWritten();
        TKvrByteArray data{};
        for (int i = 0; i < size; ++i)
            data[size_t(i)] = uint8_t(i + 1);
        data[200] = 0xEE; // beyond Size: cleared by the result
        // Every chunk is answered with its bytes inverted.
        const auto commandsFor = [&]() -> std::vector<int> {
            if (size == 32)
                return {0x0B};
            if (size == 33)
                return {0x13, 0x0B, 0x13, 0x0B};
            return {0x13, 0x0B, 0x0B, 0x13, 0x0B};
        };
        int start = 0;
        for (int code : commandsFor()) {
            if (code == 0x13) {
                device->QueueOk();
                continue;
            }
            const int chunk = std::min(size - start, 32);
            QByteArray answer;
            for (int i = 0; i < chunk; ++i)
                answer.append(char(~(start + i + 1)));
            device->QueueOk(answer);
            start += chunk;
        }
        ASSERT_EQ(tool->CommsWrite(uint8_t(size), data), 0) << size;
        EXPECT_EQ(device->Commands(), commandsFor()) << size;
        const auto w = device->Written();
        if (size == 70) {
            EXPECT_EQ(Body(w[0], 1), Bytes({0x13, 1, 0}));
            EXPECT_EQ(Body(w[1], 32), Bytes({0x0B, 32}) + Counting(32, 1));
            EXPECT_EQ(Body(w[2], 32), Bytes({0x0B, 32}) + Counting(32, 33));
            EXPECT_EQ(Body(w[3], 1), Bytes({0x13, 1, 1}));
            EXPECT_EQ(Body(w[4], 6), Bytes({0x0B, 6}) + Counting(6, 65));
        }
        if (size == 33) {
            EXPECT_EQ(Body(w[3], 1), Bytes({0x0B, 1, 33}));
        }
        for (int i = 0; i < size; ++i)
            ASSERT_EQ(data[size_t(i)], uint8_t(~(i + 1))) << size << " " << i;
        EXPECT_EQ(data[200], 0);
    }
}

TEST_F(ToolLinkTest, FailedCommsWriteChunkLeavesDataAndStopsAtOnce)
{
    auto device = ActivateWithTool();
    TKvrByteArray data{};
    data[0] = 0x10;
    data[50] = 0x55;
    device->QueueOk();              // sbOff
    device->QueueOk();              // first chunk
    device->QueueError(0x0B03);     // second chunk
    EXPECT_EQ(tool->CommsWrite(70, data), 0x0B03);
    EXPECT_EQ(device->Commands(), (std::vector<int>{0x13, 0x0B, 0x0B}));
    EXPECT_EQ(data[0], 0x10);
    EXPECT_EQ(data[50], 0x55);
}

TEST_F(ToolLinkTest, ReadsCopyTheReplyOnlyOnSuccess)
{
    auto device = ActivateWithTool();
    TKvrByteArray out{};
    out.fill(0x77);
    device->QueueOk(Bytes({0xA1, 0xA2, 0xA3}));
    EXPECT_EQ(tool->I2CRead(0x10, 2, out), 0);
    EXPECT_EQ(Body(device->Written()[0], 2), Bytes({0x12, 1, 0x10, 2}));
    EXPECT_EQ(out[0], 0xA1);
    EXPECT_EQ(out[1], 0xA2);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[79], 0);
    EXPECT_EQ(out[80], 0x77);

    out.fill(0x77);
    device->QueueError(0x1203);
    EXPECT_EQ(tool->I2CRead(0x10, 2, out), 0x1203);
    EXPECT_EQ(out[0], 0x77);
    device->QueueOk(Bytes({0xA1}));
    EXPECT_EQ(tool->I2CRead(0x10, 0, out), 0);
    EXPECT_EQ(out[0], 0);

    out.fill(0x77);
    device->QueueError(0x0A03);
    EXPECT_EQ(tool->CommsRead(1, out), 0x0A03);
    EXPECT_EQ(out[0], 0); // cleared first, whatever the result
    device->QueueOk(Bytes({0x5C}));
    EXPECT_EQ(tool->CommsRead(1, out), 0);
    EXPECT_EQ(out[0], 0x5C);
    EXPECT_EQ(Body(device->Written().back(), 1), Bytes({0x0A, 1, 1}));
}

TEST_F(ToolLinkTest, IOReadTakesOnlyStatesOneAndTwo)
{
    auto device = ActivateWithTool();
    uint8_t state = 9;
    device->QueueOk(Bytes({2}));
    EXPECT_EQ(tool->IORead(10, state), 0);
    EXPECT_EQ(state, 2);
    device->QueueOk(Bytes({3}));
    EXPECT_EQ(tool->IORead(10, state), 0);
    EXPECT_EQ(state, 2);
    EXPECT_EQ(Body(device->Written()[0], 1), Bytes({0x10, 1, 10}));
}

TEST_F(ToolLinkTest, VersionQueryAndEventMode)
{
    auto device = ActivateWithTool();
    device->Id = 0xA;
    device->FirmwareVersion = 0x00010203;
    uint32_t version = 1;
    uint8_t build = 0, release = 0;
    EXPECT_EQ(tool->GetCTFWVersion(version, build, release), 0);
    EXPECT_EQ(version, 0x00010203u);
    EXPECT_EQ(build, 7);
    EXPECT_EQ(release, 3);
    EXPECT_EQ(tool->LastDevID, 0xAu);
    EXPECT_EQ(Body(device->Written()[0], 0), Bytes({0x09, 0}));

    device->QueueError(0x0003);
    build = 42;
    EXPECT_EQ(tool->GetCTFWVersion(version, build, release), 3);
    EXPECT_EQ(version, 0u);
    EXPECT_EQ(build, 42);

    device->QueueError(0x1A01);
    EXPECT_EQ(tool->EventMode(true), 0x1A01);
    EXPECT_TRUE(tool->FEventMode);
    EXPECT_EQ(Body(device->Written().back(), 1), Bytes({0x1A, 1, 1}));
}
