#include "protocol/LinkHost.h"

#include "model/DeviceRegistry.h"
#include "protocol/RevisionInfo.h"

TAVIK_REVISION("LinkHost.cpp");

TavikConfiguration *LinkHost::getConfiguration(qint32 serialNo) const {
    DeviceRegistry *registry = getRegistry();
    return registry ? registry->getConfiguration(serialNo) : nullptr;
}
