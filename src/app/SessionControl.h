#pragma once
// Streaming session control: start, pause, power, stop and the pending update.

class TMainCore;

class TSessionControl {
public:
    explicit TSessionControl(TMainCore& core);

private:
    TMainCore& FCore;
};
