// The copy-data interface: answers to other programs over the local socket, and the close request.

#include "UiTestSupport.h"

#include "app/CopyDataServer.h"
#include "app/MainCore.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <future>

namespace {

// Asks from another thread, as another program would, while this thread runs the window's event loop.
std::optional<int> Ask(const QString& name, const QString& text)
{
    auto answer = std::async(std::launch::async, [&] { return TCopyDataServer::SendMessage(text, 2000, name); });
    WaitUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
    return answer.get();
}

TEST(CopyDataAnswer, StatusWinsOverCloseAndOtherTextsGetZero)
{
    EXPECT_EQ(TCopyDataServer::Answer(QStringLiteral("Status")), 1);
    EXPECT_EQ(TCopyDataServer::Answer(QStringLiteral("Close")), 2);
    EXPECT_EQ(TCopyDataServer::Answer(QStringLiteral("Please Close now")), 2);
    EXPECT_EQ(TCopyDataServer::Answer(QStringLiteral("Close; Status?")), 1);
    EXPECT_EQ(TCopyDataServer::Answer(QStringLiteral("close")), 0);
    EXPECT_EQ(TCopyDataServer::Answer(QString()), 0);
    EXPECT_TRUE(TCopyDataServer::ServerName().contains(QStringLiteral("kt610b-")));
}

using CopyDataTest = ShellTest;

TEST_F(CopyDataTest, StatusAnswersOneAndChangesNothing)
{
    bool closed = false;
    QObject::connect(MainForm, &TMainForm::FormClosed, [&] { closed = true; });
    EXPECT_EQ(Ask(FCopyDataName, QStringLiteral("Status")), 1);
    EXPECT_EQ(Ask(FCopyDataName, QStringLiteral("Hello")), 0);
    Pump(50);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_EQ(MainForm->MessageBox->count(), 0);
}

TEST_F(CopyDataTest, CloseAnswersTwoAndClosesTheMainWindow)
{
    bool closed = false;
    QObject::connect(MainForm, &TMainForm::FormClosed, [&] { closed = true; });
    EXPECT_EQ(Ask(FCopyDataName, QStringLiteral("Close")), 2);
    EXPECT_TRUE(WaitUntil([&] { return closed; }));
    EXPECT_FALSE(MainForm->isVisible());
    EXPECT_TRUE(MainForm->Core().FClosing);
}

TEST_F(CopyDataTest, NoInstanceMeansNoAnswer)
{
    EXPECT_FALSE(TCopyDataServer::SendMessage(QStringLiteral("Status"), 300, FCopyDataName + "-none").has_value());
}

TEST_F(CopyDataTest, BadClientsNeitherBlockNorCloseTheProgram)
{
    bool closed = false;
    QObject::connect(MainForm, &TMainForm::FormClosed, [&] { closed = true; });

    // One that connects and says nothing, one that sends too much, one with invalid text.
    QLocalSocket idle;
    idle.connectToServer(FCopyDataName);
    ASSERT_TRUE(WaitUntil([&] { return idle.state() == QLocalSocket::ConnectedState; }));
    QLocalSocket flood;
    flood.connectToServer(FCopyDataName);
    ASSERT_TRUE(WaitUntil([&] { return flood.state() == QLocalSocket::ConnectedState; }));
    flood.write(QByteArray(TCopyDataServer::MaxMessageBytes + 100, 'C') + "Close");
    QLocalSocket garbage;
    garbage.connectToServer(FCopyDataName);
    ASSERT_TRUE(WaitUntil([&] { return garbage.state() == QLocalSocket::ConnectedState; }));
    garbage.write(QByteArray("\xff\xfe\xc3(", 4) + '\0');

    // Meanwhile a good client still gets its answer at once.
    EXPECT_EQ(Ask(FCopyDataName, QStringLiteral("Status")), 1);
    EXPECT_TRUE(WaitUntil([&] { return garbage.bytesAvailable() > 0 || garbage.state() != QLocalSocket::ConnectedState; }));
    EXPECT_EQ(garbage.readAll().trimmed(), QByteArray("0"));
    EXPECT_TRUE(WaitUntil([&] { return flood.state() == QLocalSocket::UnconnectedState; }));
    // The silent one is dropped after the client timeout.
    EXPECT_TRUE(WaitUntil([&] { return idle.state() == QLocalSocket::UnconnectedState; },
                          TCopyDataServer::ClientTimeoutMs + 2000));
    EXPECT_FALSE(closed);
}

TEST_F(CopyDataTest, ASecondServerDoesNotTakeTheNameOfARunningOne)
{
    TCopyDataServer second;
    EXPECT_FALSE(second.Listen(FCopyDataName));
    EXPECT_EQ(Ask(FCopyDataName, QStringLiteral("Status")), 1);
    // A socket file left behind by a crashed instance is taken over.
    const QString stale = FCopyDataName + QStringLiteral("-stale");
    QFile leftover(QDir(QDir::tempPath()).filePath(stale));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    TCopyDataServer fresh;
    EXPECT_TRUE(fresh.Listen(stale)) << fresh.ErrorString().toStdString();
    EXPECT_EQ(Ask(stale, QStringLiteral("Status")), 1);
}

} // namespace
