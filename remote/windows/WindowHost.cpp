#include "windows/WindowHost.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("WindowHost.cpp");
