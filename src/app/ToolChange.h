#pragma once
// The main window's reaction to configuration tools being plugged in or pulled out: which tool is used,
// what the tool panel shows, the session reset when the tool goes, and the firmware prompts.

#include <QString>
#include <cstdint>

class QObject;
class TMainCore;

class TToolChange {
public:
    explicit TToolChange(TMainCore& core);

    // The device list's OnDeviceChange handler.
    void KorvaneDevList1DeviceChange(QObject* Sender, bool Arrived);

    // Texts and colours of the tool panel.
    static inline const QString NoDeviceText = QStringLiteral("No device(s) connected");
    static inline const QString DisconnectedText = QStringLiteral("Streaming device disconnected!");
    static inline const QString UpdateCompletedText = QStringLiteral("Firmware update completed");
    static constexpr uint32_t NoDeviceColour = 0xFF0000;
    static constexpr uint32_t IdlePanelColour = 0xF0F0F0;
    static constexpr uint32_t NameColour = 0x000000;

private:
    void ResetSession();
    void ResetSessionIfActive();
    void ShowCurrentTool();
    void FinishUpdate();
    void SelectToolBySerial(const QString& serial);
    void FirmwarePrompts();

    TMainCore& FCore;
    bool FPromptQueued = false; // a firmware prompt waits or is on screen
};
