// Temporary files of writes in progress: one that a killed writer left goes
// with the next write into its folder, one that a running program holds
// stays; puts of several files finish whole.
#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// True when a program holds the file's lock.
bool IsLocked(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return locked;
}

// Another program writing a part: flock(1) holds the part's lock as our
// writers do, until it is killed.
class OtherWriter {
public:
    explicit OtherWriter(const QString& part)
    {
        m_process.start("flock", {"--no-fork", part, "sleep", "60"});
        for (int i = 0; i < 500 && !IsLocked(part); ++i) QThread::msleep(10);
    }
    ~OtherWriter() { Kill(); }
    void Kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

TEST(PartFiles, APartLeftByAKilledWriterGoesWithTheNextWriteIntoItsFolder)
{
    if (QStandardPaths::findExecutable("flock").isEmpty()) GTEST_SKIP() << "flock(1) is not installed";
    QTemporaryDir dir;
    const QString left = dir.filePath(".tarvello-0000beef.part");
    const QString running = dir.filePath(".tarvello-0badf00d.part");
    WriteFile(left, QByteArray(100000, 'x'));
    OtherWriter other(running);
    ASSERT_TRUE(IsLocked(running));
    // Not the program's temporary files: never touched.
    const QStringList others = {"song.part", ".tarvello-notes.txt", ".tarvello-.partial", "x.tarvello-1.part"};
    for (const QString& name : others) WriteFile(dir.filePath(name), "mine");

    QString part;
    const int fd = platform::CreatePartFile(dir.path(), O_WRONLY, 0666, &part);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(part.startsWith(dir.path() + "/.tarvello-") && part.endsWith(".part")) << part.toStdString();
    EXPECT_TRUE(IsLocked(part)) << "a part is locked while its writer holds it";
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_TRUE(QFile::exists(running)) << "its program still runs";
    for (const QString& name : others) EXPECT_EQ(ReadFile(dir.filePath(name)), "mine") << name.toStdString();

    other.Kill();
    platform::TidyFolder(dir.path());
    EXPECT_FALSE(QFile::exists(running));
    EXPECT_TRUE(QFile::exists(part)) << "this program's own part stays while it is open";
    ::unlink(QFile::encodeName(part).constData());
    ::close(fd);
}

// A put of two files that broke off after it was decided is finished by the
// next tidying; one broken off before leaves the old files.
TEST(PartFiles, APutBrokenOffIsFinishedOnlyWhenDecided)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("disc.bin"), b = dir.filePath("disc.cue");
    for (const bool decided : {false, true}) {
        WriteFile(a, "old bin");
        WriteFile(b, "old cue");
        QString partA, partB;
        const int fdA = platform::CreatePartFile(dir.path(), O_WRONLY, 0666, &partA);
        const int fdB = platform::CreatePartFile(dir.path(), O_WRONLY, 0666, &partB);
        ASSERT_GE(fdA, 0);
        ASSERT_GE(fdB, 0);
        ASSERT_EQ(::write(fdA, "new bin", 7), 7);
        ASSERT_EQ(::write(fdB, "new cue", 7), 7);
        // The writer stops for good after the first file is in place, or before the put.
        struct Died {};
        platform::SetPutStepHook([decided](int step) {
            if (step == (decided ? 2 : 0)) throw Died{};
        });
        EXPECT_THROW(platform::PutInPlaceTogether({{partA, a}, {partB, b}}), Died);
        platform::SetPutStepHook({});
        ::close(fdA);
        ::close(fdB);
        platform::TidyFolder(dir.path());
        const QByteArray pair = ReadFile(a) + " + " + ReadFile(b);
        EXPECT_EQ(pair, decided ? "new bin + new cue" : "old bin + old cue");
        EXPECT_TRUE(QDir(dir.path()).entryList({".tarvello-*"}, QDir::Files | QDir::Hidden).isEmpty());
    }
}

} // namespace
