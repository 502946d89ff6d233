#include "ToolCommandLine.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

ToolCommandLine::ToolCommandLine(const QString &tool, const QString &outDescription)
    : m_tool(tool), m_out(QStringLiteral("out"), outDescription, QStringLiteral("dir")) {
    m_parser.addHelpOption();
    m_parser.addOption(m_out);
}

void ToolCommandLine::addOptions(const QList<QCommandLineOption> &options) {
    m_parser.addOptions(options);
}

bool ToolCommandLine::process(const QCoreApplication &app, const QList<QCommandLineOption> &required) {
    m_parser.process(app);
    const QList<QCommandLineOption> needed = QList<QCommandLineOption>{m_out} + required;
    const auto given = [&](const QCommandLineOption &option) { return m_parser.isSet(option); };
    if (std::all_of(needed.cbegin(), needed.cend(), given))
        return true;
    // The message names every option the tool cannot do without, given or not.
    QStringList names;
    for (const QCommandLineOption &option : needed)
        names << QStringLiteral("--") + option.names().constFirst();
    const QString last = names.takeLast();
    QTextStream(stderr) << m_tool << ": "
                        << (names.isEmpty() ? last + " is" : names.join(", ") + " and " + last + " are")
                        << " required\n";
    return false;
}
