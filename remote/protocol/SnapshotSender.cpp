#include "protocol/SnapshotSender.h"

#include "model/SnapshotSysEx.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"

TAVIK_REVISION("SnapshotSender.cpp");

SnapshotSender::Sent SnapshotSender::send(MIDI &link, TavikConfiguration &cfg, const DeviceSnapshot &target,
                                          DeviceSnapshot::Groups groups) {
    // The link builds every message from the record, as for the pages.
    target.applyTo(cfg, groups);
    return sendGroups(link, cfg, groups);
}

SnapshotSender::Sent SnapshotSender::sendGroups(MIDI &link, const TavikConfiguration &cfg,
                                                DeviceSnapshot::Groups groups) {
    Sent sent;
    for (DeviceSnapshot::Group group : DeviceSnapshot::groupList()) {
        if (!groups.testFlag(group))
            continue;
        if (group == SettingTable::Faders) {
            link.sendFadersFlowControlled(cfg.getSerialNo());
            sent.faders = true;
        } else {
            link.sendMsgSET_VALUES(cfg.getSerialNo(), SettingTable::startIndex(group));
            ++sent.valueMessages;
        }
    }
    return sent;
}
