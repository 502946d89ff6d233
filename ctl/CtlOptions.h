// The options every tavikctl command takes.
#pragma once

#include <string>

struct CtlOptions {
    std::string in;
    std::string out;
    bool json = false;
    double timeout = 2.0; // seconds to wait for a device, its reports or an acknowledgement
};
