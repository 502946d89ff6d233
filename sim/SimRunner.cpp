// Runs the simulated devices: MIDI ports, timers, standard-input control, pacing and the log.
#include "sim/SimRunner.h"

#include "sim/LogoWriter.h"

#include <QMutexLocker>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The JACK output of the MIDI library keeps 16 KB between two process cycles and drops what
// does not fit. Sending at most this much per window (one cycle is about 5.3 ms at 256 frames
// and 48 kHz) keeps bursts such as "flood" from being lost inside the simulator.
constexpr size_t OutputWindowBytes = 4096;
constexpr int64_t OutputWindowNs = 5000000;
// Received messages not yet handled; beyond this the oldest are kept and new ones dropped.
constexpr size_t InputQueueLimit = 100000;
constexpr int FloodLimit = 100000;

} // namespace

SimRunner::SimRunner(const SimOptions &options, QObject *parent)
    : QObject(parent), m_options(options),
      m_ports(
          [this](const SysExMessage &msg) {
              QMutexLocker lock(&m_inputMutex);
              if (m_input.size() >= InputQueueLimit) {
                  ++m_inputDropped;
                  return;
              }
              m_input.push_back(msg);
              if (!m_drainPosted) {
                  m_drainPosted = true;
                  QMetaObject::invokeMethod(this, &SimRunner::drainInput, Qt::QueuedConnection);
              }
          },
          [this](const QString &text) { m_log.event(text); }),
      m_pacer(options.paceBaud) {
    for (const SimOptions::DeviceSpec &entry : m_options.devices) {
        auto device =
            std::unique_ptr<Device>(new Device{SimDevice(entry.family, entry.serial, entry.name), false});
        device->sim.setDropAckFaders(m_options.dropAckFaders);
        if (m_options.livelyInputs)
            device->sim.setLivelyInputs(uint32_t(m_options.seed));
        m_devices.push_back(std::move(device));
    }
    m_dueTimer.setSingleShot(true);
    m_dueTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_dueTimer, &QTimer::timeout, this, &SimRunner::handleDueMessages);
    m_outputTimer.setSingleShot(true);
    m_outputTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_outputTimer, &QTimer::timeout, this, &SimRunner::pumpOutput);
    connect(&m_statusTimer, &QTimer::timeout, this, &SimRunner::sendStatusReports);
    m_inputsTimer.setSingleShot(true);
    connect(&m_inputsTimer, &QTimer::timeout, this, &SimRunner::changeInputs);
    m_clock.start();
}

SimRunner::~SimRunner() {
    m_ports.close();
    m_log.event(QStringLiteral("stopped"));
}

bool SimRunner::start(QString *error) {
    if (!m_log.open(m_options.logFile)) {
        *error = QStringLiteral("cannot write log %1: %2").arg(m_options.logFile, m_log.errorString());
        return false;
    }
    for (const auto &d : m_devices) {
        m_log.event(
            QStringLiteral("device %1 serial %2 name \"%3\"")
                .arg(d->sim.family() == SimDevice::Lux ? QStringLiteral("lux") : QStringLiteral("neo"))
                .arg(d->sim.serial())
                .arg(d->sim.name()));
        if (const LivelyInputs *inputs = d->sim.livelyInputs())
            m_log.event(QStringLiteral("%1 lively inputs (seed %2): %3")
                            .arg(d->sim.serial())
                            .arg(m_options.seed)
                            .arg(inputs->describe()));
    }
    QString why;
    if (!m_ports.open(m_options.api, m_options.clientName, &why)) {
        *error = QStringLiteral("cannot open MIDI ports: %1").arg(why);
        m_log.event(*error);
        return false;
    }
    if (!m_ports.skippedApis().isEmpty())
        m_log.event(QStringLiteral("not used: %1").arg(m_ports.skippedApis()));
    m_log.event(QStringLiteral("ports open: client \"%1\", ports \"in\" and \"out\", api %2")
                    .arg(m_options.clientName, m_ports.apiName()));
    if (m_options.statusIntervalMs > 0)
        m_statusTimer.start(m_options.statusIntervalMs);
    scheduleInputChanges();
    if (m_options.silentAfterSec >= 0)
        QTimer::singleShot(int(m_options.silentAfterSec * 1000.0), this, [this] {
            m_log.event(QStringLiteral("silent after %1 s").arg(m_options.silentAfterSec));
            setSilent(QStringLiteral("all"), true);
        });
    return true;
}

void SimRunner::drainInput() {
    std::deque<SysExMessage> batch;
    size_t dropped = 0;
    {
        QMutexLocker lock(&m_inputMutex);
        batch.swap(m_input);
        dropped = m_inputDropped;
        m_inputDropped = 0;
        m_drainPosted = false;
    }
    if (dropped)
        m_log.event(QStringLiteral("input queue full, %1 messages dropped").arg(dropped));
    for (SysExMessage &msg : batch) {
        m_log.received(msg);
        if (m_options.paceBaud > 0) {
            m_due.push_back({m_pacer.finishTime(nowNs(), msg.size()), std::move(msg)});
        } else {
            handleMessage(msg);
        }
    }
    if (!m_due.empty() && !m_dueTimer.isActive())
        handleDueMessages();
}

void SimRunner::handleDueMessages() {
    while (!m_due.empty() && m_due.front().dueNs <= nowNs()) {
        const SysExMessage msg = std::move(m_due.front().msg);
        m_due.pop_front();
        handleMessage(msg);
    }
    if (!m_due.empty()) {
        const int64_t waitNs = m_due.front().dueNs - nowNs();
        m_dueTimer.start(int(std::max<int64_t>(0, (waitNs + 999999) / 1000000)));
    }
}

void SimRunner::handleMessage(const SysExMessage &msg) {
    const QString problem = SysExFrame::problem(msg);
    if (!problem.isEmpty()) {
        m_log.event(QStringLiteral("ignored: %1").arg(problem));
        return;
    }
    bool taken = false;
    for (const auto &d : m_devices) {
        if (!d->sim.isAddressedTo(msg))
            continue;
        taken = true;
        if (d->silent) {
            m_log.event(QStringLiteral("%1 is silent, not answering").arg(d->sim.serial()));
            continue;
        }
        SimDevice::Result result = d->sim.handle(msg);
        for (const QString &e : result.events)
            m_log.event(e);
        if (result.logo)
            saveLogo(d->sim, *result.logo);
        for (const SysExMessage &reply : result.messages)
            send(reply);
    }
    if (!taken)
        m_log.event(QStringLiteral("ignored: for no simulated device (family %1, serial %2, command 0x%3)")
                        .arg(SysExFrame::family(msg))
                        .arg(SysExFrame::serial(msg))
                        .arg(QString::number(SysExFrame::command(msg), 16)
                                 .toUpper()
                                 .rightJustified(2, QLatin1Char('0'))));
}

void SimRunner::saveLogo(const SimDevice &device, const SimDevice::ReceivedLogo &logo) {
    if (logo.decoded && !m_options.logoDir.isEmpty()) {
        QString error;
        if (LogoWriter::save(m_options.logoDir, device.serial(), logo.name, logo.pixels, &error))
            m_log.event(QStringLiteral("logo saved to %1")
                            .arg(LogoWriter::logoPath(m_options.logoDir, device.serial())));
        else
            m_log.event(QStringLiteral("logo not saved: %1").arg(error));
    }
    m_log.event(QStringLiteral("logo crc %1 name \"%2\" serial %3")
                    .arg(logo.crcOk ? QStringLiteral("ok") : QStringLiteral("mismatch"), logo.name)
                    .arg(device.serial()));
}

void SimRunner::send(const SysExMessage &msg) {
    m_output.push_back(msg);
    pumpOutput();
}

void SimRunner::pumpOutput() {
    while (!m_output.empty()) {
        const int64_t now = nowNs();
        if (now - m_windowStartNs >= OutputWindowNs) {
            m_windowStartNs = now;
            m_windowBytes = 0;
        }
        const SysExMessage &msg = m_output.front();
        // A message larger than the window goes out alone in a fresh one.
        if (m_windowBytes > 0 && m_windowBytes + msg.size() > OutputWindowBytes) {
            const int64_t waitNs = m_windowStartNs + OutputWindowNs - now;
            m_outputTimer.start(int(std::max<int64_t>(1, (waitNs + 999999) / 1000000)));
            return;
        }
        m_windowBytes += msg.size();
        m_log.sent(msg);
        QString error;
        if (!m_ports.send(msg, &error))
            m_log.event(QStringLiteral("send failed: %1").arg(error));
        m_output.pop_front();
    }
}

void SimRunner::sendStatusReports() {
    for (const auto &d : m_devices) {
        if (d->silent)
            continue;
        send(d->sim.statusReport());
        if (m_options.garbage) {
            QString kind;
            const SysExMessage junk = m_garbage.next(d->sim.family(), d->sim.serial(), &kind);
            m_log.event(QStringLiteral("garbage: %1").arg(kind));
            send(junk);
        }
    }
}

void SimRunner::scheduleInputChanges() {
    int64_t next = -1;
    for (const auto &d : m_devices)
        if (const LivelyInputs *inputs = d->sim.livelyInputs())
            if (next < 0 || inputs->nextChangeMs() < next)
                next = inputs->nextChangeMs();
    if (next >= 0)
        m_inputsTimer.start(int(std::max<int64_t>(0, next - m_clock.elapsed())));
}

void SimRunner::changeInputs() {
    const int64_t now = m_clock.elapsed();
    for (const auto &d : m_devices) {
        const QStringList changes = d->sim.advanceInputs(now);
        for (const QString &line : changes)
            m_log.event(line);
        // A silent device's inputs change all the same; it only does not tell.
        if (!changes.isEmpty() && !d->silent)
            send(d->sim.statusReport());
    }
    scheduleInputChanges();
}

std::vector<SimRunner::Device *> SimRunner::select(const QString &which) {
    std::vector<Device *> chosen;
    bool ok = false;
    const uint serial = which.toUInt(&ok);
    for (const auto &d : m_devices)
        if (which == QLatin1String("all") || (ok && d->sim.serial() == serial))
            chosen.push_back(d.get());
    return chosen;
}

void SimRunner::setSilent(const QString &which, bool silent) {
    const std::vector<Device *> chosen = select(which);
    if (chosen.empty()) {
        m_log.event(QStringLiteral("no device \"%1\"").arg(which));
        return;
    }
    for (Device *d : chosen) {
        d->silent = silent;
        m_log.event(QStringLiteral("%1 %2")
                        .arg(d->sim.serial())
                        .arg(silent ? QStringLiteral("silent") : QStringLiteral("resumed")));
    }
}

void SimRunner::controlLine(const QString &rawLine) {
    const QString line = rawLine.trimmed();
    if (line.isEmpty())
        return;
    const int space = line.indexOf(QLatin1Char(' '));
    const QString word = space < 0 ? line : line.left(space);
    const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();

    if (m_quitting)
        return;
    if (word == QLatin1String("quit")) {
        m_log.event(QStringLiteral("quit"));
        m_quitting = true;
        emit quitRequested();
    } else if (word == QLatin1String("silent") && !rest.isEmpty()) {
        setSilent(rest, true);
    } else if (word == QLatin1String("resume") && !rest.isEmpty()) {
        setSilent(rest, false);
    } else if (word == QLatin1String("send")) {
        const std::optional<SysExMessage> msg = SysExFrame::fromHex(rest);
        if (!msg || msg->empty())
            m_log.event(QStringLiteral("bad send command: \"%1\"").arg(line));
        else
            send(*msg);
    } else if (word == QLatin1String("flood")) {
        bool ok = false;
        const int count = rest.toInt(&ok);
        std::vector<Device *> speaking;
        for (const auto &d : m_devices)
            if (!d->silent)
                speaking.push_back(d.get());
        if (!ok || count < 1 || count > FloodLimit) {
            m_log.event(QStringLiteral("bad flood command: \"%1\"").arg(line));
        } else if (speaking.empty()) {
            m_log.event(QStringLiteral("flood: every device is silent"));
        } else {
            m_log.event(QStringLiteral("flood %1").arg(count));
            for (int i = 0; i < count; ++i)
                send(speaking[m_floodNext++ % speaking.size()]->sim.statusReport());
        }
    } else {
        m_log.event(QStringLiteral("unknown control command: \"%1\"").arg(line));
    }
}

void SimRunner::watchStandardInput() {
    if (fcntl(STDIN_FILENO, F_GETFD) < 0) {
        m_log.event(QStringLiteral("no standard input"));
        return;
    }
    m_stdin = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdin, &QSocketNotifier::activated, this, &SimRunner::readStandardInput);
}

void SimRunner::readStandardInput() {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // End of input is not the end of the simulator: tests may close it.
        m_stdin->setEnabled(false);
        if (!m_stdinBuffer.isEmpty())
            controlLine(QString::fromUtf8(std::exchange(m_stdinBuffer, {})));
        m_log.event(QStringLiteral("standard input closed"));
        return;
    }
    m_stdinBuffer.append(buffer, int(n));
    int newline;
    while ((newline = m_stdinBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_stdinBuffer.left(newline);
        m_stdinBuffer.remove(0, newline + 1);
        controlLine(QString::fromUtf8(line));
    }
    // A line longer than any command is cut off rather than kept growing.
    if (m_stdinBuffer.size() > 1 << 20) {
        m_log.event(QStringLiteral("control line too long, dropped"));
        m_stdinBuffer.clear();
    }
}
