// Builds the GET_VERSION reply a device sends, for driving devices into the program in tests.
#pragma once

#include "protocol/MidiMessage.h"

#include <QtGlobal>

// 29 bytes: header with the family and serial number, two version bytes, the name padded with 0x7F.
MidiMessage versionReply(unsigned char family, qint32 serialNo, const char *name);
