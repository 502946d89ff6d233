// One run of a real program (TavikRemote or TavikLogo) with its own home, settings folder and
// working directory, on a private JACK server; stopped when the object goes.
#include "ProgramRun.h"

#include "JackServer.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

ProgramRun::ProgramRun(const JackServer &server, const QString &program)
    : m_server(server), m_program(program) {
    QDir(m_home.path()).mkpath(QStringLiteral("config/Kalvenso"));
    m_workDir = m_home.path();
    QProcessEnvironment env = server.environment();
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    m_process.setProcessEnvironment(env);
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

ProgramRun::~ProgramRun() {
    stop();
}

QString ProgramRun::configDir() const {
    return m_home.filePath(QStringLiteral("config"));
}

bool ProgramRun::writeConfig(const QString &fileName, const QByteArray &text) {
    QFile file(configDir() + QStringLiteral("/Kalvenso/") + fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

void ProgramRun::setWorkingDirectory(const QString &dir) {
    m_workDir = dir;
}

QString ProgramRun::workingDirectory() const {
    return m_workDir;
}

void ProgramRun::setDisplay(const QString &display) {
    QProcessEnvironment env = m_process.processEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), display);
    m_process.setProcessEnvironment(env);
}

bool ProgramRun::start(const QStringList &args) {
    m_clientsBefore = m_server.clientSynchroFiles();
    m_process.setWorkingDirectory(m_workDir);
    m_process.start(m_program, args);
    return m_process.waitForStarted(10000);
}

bool ProgramRun::hasEnded() {
    return m_process.state() == QProcess::NotRunning;
}

QString ProgramRun::standardError() {
    m_stderr += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_stderr;
}

QStringList ProgramRun::logLines() const {
    QFile file(m_workDir + QStringLiteral("/log_messages.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
}

bool ProgramRun::waitForLogLine(const QString &text, int timeoutMs) const {
    return QTest::qWaitFor(
        [&] {
            for (const QString &line : logLines())
                if (line.endsWith(text))
                    return true;
            return false;
        },
        timeoutMs);
}

bool ProgramRun::waitForStandardError(const QString &text, int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return standardError().count(text) >= count; }, timeoutMs);
}

void ProgramRun::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    if (!m_server.waitUntilOnlyClients(m_clientsBefore, 5000))
        qWarning("JACK still holds clients of %s: %s", qPrintable(m_program),
                 qPrintable(m_server.clientSynchroFiles().join(QLatin1Char(' '))));
}

bool ProgramRun::endWithSignal(int signal) {
    if (m_process.state() == QProcess::NotRunning)
        return true;
    ::kill(pid_t(m_process.processId()), signal);
    return m_process.waitForFinished(10000);
}

bool ProgramRun::endByClosingWindow(const QString &title) {
    // The window is focused and gets a real key press through the XTEST extension. A window found
    // can be gone by the time it is focused (the program replaces one while it starts), so the
    // search is made again until the program has ended. The key is pressed by a command of its
    // own: chained to the search, xdotool aims its release at the window, which is gone by then,
    // and the server keeps the key down and repeats it into the next program's window.
    const auto xdotool = [this](const QStringList &args) {
        QProcess run;
        run.setProcessEnvironment(m_process.processEnvironment());
        run.start(QStringLiteral("xdotool"), args);
        run.waitForFinished(10000);
    };
    for (int attempt = 0; attempt < 10 && m_process.state() != QProcess::NotRunning; ++attempt) {
        xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), title, QStringLiteral("windowfocus"), QStringLiteral("--sync")});
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        m_process.waitForFinished(1000);
    }
    return m_process.waitForFinished(5000) || m_process.state() == QProcess::NotRunning;
}
