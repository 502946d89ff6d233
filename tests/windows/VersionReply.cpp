#include "VersionReply.h"

#include "Reports.h"

MidiMessage versionReply(unsigned char family, qint32 serialNo, const char *name) {
    return Reports::version(family, serialNo, QByteArray(name), 1, 2);
}
