#include "logo/QuitOnSignal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler may only write to a descriptor; the GUI thread reads the other end.
int g_pipe[2] = {-1, -1};
} // namespace

QuitOnSignal::QuitOnSignal(QObject *parent) : QObject(parent) {
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitOnSignal::OnReadable);
    struct sigaction action = {};
    action.sa_handler = &QuitOnSignal::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    if (m_notifier == nullptr)
        return;
    // From here on a signal ends the program the default way again.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void QuitOnSignal::OnSignal(int) {
    int saved = errno;
    char byte = 1;
    if (::write(g_pipe[1], &byte, 1) < 0) {
        // A full socket already holds a request.
    }
    errno = saved;
}

void QuitOnSignal::OnReadable() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit Requested();
}
