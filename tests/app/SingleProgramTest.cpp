// Real starts of the program on one settings folder: a later start hands its
// command line to the running program and ends; a program that was killed
// leaves no lock that blocks the next start; one that cannot be reached is
// never joined by a second program.
#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SingleProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(Folder("home"));
        QDir().mkpath(Runtime());
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        PrepareSettings(Settings());
    }
    // A settings folder whose lists live in the test's folder, so that the
    // program writes nothing beside the build's executable.
    void PrepareSettings(const QString& folder)
    {
        QFile installed(QString(TARVELLO_SOURCE_DIR) + "/data/registry/HKEY_LOCAL_MACHINE.reg");
        ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
        QByteArray hive = installed.readAll();
        const QByteArray general = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenmark\\Tarvello\\General]\r\n";
        ASSERT_TRUE(hive.contains(general));
        hive.replace(general, general + "\"txtToPath\"=\"" + folder.toUtf8() + "/lists/\"\r\n");
        QDir().mkpath(folder + "/lists");
        QFile out(folder + "/HKEY_LOCAL_MACHINE.reg");
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(hive);
    }
    void TearDown() override
    {
        for (auto& p : programs) {
            p->kill();
            p->waitForFinished();
        }
    }

    QString Folder(const QString& name) const { return dir.filePath(name); }
    QString Settings() const { return Folder("settings"); }
    QString Runtime() const { return Folder("runtime"); }
    // The sockets in a folder.
    static QStringList SocketsIn(const QString& folder)
    {
        QStringList sockets;
        for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                          QDir::NoDotAndDotDot)) {
            const QString path = QDir(folder).filePath(name);
            struct stat st {};
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode)) sockets << path;
        }
        return sockets;
    }
    // Waits until the listing holds something, and returns it.
    static QStringList WaitForAny(const std::function<QStringList()>& listing)
    {
        QElapsedTimer t;
        t.start();
        while (listing().isEmpty() && t.elapsed() < 20000) QThread::msleep(10);
        return listing();
    }
    // Waits until the folder holds a socket (a program listens just after it takes the lock).
    static QStringList WaitForSocketsIn(const QString& folder)
    {
        return WaitForAny([&folder] { return SocketsIn(folder); });
    }

    // The folders of the sockets the program listens on, from the kernel's
    // table of its sockets: whatever else runs beside the test cannot sway
    // it. The table keeps the name a socket was bound to: Qt binds it as "s"
    // in a hidden temporary folder beside its final name, then moves it.
    static QStringList ListeningFoldersOf(QProcess* p)
    {
        QSet<QByteArray> inodes;
        const QByteArray fds = "/proc/" + QByteArray::number(p->processId()) + "/fd/";
        for (const QString& fd : QDir(QString::fromLatin1(fds)).entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char link[64] = {};
            const ssize_t n = ::readlink((fds + fd.toLatin1()).constData(), link, sizeof link - 1);
            const QByteArray target(link, n > 0 ? int(n) : 0);
            if (target.startsWith("socket:[")) inodes.insert(target.mid(8, target.size() - 9));
        }
        QStringList folders;
        QFile table("/proc/net/unix");
        if (!table.open(QIODevice::ReadOnly)) return folders;
        // Num RefCount Protocol Flags Type St Inode Path
        static const QRegularExpression row(R"(^\S+\s+\S+\s+\S+\s+(\S+)\s+\S+\s+\S+\s+(\S+) (.+)$)");
        constexpr unsigned kListening = 0x10000; // __SO_ACCEPTCON
        table.readLine(); // the heading
        while (!table.atEnd()) {
            const QRegularExpressionMatch m = row.match(QString::fromUtf8(table.readLine().trimmed()));
            if (m.hasMatch() && inodes.contains(m.captured(2).toLatin1()) && (m.captured(1).toUInt(nullptr, 16) & kListening)) {
                QString folder = QFileInfo(m.captured(3)).absolutePath();
                if (QFileInfo(folder).fileName().startsWith('.')) folder = QFileInfo(folder).absolutePath();
                folders << folder;
            }
        }
        return folders;
    }
    // Waits until the program listens (it does just after it takes the lock).
    static QStringList WaitUntilListening(QProcess* p)
    {
        return WaitForAny([p] { return ListeningFoldersOf(p); });
    }

    // Starts the program offscreen with the arguments; its messages are kept.
    QProcess* Start(const QStringList& arguments) { return Start(arguments, Settings()); }
    // `runtime` is the user's runtime folder; none when empty.
    QProcess* Start(const QStringList& arguments, const QString& settings, const QString& runtime)
    {
        auto p = Start(arguments, settings, [&](QProcessEnvironment& env) {
            if (runtime.isEmpty()) env.remove("XDG_RUNTIME_DIR");
            else env.insert("XDG_RUNTIME_DIR", runtime);
        });
        return p;
    }
    QProcess* Start(const QStringList& arguments, const QString& settings)
    {
        return Start(arguments, settings, Runtime());
    }
    QProcess* Start(const QStringList& arguments, const QString& settings,
                    const std::function<void(QProcessEnvironment&)>& adjust)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TARVELLO_REGISTRY_DIR", settings);
        env.insert("HOME", Folder("home"));
        env.insert("XDG_CONFIG_HOME", Folder("home/.config"));
        env.insert("QT_LOGGING_RULES", "tarvello.instance.info=true");
        adjust(env);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(TARVELLO_EXE, arguments);
        EXPECT_TRUE(p->waitForStarted()) << p->errorString().toStdString();
        programs.push_back(std::move(p));
        return programs.back().get();
    }
    // Waits until the program holds the settings folder's lock.
    bool WaitUntilHolding(QProcess* p) { return WaitUntilHolding(p, Settings()); }
    bool WaitUntilHolding(QProcess* p, const QString& settings)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && p->state() == QProcess::Running) {
            QFile lock(platform::SingleInstance::LockFilePath(settings));
            if (lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed() == QByteArray::number(p->processId()))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    // Starts a program and takes its socket away, as a cleaner of temporary
    // files would: it holds the folder but cannot be reached. Null on failure.
    QProcess* StartUnreachable()
    {
        QProcess* p = Start({});
        if (!WaitUntilHolding(p)) return nullptr;
        const QStringList sockets = WaitForSocketsIn(Runtime());
        if (sockets.isEmpty()) return nullptr;
        for (const QString& socket : sockets)
            if (!QFile::remove(socket)) return nullptr;
        return p;
    }
    // Waits until the program's messages hold the text.
    bool WaitForMessage(QProcess* p, const QByteArray& text, QByteArray* all)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            *all += p->readAll();
            if (all->contains(text)) return true;
            p->waitForReadyRead(100);
        }
        return false;
    }
    // True when the program ended by itself, with exit code 0, within a while.
    static bool EndsByItself(QProcess* p)
    {
        return p->waitForFinished(20000) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> programs;
};

TEST_F(SingleProgram, ASecondStartHandsItsCommandLineOverAndEnds)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    QProcess* second = Start({"-addfiles"});
    EXPECT_TRUE(EndsByItself(second)) << second->readAll().toStdString();
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(first, "Command line from another start: \"-addfiles\"", &messages))
        << messages.toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(SingleProgram, AKilledProgramsLockDoesNotBlockTheNextStart)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    first->kill();
    first->waitForFinished();
    ASSERT_TRUE(QFile::exists(platform::SingleInstance::LockFilePath(Settings()))) << "the killed program's lock";

    // The next start runs; one after it hands over to it.
    QProcess* next = Start({"-st"});
    ASSERT_TRUE(WaitUntilHolding(next)) << next->readAll().toStdString();
    QProcess* later = Start({"-addaudiocd"});
    EXPECT_TRUE(EndsByItself(later)) << later->readAll().toStdString();
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(next, "Command line from another start: \"-addaudiocd\"", &messages))
        << messages.toStdString();
    EXPECT_EQ(next->state(), QProcess::Running);
}

// Programs on other settings folders do not meet.
TEST_F(SingleProgram, ProgramsOnOtherSettingsFoldersRunSideBySide)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    const QString other = Folder("other settings");
    PrepareSettings(other);
    QProcess* second = Start({"-addfiles"}, other);
    EXPECT_TRUE(WaitUntilHolding(second, other)) << second->readAll().toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
}

// The socket lies where only the user can write: his runtime folder, or the
// settings folder when he has none; never in the temporary folder, under a
// name anyone can work out.
TEST_F(SingleProgram, TheSocketLiesWhereOnlyTheUserCanWrite)
{
    QProcess* first = Start({});
    ASSERT_TRUE(WaitUntilHolding(first));
    const QStringList inRuntime = WaitForSocketsIn(Runtime());
    EXPECT_EQ(inRuntime.size(), 1) << "in the runtime folder";
    EXPECT_EQ(WaitUntilListening(first), QStringList{Runtime()}) << "nowhere else, the shared temporary folder least";
    QProcess* later = Start({"-addfiles"});
    EXPECT_TRUE(EndsByItself(later)) << later->readAll().toStdString();

    const QString other = Folder("other settings");
    PrepareSettings(other);
    QProcess* withoutRuntime = Start({}, other, QString());
    ASSERT_TRUE(WaitUntilHolding(withoutRuntime, other));
    EXPECT_EQ(WaitForSocketsIn(other), QStringList{other + "/tarvello.socket"}) << "in the settings folder";
    EXPECT_EQ(WaitUntilListening(withoutRuntime), QStringList{other});
    QProcess* laterWithout = Start({"-st"}, other, QString());
    EXPECT_TRUE(EndsByItself(laterWithout)) << laterWithout->readAll().toStdString();
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(withoutRuntime, "Command line from another start: \"-st\"", &messages))
        << messages.toStdString();
}

// The running program's socket is gone (a cleaner took it): a later start
// never runs beside it on the same settings folder. It says so, naming the
// folder, and ends with a code that is not 0.
TEST_F(SingleProgram, AStartThatCannotReachTheRunningProgramSaysSoAndDoesNotRun)
{
    QProcess* first = StartUnreachable();
    ASSERT_TRUE(first);

    QProcess* later = Start({"-addfiles"});
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(later, "cannot be reached", &messages)) << messages.toStdString();
    EXPECT_TRUE(messages.contains(QFile::encodeName(Settings()))) << messages.toStdString();
    QFile lock(platform::SingleInstance::LockFilePath(Settings()));
    ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
    EXPECT_EQ(lock.readLine().trimmed(), QByteArray::number(first->processId())) << "it never takes the folder";
    // The message waits for the user; ending the start then keeps its code.
    later->terminate();
    ASSERT_TRUE(later->waitForFinished(20000));
    EXPECT_EQ(later->exitStatus(), QProcess::NormalExit);
    EXPECT_NE(later->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
}

// Ctrl+C ends a start that waits for a running program it cannot reach, at
// once and with a code that is not 0.
TEST_F(SingleProgram, CtrlCEndsAStartThatWaits)
{
    QProcess* first = StartUnreachable();
    ASSERT_TRUE(first);

    QProcess* later = Start({"-addfiles"});
    // Once it catches SIGINT (bit 2 of SigCgt) it is in or right before its wait.
    const auto catchesInterrupt = [&] {
        QFile status(QString("/proc/%1/status").arg(later->processId()));
        if (!status.open(QIODevice::ReadOnly)) return false;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:"))
                return ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGINT - 1)) & 1) != 0;
        return false;
    };
    QElapsedTimer t;
    t.start();
    while (!catchesInterrupt() && t.elapsed() < 20000) QThread::msleep(10);
    ASSERT_TRUE(catchesInterrupt());
    ::kill(pid_t(later->processId()), SIGINT);
    ASSERT_TRUE(later->waitForFinished(20000));
    const QByteArray messages = later->readAll();
    EXPECT_EQ(later->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later->exitCode(), 130) << messages.toStdString();
    EXPECT_FALSE(messages.contains("cannot be reached")) << "it ended while it waited";
    EXPECT_EQ(first->state(), QProcess::Running);
}

} // namespace
