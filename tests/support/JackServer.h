// A private JACK server with the dummy driver, started and stopped by one end-to-end test.
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

class JackServer {
public:
    explicit JackServer(const QString &name);
    ~JackServer();
    JackServer(const JackServer &) = delete;
    JackServer &operator=(const JackServer &) = delete;

    // Starts `jackd -R -n <name> -d dummy -r 48000 -p 256` and returns once clients
    // can connect to it (or false after timeoutMs, with the server stopped again).
    bool start(int timeoutMs = 15000);
    // Stops the server (terminate, then kill); safe to call more than once.
    void stop();
    // Stops the server but keeps its name: the next start() runs it under the same name, so
    // clients started meanwhile find it.
    void pause();
    QString name() const;
    // The system environment with JACK_DEFAULT_SERVER set to this server.
    QProcessEnvironment environment() const;
    // Points the JACK clients of this process (e.g. RtMidi objects) at this server.
    void applyToThisProcess();
    // A name for the constructor; start() picks the actual name from a small shared pool.
    static QString uniqueName(const QString &prefix);
    // The server's standard error so far, for diagnosing a failed start.
    QString diagnostics() const;
    // The clients the server holds a wake-up object for (a file in /dev/shm each). The server
    // removes it some time after a killed client's ports are gone; a new client of the same name
    // that opens before that is never woken for processing and passes no MIDI at all.
    QStringList clientSynchroFiles() const;
    // The ports that port is connected to, as `jack_lsp -c port` lists them.
    QStringList connectionsOf(const QString &port) const;
    // Every port of the server, as `jack_lsp` lists them.
    QStringList ports() const;
    // Waits until none of the clients' wake-up objects is left but those in keep; false after
    // timeoutMs.
    bool waitUntilOnlyClients(const QStringList &keep, int timeoutMs) const;

private:
    static constexpr int PoolSize = 8;
    bool serverRunning(const QString &name) const;
    bool startAs(const QDeadlineTimer &deadline);
    bool waitUntilUp(int timeoutMs);
    bool clientCanConnect(int timeoutMs);
    bool lockName(const QString &name);
    void unlockName();
    void removeSynchroFiles();
    void stopJackd();

    QString m_name;
    mutable QProcess m_jackd; // read by diagnostics()
    mutable QString m_output;
    int m_lockFd = -1;
};
