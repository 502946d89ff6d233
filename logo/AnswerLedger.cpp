#include "logo/AnswerLedger.h"

void AnswerLedger::Sent(Kind kind, uint32_t serial, uint32_t tag) {
    m_sends.push_back({kind, serial, tag});
}

void AnswerLedger::Answered(Kind kind, uint32_t serial) {
    auto next = m_next.find(serial);
    const size_t at = Find(next == m_next.end() ? 0 : next->second, m_sends.size(), kind, serial, false, 0);
    if (at == kNone)
        return;
    m_next[serial] = at + 1;
    if (serial == m_followed)
        m_answers.push_back({kind, m_sends.size()});
}

void AnswerLedger::Follow(uint32_t serial) {
    m_followed = serial;
    auto next = m_next.find(serial);
    m_followedFrom = next == m_next.end() ? 0 : next->second;
    m_answers.clear();
}

bool AnswerLedger::Proves(uint32_t tag) const {
    // Each answer is read as answering the earliest send it can other than the tagged chunks; when
    // one is left with none, every reading has it (or an earlier one) answer a tagged chunk.
    size_t from = m_followedFrom;
    for (const Answer &answer : m_answers) {
        const size_t at = Find(from, answer.sendsBefore, answer.kind, m_followed, true, tag);
        if (at == kNone)
            return true;
        from = at + 1;
    }
    return false;
}

size_t AnswerLedger::Find(size_t from, size_t end, Kind kind, uint32_t serial, bool skip,
                          uint32_t skipTag) const {
    for (size_t i = from; i < end; ++i) {
        const Send &send = m_sends[i];
        const bool reaches = send.serial == serial || (kind == Kind::Query && send.serial == 0);
        if (send.kind == kind && reaches && !(skip && kind == Kind::Chunk && send.tag == skipTag))
            return i;
    }
    return kNone;
}
