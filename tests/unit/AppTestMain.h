// Shared pieces of the in-process tests: the fake port state and message-box handling.
#pragma once

#include "FakeMidiPorts.h"

#include <QStringList>
#include <QTimer>
#include <memory>

extern std::shared_ptr<FakeMidiState> fakeMidi;

// While alive, closes every message box that opens and collects its text.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    QStringList texts;

private:
    QTimer *timer;
};
