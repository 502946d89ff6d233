// Sends the groups of a snapshot to a device as the pages would: the values go into the device's
// record first, then one SET_VALUES a settings group and the faders under the flow control.
#pragma once

#include "model/DeviceSnapshot.h"

class MIDI;
class TavikConfiguration;

class SnapshotSender {
public:
    // What went out, so the caller knows which acknowledgements to wait for.
    struct Sent {
        int valueMessages = 0;
        bool faders = false;
    };

    // Stores the groups of target in cfg and sends them over the link in group order.
    static Sent send(MIDI &link, TavikConfiguration &cfg, const DeviceSnapshot &target,
                     DeviceSnapshot::Groups groups);
    // Sends the groups as the record holds them.
    static Sent sendGroups(MIDI &link, const TavikConfiguration &cfg, DeviceSnapshot::Groups groups);
};
