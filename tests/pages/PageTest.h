// Base of the test objects of the single pages: the process's harness, the serial numbers of the
// devices the cases announce and the window of the one a case works on.
#pragma once

#include "PageTestHarness.h"

#include <QObject>

class PageTest : public QObject {
protected:
    static constexpr qint32 NeoSerial = 12345;
    static constexpr qint32 LuxSerial = 1234;

    PageTestHarness &h = *PageTestHarness::instance();
    TavikConfigurationDialog *window = nullptr;

    // Forgets every device, then announces this one and makes its window the visible one and window.
    TavikConfigurationDialog *openDevice(unsigned char family, qint32 serial, const char *name = "Studio") {
        h.reset();
        return window = h.addDevice(family, serial, name);
    }

    // A command to the Neo whose payload is selector followed by a byte a value.
    template <std::size_t N>
    static QString neoCommand(unsigned char command, unsigned char selector,
                              const std::array<int, N> &values) {
        std::vector<unsigned char> payload = {selector};
        for (int v : values)
            payload.push_back((unsigned char)v);
        return PageTestHarness::command(1, NeoSerial, command, payload);
    }
};
