// The MIDI link's fader flow control: one SET_FADERS unacknowledged at a time per device; moves
// meanwhile are sent together once it is acknowledged, or once the acknowledgement counts as lost.
// Every SET_FADERS it sends is counted in the record until acknowledged or counted as lost.
#include "protocol/MIDI.h"

#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDILinkSupport.h"
#include "protocol/RevisionInfo.h"

TAVIK_REVISION("MIDIFaderFlow.cpp");

using namespace MidiLink;

void MIDI::sendFadersFlowControlled(qint32 serialNo) {
    TavikConfiguration *cfg = configuration(serialNo);
    if (!cfg)
        return;
    if (cfg->isFaderSendPending() && !faderAckLost(cfg)) {
        cfg->setFaderResendNeeded(true);
        return;
    }
    // Nothing unacknowledged, or the acknowledgement is overdue and counts as lost: send now.
    if (cfg->isFaderSendPending())
        cfg->clearUnacknowledgedFaderSends();
    cfg->setFaderResendNeeded(false);
    cfg->setFaderSendPending(true);
    cfg->countFaderSend();
    sendMsgSET_FADERS(serialNo);
}

bool MIDI::faderAckLost(const TavikConfiguration *cfg) {
    const qint64 age = cfg->getFaderSendTime().msecsTo(DeviceClock::now());
    return age > FaderAckTimeoutMs;
}

void MIDI::recoverLostFaderAcks() {
    DeviceRegistry *devices = registry();
    if (!devices)
        return;
    const QDateTime now = DeviceClock::now();
    for (TavikConfiguration *cfg : devices->getDevices()) {
        if (cfg->getSerialNo() < DeviceRegistry::FirstDeviceSerial)
            continue;
        // When the latest counted message has waited too long for its acknowledgement, they all
        // count as lost (the re-send after an acknowledgement among them, which is not pending).
        if (cfg->getUnacknowledgedFaderSends() > 0 &&
            cfg->getLastFaderSendTime().msecsTo(now) > FaderAckTimeoutMs)
            cfg->clearUnacknowledgedFaderSends();
        if (!cfg->isFaderSendPending() || !faderAckLost(cfg))
            continue;
        cfg->clearUnacknowledgedFaderSends();
        cfg->setFaderResendNeeded(false);
        cfg->setFaderSendPending(true);
        cfg->countFaderSend();
        sendMsgSET_FADERS(cfg->getSerialNo());
    }
}
