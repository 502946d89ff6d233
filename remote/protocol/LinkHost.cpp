#include "LinkHost.h"

namespace {
LinkHost *registered = nullptr;
}

LinkHost *LinkHost::instance() {
    return registered;
}

void LinkHost::setInstance(LinkHost *host) {
    registered = host;
}
