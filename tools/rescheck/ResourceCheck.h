// Checks that the embedded fonts, the style sheet and every picture resolve and have the intended sizes.
#pragma once

#include <QMap>
#include <QSize>
#include <QString>

class QTextStream;

class ResourceCheck {
public:
    explicit ResourceCheck(QTextStream &report);

    // Runs every check; with sourceDir set, also that no PNG there is left out of the resources.
    // Returns the number of failures, each reported as one "FAIL" line.
    int run(const QString &sourceDir);

    // Every picture the windows and pages use, with the pixel size it is drawn for.
    static QMap<QString, QSize> intendedPictures();

private:
    void fail(const QString &what);
    void checkPictures(const QString &sourceDir);
    void checkFonts();
    void checkStyleSheet();

    QTextStream &out;
    int failures = 0;
};
