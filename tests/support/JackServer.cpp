// A private JACK server with the dummy driver, started and stopped by one end-to-end test.
#include "JackServer.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// The child dies with the test process, even when that one is killed by a time-out.
void dieWithParent() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// Runs a short helper program against the server; kills it when it overruns.
bool runHelper(const QString &program, const QStringList &args, const QProcessEnvironment &env, int timeoutMs,
               QString *output = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setChildProcessModifier(dieWithParent);
    p.start(program, args);
    if (!p.waitForStarted(qMax(timeoutMs, 1)))
        return false;
    if (!p.waitForFinished(qMax(timeoutMs, 1))) {
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

JackServer::JackServer(const QString &name) : m_name(name) {
    m_jackd.setProcessChannelMode(QProcess::MergedChannels);
    m_jackd.setChildProcessModifier(dieWithParent);
}

JackServer::~JackServer() {
    stop();
}

bool JackServer::start(int timeoutMs) {
    if (m_jackd.state() != QProcess::NotRunning)
        return true;
    m_output.clear();
    QDeadlineTimer deadline(timeoutMs);
    if (m_lockFd >= 0) // paused: the same name again
        return startAs(deadline);
    // JACK keeps at most eight servers in its registry and frees an entry only when a server of
    // the same name starts again, so the tests share a small pool of names instead of making up
    // new ones: a server left behind by a killed test never blocks the next run.
    for (int attempt = 0; attempt < 3 && !deadline.hasExpired(); ++attempt) {
        for (int slot = 0; slot < PoolSize && !deadline.hasExpired(); ++slot) {
            const QString candidate = QStringLiteral("tavik-test-%1").arg(slot);
            if (!lockName(candidate))
                continue; // another test holds it
            if (serverRunning(candidate)) {
                unlockName();
                continue;
            }
            m_name = candidate;
            // Wake-up objects left by an earlier server of this name (its clients killed, or the
            // server itself) would be taken over by new clients of the same names, and those are
            // then never woken to process: no MIDI passes. No server of this name runs now.
            removeSynchroFiles();
            if (startAs(deadline))
                return true;
            unlockName();
        }
        QThread::msleep(200);
    }
    return false;
}

QStringList JackServer::connectionsOf(const QString &port) const {
    QString out;
    runHelper(QStringLiteral("jack_lsp"), {QStringLiteral("-c"), port}, environment(), 10000, &out);
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    for (QString &line : lines)
        line = line.trimmed();
    return lines;
}

QStringList JackServer::ports() const {
    QString out;
    runHelper(QStringLiteral("jack_lsp"), {}, environment(), 10000, &out);
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool JackServer::serverRunning(const QString &name) const {
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("JACK_DEFAULT_SERVER"), name);
    QString out;
    if (!runHelper(QStringLiteral("jack_wait"), {QStringLiteral("-s"), name, QStringLiteral("-c")}, env, 3000,
                   &out))
        return true; // cannot tell: leave the name alone
    return !out.contains(QStringLiteral("not running"));
}

bool JackServer::startAs(const QDeadlineTimer &deadline) {
    m_jackd.setProcessEnvironment(environment());
    // Realtime, so that a busy machine cannot starve the server's or its clients' process threads:
    // a cycle a client misses loses that client's MIDI. Where realtime scheduling is not permitted,
    // jackd and libjack go on with normal scheduling.
    m_jackd.start(QStringLiteral("jackd"),
                  {QStringLiteral("-R"), QStringLiteral("-n"), m_name, QStringLiteral("-d"),
                   QStringLiteral("dummy"), QStringLiteral("-r"), QStringLiteral("48000"),
                   QStringLiteral("-p"), QStringLiteral("256")});
    if (!m_jackd.waitForStarted(qMax(1, int(deadline.remainingTime())))) {
        m_output += m_jackd.errorString();
        stopJackd();
        return false;
    }
    // A name taken by another test in the meantime makes this jackd quit at once.
    if (!waitUntilUp(int(deadline.remainingTime())) || !clientCanConnect(int(deadline.remainingTime())) ||
        m_jackd.waitForFinished(100)) {
        stopJackd();
        return false;
    }
    return true;
}

bool JackServer::waitUntilUp(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (m_jackd.state() == QProcess::NotRunning)
            return false;
        const int left = int(deadline.remainingTime());
        // Short waits, so a jackd that quit at once (its name taken) is noticed quickly.
        const int seconds = qBound(1, left / 1000, 2);
        if (runHelper(QStringLiteral("jack_wait"),
                      {QStringLiteral("-s"), m_name, QStringLiteral("-w"), QStringLiteral("-t"),
                       QString::number(seconds)},
                      environment(), left))
            return true;
        QThread::msleep(50);
    }
    return false;
}

// jack_wait answers as soon as the server socket exists; the first clients that come right
// after that are sometimes refused while the driver starts. A client that lists the dummy
// driver's ports twice in a row shows the server is ready for real clients.
bool JackServer::clientCanConnect(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    int successes = 0;
    while (!deadline.hasExpired() && successes < 2) {
        if (m_jackd.state() == QProcess::NotRunning)
            return false;
        QString out;
        if (runHelper(QStringLiteral("jack_lsp"), {}, environment(), int(deadline.remainingTime()), &out) &&
            out.contains(QStringLiteral("system:")))
            ++successes;
        else
            successes = 0;
        if (successes < 2)
            QThread::msleep(50);
    }
    return successes >= 2;
}

void JackServer::stop() {
    pause();
    unlockName();
}

void JackServer::pause() {
    stopJackd();
    removeSynchroFiles();
}

bool JackServer::lockName(const QString &name) {
    // One lock file a name, held while this object owns the name; the kernel lets it go when the
    // test process dies.
    const QByteArray path =
        QFile::encodeName(QDir::tempPath() + QStringLiteral("/tavik-jack-%1.lock").arg(name));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

void JackServer::unlockName() {
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

void JackServer::removeSynchroFiles() {
    if (m_lockFd < 0 || m_jackd.state() != QProcess::NotRunning)
        return;
    for (const QString &file : clientSynchroFiles())
        QFile::remove(QStringLiteral("/dev/shm/") + file);
}

void JackServer::stopJackd() {
    if (m_jackd.state() != QProcess::NotRunning) {
        m_jackd.terminate();
        if (!m_jackd.waitForFinished(3000)) {
            m_jackd.kill();
            m_jackd.waitForFinished(3000);
        }
    }
    m_output += QString::fromLocal8Bit(m_jackd.readAll());
}

QString JackServer::name() const {
    return m_name;
}

QProcessEnvironment JackServer::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JACK_DEFAULT_SERVER"), m_name);
    // A JACK client must never start a server of its own behind the test's back.
    env.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    return env;
}

void JackServer::applyToThisProcess() {
    qputenv("JACK_DEFAULT_SERVER", m_name.toLocal8Bit());
    qputenv("JACK_NO_START_SERVER", "1");
}

QString JackServer::uniqueName(const QString &prefix) {
    static QAtomicInt counter;
    return QStringLiteral("%1-%2-%3-%4")
        .arg(prefix)
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetchAndAddRelaxed(1))
        .arg(QRandomGenerator::global()->bounded(1000000));
}

QString JackServer::diagnostics() const {
    if (m_jackd.state() != QProcess::NotRunning)
        m_output += QString::fromLocal8Bit(m_jackd.readAll());
    return m_output;
}

QStringList JackServer::clientSynchroFiles() const {
    // jackd 1.9 names them jack_sem.<uid>_<server>_<client>.
    const QString pattern = QStringLiteral("jack_sem.%1_%2_*").arg(getuid()).arg(m_name);
    return QDir(QStringLiteral("/dev/shm")).entryList({pattern}, QDir::Files | QDir::System);
}

bool JackServer::waitUntilOnlyClients(const QStringList &keep, int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        bool extra = false;
        for (const QString &file : clientSynchroFiles())
            extra = extra || !keep.contains(file);
        if (!extra)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}
