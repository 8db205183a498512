// Temporary files of writes in progress: one that a killed writer left goes
// with the next write into its folder, one that a running program holds
// stays; puts of several files finish whole; a whole-file save keeps the
// links to its file and the file's permissions.
#include "platform/SaveFile.h"
#include "support/KilledWrites.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// A save through a link replaces the file it leads to and keeps the link,
// with the part made beside that file; the new file keeps the old one's
// permissions, and a file made anew has the usual ones.
TEST(PartFiles, ASaveKeepsTheLinksToItsFileAndThePermissionsOfTheOldFile)
{
    struct Case {
        const char* what;
        QStringList chain; // the name saved to, the links it leads through, the file
        int oldMode;       // -1: no file yet
        int newMode;
    };
    const Case cases[] = {
        {"a file", {"lists/L.flst"}, 0640, 0640},
        {"a read-only file", {"lists/L.flst"}, 0444, 0444},
        {"a file everyone may write", {"lists/L.flst"}, 0666, 0666},
        {"a new file", {"lists/L.flst"}, -1, 0644},
        {"a link to a file in another folder", {"lists/L.flst", "elsewhere/L.flst"}, 0600, 0600},
        {"a link to a link", {"lists/L.flst", "lists/L.link", "elsewhere/L.flst"}, 0640, 0640},
        {"a link to a file not there yet", {"lists/L.flst", "elsewhere/L.flst"}, -1, 0644},
    };
    struct Umask {
        const mode_t was = ::umask(022);
        ~Umask() { ::umask(was); }
    } umask022;
    for (const Case& c : cases) {
        QTemporaryDir dir;
        for (const char* folder : {"lists", "elsewhere"}) ASSERT_TRUE(QDir(dir.path()).mkdir(folder));
        const QString file = dir.filePath(c.chain.back());
        if (c.oldMode >= 0) {
            WriteFile(file, "old rows");
            ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode_t(c.oldMode)), 0);
        }
        for (int i = 0; i + 1 < c.chain.size(); ++i) {
            const QString link = dir.filePath(c.chain[i]);
            const QString target = QFileInfo(link).dir().relativeFilePath(dir.filePath(c.chain[i + 1]));
            ASSERT_TRUE(QFile::link(target, link)) << c.what;
        }

        ASSERT_TRUE(platform::SaveFileWhole(dir.filePath(c.chain.front()), "new rows")) << c.what;
        EXPECT_EQ(ReadFile(file), "new rows") << c.what;
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(file).constData(), &st), 0) << c.what;
        EXPECT_TRUE(S_ISREG(st.st_mode)) << c.what;
        EXPECT_EQ(st.st_mode & 07777, mode_t(c.newMode)) << c.what;
        for (int i = 0; i + 1 < c.chain.size(); ++i) {
            const QFileInfo link(dir.filePath(c.chain[i]));
            EXPECT_TRUE(link.isSymLink()) << c.what << ": " << c.chain[i].toStdString();
            EXPECT_EQ(link.symLinkTarget(), dir.filePath(c.chain[i + 1])) << c.what;
        }
        for (const QString folder : {"lists", "elsewhere"}) {
            QStringList names;
            for (const QString& name : c.chain)
                if (name.startsWith(folder + "/")) names << QFileInfo(name).fileName();
            names.sort();
            EXPECT_EQ(support::FilesIn(dir.filePath(folder)), names) << c.what << ": nothing else is left";
        }
    }
}

// Links that lead round in a circle lead to no file: the save is refused and
// they stay as they were.
TEST(PartFiles, ASaveThroughLinksThatGoRoundInACircleIsRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link("b.flst", dir.filePath("a.flst")));
    ASSERT_TRUE(QFile::link("a.flst", dir.filePath("b.flst")));
    EXPECT_FALSE(platform::SaveFileWhole(dir.filePath("a.flst"), "rows"));
    EXPECT_EQ(QFileInfo(dir.filePath("a.flst")).symLinkTarget(), dir.filePath("b.flst"));
    EXPECT_EQ(QFileInfo(dir.filePath("b.flst")).symLinkTarget(), dir.filePath("a.flst"));
    EXPECT_EQ(support::FilesIn(dir.path()), QStringList({"a.flst", "b.flst"}));
}

} // namespace
