#include "ResourceCheck.h"

#include "resources/ResourceNames.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTextStream>

ResourceCheck::ResourceCheck(QTextStream &report) : out(report) {}

void ResourceCheck::fail(const QString &what) {
    out << "FAIL " << what << "\n";
    ++failures;
}

int ResourceCheck::run(const QString &sourceDir) {
    failures = 0;
    checkPictures(sourceDir);
    checkFonts();
    checkStyleSheet();
    return failures;
}

QMap<QString, QSize> ResourceCheck::intendedPictures() {
    const struct {
        QSize size;
        QStringList names;
    } groups[] = {
        {QSize(217, 46), {"tavik_icon_neo.png", "tavik_icon_lux.png", "tavik_icon_xxx.png"}},
        {QSize(1249, 616), {"main.png"}},
        {QSize(77, 18), {"devicelist.png"}},
        {QSize(229, 143), {"midiconnect.png", "inputs.png", "inputs_lux.png", "inputs_off.png"}},
        {QSize(129, 32), {"logo.png"}},
        {QSize(489, 228), {"splash.png"}},
        {QSize(49, 25),
         {"in_ok.png", "in_ko.png", "in_32.png", "in_441.png", "in_48.png", "in_882.png", "in_96.png",
          "in_192.png"}},
        {QSize(546, 244), {"ingains.png", "outgains.png"}},
        {QSize(229, 170),
         {"settings.png", "settings_lux.png", "settings_off.png", "smux.png", "smux_lux.png",
          "smux_off.png"}},
        {QSize(223, 219), {"routing48.png"}},
        {QSize(223, 178), {"routing96.png"}},
        {QSize(223, 160), {"routing192.png"}},
        {QSize(23, 183), {"slider_back.png"}},
        {QSize(20, 39), {"slider_knob.png"}},
        {QSize(12, 13),
         {"box_checked2.png", "box_unchecked.png", "box_checked_gray.png", "box_unchecked_gray.png",
          "radio_cross.png", "radio_white.png", "radio_gray.png"}},
    };
    QMap<QString, QSize> m;
    for (const auto &group : groups)
        for (const QString &name : group.names)
            m[name] = group.size;
    return m;
}

void ResourceCheck::checkPictures(const QString &sourceDir) {
    const QMap<QString, QSize> intended = intendedPictures();
    for (auto it = intended.cbegin(); it != intended.cend(); ++it) {
        const QString path = ":/images/gui/" + it.key();
        if (!QFile(path).exists()) {
            fail(path + " is not in the resources");
            continue;
        }
        const QImage img(path);
        if (img.isNull())
            fail(path + " does not decode");
        else if (img.size() != it.value())
            fail(QStringLiteral("%1 is %2 x %3, intended %4 x %5")
                     .arg(path)
                     .arg(img.width())
                     .arg(img.height())
                     .arg(it.value().width())
                     .arg(it.value().height()));
    }
    // The logo is laid over the chassis and needs its transparency.
    const QImage logo(":/images/gui/logo.png");
    if (!logo.hasAlphaChannel() || logo.pixelColor(0, 0).alpha() != 0)
        fail(":/images/gui/logo.png has no transparent background");

    QSet<QString> listed;
    for (const QString &n : ResourceNames::guiImages())
        listed.insert(n.mid(QStringLiteral(":/images/gui/").size()));
    for (auto it = intended.cbegin(); it != intended.cend(); ++it)
        if (!listed.contains(it.key()))
            fail(it.key() + " is missing from ResourceNames::guiImages()");
    if (listed.size() != intended.size())
        fail(QStringLiteral("ResourceNames::guiImages() names %1 pictures, %2 intended")
                 .arg(listed.size())
                 .arg(intended.size()));

    if (!sourceDir.isEmpty()) {
        const QStringList files = QDir(sourceDir).entryList({"*.png"}, QDir::Files);
        if (files.isEmpty())
            fail("no pictures found in " + sourceDir);
        for (const QString &f : files)
            if (!intended.contains(f))
                fail(sourceDir + "/" + f + " is not one of the embedded pictures");
    }
}

void ResourceCheck::checkFonts() {
    for (const QString &path : ResourceNames::fonts()) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            fail(path + " cannot be opened");
            continue;
        }
        const int id = QFontDatabase::addApplicationFontFromData(f.readAll());
        if (id < 0 || QFontDatabase::applicationFontFamilies(id).isEmpty())
            fail(path + " is not a usable font");
    }
}

void ResourceCheck::checkStyleSheet() {
    QFile f(ResourceNames::styleSheet());
    if (!f.open(QIODevice::ReadOnly)) {
        fail(ResourceNames::styleSheet() + " cannot be opened");
        return;
    }
    const QString text = QString::fromLatin1(f.readAll());
    if (text.trimmed().isEmpty())
        fail(ResourceNames::styleSheet() + " is empty");
    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    int images = 0;
    for (auto m = url.globalMatch(text); m.hasNext();) {
        const QString ref = m.next().captured(1).trimmed();
        ++images;
        if (!ref.startsWith(":/images/gui/"))
            fail("style sheet refers to " + ref + " outside :/images/gui/");
        else if (!QFile(ref).exists())
            fail("style sheet refers to missing " + ref);
    }
    if (images != 10)
        fail(QStringLiteral("style sheet refers to %1 pictures, 10 expected").arg(images));
    // Subclass rules must follow their base class rules to win over them.
    const auto before = [&](const char *a, const char *b) { return text.indexOf(a) < text.indexOf(b); };
    if (!before("QRadioButton::indicator", "QRoutingRadioButton::indicator"))
        fail("QRoutingRadioButton rules do not follow the QRadioButton rules");
    if (!before("QGroupBox {", "QFaderGroupBox {"))
        fail("QFaderGroupBox rules do not follow the QGroupBox rules");
}
