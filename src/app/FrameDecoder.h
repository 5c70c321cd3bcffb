#pragma once
// Decoding of stream frames into the main window's values, with the follow-ups that wait for ATI.

class TMainCore;

class TFrameDecoder {
public:
    explicit TFrameDecoder(TMainCore& core);

private:
    TMainCore& FCore;
};
