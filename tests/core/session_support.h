#pragma once
// Recording view and message sink for the session and decode tests, and a builder of stream frames.

#include "app/FrameDecoder.h"
#include "app/MainCore.h"
#include "app/MainView.h"
#include "common/KvrTypes.h"

#include <QStringList>
#include <array>
#include <vector>

struct SessionMessages : IMessageSink {
    struct Item {
        QString Text;
        TKvrItemType Kind;
    };
    std::vector<Item> Items;
    int KvrAddItem(const QString& item, TKvrItemType itemType) override
    {
        Items.push_back({item, itemType});
        return int(Items.size()) - 1;
    }
    bool Has(const QString& text, TKvrItemType kind) const
    {
        for (const Item& i : Items)
            if (i.Text == text && i.Kind == kind)
                return true;
        return false;
    }
    int Count(const QString& text) const
    {
        int n = 0;
        for (const Item& i : Items)
            n += i.Text == text;
        return n;
    }
    bool HasInfo(const QString& text) const { return Has(text, TKvrItemType::aInfo); }
    bool HasError(const QString& text) const { return Has(text, TKvrItemType::aError); }
    QString Dump() const
    {
        QStringList lines;
        for (const Item& i : Items)
            lines << (i.Kind == TKvrItemType::aError ? "E: " : "I: ") + i.Text;
        return lines.join('\n');
    }
};

// Records what the core asks of the screen, as "Name(args)" lines.
struct SessionView : IMainView {
    QStringList Calls;
    QStringList Warnings;
    uint8_t ChooserAnswer = 0;
    int ToolID = 0;
    bool AckEnabled = true;
    bool ATINotice = false;
    int Frames = 0;
    std::vector<int> Steps;
    int Percent = -1;
    QString Channel0Label = QStringLiteral("0");
    bool DeltaCheckEnabled = true;

    void SetStartCaption(const QString& c) override { Calls << "StartCaption(" + c + ")"; }
    void SetPauseCaption(const QString& c) override { Calls << "PauseCaption(" + c + ")"; }
    void SetPauseEnabled(bool e) override { Calls << QString("PauseEnabled(%1)").arg(e); }
    void SetExportHEnabled(bool e) override { Calls << QString("ExportH(%1)").arg(e); }
    void SetPowerButtonCaption(const QString& c) override { Calls << "PowerCaption(" + c + ")"; }
    void SetLoadSettingsButtonEnabled(bool e) override { Calls << QString("LoadSettingsButton(%1)").arg(e); }
    void ShowWarning(const QString& text) override { Warnings << text; }
    uint8_t ShowStartupChooser() override
    {
        Calls << "Chooser";
        return ChooserAnswer;
    }
    void ShowGraphPicture(bool l, bool r, bool t) override { Calls << QString("Picture(%1%2%3)").arg(l).arg(r).arg(t); }
    void ShowWaitPicture() override { Calls << "WaitPicture"; }
    void ResetLiveDisplay() override { Calls << "ResetLiveDisplay"; }
    void StartBarTimer() override { Calls << "StartBarTimer"; }
    void StopBarTimer() override { Calls << "StopBarTimer"; }
    void StopScopeTimer() override { Calls << "StopScopeTimer"; }
    void FrameDecoded() override { ++Frames; }
    void WheelPosition(int p) override { Percent = p; }
    void MoveRelativeMarker(int s) override { Steps.push_back(s); }
    void SetChannel0Label(const QString& t) override { Channel0Label = t; }
    void TakeSettingsAsApplied() override { Calls << "TakeSettingsAsApplied"; }
    void ShowATINotice() override
    {
        Calls << "ATINotice";
        ATINotice = true;
    }
    bool ATINoticeVisible() const override { return ATINotice; }
    void ShowDataMissed() override { Calls << "DataMissed"; }
    void SetForceSleepEnabled(bool e) override { Calls << QString("ForceSleepEnabled(%1)").arg(e); }
    void SetAckResetEnabled(bool e) override
    {
        AckEnabled = e;
        Calls << QString("AckResetEnabled(%1)").arg(e);
    }
    bool AckResetEnabled() const override { return AckEnabled; }
    int ShownToolID() const override { return ToolID; }
    void SetDeltaCheckEnabled(bool e) override { DeltaCheckEnabled = e; }

    bool Called(const QString& call) const { return Calls.contains(call); }
};

// A delivered frame: 3 header bytes, then the blocks appended in stream order.
struct FrameBuilder {
    std::vector<uint8_t> Bytes;
    explicit FrameBuilder(int toolID = 0) : Bytes{uint8_t((toolID << 4) | 0x0F), 0, 0xFF} {}
    FrameBuilder& Byte(uint8_t b)
    {
        Bytes.push_back(b);
        return *this;
    }
    FrameBuilder& Word(uint16_t w) { return Byte(uint8_t(w & 0xFF)).Byte(uint8_t(w >> 8)); }
    FrameBuilder& Flags(uint8_t flags, uint8_t events) { return Byte(flags).Byte(events); }
    FrameBuilder& Coordinates(uint8_t position, uint8_t relLow, uint8_t relHigh)
    {
        return Byte(position).Byte(relLow).Byte(relHigh);
    }
    FrameBuilder& ProxTouch(uint8_t status, uint8_t halt) { return Byte(status).Byte(halt); }
    FrameBuilder& Words(std::initializer_list<uint16_t> words)
    {
        for (uint16_t w : words)
            Word(w);
        return *this;
    }
    // Pads to the length of one stream report, as a single-report frame arrives.
    std::vector<uint8_t> Report() const
    {
        std::vector<uint8_t> r = Bytes;
        r.resize(std::max<size_t>(r.size(), 63), 0);
        return r;
    }
};

inline void Feed(TMainCore& core, const FrameBuilder& frame)
{
    const std::vector<uint8_t> r = frame.Report();
    core.Decoder->KT880Device1Streaming(uint16_t(r.size()), uint8_t(r[0] >> 4), r.data());
}
