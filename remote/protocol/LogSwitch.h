// Process-wide switch for debug logging; debug text is only assembled while it is on.
#pragma once

#include <QString>
#include <QtGlobal>

class LogSwitch {
public:
    static bool isOn() { return on; }
    static void setOn(bool enabled) { on = enabled; }

    // Writes text to the debug or warning channel exactly as given (no quoting, no spaces added).
    static void debug(const QString &text);
    static void warning(const QString &text);

private:
    static bool on;
};

// The expression is evaluated only when debug logging is on.
#define TAVIK_DEBUG(text)                                                                                    \
    do {                                                                                                     \
        if (LogSwitch::isOn())                                                                               \
            LogSwitch::debug(text);                                                                          \
    } while (0)
