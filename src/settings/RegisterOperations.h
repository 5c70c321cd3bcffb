#pragma once
// Register operations: move register values between the settings record and the chip, send the chip's
// one-shot commands, and run the engineering tools (raw and indirect access, actual base, parasitic
// capacitance). Every operation runs on the user-interface thread and reports through the message list.
//
// Synchronous operations return when their traffic is done. The two that wait (off mode wake-up and halt
// charge in ProxSettings3Cmd) keep the event loop running: they hold report delivery, mark the core busy
// (TMainCore::FRegBusy, IMainView::SetRegisterBusy) and report through a callback. While busy, register
// traffic from anywhere else is refused.

#include "settings/SendCommandLog.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

class TMainCore;

class TRegisterOperations : public QObject {
    Q_OBJECT
public:
    explicit TRegisterOperations(TMainCore& core);
    ~TRegisterOperations() override;

    // Rows of "Show Send Commands".
    TSendCommandLog CommandLog;

    using TDone = std::function<void(bool ok)>;

    // Register images.
    void UpdateAllProxSettings();
    void ResetRegisterImages();

    // Reads.
    bool GetVersion();
    bool ReadSettingsFromChip(bool NoResume);
    bool ReadAllThr();
    bool ReadAllTimings();
    bool ReadMultComp();
    bool ReadActualBase();

    // Writes of the settings groups (FLoadingSettings: success at once, nothing sent).
    bool WriteAllThr();
    bool WriteMultComp(bool Mult, bool Comp);
    bool WriteTimGes(bool Tim, bool Ges);
    bool ProxSettings0Cmd();
    bool ProxSettings1Cmd();
    bool ProxSettings2Cmd();
    // May wait (off mode, halt charge); done runs when the write is complete, possibly before this returns.
    void ProxSettings3Cmd(TDone done);
    bool ProxSettingsAllCmd();
    bool WriteIgnoreFH();
    bool WriteProjectedSelf();
    bool WriteReset();
    bool WriteAllSettings();

    // Active channels (TMainCore::CHCheck, AllCHsCheck).
    void CH0CheckClick();
    void AllCHsCheckClick();

    // Waits ms without blocking the event loop, like a wait between the steps of a write; done runs after.
    void Wait(int ms, TDone done);

    // One-shot commands.
    bool RedoATIBtnClick();
    bool ReseedBtnClick();
    bool ForceSleepButtonClick();
    void AckResetButtonClick();

    // Engineering page.
    bool SetCalCap(bool State);
    void ReadMMButtonClick();
    void WriteMMButtonClick();
    void InDirReadButtonClick();
    void InDirWriteButtonClick();

    // Parasitic-capacitance measurement ("Calculate").
    void Button2Click();
    void CalCapTimerTimer();
    bool CalCapRunning() const;
    QTimer CalCapTimer;

    // Per-frame steps: the frame handler's, after the channel counts are decoded; the display's, per update
    // with the System Flags streamed.
    void CalCapFrameStep();
    void AckResetFrame();

private:
    struct TStep;
    struct TSequence;

    // Transfers with the error item on failure; refused while another operation waits.
    bool Refused();
    bool Failed(uint16_t result);
    bool Read(uint8_t address, uint8_t count, TKvrByteArray& data);
    bool SendComposed(uint8_t address, int length);
    bool ReadIntoSettings(std::initializer_list<std::pair<uint8_t, uint8_t>> blocks);
    bool Write(uint8_t length, TKvrByteArray& data);
    bool ReadPointed(uint8_t count, TKvrByteArray& data);
    bool IOWrite(uint8_t line, uint8_t state);
    bool IORead(uint8_t line);
    bool IndirectRead(uint8_t memoryAddress, uint8_t& value);
    // The logged write of a settings group: row, write, "Command sent successfully".
    bool SendGroup(TKvrByteArray& data, int dataLength);

    bool PauseStreaming();
    bool ResumeStreaming();
    bool GuardedPause();
    bool GuardedResume();

    enum class TSysFlagsWrite { IgnoreFH, Projected, Reset };
    bool WriteSysFlags(TSysFlagsWrite kind);
    bool ProxSettings3Send();

    // Steps with waits between them, run without blocking the event loop; report delivery is held while
    // an operation waits.
    void Run(const std::shared_ptr<TSequence>& seq);
    void Finish(const std::shared_ptr<TSequence>& seq, bool ok);
    void BeginWait();
    void EndWait();

    void ApplyIfChanged();
    void CalCapCompute();
    void RecoverFormCalCap();

    TMainCore& FCore;
    bool FWaiting = false; // a waiting operation holds delivery
    bool FInStep = false;  // one of its steps runs now

    // Measurement state kept for the recovery.
    bool FCalCapActive = false;
    double FCalCapFactor = 0.0;
    int PrevPage = 0;
    int PrevATI = 1;
    std::array<int, 2> PrevBase{};
    std::array<int, 4> PrevPCC{};
};
