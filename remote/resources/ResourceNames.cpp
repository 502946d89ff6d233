#include "resources/ResourceNames.h"

QStringList ResourceNames::fonts() {
    return {QStringLiteral(":/fonts/Sansation_Bold.ttf"), QStringLiteral(":/fonts/Sansation_Light.ttf"),
            QStringLiteral(":/fonts/Sansation_Regular.ttf")};
}

QString ResourceNames::styleSheet() {
    return QStringLiteral(":/style_sheets/application.txt");
}

QStringList ResourceNames::guiImages() {
    QStringList names{
#include "GuiImageNames.inc"
    };
    for (QString &n : names)
        n.prepend(QStringLiteral(":/images/gui/"));
    return names;
}
