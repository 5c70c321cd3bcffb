#include "cli/CliSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int PipeFds[2] = {-1, -1};

extern "C" void OnSignal(int number)
{
    // The next one of the same kind is not caught: a user pressing Ctrl-C twice means it.
    std::signal(number, SIG_DFL);
    const char byte = char(number);
    [[maybe_unused]] const ssize_t n = ::write(PipeFds[1], &byte, 1);
}

} // namespace

TCliSignals::TCliSignals(QObject* parent) : QObject(parent)
{
    std::signal(SIGPIPE, SIG_IGN);
    if (::pipe(PipeFds) != 0)
        return;
    for (int fd : PipeFds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    FNotifier = new QSocketNotifier(PipeFds[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TCliSignals::Readable);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TCliSignals::~TCliSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete FNotifier;
    for (int& fd : PipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TCliSignals::Readable()
{
    char bytes[16];
    while (::read(PipeFds[0], bytes, sizeof bytes) > 0) {
    }
    if (FReceived)
        return;
    FReceived = true;
    emit Interrupted();
}
