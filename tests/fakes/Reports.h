// Builders of the device reports, for feeding crafted messages to the dispatcher in tests.
#pragma once

#include "protocol/MidiMessage.h"

#include <QByteArray>
#include <QtGlobal>

namespace Reports {
MidiMessage header(unsigned char family, qint32 serial, unsigned char command);
MidiMessage version(unsigned char family, qint32 serial, const QByteArray &name, unsigned char v1 = 1,
                    unsigned char v2 = 7);
// byte10..byte19 of the configuration report, as given.
MidiMessage config(unsigned char family, qint32 serial, const QByteArray &tenBytes);
MidiMessage status(unsigned char family, qint32 serial, unsigned char b10, unsigned char b11,
                   unsigned char b12, unsigned char flags);
MidiMessage faders(unsigned char family, qint32 serial, const QByteArray &values32);
MidiMessage simple(unsigned char family, qint32 serial, unsigned char command);
} // namespace Reports
