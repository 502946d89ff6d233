// tavik-rescheck: checks, from a program that reaches tavik_resources only through another static
// library (as TavikRemote does), that every embedded font, the style sheet and every picture are
// present, readable and of the intended size.
//
// Usage: tavik-rescheck [PICTURE_SOURCE_DIR]

#include "OffscreenPlatform.h"
#include "ResourceCheck.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv) {
    OffscreenPlatform::chooseUnlessSet();
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const int failures = ResourceCheck(out).run(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    out << (failures == 0 ? QStringLiteral("all resources present\n")
                          : QStringLiteral("%1 failures\n").arg(failures));
    return failures == 0 ? 0 : 1;
}
