// A MIDI platform layer with no devices: every call fails, so nothing is ever opened or sent.
#include "NullMidiPlatform.h"

std::optional<std::string> NullMidiPlatform::InDeviceName(unsigned) {
    return std::nullopt;
}
std::optional<std::string> NullMidiPlatform::OutDeviceName(unsigned) {
    return std::nullopt;
}
int NullMidiPlatform::InOpen(Handle &handle, unsigned, InCallback) {
    handle = 0;
    return 1;
}
int NullMidiPlatform::InPrepareHeader(Handle, MidiBuffer *) {
    return 1;
}
int NullMidiPlatform::InAddBuffer(Handle, MidiBuffer *) {
    return 1;
}
int NullMidiPlatform::InStart(Handle) {
    return 1;
}
int NullMidiPlatform::InStop(Handle) {
    return 1;
}
int NullMidiPlatform::InReset(Handle) {
    return 1;
}
int NullMidiPlatform::InClose(Handle) {
    return 1;
}
int NullMidiPlatform::InUnprepareHeader(Handle, MidiBuffer *) {
    return 1;
}
int NullMidiPlatform::OutOpen(Handle &handle, unsigned, OutCallback) {
    handle = 0;
    return 1;
}
int NullMidiPlatform::OutPrepareHeader(Handle, MidiBuffer *) {
    return 1;
}
int NullMidiPlatform::OutLongMsg(Handle, MidiBuffer *) {
    return 1;
}
int NullMidiPlatform::OutUnprepareHeader(Handle, MidiBuffer *) {
    return 1;
}
int NullMidiPlatform::OutReset(Handle) {
    return 1;
}
int NullMidiPlatform::OutClose(Handle) {
    return 1;
}
