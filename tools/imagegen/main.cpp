// tavik-imagegen: draws every picture of TavikRemote's resources into one folder.
//
// Usage: tavik-imagegen --out DIR --fonts DIR [--version TEXT]

#include "ControlImages.h"
#include "ImageSet.h"
#include "OffscreenPlatform.h"
#include "PageImages.h"
#include "PanelPainter.h"
#include "ToolCommandLine.h"
#include "WindowImages.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv) {
    OffscreenPlatform::chooseUnlessSet();
    QGuiApplication app(argc, argv);
    ToolCommandLine options("tavik-imagegen", "Folder the PNG files are written to.");
    const QCommandLineOption fontsOption("fonts", "Folder holding the embedded font files.", "dir");
    const QCommandLineOption versionOption("version", "Program version shown in the about picture.", "text",
                                           "1.0.0");
    options.addOptions({fontsOption, versionOption});
    if (!options.process(app, {fontsOption}))
        return 2;

    // Legends use the same typeface the program embeds.
    QTextStream err(stderr);
    const QDir fonts(options.value(fontsOption));
    for (const char *name : {"Sansation_Bold.ttf", "Sansation_Light.ttf", "Sansation_Regular.ttf"}) {
        if (QFontDatabase::addApplicationFont(fonts.filePath(name)) < 0) {
            err << "tavik-imagegen: cannot load font " << fonts.filePath(name) << "\n";
            return 1;
        }
    }

    ImageSet set(options.out());
    ControlImages::writeAll(set);
    PageImages::writeAll(set);
    WindowImages::writeAll(set, options.value(versionOption));

    for (const QString &problem : set.errors())
        err << "tavik-imagegen: " << problem << "\n";
    for (const QString &legend : PanelPainter::overflows())
        err << "tavik-imagegen: legend cut off: " << legend << "\n";
    QTextStream(stdout) << "tavik-imagegen: wrote " << set.written().size() << " pictures to "
                        << options.out() << "\n";
    return set.errors().isEmpty() && PanelPainter::overflows().isEmpty() ? 0 : 1;
}
