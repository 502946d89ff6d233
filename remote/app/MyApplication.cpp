#include "MyApplication.h"

#include "DeviceClock.h"
#include "LogSwitch.h"
#include "MIDI.h"
#include "MainDialog.h"
#include "MessageLog.h"
#include "RevisionInfo.h"
#include "StackedTavikDialog.h"
#include "TavikConfiguration.h"
#include "TavikConfigurationDialog.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QSettings>
#include <QStackedWidget>
#include <cstring>

TAVIK_REVISION("MyApplication.cpp");

MyApplication::MyApplication(int &argc, char **argv) : QApplication(argc, argv) {
    devices.clear();
    qInstallMessageHandler(messageHandler);
    scanCommandLine(argc, argv);
    reportVersions();
    loadCustomFonts(QStringLiteral(":/fonts/"), [](const QString &text) {
        QMessageBox::warning(nullptr, QStringLiteral("Application"), text, QMessageBox::Ok);
    });
    loadStyleSheet(QStringLiteral(":/style_sheets/application.txt"));
    devices.clear();
    midi = new MIDI(this);
    settings = new QSettings(this);
    TAVIK_DEBUG(QStringLiteral("Finished MyApplication::MyApplication()."));
}

MyApplication::~MyApplication() {
    TAVIK_DEBUG(QStringLiteral("Started destructor ~MyApplication()."));
    delete midi;
    midi = nullptr;
    // The windows are gone by now, so no page refers to the records any more.
    qDeleteAll(devices);
    devices.clear();
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

TavikConfiguration *MyApplication::getConfiguration(qint32 serialNo) const {
    return devices.value(serialNo, nullptr);
}

void MyApplication::addConfiguration(qint32 serialNo, TavikConfiguration *configuration) {
    devices.insert(serialNo, configuration);
}

void MyApplication::removeConfiguration(qint32 serialNo) {
    auto it = devices.find(serialNo);
    if (it == devices.end())
        return;
    TavikConfiguration *configuration = it.value();
    TAVIK_DEBUG(QStringLiteral("Removing Tavik device ") + QString::number(serialNo) +
                QStringLiteral(" from collection."));
    devices.remove(serialNo);
    delete configuration;
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

void MyApplication::resetResponseTimes() {
    const QDateTime now = DeviceClock::now();
    for (TavikConfiguration *configuration : std::as_const(devices))
        configuration->setLastResponseTime(now);
}

void MyApplication::removeDevicePage(qint32 serialNo) {
    StackedTavikDialog *stacked = mainDialog ? mainDialog->getStackedDialog() : nullptr;
    if (stacked)
        stacked->removePage(serialNo);
}

void MyApplication::removeSilentDevices() {
    const qint64 now = DeviceClock::now().toMSecsSinceEpoch();
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        const qint32 serialNo = it.key();
        if (serialNo < 2)
            continue;
        const qint64 age = now - it.value()->getLastResponseTime().toMSecsSinceEpoch();
        if (age > LivenessLimitMs) {
            TAVIK_DEBUG(QStringLiteral("Removing device with serialno ") + QString::number(serialNo) +
                        QStringLiteral(" since we did not hear from it in 2 seconds."));
            removeDevicePage(serialNo);
            removeConfiguration(serialNo);
            return;
        }
    }
}

void MyApplication::removeAllDevices() {
    const QList<qint32> serials = devices.keys();
    for (qint32 serialNo : serials) {
        if (serialNo < 2)
            continue;
        TAVIK_DEBUG(QStringLiteral("Removing device with serialno ") + QString::number(serialNo) +
                    QStringLiteral(" since we no like it."));
        removeDevicePage(serialNo);
        removeConfiguration(serialNo);
    }
}
