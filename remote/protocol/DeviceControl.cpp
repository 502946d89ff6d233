#include "protocol/DeviceControl.h"

#include "model/DeviceRegistry.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "protocol/SnapshotSender.h"
#include "sysex/TavikSysEx.h"

#include <QTimer>
#include <QtAlgorithms>

TAVIK_REVISION("DeviceControl.cpp");

using Outcome = DeviceControl::Outcome;

QString Outcome::acknowledgementText() const {
    return QStringLiteral("acknowledged %1 of %2 SET_VALUES and %3 of %4 SET_FADERS")
        .arg(qMin(valueAcks, valueMessages))
        .arg(valueMessages)
        .arg(qMin(faderAcks, 1))
        .arg(faders ? 1 : 0);
}

DeviceControl::DeviceControl(MIDI *link, DeviceRegistry *registry, QObject *parent)
    : QObject(parent), m_link(link), m_registry(registry),
      m_origin(registry ? registry->newOrigin() : DeviceRegistry::FromDevice) {
    connect(link, &MIDI::acknowledged, this, &DeviceControl::acknowledged);
    connect(link, &MIDI::configurationApplied, this,
            [this](qint32 serial, SettingTable::Group group) { configurationReported(serial, int(group)); });
    connect(link, &MIDI::faderApplied, this, [this](qint32 serial) { faderReported(serial); });
    connect(link, &MIDI::statusApplied, this, &DeviceControl::statusReported);
}

int DeviceControl::set(qint32 serial, const QList<Assignment> &values, Check check, int timeoutMs) {
    TavikConfiguration *cfg = m_registry ? m_registry->getConfiguration(serial) : nullptr;
    if (!cfg)
        return 0;
    if (check == Check::None) {
        SettingTable::Groups groups;
        for (const Assignment &a : values) {
            cfg->setValue(*a.first, a.second);
            groups |= a.first->group;
        }
        SnapshotSender::sendGroups(*m_link, *cfg, groups);
        announce(serial, groups);
        return ++m_lastChange;
    }
    DeviceSnapshot::Values asked = DeviceSnapshot::valuesOf(*cfg);
    DeviceSnapshot::Groups groups;
    for (const Assignment &a : values) {
        DeviceSnapshot::setValueAt(asked, a.first->group, a.first->slot, a.second);
        groups |= a.first->group;
    }
    return apply(serial, DeviceSnapshot(cfg->getDeviceType(), serial, asked), groups, check, timeoutMs);
}

int DeviceControl::apply(qint32 serial, const DeviceSnapshot &target, DeviceSnapshot::Groups groups,
                         Check check, int timeoutMs) {
    TavikConfiguration *cfg = m_registry ? m_registry->getConfiguration(serial) : nullptr;
    if (!cfg)
        return 0;
    if (check == Check::None) {
        SnapshotSender::send(*m_link, *cfg, target, groups);
        announce(serial, groups);
        return ++m_lastChange;
    }
    if (!m_link->isConnected())
        return 0;
    // A later change of the same device takes the place of one still followed.
    for (auto it = m_pending.begin(); it != m_pending.end();)
        it = it->outcome.serial == serial ? m_pending.erase(it) : std::next(it);
    const int change = ++m_lastChange;
    Pending p;
    p.target = target;
    p.groups = groups;
    p.check = check;
    p.reportTimeoutMs = qMax(timeoutMs, 3000);
    p.outcome.serial = serial;
    const SnapshotSender::Sent sent = SnapshotSender::send(*m_link, *cfg, target, groups);
    announce(serial, groups);
    p.outcome.valueMessages = sent.valueMessages;
    p.outcome.faders = sent.faders;
    m_pending.insert(change, p);
    QTimer::singleShot(timeoutMs, this, [this, change] { deadline(change, 0); });
    // Nothing to acknowledge: followed on from the event loop, so the caller has its number first.
    QTimer::singleShot(0, this, [this, change] { progress(change); });
    return change;
}

void DeviceControl::announce(qint32 serial, SettingTable::Groups groups) {
    m_registry->announce({serial, groups, -1, -1, m_origin});
}

bool DeviceControl::acknowledgedAll(const Pending &p) const {
    return p.outcome.valueAcks >= p.outcome.valueMessages && (!p.outcome.faders || p.outcome.faderAcks >= 1);
}

bool DeviceControl::reportedWhole(const Pending &p) const {
    // A whole configuration report: every settings group of the family but the faders.
    const int groups = qPopulationCount(uint(
        (SettingTable::groupsOf(p.target.family()) & ~SettingTable::Groups(SettingTable::Faders)).toInt()));
    return p.groupsReported.size() >= groups && p.fadersReported >= SettingTable::FaderCount &&
           p.statusReported;
}

void DeviceControl::acknowledged(qint32 serial, unsigned char command) {
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->outcome.serial == serial) {
            if (command == TavikSysEx::ACK_VALUES)
                ++it->outcome.valueAcks;
            else if (command == TavikSysEx::ACK_FADERS)
                ++it->outcome.faderAcks;
            progress(it.key());
            return;
        }
}

void DeviceControl::configurationReported(qint32 serial, int group) {
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->outcome.serial == serial) {
            const bool counts = it->check == Check::AskForReports
                                    ? it->askedForReports
                                    : it->outcome.valueAcks >= it->outcome.valueMessages;
            if (counts && !it->groupsReported.contains(group))
                it->groupsReported << group;
            progress(it.key());
            return;
        }
}

void DeviceControl::faderReported(qint32 serial) {
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->outcome.serial == serial) {
            if (it->check == Check::AskForReports ? it->askedForReports : it->outcome.faderAcks > 0)
                ++it->fadersReported;
            progress(it.key());
            return;
        }
}

void DeviceControl::statusReported(qint32 serial) {
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->outcome.serial == serial) {
            it->statusReported = it->statusReported || it->askedForReports;
            progress(it.key());
            return;
        }
}

void DeviceControl::progress(int change) {
    auto it = m_pending.find(change);
    if (it == m_pending.end() || !acknowledgedAll(*it))
        return;
    switch (it->check) {
    case Check::Acknowledgements:
        finish(change, Outcome::Confirmed);
        break;
    case Check::AskForReports:
        if (!it->askedForReports) {
            it->askedForReports = true;
            it->stage = 1;
            it->groupsReported.clear();
            it->fadersReported = 0;
            it->statusReported = false;
            QTimer::singleShot(it->reportTimeoutMs, this, [this, change] { deadline(change, 1); });
            m_link->sendMsgSEND_INFO(it->outcome.serial);
        } else if (reportedWhole(*it)) {
            finish(change, Outcome::Differs); // Confirmed when nothing differs
        }
        break;
    case Check::NextReports: // judged at the deadline
    case Check::None:        // never followed
        break;
    }
}

void DeviceControl::deadline(int change, int stage) {
    auto it = m_pending.find(change);
    if (it == m_pending.end())
        return;
    // The acknowledgements' deadline of a change that has since asked for reports.
    if (stage != it->stage)
        return;
    if (!m_registry->getConfiguration(it->outcome.serial))
        finish(change, Outcome::Gone);
    else if (!acknowledgedAll(*it))
        finish(change, Outcome::NotAcknowledged);
    else if (it->check == Check::NextReports)
        finish(change, (it->outcome.valueMessages > 0 && it->groupsReported.isEmpty()) ||
                               (it->outcome.faders && it->fadersReported == 0)
                           ? Outcome::NoReport
                           : Outcome::Differs);
    else if (it->check == Check::AskForReports && !reportedWhole(*it))
        finish(change, Outcome::NoReport);
}

void DeviceControl::finish(int change, Outcome::Result result) {
    Pending p = m_pending.take(change);
    Outcome &outcome = p.outcome;
    outcome.result = result;
    if (result != Outcome::Gone && result != Outcome::Confirmed) {
        const TavikConfiguration *cfg = m_registry->getConfiguration(outcome.serial);
        const DeviceSnapshot::Values reported = DeviceSnapshot::valuesOf(*cfg);
        outcome.differences = p.target.differences(reported);
        // Unconfirmed groups fail as a whole; after whole reports, the values that differ.
        for (const SettingTable::Setting &s : SettingTable::rows())
            if (!s.readOnly() && s.has(p.target.family()) && p.groups.testFlag(s.group) &&
                (result != Outcome::Differs ||
                 DeviceSnapshot::valueAt(p.target.values(), s.group, s.slot) != cfg->value(s)))
                outcome.failedKeys << s.key;
        if (result == Outcome::Differs && outcome.differences.isEmpty())
            outcome.result = Outcome::Confirmed;
    }
    emit finished(change, outcome);
}
