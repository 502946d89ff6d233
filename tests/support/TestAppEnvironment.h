// What a test program sets before it builds its application object: the offscreen platform unless
// another is chosen, a settings folder of its own (gone with this object) so that the user's settings
// are never read or written, and the organisation and program names the settings are filed under.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

class TestAppEnvironment {
public:
    explicit TestAppEnvironment(const char *applicationName) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir.path()));
        QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
        QCoreApplication::setApplicationName(QString::fromLatin1(applicationName));
    }

private:
    QTemporaryDir configDir;
};
