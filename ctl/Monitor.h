// tavikctl monitor: every message on the link, in and out, decoded, one a line.
#pragma once

#include "ctl/CtlOptions.h"

class Monitor {
public:
    // Runs for the given seconds (0: until Ctrl+C); raw adds the bytes to every line.
    static int run(const CtlOptions &options, double seconds, bool raw);
};
