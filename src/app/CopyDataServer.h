#pragma once
// The program's copy-data interface: another program sends a short text over a per-user local socket and
// learns whether this program runs; "Close" asks it to close.
//
// Protocol: the client sends the text as UTF-8, ended by a NUL byte or a line feed (or by disconnecting);
// the server answers with one decimal digit and a line feed, then closes the connection:
// 1 when the text contains "Status", else 2 when it contains "Close", else 0.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QLocalServer;
class QLocalSocket;

class TCopyDataServer : public QObject {
    Q_OBJECT
public:
    explicit TCopyDataServer(QObject* parent = nullptr);
    ~TCopyDataServer() override;

    // Per-user name of the local socket: a path in the user's runtime folder where the platform has one.
    static QString ServerName();
    // The answer to a text.
    static int Answer(const QString& text);

    // Starts listening. False when another running instance owns the name or the socket cannot be made.
    bool Listen(const QString& name = ServerName());
    bool IsListening() const;
    QString ErrorString() const { return FError; }

    // Client side: sends text to a running instance and waits at most timeoutMs for its answer.
    // Empty when no instance runs or no answer came in time. Blocks; not for the user-interface thread
    // of the instance that is asked.
    static std::optional<int> SendMessage(const QString& text, int timeoutMs = 3000,
                                          const QString& name = ServerName());

    static constexpr int MaxMessageBytes = 64 * 1024;
    static constexpr int ClientTimeoutMs = 2000; // a client that sends nothing is dropped after this
    static constexpr int MaxClients = 8;

signals:
    // A text contained "Close" (its answer has been sent).
    void CloseRequested();

private:
    struct TClient;
    void NewConnection();
    void ClientData(TClient& client);
    void Reply(TClient& client, const QByteArray& message, bool canAnswer);
    void Drop(TClient& client);

    QLocalServer* FServer = nullptr;
    QString FError;
    std::vector<std::shared_ptr<TClient>> FClients;
};
