#include "cli/CliTerminal.h"

#include "toollink/KorvaneHIDTool.h"

#include <cstdio>

namespace {

bool WriteLine(FILE* stream, const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written;
}

} // namespace

bool TCliTerminal::Out(const QString& line)
{
    return WriteLine(stdout, line);
}

void TCliTerminal::Err(const QString& line)
{
    WriteLine(stderr, line);
}

QString TCliTerminal::LastInfo(const QString& prefix) const
{
    for (auto it = FItems.crbegin(); it != FItems.crend(); ++it)
        if (it->Kind == TKvrItemType::aInfo && it->Text.startsWith(prefix))
            return it->Text;
    return {};
}

int TCliTerminal::KvrAddItem(const QString& item, TKvrItemType itemType)
{
    const bool error = itemType == TKvrItemType::aError;
    FErrors += error;
    FItems.append({itemType, item});
    Err((error ? QStringLiteral("error: ") : QStringLiteral("info: ")) + item);
    return int(FItems.size()) - 1;
}

void TCliTerminal::ShowWarning(const QString& text)
{
    Err(QStringLiteral("warning: ") + text);
}

void TCliTerminal::ShowErrorBox(const QString& text)
{
    ++FErrors;
    Err(QStringLiteral("error: ") + QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" ")));
}

void TCliTerminal::FrameDecoded()
{
    ++FFrames;
    if (OnFrame)
        OnFrame();
}

void TCliTerminal::ShowDataMissed()
{
    // One line for the first gap; the count is reported when the stream ends.
    if (FDataMissed++ == 0)
        Err(QStringLiteral("warning: Some Data Missed"));
}

int TCliTerminal::ShownToolID() const
{
    return FTool ? int(FTool->LastDevID & 0x0F) : 0;
}
