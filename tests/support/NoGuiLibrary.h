// Checks that a program loads Qt Core and not Qt Widgets, nor Qt Gui unless allowed, as ldd lists them.
#pragma once

#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

enum class QtGui { Refused, Allowed };

inline void expectNoGuiLibrary(const QString &program, QtGui gui = QtGui::Refused) {
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {program});
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains(QStringLiteral("libQt6Core"))) << libraries.toStdString();
    if (gui == QtGui::Refused) {
        EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Gui"))) << libraries.toStdString();
    }
    EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Widgets"))) << libraries.toStdString();
}
