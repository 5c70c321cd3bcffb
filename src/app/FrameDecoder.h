#pragma once
// Decoding of stream frames into the main window's values, with the follow-ups that wait for ATI.
// Runs once per frame on the user-interface thread: no allocation and no text building on the way.

#include <cstdint>

class TMainCore;

class TFrameDecoder {
public:
    // Hooks the chip device component's frame event.
    explicit TFrameDecoder(TMainCore& core);
    ~TFrameDecoder();

    // The frame handler. Data holds Size bytes: 3 header bytes, then the streamed blocks.
    void KT880Device1Streaming(uint16_t Size, uint8_t HIDToolID, const uint8_t* Data);

    // Count and long-term average of channel i (0 for i outside 0..3).
    int32_t Count(int i) const;
    int32_t LTA(int i) const;

    // Frames dropped because they were shorter than the stream set-up needs.
    uint64_t ShortFrames() const { return FShortFrames; }

    // The frame being decoded, valid only inside the handler (null outside).
    const uint8_t* FBytes = nullptr;

private:
    uint16_t Word(int offset) const { return uint16_t(FBytes[offset] | (FBytes[offset + 1] << 8)); }
    void DecodeCoordinates();
    void DecodeChannels();
    void CalcTouchThresholds();
    void DecodeProxTouch();
    void DecodeSystemFlags();
    void RunATIFollowUps();

    TMainCore& FCore;
    uint64_t FShortFrames = 0;
};
