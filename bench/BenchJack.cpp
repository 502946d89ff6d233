#include "BenchJack.h"

#include <cstdio>

namespace {
QString serverPrefix(const char *program) {
    return QStringLiteral("tavik-") + QString::fromLatin1(program).replace('_', '-');
}
} // namespace

BenchJack::BenchJack(const char *program, Variables variables)
    : m_program(QString::fromLatin1(program)), m_server(JackServer::uniqueName(serverPrefix(program))) {
    for (const auto &v : variables)
        m_variables.insert(QString::fromLatin1(v.first), QString::fromLatin1(v.second));
}

bool BenchJack::start() {
    if (m_server.start())
        return true;
    std::fprintf(stderr, "%s: JACK did not start: %s\n", qPrintable(m_program),
                 qPrintable(m_server.diagnostics()));
    return false;
}

QProcessEnvironment BenchJack::environment() const {
    QProcessEnvironment env = m_server.environment();
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    env.insert(m_variables);
    return env;
}
