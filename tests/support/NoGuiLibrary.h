// Checks that a program loads Qt Core and neither Qt Gui nor Qt Widgets, as ldd lists them.
#pragma once

#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

inline void expectNoGuiLibrary(const QString &program) {
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {program});
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains(QStringLiteral("libQt6Core"))) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Gui"))) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Widgets"))) << libraries.toStdString();
}
