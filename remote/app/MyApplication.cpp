#include "app/MyApplication.h"

#include "app/MessageLog.h"
#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "windows/MainDialog.h"
#include "windows/MidiLinkView.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QSettings>
#include <QStackedWidget>
#include <cstring>

TAVIK_REVISION("MyApplication.cpp");

MyApplication::MyApplication(int &argc, char **argv) : QApplication(argc, argv) {
    registry = new DeviceRegistry(this);
    // A dropped device's window goes before its record.
    connect(registry, &DeviceRegistry::deviceRemoving, this, &MyApplication::removeDevicePage,
            Qt::DirectConnection);
    qInstallMessageHandler(messageHandler);
    scanCommandLine(argc, argv);
    reportVersions();
    loadCustomFonts(QStringLiteral(":/fonts/"), [](const QString &text) {
        QMessageBox::warning(nullptr, QStringLiteral("Application"), text, QMessageBox::Ok);
    });
    loadStyleSheet(QStringLiteral(":/style_sheets/application.txt"));
    midi = new MIDI(*this, this);
    pageControl = new DeviceControl(midi, registry, this);
    midiView = new MidiLinkView(midi, registry, *this, pageControl->origin(), this);
    settings = new QSettings(this);
    TAVIK_DEBUG(QStringLiteral("Finished MyApplication::MyApplication()."));
}

MyApplication::~MyApplication() {
    TAVIK_DEBUG(QStringLiteral("Started destructor ~MyApplication()."));
    delete midiView;
    midiView = nullptr;
    delete pageControl;
    pageControl = nullptr;
    delete midi;
    midi = nullptr;
    // The windows are gone by now, so no page refers to the records any more.
    delete registry;
    registry = nullptr;
    TAVIK_DEBUG(QStringLiteral("Finished destructor ~MyApplication()."));
}

MyApplication *MyApplication::instance() {
    return qobject_cast<MyApplication *>(QCoreApplication::instance());
}

bool MyApplication::isDebugEnabled() {
    return LogSwitch::isOn();
}

void MyApplication::scanCommandLine(int argc, char **argv) {
    for (int i = 0; i < argc; ++i) {
        if (argv[i] && std::strcmp(argv[i], "--debug") == 0)
            LogSwitch::setOn(true);
    }
    if (!LogSwitch::isOn())
        return;
    LogSwitch::warning(
        QStringLiteral("Found commandline parameter \"--debug\" and so enabling logging of debug messages!"));
    LogSwitch::warning(QStringLiteral(
        "You should be aware that this potentially can use up a lot of disk space and should only be used"));
    LogSwitch::warning(
        QStringLiteral("when you are asked to do so by the vendor (for tracking down bugs etc.)."));
    TAVIK_DEBUG(QStringLiteral(
        "Started MyApplication::MyApplication(), trying to install debug handler if on Windows.."));
}

void MyApplication::messageHandler(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (!LogSwitch::isOn())
        return;
    MessageLog::write(type, text);
}

void MyApplication::reportVersions() {
    if (!LogSwitch::isOn())
        return;
    LogSwitch::debug(QStringLiteral("*** Application Qt_TavikRemote started. ***"));
    LogSwitch::debug(QStringLiteral("== Printing version info (classes in alphabetical order) =="));
    for (const QString &id : RevisionInfo::all())
        LogSwitch::debug(id);
    LogSwitch::debug(QStringLiteral("Qt version this software was compiled against: ") +
                     QStringLiteral(QT_VERSION_STR));
    LogSwitch::debug(QStringLiteral("Qt version found at runtime: ") + QString::fromLatin1(qVersion()));
    LogSwitch::debug(QStringLiteral("== Done printing version info =="));
}

void MyApplication::loadCustomFonts(const QString &folder, const std::function<void(const QString &)> &warn) {
    static const char *const files[] = {"Sansation_Bold.ttf", "Sansation_Light.ttf", "Sansation_Regular.ttf"};
    bool warned = false;
    QString loadedFamily;
    for (const char *file : files) {
        const QString name = QString::fromLatin1(file);
        QFile font(folder + name);
        if (!font.open(QIODevice::ReadOnly)) {
            if (!warned && warn)
                warn(QStringLiteral("Could not load custom font ") + name + QStringLiteral("."));
            warned = true;
            continue;
        }
        const int id = QFontDatabase::addApplicationFontFromData(font.readAll());
        if (id < 0) {
            if (!warned && warn)
                warn(QStringLiteral("Could not load font ") + name + QStringLiteral("."));
            warned = true;
            continue;
        }
        for (const QString &family : QFontDatabase::applicationFontFamilies(id)) {
            if (loadedFamily.isEmpty())
                loadedFamily = family;
            TAVIK_DEBUG(QStringLiteral("Loaded custom font family \"") + family +
                        QStringLiteral("\" from font file \"") + name + QStringLiteral("\""));
        }
    }
    // The style sheet asks for "Sansation"; let it resolve to the family the files really hold.
    if (!loadedFamily.isEmpty() && loadedFamily != QLatin1String("Sansation"))
        QFont::insertSubstitution(QStringLiteral("Sansation"), loadedFamily);
}

void MyApplication::loadStyleSheet(const QString &path) {
    QFile file(path);
    if (!file.exists())
        LogSwitch::warning(QStringLiteral("Style sheet file ") + path + QStringLiteral(" does not exist!"));
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        const int end = data.indexOf('\0');
        text = QString::fromLatin1(end < 0 ? data : data.left(end));
    }
    if (text.isEmpty())
        LogSwitch::warning(QStringLiteral("It looks like style sheet file ") + path +
                           QStringLiteral(" does not contain any data!"));
    TAVIK_DEBUG(QStringLiteral("Setting style sheet properties from \"") + path +
                QStringLiteral("\" as follows: \n") + text);
    if (qApp)
        qApp->setStyleSheet(text);
    file.close();
}

TavikConfigurationDialog *MyApplication::getConfigurationDialog(qint32 serialNo) const {
    StackedTavikDialog *stacked = mainDialog ? mainDialog->getStackedDialog() : nullptr;
    QStackedWidget *pages = stacked ? stacked->getPageStack() : nullptr;
    if (!pages)
        return nullptr;
    for (int i = 0; i < pages->count(); ++i) {
        auto *dialog = qobject_cast<TavikConfigurationDialog *>(pages->widget(i));
        if (dialog && dialog->getSerialNo() == serialNo)
            return dialog;
    }
    return nullptr;
}

void MyApplication::removeDevicePage(qint32 serialNo) {
    StackedTavikDialog *stacked = mainDialog ? mainDialog->getStackedDialog() : nullptr;
    if (stacked)
        stacked->removePage(serialNo);
}
