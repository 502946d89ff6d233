// A snapshot file in its .syx form, as TavikRemote and tavikctl read it: any bytes give a clear
// answer, a snapshot's values are ones its family takes, the file held exactly the messages the
// writer makes of that snapshot (in any order), and its JSON form reads back the same.
#include "SnapshotChecks.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace SnapshotChecks;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::optional<DeviceSnapshot> read = readChecked(data, size, &SnapshotSysEx::fromBytes);
    if (!read)
        return 0;
    require(read->name().isEmpty() && read->version1() == 0 && read->version2() == 0);
    require(!read->saved().isValid());

    // The input, cut after every 0xF7, is the writer's list of messages in some order.
    std::vector<MidiMessage> given;
    for (size_t start = 0; start < size;) {
        const auto *end = static_cast<const uint8_t *>(std::memchr(data + start, 0xF7, size - start));
        require(end != nullptr);
        given.emplace_back(data + start, end + 1);
        start = size_t(end + 1 - data);
    }
    std::vector<MidiMessage> written = SnapshotSysEx::messages(*read);
    std::sort(given.begin(), given.end());
    std::sort(written.begin(), written.end());
    require(given == written);

    requireSysExRoundTrip(*read);
    // A .syx file carries no time; the JSON form needs one.
    DeviceSnapshot stamped = *read;
    stamped.setSaved(QDateTime(QDate(2026, 12, 9), QTime(1, 2, 3), Qt::UTC));
    requireJsonRoundTrip(stamped);
    return 0;
}
