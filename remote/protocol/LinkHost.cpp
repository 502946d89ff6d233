#include "protocol/LinkHost.h"

#include "model/DeviceRegistry.h"
#include "protocol/RevisionInfo.h"

TAVIK_REVISION("LinkHost.cpp");

namespace {
LinkHost *registered = nullptr;
}

LinkHost *LinkHost::instance() {
    return registered;
}

void LinkHost::setInstance(LinkHost *host) {
    registered = host;
}

TavikConfiguration *LinkHost::getConfiguration(qint32 serialNo) const {
    DeviceRegistry *registry = getRegistry();
    return registry ? registry->getConfiguration(serialNo) : nullptr;
}
