#pragma once
// Register operations: move register values between the settings record and the chip.

class TMainCore;

class TRegisterOperations {
public:
    explicit TRegisterOperations(TMainCore& core);

private:
    TMainCore& FCore;
};
