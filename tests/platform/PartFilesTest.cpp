// Temporary files of writes in progress: one that a killed writer left goes
// with the next write into its folder, one that a running program holds
// stays; puts of several files finish whole.
#include "platform/SaveFile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
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

// Only the names the part writers make are tidied: ".tarvello-", 8 hex
// digits and the suffix. A user's files that merely look alike stay.
TEST(PartFiles, TidyingTakesOnlyTheNamesThePartWritersMake)
{
    QTemporaryDir dir;
    const QString ours = dir.filePath(".tarvello-0000beef.part");
    WriteFile(ours, "left by a killed writer");
    const QStringList users = {".tarvello-notes.part", ".tarvello-.part",        ".tarvello-0000beef0.part",
                               ".tarvello-000beef.part", ".tarvello-0000beeg.part", ".tarvello-0000BEEF.part",
                               ".tarvello-notes.put",  ".tarvello-0000beef.part~", ".tarvello-0000beef.parts"};
    for (const QString& name : users) WriteFile(dir.filePath(name), "mine");

    platform::TidyFolder(dir.path());
    EXPECT_FALSE(QFile::exists(ours));
    for (const QString& name : users) EXPECT_EQ(ReadFile(dir.filePath(name)), "mine") << name.toStdString();
}

// A put record written by anyone: it is followed only when each rename takes
// one of our part names to a plain name of the same folder.
TEST(PartFiles, APutRecordThatIsNotOursRenamesNothing)
{
    struct Case {
        const char* what;
        QList<std::pair<QString, QString>> renames;
    };
    const QString part = ".tarvello-0000cafe.part";
    const Case cases[] = {
        {"a user's file over another", {{"a.wav", "b.wav"}}},
        {"one of ours, then a user's file", {{part, "c.wav"}, {"a.wav", "b.wav"}}},
        {"over one of our own names", {{part, ".tarvello-0000d00d.part"}}},
        {"over the folder", {{part, "."}}},
        {"over the folder above", {{part, ".."}}},
        {"over nothing", {{part, ""}}},
        {"nothing at all", {}},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        WriteFile(dir.filePath("a.wav"), "user's a");
        WriteFile(dir.filePath("b.wav"), "user's b");
        WriteFile(dir.filePath(part), "a part");
        // The record as the part writers lay it out.
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << QByteArray("tarvello put 1") << qint32(c.renames.size());
        for (const auto& [from, to] : c.renames) out << from << to;
        const QString record = dir.filePath(".tarvello-00000001.put");
        WriteFile(record, bytes);

        // The next write into the folder.
        QString newPart;
        const int fd = platform::CreatePartFile(dir.path(), O_WRONLY, 0666, &newPart);
        ASSERT_GE(fd, 0) << c.what;
        ::close(fd);
        QFile::remove(newPart);

        EXPECT_EQ(ReadFile(dir.filePath("a.wav")), "user's a") << c.what;
        EXPECT_EQ(ReadFile(dir.filePath("b.wav")), "user's b") << c.what;
        EXPECT_FALSE(QFile::exists(dir.filePath("c.wav"))) << c.what;
        EXPECT_EQ(ReadFile(record), bytes) << c.what << ": the record stays";
        if (std::any_of(c.renames.begin(), c.renames.end(), [&](const auto& r) { return r.first == part; })) {
            EXPECT_EQ(ReadFile(dir.filePath(part)), "a part") << c.what << ": so do the parts it names";
        }
    }
}

// A save broken off between QSaveFile's link and its rename leaves the new
// text under the file's name, a dot and six letters: the next save of that
// file takes it away, and nothing else.
TEST(PartFiles, TheNextSaveOfAFileTakesWhatABrokenOffSaveLeftBesideIt)
{
    QTemporaryDir dir;
    const QString list = dir.filePath("New Items List 1.flst");
    WriteFile(list, "old rows");
    // Made the way QSaveFile makes its file: a temporary file named after the list, linked.
    QTemporaryFile leftover(list);
    ASSERT_TRUE(leftover.open());
    leftover.write("new rows");
    leftover.setAutoRemove(false);
    const QString left = leftover.fileName();
    leftover.close();
    ASSERT_TRUE(QFileInfo(left).fileName().startsWith("New Items List 1.flst.")) << left.toStdString();
    const QStringList users = {"New Items List 1.flst.backup1", "New Items List 1.flst.Ab1dEf",
                               "New Items List 1.flst.AbCdE", "Other List.flst.AbCdEf", "New Items List 1.AbCdEf"};
    for (const QString& name : users) WriteFile(dir.filePath(name), "mine");

    ASSERT_TRUE(platform::SaveFileWhole(list, "rows"));
    EXPECT_EQ(ReadFile(list), "rows");
    EXPECT_FALSE(QFile::exists(left));
    for (const QString& name : users) EXPECT_EQ(ReadFile(dir.filePath(name)), "mine") << name.toStdString();
}

} // namespace
