// Paces received messages as a MIDI cable of a given baud rate would deliver them.
#include "sim/InputPacer.h"

#include <algorithm>

int64_t InputPacer::finishTime(int64_t arrivalNs, size_t length) {
    if (m_baud <= 0)
        return arrivalNs;
    // 10 bits a byte on the wire (start, 8 data, stop).
    const int64_t durationNs = int64_t(length) * 10 * 1000000000LL / m_baud;
    const int64_t begin = m_lastFinishNs == INT64_MIN ? arrivalNs : std::max(arrivalNs, m_lastFinishNs);
    m_lastFinishNs = begin + durationNs;
    return m_lastFinishNs;
}
