#include "LinkHost.h"

#include "RevisionInfo.h"

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
