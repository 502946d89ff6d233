// The command line of a tool that writes its files into a folder: --help, --out DIR and the tool's
// own options, with one message naming the required options that are missing.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

class QCoreApplication;

class ToolCommandLine {
public:
    // tool starts the messages ("tavik-icongen"); outDescription is the help text of --out.
    ToolCommandLine(const QString &tool, const QString &outDescription);

    // Options of the tool's own, listed after --out in the help.
    void addOptions(const QList<QCommandLineOption> &options);
    // Reads the application's arguments (--help prints the help and ends the program). False, after
    // "<tool>: --out and --fonts are required" on standard error, when --out or one of required is
    // not given.
    bool process(const QCoreApplication &app, const QList<QCommandLineOption> &required = {});

    QString out() const { return m_parser.value(m_out); }
    QString value(const QCommandLineOption &option) const { return m_parser.value(option); }

private:
    QString m_tool;
    QCommandLineParser m_parser;
    QCommandLineOption m_out;
};
