#pragma once
// A scripted configuration tool on the virtual HID backend, and a fixture that runs the real HID layer,
// device list and tool component over it.

#include "hid/VirtualHidBackend.h"
#include "toollink/KorvaneDevList.h"
#include "toollink/KorvaneHIDTool.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class FakeTool : public VirtualHidDevice {
public:
    explicit FakeTool(uint16_t vendorId = 0x2E3C, uint16_t productId = 0x0C60,
                      const QString& product = QStringLiteral("KORVANE CT"),
                      const QString& serial = QStringLiteral("CT0001"), int reportLength = 65);

    // How the next command is answered; with nothing queued every command gets a success reply.
    struct Reply {
        enum Kind { Ok, Error, Silent, Raw } kind = Ok;
        QByteArray data;             // Ok: reply bytes from byte 4; Raw: the whole report
        uint16_t code = 0;           // Error
        std::vector<QByteArray> before; // reports sent ahead of the reply
    };
    void Queue(Reply reply);
    void QueueOk(const QByteArray& data = {}) { Queue({Reply::Ok, data, 0, {}}); }
    void QueueError(uint16_t code) { Queue({Reply::Error, {}, code, {}}); }
    void QueueSilent() { Queue({Reply::Silent, {}, 0, {}}); }

    // Every output report written to the tool, in order.
    std::vector<QByteArray> Written() const;
    void ClearWritten();
    // Command codes of the written reports.
    std::vector<int> Commands() const;

    // Reports the tool sends on its own.
    QByteArray StreamReport(uint8_t sequence, uint8_t piece, const QByteArray& bytes) const;
    void SendStream(uint8_t sequence, uint8_t piece, const QByteArray& bytes);
    void SendErrorReport(uint16_t code);
    QByteArray ReplyReport(uint8_t type, uint8_t messageID, const QByteArray& data) const;

    uint8_t Id = 0;               // the tool ID nibble of every report it sends
    uint32_t FirmwareVersion = 0x01020304;

    void OutputReport(const QByteArray& report) override;

private:
    mutable std::mutex FMutex;
    std::deque<Reply> FReplies;
    std::vector<QByteArray> FWritten;
};

// Bytes from small integers.
QByteArray Bytes(std::initializer_list<int> values);
// count bytes counting up from first.
QByteArray Counting(int count, int first = 1);

// Waits, running the event loop, until pred is true; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 3000);

struct RecordedFrame {
    uint16_t size;
    uint8_t id;
    QByteArray data;
};

class ToolLinkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Activates the list and waits for the start-up scan.
    void Activate();
    // Plugs a device in and waits for the device change it causes.
    std::shared_ptr<FakeTool> Plug(std::shared_ptr<FakeTool> tool = std::make_shared<FakeTool>());
    void Unplug(const std::shared_ptr<FakeTool>& tool);
    // Activates with one tool plugged in and selected.
    std::shared_ptr<FakeTool> ActivateWithTool();
    // Sets the stream length and starts a long stream on the current tool.
    void StartStream(uint16_t length);

    std::shared_ptr<VirtualHidBackend> backend;
    std::unique_ptr<TKorvaneDevList> list;
    std::unique_ptr<TKorvaneHidTool> tool;

    int deviceChanges = 0;
    bool lastArrived = false;
    std::vector<RecordedFrame> frames;
    std::vector<uint16_t> streamingErrors;
    std::vector<uint8_t> missed;
};
