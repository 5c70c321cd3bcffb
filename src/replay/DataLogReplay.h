#pragma once
// A data log of the Data Logging page read as a recording: each row becomes a frame of the registers its
// columns come from. What the log does not hold is listed in the recording's notes.

#include "replay/FrameRecording.h"

std::optional<TRecording> ParseDataLog(const QByteArray& text, QString& error);
