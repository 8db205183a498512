// The program installed under a prefix that nobody may write, started as a
// user of its own with a fresh home: it keeps that user's lists and settings
// under his home, and finds them again on the next start.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 65534; // nobody: root writes anywhere, so the program runs as someone else
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

    void TearDown() override
    {
        QDirIterator it(prefix, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QFile::setPermissions(prefix, QFile::permissions(prefix) | QFile::WriteOwner);
        while (it.hasNext()) {
            const QString dir = it.next();
            QFile::setPermissions(dir, QFile::permissions(dir) | QFile::WriteOwner);
        }
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
    void Start(QProcess& program)
    {
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        env.insert("HOME", home);
        env.insert("XDG_RUNTIME_DIR", home + "/runtime");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // No sound server is reached from here.
        env.insert("PULSE_SERVER", "unix:" + home + "/no-sound-server");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString exe = prefix + "/bin/tarvello";
        if (::geteuid() == 0)
            program.start("setpriv", {QString("--reuid=%1").arg(kOtherUser), QString("--regid=%1").arg(kOtherUser),
                                      "--clear-groups", exe});
        else
            program.start(exe, {});
        ASSERT_TRUE(program.waitForStarted(kStartMs));
    }

    // Waits for the files, then ends the program as the desktop does at log-out.
    void RunUntil(const QStringList& files)
    {
        QProcess program;
        Start(program);
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

} // namespace
