// The real TavikRemote binary: start-up log order with "--debug", no log without it, --help and --version.
#include "JackServer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace {
class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(config.isValid());
        server = std::make_unique<JackServer>(JackServer::uniqueName(QStringLiteral("tavik-startup")));
        ASSERT_TRUE(server->start()) << server->diagnostics().toStdString();
        QProcessEnvironment env = server->environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(work.path());
        program.setProgram(QStringLiteral(TAVIK_REMOTE_PATH));
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
        server->stop();
    }
    QStringList logLines() const {
        QFile f(work.filePath(QStringLiteral("log_messages.txt")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
    }
    bool waitForLog(const QString &text, int timeoutMs) {
        return QTest::qWaitFor([&] { return !logLines().filter(text).isEmpty(); }, timeoutMs);
    }
    // Index of the first line at or after from that ends with text; -1 when none.
    static int find(const QStringList &lines, const QString &text, int from = 0) {
        for (int i = from; i < lines.size(); ++i)
            if (lines[i].endsWith(text))
                return i;
        return -1;
    }
    QTemporaryDir work, config;
    std::unique_ptr<JackServer> server;
    QProcess program;
};
} // namespace

TEST_F(Startup, DebugLogHoldsTheStartInOrder) {
    program.setArguments({QStringLiteral("--debug")});
    program.start();
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(waitForLog(QStringLiteral("End of MainDialog."), 20000))
        << logLines().join('\n').toStdString();
    // The ports are listed by now, over JACK: not a word of ALSA's, which has no sequencer here.
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_FALSE(errors.contains(QStringLiteral("ALSA"))) << errors.toStdString();
    const QStringList lines = logLines();
    EXPECT_EQ(lines.first(), QStringLiteral("Successfully created logfile for writing messages!"));
    const int switch1 = find(
        lines,
        ": Warning : Found commandline parameter \"--debug\" and so enabling logging of debug messages!");
    const int switch3 =
        find(lines, ": Warning : when you are asked to do so by the vendor (for tracking down bugs etc.).");
    const int started = find(lines, ": Debug : *** Application Qt_TavikRemote started. ***");
    const int compiled =
        find(lines, QStringLiteral(": Debug : Qt version this software was compiled against: ") +
                        QStringLiteral(QT_VERSION_STR));
    const int done = find(lines, ": Debug : == Done printing version info ==");
    const int font = find(lines, "\" from font file \"Sansation_Bold.ttf\"");
    const int style =
        find(lines, ": Debug : Setting style sheet properties from \":/style_sheets/application.txt\" as "
                    "follows: ");
    const int finished = find(lines, ": Debug : Finished MyApplication::MyApplication().");
    const int mainStart = find(lines, ": Debug : Start of MainDialog.");
    const int mainEnd = find(lines, ": Debug : End of MainDialog.");
    EXPECT_EQ(switch1, 1);
    EXPECT_EQ(switch3, 3);
    EXPECT_GT(started, switch3);
    EXPECT_GT(compiled, started);
    EXPECT_GT(done, compiled);
    EXPECT_GT(font, done);
    EXPECT_GT(style, font);
    EXPECT_GT(finished, style);
    EXPECT_GT(mainStart, finished);
    EXPECT_GT(mainEnd, mainStart);
    // Every module reports once, with the last commit of its own file, sorted regardless of case.
    QStringList modules = lines.mid(started, done - started).filter(QStringLiteral(": Debug : $Id: "));
    modules.replaceInStrings(QRegularExpression(QStringLiteral("^.*: Debug : ")), QString());
    QStringList sorted = modules;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(modules, sorted);
    for (QDirIterator it(QStringLiteral(TAVIK_SOURCE_DIR "/remote"), {QStringLiteral("*.cpp")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        if (it.fileName() == QLatin1String("ResourceNames.cpp"))
            continue; // the list of embedded files for the tests; the program does not link it
        const QString id = QStringLiteral("$Id: ") + it.fileName() + QLatin1Char(' ');
        ASSERT_EQ(modules.filter(id).size(), 1) << id.toStdString();
        QProcess git;
        git.start(QStringLiteral("git"), {"-C", TAVIK_SOURCE_DIR, "log", "-1", "--format=%h %cd %cn",
                                          "--date=format:%Y-%m-%d %H:%M:%S", "--", path});
        const QString commit =
            git.waitForFinished(10000) ? QString::fromUtf8(git.readAllStandardOutput()).trimmed() : QString();
        if (!commit.isEmpty()) { // a checkout: the module shows its file's last commit
            EXPECT_EQ(modules.filter(id).first(), id + commit + QStringLiteral(" $"));
        }
    }
    // The whole style sheet follows its line.
    EXPECT_TRUE(lines.mid(style, finished - style).join('\n').contains(QStringLiteral("QFaderGroupBox")));
}

TEST_F(Startup, SecondRunKeepsThePreviousLog) {
    for (int run = 0; run < 2; ++run) {
        program.setArguments({QStringLiteral("--debug")});
        program.start();
        ASSERT_TRUE(program.waitForStarted(5000));
        if (run == 1) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return QFile::exists(work.filePath(QStringLiteral("log_messages_old.txt"))); }, 20000));
        }
        ASSERT_TRUE(waitForLog(QStringLiteral("End of MainDialog."), 20000));
        program.kill();
        program.waitForFinished(5000);
    }
    const QStringList files = QDir(work.path()).entryList(QDir::Files);
    EXPECT_EQ(files, (QStringList{"log_messages.txt", "log_messages_old.txt"}));
}

TEST_F(Startup, WithoutTheExactSwitchNothingIsLogged) {
    program.setArguments({QStringLiteral("--Debug"), QStringLiteral("--debug=1")});
    program.start();
    ASSERT_TRUE(program.waitForStarted(5000));
    QTest::qWait(2500);
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_TRUE(QDir(work.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Startup, HelpAndVersionAnswerAndExit) {
    program.setArguments({QStringLiteral("--help")});
    program.start();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: TavikRemote [OPTION]...")));
    EXPECT_TRUE(help.contains(QStringLiteral("--debug")));

    program.setArguments({QStringLiteral("--version")});
    program.start();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(
        QString::fromLocal8Bit(program.readAllStandardOutput()).startsWith(QStringLiteral("TavikRemote ")));
    EXPECT_TRUE(QDir(work.path()).entryList(QDir::Files).isEmpty());
}
