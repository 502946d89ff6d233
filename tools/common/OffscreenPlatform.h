// The tools draw off screen: unless QT_QPA_PLATFORM names a platform, Qt is given its offscreen one,
// so no display is needed.
#pragma once

#include <QByteArray>
#include <QtGlobal>

class OffscreenPlatform {
public:
    // Call before the application object is made.
    static void chooseUnlessSet() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
};
