// Start-up pieces of the application object: custom fonts, style sheet, version report.
#include "AppTestMain.h"

#include "LogCapture.h"
#include "app/MyApplication.h"
#include "protocol/LogSwitch.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Fonts, EmbeddedFontsLoadAndSansationResolves) {
    LogSwitch::setOn(true);
    LogCapture log;
    QStringList warnings;
    MyApplication::loadCustomFonts(QStringLiteral(":/fonts/"), [&](const QString &t) { warnings << t; });
    LogSwitch::setOn(false);
    EXPECT_TRUE(warnings.isEmpty());
    const QStringList loaded = log.debugs.filter(QStringLiteral("Loaded custom font family \""));
    // One line per family a file provides, files in loading order.
    ASSERT_GE(loaded.size(), 3);
    EXPECT_TRUE(loaded.first().endsWith(QStringLiteral("\" from font file \"Sansation_Bold.ttf\"")));
    EXPECT_EQ(loaded.filter(QStringLiteral("Sansation_Light.ttf")).size() >= 1, true);
    EXPECT_TRUE(loaded.last().endsWith(QStringLiteral("\" from font file \"Sansation_Regular.ttf\"")));
    EXPECT_FALSE(QFont::substitute(QStringLiteral("Sansation")).isEmpty());
}

TEST(Fonts, AtMostOneWarningHoweverManyFilesFail) {
    QTemporaryDir dir;
    QStringList warnings;
    MyApplication::loadCustomFonts(dir.path() + QLatin1Char('/'), [&](const QString &t) { warnings << t; });
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Could not load custom font Sansation_Bold.ttf.")});

    // Files that open but hold no font give the other text, also only once.
    for (const char *name : {"Sansation_Bold.ttf", "Sansation_Light.ttf", "Sansation_Regular.ttf"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a font");
    }
    warnings.clear();
    MyApplication::loadCustomFonts(dir.path() + QLatin1Char('/'), [&](const QString &t) { warnings << t; });
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Could not load font Sansation_Bold.ttf.")});
}

TEST(StyleSheet, EmbeddedSheetIsAppliedAndLogged) {
    LogSwitch::setOn(true);
    LogCapture log;
    MyApplication::loadStyleSheet(QStringLiteral(":/style_sheets/application.txt"));
    LogSwitch::setOn(false);
    EXPECT_TRUE(log.warnings.isEmpty());
    ASSERT_EQ(log.debugs.size(), 1);
    EXPECT_TRUE(log.debugs[0].startsWith(QStringLiteral(
        "Setting style sheet properties from \":/style_sheets/application.txt\" as follows: \n")));
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QFaderGroupBox")));
    EXPECT_TRUE(qApp->styleSheet().startsWith(QStringLiteral("QWidget")));
}

TEST(StyleSheet, EmptyOrMissingSheetWarnsAndRunsUnstyled) {
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    {
        QFile f(empty);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\0QWidget { color: red }", 23)); // nothing before the first NUL
    }
    LogCapture log;
    MyApplication::loadStyleSheet(empty);
    EXPECT_EQ(log.warnings, QStringList{QStringLiteral("It looks like style sheet file ") + empty +
                                        QStringLiteral(" does not contain any data!")});
    EXPECT_TRUE(qApp->styleSheet().isEmpty());

    log.clear();
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    MyApplication::loadStyleSheet(missing);
    EXPECT_TRUE(
        log.hasWarning(QStringLiteral("Style sheet file ") + missing + QStringLiteral(" does not exist!")));
    MyApplication::loadStyleSheet(QStringLiteral(":/style_sheets/application.txt"));
}

TEST(VersionReport, ListsModulesAndBothQtVersions) {
    LogSwitch::setOn(true);
    LogCapture log;
    MyApplication::reportVersions();
    LogSwitch::setOn(false);
    ASSERT_GE(log.debugs.size(), 6);
    EXPECT_EQ(log.debugs.first(), QStringLiteral("*** Application Qt_TavikRemote started. ***"));
    EXPECT_EQ(log.debugs[1], QStringLiteral("== Printing version info (classes in alphabetical order) =="));
    EXPECT_EQ(log.debugs.last(), QStringLiteral("== Done printing version info =="));
    EXPECT_TRUE(
        log.hasDebug(QStringLiteral("Qt version this software was compiled against: ") + QT_VERSION_STR));
    EXPECT_TRUE(log.hasDebug(QStringLiteral("Qt version found at runtime: ") + qVersion()));
    const QStringList modules = log.debugs.filter(QStringLiteral("$Id: "));
    for (const char *file : {"MIDI.cpp", "MainDialog.cpp", "MyApplication.cpp", "StatusDialog.cpp",
                             "TavikConfiguration.cpp", "main.cpp"}) {
        if (QString::fromLatin1(file) == QLatin1String("main.cpp"))
            continue; // the test program has its own main
        EXPECT_FALSE(modules.filter(QStringLiteral("$Id: ") + file + QLatin1Char(' ')).isEmpty()) << file;
    }
    EXPECT_GE(modules.size(), 20);
}
