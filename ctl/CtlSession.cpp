#include "ctl/CtlSession.h"

#include "ctl/PortChoice.h"

#include "model/SettingTable.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QMetaObject>

#include <memory>

TAVIK_REVISION("CtlSession.cpp");

namespace {
// The keys under which TavikRemote remembers its ports; copied, never written back.
const char *const PortKeys[] = {"midiInPortnumber", "midiInPortname", "midiOutPortnumber", "midiOutPortname"};
} // namespace

CtlSession::CtlSession(const QString &inPort, const QString &outPort) : inWanted(inPort), outWanted(outPort) {
    settings = new QSettings(dir.filePath(QStringLiteral("tavikctl.ini")), QSettings::IniFormat);
    const QSettings remembered(QStringLiteral("Kalvenso"), QStringLiteral("Kalvenso Remote"));
    for (const char *key : PortKeys)
        if (remembered.contains(QLatin1String(key)))
            settings->setValue(QLatin1String(key), remembered.value(QLatin1String(key)));
    link = new MIDI(*this);
    QObject::connect(link, &MIDI::errorToShow, link, [this](const QString &text) { lastError = text; });
    QObject::connect(
        link, &MIDI::configurationApplied, link,
        [this](qint32 serial, SettingTable::Group group) { heardFrom[serial].groups << int(group); });
    QObject::connect(link, &MIDI::faderApplied, link, [this](qint32 serial) { ++heardFrom[serial].faders; });
    QObject::connect(link, &MIDI::statusApplied, link,
                     [this](qint32 serial) { heardFrom[serial].status = true; });
    QObject::connect(link, &MIDI::messageReceived, this, &CtlSession::messageReceived);
    QObject::connect(&readTimer, &QTimer::timeout, this, [this] {
        if (link->isConnected())
            link->onTimeoutPollForMidiIncomingMsgs();
    });
    waitDeadline.setSingleShot(true);
    waitDeadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&waitDeadline, &QTimer::timeout, this, [this] { endWait(waitDone()); });
    link->enumeratePorts();
}

CtlSession::~CtlSession() {
    link->stopWatchingPorts();
    if (link->isConnected())
        link->toggleConnectedStatus();
    delete link;
    delete settings;
}

QStringList CtlSession::inputNames() const {
    return link->inputPortNames();
}

QStringList CtlSession::outputNames() const {
    return link->outputPortNames();
}

int CtlSession::choose(const QStringList &names, const QString &wanted, int current, const char *direction,
                       QString *error) {
    const QString which = QLatin1String(direction);
    if (!wanted.isEmpty()) {
        QString reason;
        const int index = PortChoice::resolve(names, wanted, &reason);
        if (index < 0)
            *error = QStringLiteral("MIDI %1 port: ").arg(which) + reason;
        return index;
    }
    if (current >= 0 && current < names.size())
        return current;
    *error = QStringLiteral("which MIDI %1 port? Give --%1 PORT or TAVIK_%2; the ports are:\n")
                 .arg(which, which.toUpper()) +
             PortChoice::listing(names);
    return -1;
}

bool CtlSession::connect(QString *error) {
    const int in = choose(inputNames(), inWanted, link->getPortNumberIn(), "in", error);
    if (in < 0)
        return false;
    const int out = choose(outputNames(), outWanted, link->getPortNumberOut(), "out", error);
    if (out < 0)
        return false;
    link->setPortNumberIn(in);
    link->setPortNumberOut(out);
    lastError.clear();
    link->toggleConnectedStatus();
    if (!link->isConnected()) {
        *error = lastError.isEmpty() ? QStringLiteral("could not open the MIDI ports") : lastError;
        return false;
    }
    // The devices are asked at once rather than at the link's first broadcast, 900 ms on.
    link->onTimeoutSendInfoBroadcasts();
    readTimer.start(10);
    return true;
}

void CtlSession::await(const std::function<bool()> &done, int ms, const std::function<void(bool)> &then) {
    Q_ASSERT(!waitThen);
    if (done()) {
        then(true);
        return;
    }
    waitDone = done;
    waitThen = then;
    waitDeadline.start(ms);
}

void CtlSession::awaitDevice(const QString &wanted, int ms,
                             const std::function<void(TavikConfiguration *, const QString &)> &then) {
    // The reason is the one of the last look: the devices that had answered by then.
    auto found = std::make_shared<TavikConfiguration *>(nullptr);
    auto error = std::make_shared<QString>();
    await([this, wanted, found, error] { return (*found = findDevice(wanted, error.get())) != nullptr; }, ms,
          [found, error, then](bool) { then(*found, *error); });
}

void CtlSession::messageReceived() {
    // The message is handled after this signal; the wait is looked at once the link is done.
    if (checkQueued || !waitThen)
        return;
    checkQueued = true;
    QMetaObject::invokeMethod(this, &CtlSession::check, Qt::QueuedConnection);
}

void CtlSession::check() {
    checkQueued = false;
    if (waitThen && waitDone())
        endWait(true);
}

void CtlSession::endWait(bool met) {
    waitDeadline.stop();
    const std::function<void(bool)> then = std::move(waitThen);
    waitThen = nullptr;
    waitDone = nullptr;
    then(met);
}

bool CtlSession::hasReported(const TavikConfiguration *cfg, int wanted) {
    const Heard &h = heardFrom[cfg->getSerialNo()];
    // A whole configuration report: every settings group of the family but the faders.
    int groups = 0;
    for (SettingTable::Group group : SettingTable::groups())
        groups +=
            group != SettingTable::Faders && SettingTable::groupsOf(cfg->getDeviceType()).testFlag(group);
    return (!(wanted & ConfigReport) || h.groups.size() >= groups) &&
           (!(wanted & FaderReport) || h.faders >= SettingTable::FaderCount) &&
           (!(wanted & StatusReport) || h.status);
}

void CtlSession::awaitReports(const TavikConfiguration *cfg, int wanted, int ms,
                              const std::function<void(bool)> &then) {
    await([this, cfg, wanted] { return hasReported(cfg, wanted); }, ms, then);
}

QList<TavikConfiguration *> CtlSession::devices() const {
    QList<TavikConfiguration *> found;
    for (TavikConfiguration *cfg : registry.getDevices())
        if (cfg->getSerialNo() >= DeviceRegistry::FirstDeviceSerial)
            found << cfg;
    return found;
}

TavikConfiguration *CtlSession::findDevice(const QString &wanted, QString *error) const {
    const QList<TavikConfiguration *> found = devices();
    QList<TavikConfiguration *> matches;
    bool isNumber = false;
    const qint32 serial = wanted.toInt(&isNumber);
    for (TavikConfiguration *cfg : found) {
        const bool same =
            isNumber
                ? cfg->getSerialNo() == serial
                : wanted == MidiCodec::serialCode(cfg->getSerialNo()) ||
                      QString::fromLatin1(cfg->getDeviceName()).compare(wanted, Qt::CaseInsensitive) == 0;
        if (same)
            matches << cfg;
    }
    if (matches.size() == 1)
        return matches.first();
    QString list;
    for (const TavikConfiguration *cfg : found)
        list += QStringLiteral("  ") + describe(cfg) + QLatin1Char('\n');
    if (found.isEmpty())
        list = QStringLiteral("  (none answered)\n");
    *error = (matches.isEmpty() ? QStringLiteral("no device \"%1\"; the devices found:\n")
                                : QStringLiteral("more than one device is \"%1\"; the devices found:\n"))
                 .arg(wanted) +
             list;
    return nullptr;
}

QString CtlSession::familyName(const TavikConfiguration *cfg) {
    switch (cfg->getDeviceType()) {
    case TavikSysEx::FamilyNeo:
        return QStringLiteral("neo");
    case TavikSysEx::FamilyLux:
        return QStringLiteral("lux");
    default:
        return QStringLiteral("unknown");
    }
}

QString CtlSession::versionText(const TavikConfiguration *cfg) {
    return QStringLiteral("%1.%2").arg(cfg->getVersion1()).arg(cfg->getVersion2());
}

QString CtlSession::describe(const TavikConfiguration *cfg) {
    return MidiCodec::serialCode(cfg->getSerialNo()) + QStringLiteral("  ") + familyName(cfg) +
           QStringLiteral("  ") + QString::fromLatin1(cfg->getDeviceName()) + QStringLiteral("  ") +
           versionText(cfg);
}
