#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

// What the uploader sent and what the devices answered, so that an answer is only ever taken for a
// message it can be the answer to.
//
// No answer names what it answers: an ACK PIC carries no chunk index, a version reply does not
// echo its query. What can be known rests on two things a device and a MIDI link do: a device
// answers each message it receives at most once (a picture chunk addressed to it with an ACK PIC,
// a query with a version reply), and it answers in the order it received, over a link that keeps
// the order. The answers of one device are then its answers to some of the messages sent to it,
// in the order sent, each one after its message went out. A chunk counts as received when no such
// reading of the answers so far leaves all of that chunk's sends unanswered. A query sent before
// a chunk goes out again tells a lost message from a late answer: whatever the device answers
// after the query's reply answers nothing sent before the query.
class AnswerLedger {
public:
    enum class Kind : uint8_t { Query, Chunk };

    // A message handed to the output: a query (serial 0 asks every device) or a chunk, whose tag
    // tells it from other chunks.
    void Sent(Kind kind, uint32_t serial, uint32_t tag = 0);
    // An answer from the device of that serial number: a version reply (Query) or an ACK PIC (Chunk).
    // One that can answer nothing sent (one too many, or one to another program's message) is ignored.
    void Answered(Kind kind, uint32_t serial);
    // Proves looks at the answers of that device from now on.
    void Follow(uint32_t serial);
    // True when the followed device has answered one of the chunk sends with that tag.
    bool Proves(uint32_t tag) const;

private:
    struct Send {
        Kind kind;
        uint32_t serial;
        uint32_t tag;
    };
    struct Answer {
        Kind kind;
        size_t sendsBefore; // it answers one of the first sendsBefore sends
    };
    static constexpr size_t kNone = SIZE_MAX;
    // The first send at or after from and below end that the device of serial may have answered
    // with an answer of that kind; a chunk tagged skipTag does not count when skip is set.
    size_t Find(size_t from, size_t end, Kind kind, uint32_t serial, bool skip, uint32_t skipTag) const;

    std::vector<Send> m_sends;
    // Per device, the first send its next answer may answer: each answer is read as answering the
    // earliest send it can, which leaves the most sends for the answers after it.
    std::map<uint32_t, size_t> m_next;
    uint32_t m_followed = 0;
    size_t m_followedFrom = 0;
    std::vector<Answer> m_answers;
};
