#pragma once
// Recording view and message sink for the session and decode tests, and a builder of stream frames.

#include "app/FrameDecoder.h"
#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "sim/Simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <QStringList>
#include <functional>
#include <vector>

// Runs the event loop until done holds, for at most ms milliseconds; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

struct SessionMessages : IMessageSink {
    QStringList Items; // "I: text" or "E: text"
    int KvrAddItem(const QString& item, TKvrItemType kind) override
    {
        Items << (kind == TKvrItemType::aError ? "E: " : "I: ") + item;
        return int(Items.size()) - 1;
    }
    bool HasInfo(const QString& text) const { return Items.contains("I: " + text); }
    bool HasError(const QString& text) const { return Items.contains("E: " + text); }
    int Count(const QString& text) const { return int(Items.count("I: " + text) + Items.count("E: " + text)); }
    int Errors() const
    {
        int n = 0;
        for (const QString& i : Items)
            n += i.startsWith("E: ");
        return n;
    }
    std::string Dump() const { return Items.join('\n').toStdString(); }
};

// Records what the core asks of the screen.
struct SessionView : IMainView {
    QStringList Calls, Warnings;
    uint8_t ChooserAnswer = 0;
    int ToolID = 0, Frames = 0, Percent = -1;
    bool AckEnabled = true, ATINotice = false, DeltaCheckEnabled = true;
    std::vector<int> Steps;
    QString Channel0Label = QStringLiteral("0");

    void SetStartCaption(const QString& c) override { Calls << "StartCaption(" + c + ")"; }
    void SetLoadSettingsButtonEnabled(bool e) override { Calls << QString("LoadSettingsButton(%1)").arg(e); }
    void ShowWarning(const QString& text) override { Warnings << text; }
    uint8_t ShowStartupChooser() override { return ChooserAnswer; }
    void ShowGraphPicture(bool l, bool r, bool t) override { Calls << QString("Picture(%1%2%3)").arg(l).arg(r).arg(t); }
    void ShowWaitPicture() override { Calls << "WaitPicture"; }
    void StartBarTimer() override { Calls << "StartBarTimer"; }
    void FrameDecoded() override { ++Frames; }
    void WheelPosition(int p) override { Percent = p; }
    void MoveRelativeMarker(int s) override { Steps.push_back(s); }
    void SetChannel0Label(const QString& t) override { Channel0Label = t; }
    void TakeSettingsAsApplied() override { Calls << "TakeSettingsAsApplied"; }
    void ShowATINotice() override { Calls << "ATINotice", ATINotice = true; }
    bool ATINoticeVisible() const override { return ATINotice; }
    void ShowDataMissed() override { Calls << "DataMissed"; }
    void SetForceSleepEnabled(bool e) override { Calls << QString("ForceSleepEnabled(%1)").arg(e); }
    void SetAckResetEnabled(bool e) override { AckEnabled = e; }
    bool AckResetEnabled() const override { return AckEnabled; }
    int ShownToolID() const override { return ToolID; }
    void SetDeltaCheckEnabled(bool e) override { DeltaCheckEnabled = e; }
    bool Called(const QString& call) const { return Calls.contains(call); }
};

// Runs samples and waits until the view has all their frames, or until none has come for quietMs when some
// of them do not count (a stream stopped and restarted on the way, damaged pieces).
inline void StreamFrames(TSimulator& sim, const SessionView& view, int samples, int quietMs, int totalMs = 5000)
{
    const int expected = view.Frames + samples;
    sim.Advance(samples);
    QElapsedTimer total, quiet;
    total.start();
    quiet.start();
    for (int seen = view.Frames; view.Frames < expected && total.elapsed() < totalMs && quiet.elapsed() < quietMs;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (view.Frames != seen)
            seen = view.Frames, quiet.restart();
    }
}

// A delivered frame: 3 header bytes, then the blocks appended in stream order.
struct FrameBuilder {
    std::vector<uint8_t> Bytes;
    explicit FrameBuilder(int toolID = 0) : Bytes{uint8_t((toolID << 4) | 0x0F), 0, 0xFF} {}
    FrameBuilder& Byte(uint8_t b) { return Bytes.push_back(b), *this; }
    FrameBuilder& Word(uint16_t w) { return Byte(uint8_t(w & 0xFF)).Byte(uint8_t(w >> 8)); }
    FrameBuilder& Flags(uint8_t flags, uint8_t events) { return Byte(flags).Byte(events); }
    FrameBuilder& Coordinates(uint8_t position, uint8_t low, uint8_t high) { return Byte(position).Byte(low).Byte(high); }
    FrameBuilder& ProxTouch(uint8_t status, uint8_t halt) { return Byte(status).Byte(halt); }
    FrameBuilder& Words(std::initializer_list<uint16_t> words)
    {
        for (uint16_t w : words)
            Word(w);
        return *this;
    }
};

// Hands the frame over as a single stream report arrives: padded to the report length.
inline void Feed(TMainCore& core, const FrameBuilder& frame)
{
    std::vector<uint8_t> r = frame.Bytes;
    r.resize(std::max<size_t>(r.size(), 63), 0);
    core.Decoder->KT880Device1Streaming(uint16_t(r.size()), uint8_t(r[0] >> 4), r.data());
}

// A core on the simulated tool and chip, its tool list activated.
struct SimSession {
    explicit SimSession(const SimOptions& options) : Sim(options), Core(Sim.Backend(), &Messages, &View)
    {
        Core.KorvaneDevList1->Activate();
    }
    // Waits (bounded) for the tool to be selected, then presses Start; true when streaming.
    bool Start()
    {
        QElapsedTimer t;
        t.start();
        while (!Core.KorvaneHidTool1->DeviceSelected && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        Core.Session->StartButtonClick();
        return Core.FIsStreaming;
    }

    TSimulator Sim;
    SessionMessages Messages;
    SessionView View;
    TMainCore Core;
};
