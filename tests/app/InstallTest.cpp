// The program installed under a prefix that nobody may write, started as a
// user of its own with a fresh home: it keeps that user's lists and settings
// under his home, and finds them again on the next start. Run by root, it
// still writes nothing into its installed folder. A later start hands its
// command line to a program of its own user only.
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 65534; // nobody: root writes anywhere, so the program runs as someone else
constexpr uid_t kStranger = 65533;  // a third user, who would like to read nobody's command lines
constexpr int kStartMs = 60000;     // a safety net for a broken build, never a measure

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// True once the process has its handler for SIGTERM in place (bit 15 of SigCgt).
bool CatchesTerminate(qint64 pid)
{
    for (const QByteArray& line : ReadAll(QString("/proc/%1/status").arg(pid)).split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

// A process of another user listening on a socket path: whatever a start
// sends it comes back through Heard(). `replace` takes the place of a socket
// already there (a folder the stranger may write).
class Stranger {
public:
    Stranger(const QString& socketPath, bool replace)
    {
        const QByteArray path = QFile::encodeName(socketPath);
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe2(m_heard, O_NONBLOCK) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only system calls from here: the child of a program with threads.
            if (::setgroups(0, nullptr) != 0 || ::setgid(kStranger) != 0 || ::setuid(kStranger) != 0) ::_exit(1);
            if (replace) ::unlink(path.constData());
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                ::chmod(path.constData(), 0777) != 0 || ::listen(s, 8) != 0)
                ::_exit(2);
            [[maybe_unused]] ssize_t n = ::write(ready[1], "r", 1);
            for (;;) {
                const int c = ::accept(s, nullptr, nullptr);
                if (c < 0) continue;
                char bytes[4096];
                while ((n = ::read(c, bytes, sizeof bytes)) > 0) n = ::write(m_heard[1], bytes, size_t(n));
                ::close(c);
            }
        }
        ::close(ready[1]);
        char r = 0;
        m_listening = m_pid > 0 && ::read(ready[0], &r, 1) == 1;
        ::close(ready[0]);
    }
    ~Stranger()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_heard[0]);
        ::close(m_heard[1]);
    }
    bool Listening() const { return m_listening; }
    QByteArray Heard()
    {
        QByteArray all;
        char bytes[4096];
        ssize_t n;
        while ((n = ::read(m_heard[0], bytes, sizeof bytes)) > 0) all.append(bytes, n);
        return all;
    }

private:
    pid_t m_pid = -1;
    int m_heard[2] = {-1, -1};
    bool m_listening = false;
};

// How a test starts the installed program.
struct Options {
    QStringList arguments;
    bool asOtherUser = true; // when the test runs as root
    std::function<void(QProcessEnvironment&)> adjust;
    bool keepOutput = false; // for reading, its messages of single program among them
};

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // The other user must reach his home and the program inside the test's folder.
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther | QFile::ReadOther);
        prefix = m_dir.filePath("prefix");
        home = m_dir.filePath("home");
        QProcess install;
        install.start(CMAKE_COMMAND, {"--install", TARVELLO_BUILD_DIR, "--prefix", prefix});
        ASSERT_TRUE(install.waitForFinished(kStartMs));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
        MakeReadOnly(prefix);
        ASSERT_TRUE(QDir().mkpath(home + "/runtime"));
        if (::geteuid() == 0) {
            for (const QString& path : {home, home + "/runtime"}) ASSERT_EQ(::chown(QFile::encodeName(path), kOtherUser, kOtherUser), 0);
        }
        QFile::setPermissions(home + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override { MakeWritable(prefix); }

    static void MakeWritable(const QString& folder)
    {
        QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::WriteOwner);
        while (it.hasNext()) {
            const QString dir = it.next();
            QFile::setPermissions(dir, QFile::permissions(dir) | QFile::WriteOwner);
        }
    }
    // A folder of the other user's (when the test runs as root), with `mode`.
    static void MakeUsersFolder(const QString& folder, QFile::Permissions mode)
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(QFile::encodeName(folder), kOtherUser, kOtherUser), 0);
        }
        QFile::setPermissions(folder, mode);
    }
    // Waits until the program holds the lock of the settings folder.
    static bool Holds(QProcess& program, const QString& settings)
    {
        return QTest::qWaitFor(
            [&] {
                QFile lock(settings + "/tarvello.lock");
                return program.state() == QProcess::Running && lock.open(QIODevice::ReadOnly) &&
                       lock.readLine().trimmed() == QByteArray::number(program.processId());
            },
            kStartMs);
    }
    static bool WaitForMessage(QProcess& program, const QByteArray& text, QByteArray* all)
    {
        return QTest::qWaitFor(
            [&] {
                *all += program.readAll();
                return all->contains(text);
            },
            kStartMs);
    }
    static void End(QProcess& program)
    {
        program.terminate();
        if (!program.waitForFinished(kStartMs)) program.kill();
        program.waitForFinished();
    }

    static void MakeReadOnly(const QString& folder)
    {
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QStringList entries{folder};
        while (it.hasNext()) entries << it.next();
        for (const QString& entry : entries)
            QFile::setPermissions(entry, QFile::permissions(entry) & ~(QFile::WriteOwner | QFile::WriteUser |
                                                                        QFile::WriteGroup | QFile::WriteOther));
    }

    // Starts the installed program offscreen, as the other user when the test runs as root.
    void Start(QProcess& program) { Start(program, Options()); }
    void Start(QProcess& program, const Options& options)
    {
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        env.insert("HOME", home);
        env.insert("XDG_RUNTIME_DIR", home + "/runtime");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // No sound server is reached from here.
        env.insert("PULSE_SERVER", "unix:" + home + "/no-sound-server");
        if (options.keepOutput) env.insert("QT_LOGGING_RULES", "tarvello.instance.info=true");
        if (options.adjust) options.adjust(env);
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(options.keepOutput ? QProcess::MergedChannels : QProcess::ForwardedErrorChannel);
        const QString exe = prefix + "/bin/tarvello";
        if (::geteuid() == 0 && options.asOtherUser)
            program.start("setpriv", QStringList{QString("--reuid=%1").arg(kOtherUser),
                                                 QString("--regid=%1").arg(kOtherUser), "--clear-groups", exe} +
                                         options.arguments);
        else
            program.start(exe, options.arguments);
        ASSERT_TRUE(program.waitForStarted(kStartMs));
    }

    // Waits for the files, then ends the program as the desktop does at log-out.
    void RunUntil(const QStringList& files) { RunUntil(files, Options()); }
    void RunUntil(const QStringList& files, const Options& options)
    {
        QProcess program;
        Start(program, options);
        const auto ready = [&] {
            if (!CatchesTerminate(program.processId())) return false;
            for (const QString& f : files)
                if (!QFileInfo::exists(f)) return false;
            return true;
        };
        EXPECT_TRUE(QTest::qWaitFor(ready, kStartMs)) << "the program did not start as expected";
        program.terminate();
        ASSERT_TRUE(program.waitForFinished(kStartMs));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    QString prefix, home;

private:
    QTemporaryDir m_dir;
};

TEST_F(InstalledProgram, KeepsEachUsersListsAndSettingsUnderHisHome)
{
    ASSERT_TRUE(QFileInfo(prefix + "/bin/tarvello").isExecutable());
    const QStringList installed = FilesUnder(prefix);
    for (const char* file : {"share/tarvello/Help.html", "share/tarvello/registry/HKEY_LOCAL_MACHINE.reg",
                             "share/tarvello/sound/notify.wav", "share/applications/tarvello.desktop",
                             "share/icons/hicolor/scalable/apps/tarvello.svg"})
        EXPECT_TRUE(installed.contains(file)) << file;
    EXPECT_TRUE(QFileInfo(prefix + "/share/tarvello/Main").isDir());

    const QString data = home + "/.local/share/tarvello";
    const QString list = data + "/Main/New Items List 1.flst";
    const QString hive = data + "/registry/HKEY_LOCAL_MACHINE.reg";
    RunUntil({list, hive});
    EXPECT_TRUE(ReadAll(hive).contains("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenmark\\Tarvello\\General]"));
    EXPECT_TRUE(QFileInfo::exists(data + "/PathHistory"));
    EXPECT_EQ(FilesUnder(prefix), installed) << "the installed files stay as they are";

    // A list change: an item added to the first list.
    const QString wav = home + "/song.wav";
    ASSERT_TRUE(QFile::copy(prefix + "/share/tarvello/sound/notify.wav", wav));
    QFile::setPermissions(wav, QFile::permissions(wav) | QFile::ReadOther);
    const QByteArray item = "<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>song.wav</Item Name><COL_FILE>" +
                            QFile::encodeName(wav) + "</COL_FILE></ITEM>\r\n";
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(item);
    }

    RunUntil({list});
    EXPECT_TRUE(ReadAll(list).contains("<COL_FILE>" + QFile::encodeName(wav) + "</COL_FILE>"));
    EXPECT_EQ(QDir(data + "/Main").entryList(QDir::Files), QStringList{"New Items List 1.flst"})
        << "the user's list is found again, no new one is made";
    EXPECT_EQ(FilesUnder(prefix), installed);
}

TEST_F(InstalledProgram, HasAValidDesktopEntry)
{
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    QProcess validate;
    validate.start("desktop-file-validate", {prefix + "/share/applications/tarvello.desktop"});
    ASSERT_TRUE(validate.waitForFinished(kStartMs));
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
    EXPECT_TRUE(validate.readAllStandardOutput().isEmpty());
    const QByteArray entry = ReadAll(prefix + "/share/applications/tarvello.desktop");
    EXPECT_TRUE(entry.contains("\nExec=tarvello\n"));
    EXPECT_TRUE(entry.contains("\nIcon=tarvello\n"));
}

// Run by root, the installed folder can be written: the program still keeps
// root's lists and settings under root's home, and a new user is seeded from
// the installed files alone. Its jobs never offer the hidden data folder.
TEST_F(InstalledProgram, RunByRootItWritesNothingIntoItsInstalledFolder)
{
    MakeWritable(prefix);
    const QStringList installed = FilesUnder(prefix);
    const QString data = home + "/.local/share/tarvello";
    Options asRoot;
    asRoot.asOtherUser = false;
    RunUntil({data + "/Main/New Items List 1.flst", data + "/registry/HKEY_LOCAL_MACHINE.reg"}, asRoot);
    EXPECT_EQ(FilesUnder(prefix), installed) << "the installed files stay as they are";
    EXPECT_FALSE(ReadAll(data + "/PathHistory").contains(QFile::encodeName(data)))
        << "no destination among the list files: " << ReadAll(data + "/PathHistory").toStdString();
}

// Another user who made the socket under the name a start would once compute
// in the shared temporary folder gets nothing: the socket lies in the user's
// runtime folder, and the later start reaches the user's own program.
TEST_F(InstalledProgram, ALaterStartNeverHandsItsCommandLineToAnotherUsersSocket)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to run as two other users";
    const QString settings = home + "/.local/share/tarvello/registry";
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(settings), QCryptographicHash::Sha1).toHex().left(20);
    Stranger stranger(QDir::tempPath() + QString("/tarvello-%1-").arg(kOtherUser) + digest, false);
    ASSERT_TRUE(stranger.Listening());

    Options telling;
    telling.keepOutput = true;
    QProcess first;
    Start(first, telling);
    ASSERT_TRUE(Holds(first, settings));
    Options addFiles;
    addFiles.arguments = {"-addfiles"};
    QProcess later;
    Start(later, addFiles);
    ASSERT_TRUE(later.waitForFinished(kStartMs));
    EXPECT_EQ(later.exitCode(), 0);
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(first, "Command line from another start: \"-addfiles\"", &messages))
        << messages.toStdString();
    EXPECT_TRUE(stranger.Heard().isEmpty());
    End(first);
}

// Where the socket's folder can be written by others (a shared settings
// folder, no runtime folder), a socket another user put in place of the
// program's gets nothing: the start says the program cannot be reached.
TEST_F(InstalledProgram, ALaterStartHandsOverOnlyToAProgramOfItsOwnUser)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to run as two other users";
    const QString settings = home + "/shared settings";
    MakeUsersFolder(settings, QFile::Permissions(0x7777));
    const auto sharedSettings = [&](QProcessEnvironment& env) {
        env.insert("TARVELLO_REGISTRY_DIR", settings);
        env.remove("XDG_RUNTIME_DIR");
    };
    Options shared;
    shared.adjust = sharedSettings;
    QProcess first;
    Start(first, shared);
    ASSERT_TRUE(Holds(first, settings));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(settings + "/tarvello.socket"); }, kStartMs));
    Stranger stranger(settings + "/tarvello.socket", true);
    ASSERT_TRUE(stranger.Listening());

    Options addFiles = shared;
    addFiles.arguments = {"-addfiles"};
    addFiles.keepOutput = true;
    QProcess later;
    Start(later, addFiles);
    QByteArray messages;
    EXPECT_TRUE(WaitForMessage(later, "cannot be reached", &messages)) << messages.toStdString();
    EXPECT_TRUE(stranger.Heard().isEmpty());
    End(later);
    EXPECT_NE(later.exitCode(), 0);
    End(first);
}

} // namespace
