// A snapshot file in its JSON form, as TavikRemote and tavikctl read it: any bytes give a clear
// answer (a snapshot, or problems and no snapshot), a snapshot's values are ones its family takes,
// and writing it (as JSON and as .syx) then reading it back gives the same snapshot.
#include "SnapshotChecks.h"

using namespace SnapshotChecks;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::optional<DeviceSnapshot> read = readChecked(data, size, &DeviceSnapshot::fromJson);
    if (!read)
        return 0;
    require(read->saved().isValid());
    requireJsonRoundTrip(*read);
    requireSysExRoundTrip(*read);
    return 0;
}
