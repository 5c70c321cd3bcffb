#pragma once
// The message list and the main window's screen on the terminal: message items and warnings go to
// standard error, results to standard output, one flushed line at a time.

#include "app/MainView.h"
#include "common/KvrTypes.h"

#include <QList>
#include <QString>
#include <functional>

class TKorvaneHidTool;

class TCliTerminal : public IMessageSink, public IMainView {
public:
    struct TItem {
        TKvrItemType Kind;
        QString Text;
    };

    // Standard output; false once it can no longer be written (a closed pipe).
    static bool Out(const QString& line);
    static void Err(const QString& line);

    // The tool whose frames count (the tool setup window's ID box in the windows).
    void SetTool(const TKorvaneHidTool* tool) { FTool = tool; }
    // Run for every decoded frame.
    std::function<void()> OnFrame;
    // What the start-up chooser answers: 0 "Default Device Setup", 1..4 a demonstration set-up.
    uint8_t StartupOption = 0;

    const QList<TItem>& Items() const { return FItems; }
    int ErrorCount() const { return FErrors; }
    // The newest information item starting with prefix, or empty text.
    QString LastInfo(const QString& prefix) const;
    int DataMissedCount() const { return FDataMissed; }
    quint64 FrameCount() const { return FFrames; }

    // IMessageSink
    int KvrAddItem(const QString& item, TKvrItemType itemType) override;

    // IMainView
    void ShowWarning(const QString& text) override;
    // An error box is a failure even where no error item goes with it (a missing demonstration file).
    void ShowErrorBox(const QString& text) override;
    uint8_t ShowStartupChooser() override { return StartupOption; }
    void FrameDecoded() override;
    void ShowDataMissed() override;
    int ShownToolID() const override;

private:
    const TKorvaneHidTool* FTool = nullptr;
    QList<TItem> FItems;
    int FErrors = 0;
    int FDataMissed = 0;
    quint64 FFrames = 0;
};
