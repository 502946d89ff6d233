// Names of the embedded fonts, style sheet and pictures, for code that wants to enumerate them.
#pragma once

#include <QStringList>

class ResourceNames {
public:
    // ":/fonts/..." in loading order.
    static QStringList fonts();
    // ":/style_sheets/application.txt".
    static QString styleSheet();
    // Every picture under ":/images/gui/".
    static QStringList guiImages();
};
