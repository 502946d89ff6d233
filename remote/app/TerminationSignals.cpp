#include "app/TerminationSignals.h"

#include "protocol/RevisionInfo.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

TAVIK_REVISION("TerminationSignals.cpp");

namespace {
sigset_t terminationSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}
} // namespace

void TerminationSignals::block() {
    const sigset_t set = terminationSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {
    const sigset_t set = terminationSet();
    m_fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0) {
        // Without the descriptor the signals end the program the default way.
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
}

TerminationSignals::~TerminationSignals() {
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void TerminationSignals::readPending() {
    signalfd_siginfo info{};
    while (::read(m_fd, &info, sizeof info) == ssize_t(sizeof info))
        emit received(int(info.ssi_signo));
}
