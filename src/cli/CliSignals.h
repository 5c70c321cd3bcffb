#pragma once
// SIGINT and SIGTERM become a Qt signal in the event loop (through a self-pipe), so that an interrupted
// command still stops streaming and powers the chip off. A second signal ends the program at once.
// SIGPIPE is ignored: a closed output pipe is seen as a failed write and ends the command cleanly.

#include <QObject>

class QSocketNotifier;

class TCliSignals : public QObject {
    Q_OBJECT
public:
    explicit TCliSignals(QObject* parent = nullptr);
    ~TCliSignals() override;

    bool Received() const { return FReceived; }

signals:
    void Interrupted();

private:
    void Readable();

    QSocketNotifier* FNotifier = nullptr;
    bool FReceived = false;
};
