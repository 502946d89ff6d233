// The tavik-sim device simulator run as a child process on a private JACK server.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class JackServer;

class SimProcess {
public:
    // args are tavik-sim options; "--log <logPath()>" is added, and "--api jack" unless args
    // choose an API.
    SimProcess(const JackServer &server, const QStringList &args);
    ~SimProcess();

    // Starts the simulator and waits until it prints "ready" (its ports are open then).
    bool start(int timeoutMs = 10000);
    // Sends "quit" and waits; terminates and finally kills it if it does not end.
    void stop();
    // Writes one control line ("silent all", "send F0 ... F7", ...) to its standard input.
    void command(const QString &line);
    QString logPath() const;
    // Every line of the log written so far.
    QStringList logLines() const;
    // True as soon as any log line (including earlier ones) matches; false after timeoutMs.
    bool waitForLogLine(const QRegularExpression &re, int timeoutMs);
    QProcess &process();
    // Standard output and error gathered so far, for diagnosing a failure.
    QString diagnostics();

private:
    Q_DISABLE_COPY(SimProcess)
    QProcess m_process;
    QTemporaryDir m_dir;
    QStringList m_args;
    QString m_stdout;
};
