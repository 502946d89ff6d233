// Makes the broken messages that --garbage mixes into a device's regular reports.
#include "sim/GarbageGenerator.h"

SysExMessage GarbageGenerator::next(uint8_t family, uint32_t serial, QString *kind) {
    const int index = m_next;
    m_next = (m_next + 1) % KindCount;
    return make(index, family, serial, kind);
}

SysExMessage GarbageGenerator::make(int index, uint8_t family, uint32_t serial, QString *kind) {
    auto describe = [kind](const char *text) {
        if (kind)
            *kind = QLatin1String(text);
    };
    // A valid status report as the base of most kinds.
    SysExMessage status = SysExFrame::header(family, serial, TavikSysEx::GET_STATUS);
    status.insert(status.end(), {0x00, 0x00, 0x03, 0x00, SysExFrame::End});

    switch (index % KindCount) {
    case 0: {
        describe("truncated status report");
        SysExMessage msg(status.begin(), status.begin() + 11);
        msg.back() = SysExFrame::End;
        return msg;
    }
    case 1:
        describe("message shorter than a header");
        return {SysExFrame::Start, 0x00, 0x11, 0x22, family, SysExFrame::End};
    case 2: {
        describe("oversized configuration report");
        SysExMessage msg = SysExFrame::header(family, serial, TavikSysEx::GET_CONFIG);
        msg.resize(OversizedLength - 1, 0x11);
        msg.push_back(SysExFrame::End);
        return msg;
    }
    case 3: {
        describe("wrong family status report");
        SysExMessage msg = status;
        msg[TavikSysEx::FamilyIndex] = 3;
        return msg;
    }
    case 4:
        describe("note on, not a SysEx message");
        return {0x90, 0x40, 0x7F};
    case 5: {
        describe("status byte inside a fader report");
        SysExMessage msg = SysExFrame::header(family, serial, TavikSysEx::GET_FADERS);
        msg.resize(42, 0x05);
        msg[20] = 0x90;
        msg.push_back(SysExFrame::End);
        return msg;
    }
    case 6: {
        describe("fader report with values out of range");
        SysExMessage msg = SysExFrame::header(family, serial, TavikSysEx::GET_FADERS);
        msg.resize(42, 0x7F);
        msg.push_back(SysExFrame::End);
        return msg;
    }
    case 7:
        describe("active sensing byte");
        return {0xFE};
    default:
        describe("unknown command");
        return SysExFrame::bare(family, serial, 0x55);
    }
}
