// One run of a real program (TavikRemote or TavikLogo) with its own home, settings folder and
// working directory, on a private JACK server; stopped when the object goes.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class JackServer;

class ProgramRun {
public:
    ProgramRun(const JackServer &server, const QString &program);
    ~ProgramRun();

    // The settings folder the program reads (XDG_CONFIG_HOME); write its files before start().
    QString configDir() const;
    // Writes text into configDir()/Kalvenso/fileName.
    bool writeConfig(const QString &fileName, const QByteArray &text);
    void setWorkingDirectory(const QString &dir);
    QString workingDirectory() const;

    // Runs the program on this X display (platform xcb) instead of offscreen; before start().
    void setDisplay(const QString &display);
    bool start(const QStringList &args);
    // True when the program ended by itself.
    bool hasEnded();
    qint64 pid() const { return m_process.processId(); }
    // Standard error so far.
    QString standardError();
    // Lines of log_messages.txt in the working directory.
    QStringList logLines() const;
    // Waits until a line of the log ends with text; false after timeoutMs.
    bool waitForLogLine(const QString &text, int timeoutMs) const;
    bool waitForStandardError(const QString &text, int count, int timeoutMs);
    // Stops the program and waits until the JACK server has let go of its clients, so that a
    // program started next under the same client names gets working ones.
    void stop();
    // Ends the program with this signal and waits until the process is gone, and no longer: the
    // next program may start at once. False when it did not end within 10 s.
    bool endWithSignal(int signal);
    // Presses Escape in its window titled title (as a user closing the dialog would) and waits
    // until the process is gone; needs setDisplay() and xdotool.
    bool endByClosingWindow(const QString &title);

private:
    Q_DISABLE_COPY(ProgramRun)
    const JackServer &m_server;
    QStringList m_clientsBefore;
    QProcess m_process;
    QTemporaryDir m_home;
    QString m_program;
    QString m_workDir;
    QString m_stderr;
};
