// tavik-imagegen: draws every picture of TavikRemote's resources into one folder.
//
// Usage: tavik-imagegen --out DIR --fonts DIR [--version TEXT]

#include "ControlImages.h"
#include "ImageSet.h"
#include "PageImages.h"
#include "PanelPainter.h"
#include "WindowImages.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv) {
    // Pictures are drawn off screen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption outOption("out", "Folder the PNG files are written to.", "dir");
    QCommandLineOption fontsOption("fonts", "Folder holding the embedded font files.", "dir");
    QCommandLineOption versionOption("version", "Program version shown in the about picture.", "text",
                                     "1.0.0");
    parser.addOptions({outOption, fontsOption, versionOption});
    parser.process(app);
    if (!parser.isSet(outOption) || !parser.isSet(fontsOption)) {
        err << "tavik-imagegen: --out and --fonts are required\n";
        return 2;
    }

    // Legends use the same typeface the program embeds.
    const QDir fonts(parser.value(fontsOption));
    for (const char *name : {"Sansation_Bold.ttf", "Sansation_Light.ttf", "Sansation_Regular.ttf"}) {
        if (QFontDatabase::addApplicationFont(fonts.filePath(name)) < 0) {
            err << "tavik-imagegen: cannot load font " << fonts.filePath(name) << "\n";
            return 1;
        }
    }

    ImageSet set(parser.value(outOption));
    ControlImages::writeAll(set);
    PageImages::writeAll(set);
    WindowImages::writeAll(set, parser.value(versionOption));

    for (const QString &problem : set.errors())
        err << "tavik-imagegen: " << problem << "\n";
    for (const QString &legend : PanelPainter::overflows())
        err << "tavik-imagegen: legend cut off: " << legend << "\n";
    QTextStream(stdout) << "tavik-imagegen: wrote " << set.written().size() << " pictures to "
                        << parser.value(outOption) << "\n";
    return set.errors().isEmpty() && PanelPainter::overflows().isEmpty() ? 0 : 1;
}
