// The private JACK server of one benchmark program, and the environment of the programs it starts:
// that server as their default one, HOME and XDG_CONFIG_HOME in a scratch folder (no remembered
// ports, no user settings), and the benchmark's own variables.
#pragma once

#include "JackServer.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>
#include <utility>

class BenchJack {
public:
    using Variables = std::initializer_list<std::pair<const char *, const char *>>;

    // program ("bench_ctl") starts the messages; the server is named after it ("tavik-bench-ctl").
    explicit BenchJack(const char *program, Variables variables = {});

    // Starts the server; false, with the reason on standard error, when it does not come up.
    bool start();
    JackServer &server() { return m_server; }
    QProcessEnvironment environment() const;
    QString home() const { return m_home.path(); }

private:
    QString m_program;
    JackServer m_server;
    QTemporaryDir m_home;
    QProcessEnvironment m_variables;
};
