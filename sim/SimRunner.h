// Runs the simulated devices: MIDI ports, timers, standard-input control, pacing and the log.
#pragma once

#include "sim/GarbageGenerator.h"
#include "sim/InputPacer.h"
#include "sim/SimDevice.h"
#include "sim/SimLog.h"
#include "sim/SimMidiPorts.h"
#include "sim/SimOptions.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class SimRunner : public QObject {
    Q_OBJECT
public:
    explicit SimRunner(const SimOptions &options, QObject *parent = nullptr);
    ~SimRunner() override;

    // Opens the log and the ports and starts the timers; false with `error` set on failure.
    bool start(QString *error);
    // Watches standard input for control lines (one command a line).
    void watchStandardInput();
    // Handles one control line; public so the signal handler path and tests share it.
    void controlLine(const QString &line);

signals:
    void quitRequested();

private slots:
    void drainInput();
    void handleDueMessages();
    void sendStatusReports();
    void readStandardInput();
    void pumpOutput();
    void changeInputs();

private:
    struct Device {
        SimDevice sim;
        bool silent = false;
    };
    struct Pending {
        int64_t dueNs;
        SysExMessage msg;
    };

    void handleMessage(const SysExMessage &msg);
    void send(const SysExMessage &msg);
    void saveLogo(const SimDevice &device, const SimDevice::ReceivedLogo &logo);
    void scheduleInputChanges();
    void setSilent(const QString &which, bool silent);
    std::vector<Device *> select(const QString &which);
    int64_t nowNs() const { return m_clock.nsecsElapsed(); }

    SimOptions m_options;
    SimLog m_log;
    SimMidiPorts m_ports;
    std::vector<std::unique_ptr<Device>> m_devices;
    GarbageGenerator m_garbage;
    InputPacer m_pacer;
    QElapsedTimer m_clock;

    // Filled by the MIDI library's thread, emptied on this object's thread.
    QMutex m_inputMutex;
    std::deque<SysExMessage> m_input;
    bool m_drainPosted = false;
    size_t m_inputDropped = 0;

    std::deque<Pending> m_due; // paced messages waiting for their time
    QTimer m_dueTimer;

    std::deque<SysExMessage> m_output; // messages waiting for room in the output window
    QTimer m_outputTimer;
    int64_t m_windowStartNs = 0;
    size_t m_windowBytes = 0;

    QTimer m_statusTimer;
    QTimer m_inputsTimer; // the next change of the lively inputs
    QSocketNotifier *m_stdin = nullptr;
    QByteArray m_stdinBuffer;
    size_t m_floodNext = 0;
    bool m_quitting = false; // lines after "quit" are not carried out
};
