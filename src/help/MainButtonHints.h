#pragma once
// The hover hints of the main window's four large buttons, following the program's state.

#include <QString>

enum class TMainHintButton { StartButton, PauseButton, ScopeButton, SetupButton };

struct THintText {
    QString Title;
    QString Text;
};

// showHints: the Options menu's "Show hover hints"; without it title and text are empty and nothing shows.
THintText MainButtonHint(TMainHintButton button, bool isStreaming, const QString& pauseCaption, bool showHints);
