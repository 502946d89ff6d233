// Status of their own for a simulated device's digital inputs, changing now and then like a
// patched converter's: an input is plugged in or pulled, switches rate, or loses lock a moment.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <random>

class LivelyInputs {
public:
    enum Input { Bnc, Madi, AdatA, AdatB, InputCount };
    struct State {
        bool signal = false;
        uint8_t rate = 0;      // rate code: 2 (44.1 kHz) or 3 (48 kHz) with a signal, else 0
        bool locked = false;   // never for the BNC word clock, which has no lock flag
        int64_t relockMs = -1; // lock lost for a moment: when it comes back
    };
    static constexpr int64_t kMinGapMs = 2000; // between two changes
    static constexpr int64_t kMaxGapMs = 6000;
    static constexpr int64_t kMinUnlockMs = 300; // a lost lock comes back after this long
    static constexpr int64_t kMaxUnlockMs = 1200;

    // A Tavik Lux has no MADI input. The same seed and serial number give the same inputs and
    // the same course of changes; times are milliseconds of the caller's clock, starting at 0.
    LivelyInputs(uint32_t seed, uint32_t serial, bool hasMadi);

    static QString inputName(int input);
    static bool hasLockFlag(int input) { return input != Bnc; }
    bool hasInput(int input) const { return input != Madi || m_hasMadi; }
    const State &state(int input) const { return m_inputs[size_t(input)]; }
    // The inputs as they are, for the log.
    QString describe() const;
    // When the next change is due.
    int64_t nextChangeMs() const;
    // Carries out, in time order, every change due by nowMs: the lost locks that come back, and
    // every 2 to 6 s a change of one input whose bit (1 << Input) is set in `mayChange`.
    // Returns a line for each change.
    QStringList advanceTo(int64_t nowMs, unsigned mayChange);

private:
    uint32_t below(uint32_t n) { return uint32_t(m_rng() % n); }
    int64_t between(int64_t low, int64_t high) { return low + int64_t(below(uint32_t(high - low + 1))); }
    QString changeOne(int64_t atMs, unsigned mayChange);
    static QString rateName(uint8_t rate);

    std::mt19937 m_rng;
    bool m_hasMadi;
    std::array<State, InputCount> m_inputs{};
    int64_t m_nextChangeMs;
};
