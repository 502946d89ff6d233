// Shared pieces of the in-process tests: the fake port state and message-box handling.
#pragma once

#include "FakeMidiPorts.h"

#include <QStringList>
#include <memory>

extern std::shared_ptr<FakeMidiState> fakeMidi;

// Closes every message box that opens from now on and collects its text.
std::shared_ptr<QStringList> watchMessageBoxes();
