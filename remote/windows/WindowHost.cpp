#include "windows/WindowHost.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("WindowHost.cpp");

namespace {
WindowHost *registered = nullptr;
}

WindowHost *WindowHost::instance() {
    return registered;
}

void WindowHost::setInstance(WindowHost *host) {
    registered = host;
}
