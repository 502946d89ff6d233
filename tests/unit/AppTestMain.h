// Shared piece of the in-process tests: the fake port state.
#pragma once

#include "FakeMidiPorts.h"

#include <memory>

extern std::shared_ptr<FakeMidiState> fakeMidi;
