#include "help/MainButtonHints.h"

THintText MainButtonHint(TMainHintButton button, bool isStreaming, const QString& pauseCaption, bool showHints)
{
    if (!showHints)
        return {};
    switch (button) {
    case TMainHintButton::StartButton:
        if (isStreaming)
            return {QStringLiteral("Stop Streaming (F1)"), QStringLiteral("Stop device streaming and power off")};
        return {QStringLiteral("Start Streaming (F1)"), QStringLiteral("Start streaming the connected KT610B")};
    case TMainHintButton::PauseButton:
        if (pauseCaption == QStringLiteral("Pause"))
            return {QStringLiteral("Pause Streaming (F2)"),
                    QStringLiteral("Pause device data streaming (power remains on)")};
        return {QStringLiteral("Resume Streaming (F2)"), QStringLiteral("Resume device data streaming")};
    case TMainHintButton::ScopeButton:
        return {QStringLiteral("Open Scope (F3)"), QStringLiteral("Open the scope window")};
    case TMainHintButton::SetupButton:
        break;
    }
    return {QStringLiteral("Device & Application Setup"), QStringLiteral("Setup the device and PC application settings")};
}
