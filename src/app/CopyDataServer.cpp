#include "app/CopyDataServer.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace {
constexpr int StaleCheckMs = 300;
}

// One connected client: what it sent so far, and the timer that drops it.
struct TCopyDataServer::TClient {
    QLocalSocket* Socket = nullptr;
    QByteArray Buffer;
    QTimer Timer;
    bool Done = false;
};

TCopyDataServer::TCopyDataServer(QObject* parent) : QObject(parent) {}

TCopyDataServer::~TCopyDataServer()
{
    for (const auto& client : FClients)
        client->Socket->disconnect(this);
}

QString TCopyDataServer::ServerName()
{
#ifndef Q_OS_WIN
    // A name in the shared temp folder could be taken first by another account, which would then get the
    // texts meant for this program or make it believe an instance runs. The runtime folder is the user's
    // alone (mode 0700, checked by Qt).
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return QDir(runtime).filePath(QStringLiteral("kt610b-copydata"));
#endif
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    user.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QStringLiteral("kt610b-") + (user.isEmpty() ? QStringLiteral("user") : user);
}

int TCopyDataServer::Answer(const QString& text)
{
    if (text.contains(QLatin1String("Status")))
        return 1;
    if (text.contains(QLatin1String("Close")))
        return 2;
    return 0;
}

bool TCopyDataServer::IsListening() const
{
    return FServer && FServer->isListening();
}

bool TCopyDataServer::Listen(const QString& name)
{
    delete FServer;
    FServer = nullptr;
    // Listening would take the name over silently: first make sure no running instance answers on it.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(StaleCheckMs)) {
        probe.abort();
        FError = QStringLiteral("another instance is running");
        return false;
    }
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    FServer->setMaxPendingConnections(MaxClients);
    connect(FServer, &QLocalServer::newConnection, this, &TCopyDataServer::NewConnection);
    if (FServer->listen(name))
        return true;
    if (FServer->serverError() == QAbstractSocket::AddressInUseError) {
        // Left behind by an instance that crashed.
        QLocalServer::removeServer(name);
        if (FServer->listen(name))
            return true;
    }
    FError = FServer->errorString();
    return false;
}

void TCopyDataServer::NewConnection()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        if (FClients.size() >= MaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto client = std::make_shared<TClient>();
        client->Socket = socket;
        FClients.push_back(client);
        const std::weak_ptr<TClient> weak = client;
        auto onData = [this, weak] {
            if (const auto c = weak.lock())
                ClientData(*c);
        };
        connect(socket, &QLocalSocket::readyRead, this, onData);
        connect(socket, &QLocalSocket::disconnected, this, onData);
        client->Timer.setSingleShot(true);
        connect(&client->Timer, &QTimer::timeout, this, [this, weak] {
            if (const auto c = weak.lock())
                Drop(*c);
        });
        client->Timer.start(ClientTimeoutMs);
        ClientData(*client);
    }
}

void TCopyDataServer::ClientData(TClient& client)
{
    if (client.Done)
        return;
    const qint64 room = MaxMessageBytes + 1 - client.Buffer.size();
    if (room > 0)
        client.Buffer += client.Socket->read(room);

    qsizetype end = client.Buffer.indexOf('\0');
    const qsizetype lineFeed = client.Buffer.indexOf('\n');
    if (end < 0 || (lineFeed >= 0 && lineFeed < end))
        end = lineFeed;
    const bool connected = client.Socket->state() == QLocalSocket::ConnectedState;
    if (end >= 0)
        Reply(client, client.Buffer.left(end), true);
    else if (client.Buffer.size() > MaxMessageBytes)
        Drop(client); // not a message of this interface
    else if (!connected && !client.Buffer.isEmpty())
        Reply(client, client.Buffer, false); // the client sent its text and went away without waiting
    else if (!connected)
        Drop(client);
}

void TCopyDataServer::Reply(TClient& client, const QByteArray& message, bool canAnswer)
{
    const int answer = Answer(QString::fromUtf8(message));
    if (canAnswer) {
        client.Socket->write(QByteArray::number(answer) + '\n');
        client.Socket->flush();
    }
    Drop(client);
    if (answer == 2)
        emit CloseRequested();
}

void TCopyDataServer::Drop(TClient& client)
{
    if (client.Done)
        return;
    client.Done = true;
    client.Timer.stop();
    QLocalSocket* socket = client.Socket;
    socket->disconnect(this);
    socket->disconnectFromServer(); // sends what is still buffered, then closes
    socket->deleteLater();
    // The caller holds its own reference while it runs.
    std::erase_if(FClients, [&client](const auto& c) { return c.get() == &client; });
}

std::optional<int> TCopyDataServer::SendMessage(const QString& text, int timeoutMs, const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return std::nullopt;
    QByteArray message = text.toUtf8();
    message.truncate(MaxMessageBytes);
    message.replace('\0', ' ').replace('\n', ' ');
    socket.write(message + '\0');
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    answer += socket.readAll();
    bool ok = false;
    const int value = answer.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}
