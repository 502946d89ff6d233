// Status of their own for a simulated device's digital inputs, changing now and then like a
// patched converter's: an input is plugged in or pulled, switches rate, or loses lock a moment.
#include "sim/LivelyInputs.h"

namespace {
constexpr uint8_t kRate44k1 = 2;
constexpr uint8_t kRate48k = 3;
} // namespace

LivelyInputs::LivelyInputs(uint32_t seed, uint32_t serial, bool hasMadi) : m_hasMadi(hasMadi) {
    std::seed_seq sequence{seed, serial};
    m_rng.seed(sequence);
    // Two inputs in three start with a signal.
    for (int i = 0; i < InputCount; ++i) {
        State &in = m_inputs[size_t(i)];
        if (!hasInput(i) || below(3) == 0)
            continue;
        in.signal = true;
        in.rate = below(2) ? kRate48k : kRate44k1;
        in.locked = hasLockFlag(i);
    }
    m_nextChangeMs = between(kMinGapMs, kMaxGapMs);
}

QString LivelyInputs::inputName(int input) {
    static const char *const names[InputCount] = {"BNC", "MADI", "ADAT A", "ADAT B"};
    return QString::fromLatin1(names[input]);
}

QString LivelyInputs::rateName(uint8_t rate) {
    return rate == kRate44k1 ? QStringLiteral("44.1 kHz") : QStringLiteral("48 kHz");
}

QString LivelyInputs::describe() const {
    QStringList parts;
    for (int i = 0; i < InputCount; ++i) {
        if (!hasInput(i))
            continue;
        const State &in = m_inputs[size_t(i)];
        QString text = inputName(i) + QLatin1Char(' ');
        if (!in.signal)
            text += QStringLiteral("no signal");
        else
            text += rateName(in.rate) + (in.locked ? QStringLiteral(" locked") : QString());
        parts << text;
    }
    return parts.join(QStringLiteral(", "));
}

int64_t LivelyInputs::nextChangeMs() const {
    int64_t next = m_nextChangeMs;
    for (const State &in : m_inputs)
        if (in.relockMs >= 0 && in.relockMs < next)
            next = in.relockMs;
    return next;
}

QStringList LivelyInputs::advanceTo(int64_t nowMs, unsigned mayChange) {
    QStringList lines;
    for (int64_t due = nextChangeMs(); due <= nowMs; due = nextChangeMs()) {
        int relocking = -1;
        for (int i = 0; i < InputCount; ++i)
            if (m_inputs[size_t(i)].relockMs == due && due < m_nextChangeMs)
                relocking = i;
        if (relocking >= 0) {
            State &in = m_inputs[size_t(relocking)];
            in.relockMs = -1;
            in.locked = true;
            lines << QStringLiteral("input %1 locked again").arg(inputName(relocking));
            continue;
        }
        const QString line = changeOne(due, mayChange);
        if (!line.isEmpty())
            lines << line;
        m_nextChangeMs = due + between(kMinGapMs, kMaxGapMs);
    }
    return lines;
}

QString LivelyInputs::changeOne(int64_t atMs, unsigned mayChange) {
    // An input waiting for its lock is left alone until it has it back.
    int candidates[InputCount];
    int count = 0;
    for (int i = 0; i < InputCount; ++i)
        if (hasInput(i) && (mayChange & (1u << i)) && m_inputs[size_t(i)].relockMs < 0)
            candidates[count++] = i;
    if (count == 0)
        return QString();
    const int input = candidates[below(uint32_t(count))];
    State &in = m_inputs[size_t(input)];
    const QString name = inputName(input);
    if (!in.signal) {
        in.signal = true;
        in.rate = below(2) ? kRate48k : kRate44k1;
        in.locked = hasLockFlag(input);
        return QStringLiteral("input %1 plugged in, %2").arg(name, rateName(in.rate));
    }
    // Pulled, switched to the other rate, or (with a lock flag) lock lost for a moment.
    switch (below(hasLockFlag(input) ? 3 : 2)) {
    case 0:
        in = State{};
        return QStringLiteral("input %1 pulled").arg(name);
    case 1:
        in.rate = in.rate == kRate44k1 ? kRate48k : kRate44k1;
        return QStringLiteral("input %1 switched to %2").arg(name, rateName(in.rate));
    default:
        in.locked = false;
        in.relockMs = atMs + between(kMinUnlockMs, kMaxUnlockMs);
        return QStringLiteral("input %1 lost lock").arg(name);
    }
}
