// The "--debug" switch and the log file: rotation, line format, flushing, failure to open.
#include "app/MessageLog.h"
#include "app/MyApplication.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
class LogFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previous = QDir::currentPath();
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
        MessageLog::close();
        LogSwitch::setOn(false);
        qInstallMessageHandler(MyApplication::messageHandler);
    }
    void TearDown() override {
        qInstallMessageHandler(nullptr);
        MessageLog::close();
        LogSwitch::setOn(false);
        QDir::setCurrent(previous);
    }
    static QStringList lines(const QString &name) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
    }
    void scan(std::vector<const char *> args) {
        MyApplication::scanCommandLine(int(args.size()), const_cast<char **>(args.data()));
    }
    QTemporaryDir dir;
    QString previous;
};
} // namespace

TEST_F(LogFolder, WithoutDebugNothingIsWritten) {
    scan({"TavikRemote", "--DEBUG", "--debug2", "-debug", " --debug"});
    EXPECT_FALSE(LogSwitch::isOn());
    qWarning("a warning");
    qDebug("a debug line");
    EXPECT_FALSE(QFile::exists("log_messages.txt"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(LogFolder, DebugSwitchStartsLogWithWarningsAndRotatesOnce) {
    {
        QFile old("log_messages_old.txt");
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("oldest\n");
        QFile previousLog("log_messages.txt");
        ASSERT_TRUE(previousLog.open(QIODevice::WriteOnly));
        previousLog.write("previous run\n");
    }
    scan({"TavikRemote", "--debug"});
    EXPECT_TRUE(LogSwitch::isOn());
    EXPECT_EQ(lines("log_messages_old.txt").first(), QStringLiteral("previous run"));
    const QStringList log = lines("log_messages.txt");
    ASSERT_GE(log.size(), 5);
    EXPECT_EQ(log[0], QStringLiteral("Successfully created logfile for writing messages!"));
    EXPECT_TRUE(log[1].endsWith(
        ": Warning : Found commandline parameter \"--debug\" and so enabling logging of debug messages!"));
    EXPECT_TRUE(
        log[2].endsWith(": Warning : You should be aware that this potentially can use up a lot of disk "
                        "space and should only be used"));
    EXPECT_TRUE(log[3].endsWith(
        ": Warning : when you are asked to do so by the vendor (for tracking down bugs etc.)."));
    EXPECT_TRUE(log[4].endsWith(
        ": Debug : Started MyApplication::MyApplication(), trying to install debug handler if on Windows.."));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(LogFolder, TwoRunsKeepExactlyTwoLogs) {
    for (int run = 0; run < 3; ++run) {
        MessageLog::close();
        LogSwitch::setOn(true);
        qDebug("run %d", run);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(lines("log_messages.txt")[1].endsWith(": Debug : run 2"));
    EXPECT_TRUE(lines("log_messages_old.txt")[1].endsWith(": Debug : run 1"));
}

TEST_F(LogFolder, LineFormatAndPlaceholdersInsideText) {
    const QDateTime when = QDateTime::currentDateTime();
    const QString date = when.toString(Qt::TextDate);
    EXPECT_EQ(MessageLog::format(QtWarningMsg, "x", when), date + ": Warning : x\n");
    EXPECT_EQ(MessageLog::format(QtDebugMsg, "x", when), date + ": Debug : x\n");
    EXPECT_EQ(MessageLog::format(QtCriticalMsg, "x", when), date + ": Critical : x\n");
    EXPECT_EQ(MessageLog::format(QtFatalMsg, "x", when), date + ": Fatal : x\n");
    EXPECT_EQ(MessageLog::format(QtInfoMsg, "x", when), date + ": Info : x\n");
    EXPECT_EQ(MessageLog::format(QtDebugMsg, "100%1 and %2", when), date + ": Debug : 100%1 and %2\n");
}

TEST_F(LogFolder, EveryLineIsOnDiskAtOnce) {
    LogSwitch::setOn(true);
    qWarning("first");
    EXPECT_TRUE(lines("log_messages.txt")[1].endsWith(": Warning : first"));
    qDebug("second");
    EXPECT_TRUE(lines("log_messages.txt")[2].endsWith(": Debug : second"));
}

TEST_F(LogFolder, UnwritableFolderReportsOnStandardErrorAndRetries) {
    QDir::setCurrent("/proc");
    fflush(stderr);
    const int saved = dup(2);
    const QString errName = dir.filePath("stderr.txt");
    FILE *err = fopen(errName.toLocal8Bit().constData(), "w");
    ASSERT_NE(err, nullptr);
    dup2(fileno(err), 2);
    LogSwitch::setOn(true);
    qWarning("one");
    qWarning("two");
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    fclose(err);
    EXPECT_FALSE(MessageLog::isOpen());
    QFile f(errName);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("Cannot open logfile for writing!!\nCannot open logfile for writing!!\n"));
}

TEST(Revision, EveryModuleListedAlphabetically) {
    const QStringList ids = RevisionInfo::all();
    QStringList sorted = ids;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(ids, sorted);
    EXPECT_FALSE(ids.filter(QRegularExpression("^\\$Id: MidiCodec\\.cpp \\S+ \\S+ \\S+ .* \\$$")).isEmpty());
    EXPECT_FALSE(ids.filter("$Id: MessageLog.cpp ").isEmpty());
}
