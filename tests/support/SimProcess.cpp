// The tavik-sim device simulator run as a child process on a private JACK server.
#include "SimProcess.h"

#include "JackServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

SimProcess::SimProcess(const JackServer &server, const QStringList &args) : m_args(args) {
    m_process.setProcessEnvironment(server.environment());
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    if (!m_args.contains(QStringLiteral("--api")) && !m_args.filter(QStringLiteral("--api=")).size())
        m_args << QStringLiteral("--api") << QStringLiteral("jack");
    m_args << QStringLiteral("--log") << logPath();
}

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::start(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    m_stdout.clear();
    m_process.start(QStringLiteral(TAVIK_SIM_PATH), m_args);
    if (!m_process.waitForStarted(qMax(1, int(deadline.remainingTime()))))
        return false;
    while (!deadline.hasExpired()) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromLocal8Bit(m_process.readLine());
            m_stdout += line;
            if (line.trimmed() == QLatin1String("ready"))
                return true;
        }
        if (m_process.state() == QProcess::NotRunning)
            return false;
        m_process.waitForReadyRead(qBound(1, int(deadline.remainingTime()), 50));
    }
    return false;
}

void SimProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    command(QStringLiteral("quit"));
    if (!m_process.waitForFinished(3000)) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

void SimProcess::command(const QString &line) {
    if (m_process.state() != QProcess::Running)
        return;
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(1000);
}

QString SimProcess::logPath() const {
    return m_dir.filePath(QStringLiteral("tavik-sim.log"));
}

QStringList SimProcess::logLines() const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    // Only complete lines: the simulator may be writing the last one right now.
    lines.removeLast();
    return lines;
}

bool SimProcess::waitForLogLine(const QRegularExpression &re, int timeoutMs) {
    return QTest::qWaitFor([&] { return !logLines().filter(re).isEmpty(); }, timeoutMs);
}

QProcess &SimProcess::process() {
    return m_process;
}

QString SimProcess::diagnostics() {
    m_stdout += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    return m_stdout + QString::fromLocal8Bit(m_process.readAllStandardError());
}
