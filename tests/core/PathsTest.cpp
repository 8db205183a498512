#include "core/Paths.h"
#include "platform/AppInfo.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>
#include <QToolTip>
#include <vector>

namespace {

struct PathCase {
    const char* path;
    const char* fileName;
    const char* filePath;
    const char* folderOfPath;
};

TEST(Paths, TakeApart)
{
    const PathCase cases[] = {
        {"/music/song.wav", "song.wav", "/music/", "/music/"},
        {"/music/", "", "/music/", "/music/"},
        {"song.wav", "song.wav", "", ""},
        {"", "", "", ""},
        {"/song.wav", "song.wav", "/", "/"},
        {"/music/Music/Music", "Music", "/music/Music/", "/music/Music/"},
        {"rel/dir/a.b.wav", "a.b.wav", "rel/dir/", "rel/dir/"},
        {"/a//b/c.wav", "c.wav", "/a//b/", "/a//b/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetFileName(c.path), c.fileName);
        EXPECT_EQ(GetFilePath(c.path), c.filePath);
        EXPECT_EQ(GetFolderOfPath(c.path), c.folderOfPath);
    }
}

struct ExtensionCase {
    const char* name;
    const char* extension;
    const char* lastExtension;
    const char* withoutExtension;
};

TEST(Paths, Extensions)
{
    const ExtensionCase cases[] = {
        {"song.wav", "wav", "wav", "song"},
        {"a.b.c.wav", "wav", "wav", "a.b.c"},
        {"README", "", "", ""},
        {".hidden", "hidden", "hidden", ""},
        {"name.abcdefghijklmno", "abcdefghijkl", "abcdefghijklmno", "name"},
        {"/my.dir/file", "dir/file", "dir/file", "/my"},
        {"", "", "", ""},
        {"trailing.", "", "", "trailing"},
        {"Track01.cda", "cda", "cda", "Track01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetExtension(c.name), c.extension);
        EXPECT_EQ(GetLastExtension(c.name), c.lastExtension);
        EXPECT_EQ(RemoveExtension(c.name), c.withoutExtension);
    }
}

const QString kAllUnsafe = QString::fromUtf16(
    u"!/\\;:, $+&[](){}?*|<>\u05D6\uF893\u20AC@\u00A8~\u00B4`=%\u00BD#\u00A3'\"\u05D9");

TEST(Paths, MakeSafeName)
{
    ASSERT_EQ(kAllUnsafe.size(), 37);
    EXPECT_EQ(MakeSafeName(""), "");
    EXPECT_EQ(MakeSafeName(kAllUnsafe), QString(37, '-'));
    EXPECT_EQ(MakeSafeName("New Items List 1"), "New-Items-List-1");
    EXPECT_EQ(MakeSafeName("12:03:07_10/12/2026.wav"), "12-03-07_10-12-2026.wav");
    EXPECT_EQ(MakeSafeName("keep.these_-Az09\u00E9"), "keep.these_-Az09\u00E9");
    // Each character alone.
    for (QChar c : kAllUnsafe) EXPECT_EQ(MakeSafeName(QString("a") + c + "b"), "a-b") << int(c.unicode());
}

TEST(Paths, IsValidFileName)
{
    EXPECT_TRUE(IsValidFileName(""));
    EXPECT_TRUE(IsValidFileName("My list (2).flst"));
    for (QChar c : QString("/\\:?*<>\"|")) {
        EXPECT_FALSE(IsValidFileName(QString("a") + c)) << int(c.unicode());
    }
    EXPECT_TRUE(IsValidFileName("a;b,c!d")) << "only the nine characters are refused";
}

TEST(Paths, CheckFileNameKeyDropsIllegalCharactersWithATip)
{
    QLineEdit box;
    box.show();
    for (QChar c : QString("aZ09 .-_;")) {
        int key = c.unicode();
        CheckFileNameKey(&box, key);
        EXPECT_EQ(key, c.unicode());
    }
    EXPECT_TRUE(QToolTip::text().isEmpty()) << "no tip for a legal character";
    for (QChar c : QString("/\\:?*<>\"|")) {
        int key = c.unicode();
        CheckFileNameKey(&box, key);
        EXPECT_EQ(key, 0) << int(c.unicode());
        EXPECT_EQ(QToolTip::text(), "Illegal name.\n\nThe chars:   /\\:?*<>\"|   are not legal.");
    }
    QToolTip::hideText();
    EXPECT_EQ(QString::fromUtf8(kIllegalNameTip),
              "Illegal name.\r\n\r\nThe chars:   /\\:?*<>\"|   are not legal.");
}

class Folders : public support::ProgramFixture {};

TEST_F(Folders, IsFolder)
{
    const QString base = ProgramFolder();
    QFile(base + "/file").open(QIODevice::WriteOnly);
    EXPECT_TRUE(IsFolder(base));
    EXPECT_TRUE(IsFolder(base + "/"));
    EXPECT_FALSE(IsFolder(base + "/file"));
    EXPECT_FALSE(IsFolder(base + "/missing"));
    EXPECT_FALSE(IsFolder(""));
}

TEST_F(Folders, CreateFolderPathCreatesEveryLevel)
{
    const QString target = ProgramFolder() + "/x/y/z/";
    EXPECT_EQ(CreateFolderPath(target), 0);
    EXPECT_TRUE(QFileInfo(target).isDir());
    // Everything exists already: nothing to do.
    EXPECT_EQ(CreateFolderPath(ProgramFolder() + "/x/y/z"), 0);
    EXPECT_EQ(QDir(ProgramFolder() + "/x/y/z").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

TEST_F(Folders, CreateFolderPathStopsAtAFileInTheWay)
{
    QFile(ProgramFolder() + "/block").open(QIODevice::WriteOnly);
    EXPECT_EQ(CreateFolderPath(ProgramFolder() + "/block/deeper/"), kErrPathFileAccess);
    EXPECT_FALSE(QFileInfo::exists(ProgramFolder() + "/block/deeper"));
}

TEST_F(Folders, CreateFolderPathWithoutPermission)
{
    const QString locked = ProgramFolder() + "/locked";
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(locked).isWritable()) GTEST_SKIP() << "running with rights that ignore permissions";
    EXPECT_EQ(CreateFolderPath(locked + "/a/b"), kErrPathFileAccess);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(QFileInfo::exists(locked + "/a"));
}

TEST(Paths, ClearCollection)
{
    QStringList empty;
    ClearCollection(empty);
    EXPECT_TRUE(empty.isEmpty());
    QStringList names{"a", "b", "c"};
    ClearCollection(names);
    EXPECT_TRUE(names.isEmpty());
    std::vector<int> numbers{1, 2, 3, 4};
    ClearCollection(numbers);
    EXPECT_TRUE(numbers.empty());
}

// The data folders of an installed program.

void WriteText(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST_F(Folders, AnInstalledProgramFindsItsDataUnderShare)
{
    const QString prefix = ProgramFolder() + "/prefix";
    ASSERT_TRUE(QDir().mkpath(prefix + "/bin"));
    EXPECT_EQ(InstalledDataFolder(prefix + "/bin"), prefix + "/bin") << "nothing installed beside it";
    ASSERT_TRUE(QDir().mkpath(prefix + "/share/tarvello/registry"));
    EXPECT_EQ(InstalledDataFolder(prefix + "/bin"), prefix + "/share/tarvello");
    EXPECT_EQ(InstalledDataFolder(prefix + "/bin/"), prefix + "/share/tarvello");
    // A program folder of its own (a build tree) keeps its files beside the executable.
    ASSERT_TRUE(QDir().mkpath(prefix + "/bin/registry"));
    EXPECT_EQ(InstalledDataFolder(prefix + "/bin"), prefix + "/bin");
}

TEST_F(Folders, ThePerUserFolderFollowsXdgDataHome)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/somewhere/data");
    EXPECT_EQ(PerUserDataFolder(), "/somewhere/data/tarvello");
    for (const char* unusable : {"", "relative/data"}) {
        qputenv("XDG_DATA_HOME", unusable);
        EXPECT_EQ(PerUserDataFolder(), QDir::homePath() + "/.local/share/tarvello") << unusable;
    }
    qputenv("XDG_DATA_HOME", saved);
}

TEST_F(Folders, SeedingCopiesOnlyWhatTheUserLacksButAlwaysTheCurrentHelp)
{
    const QString installed = ProgramFolder() + "/installed";
    const QString own = ProgramFolder() + "/home/.local/share/tarvello";
    WriteText(installed + "/registry/HKEY_LOCAL_MACHINE.reg", "installed settings");
    WriteText(installed + "/Help.html", "help 1");
    WriteText(installed + "/sound/notify.wav", "chime");
    ASSERT_TRUE(QDir().mkpath(installed + "/Main"));
    QFile::setPermissions(installed + "/registry/HKEY_LOCAL_MACHINE.reg", QFile::ReadOwner | QFile::ReadOther);

    ASSERT_TRUE(SeedDataFolder(installed, own));
    EXPECT_EQ(ReadText(own + "/registry/HKEY_LOCAL_MACHINE.reg"), "installed settings");
    EXPECT_TRUE(QFile::permissions(own + "/registry/HKEY_LOCAL_MACHINE.reg") & QFile::WriteOwner);
    EXPECT_EQ(ReadText(own + "/sound/notify.wav"), "chime");
    EXPECT_TRUE(QFileInfo(own + "/Main").isDir());

    // The user's own files stay; a newer installed help page replaces the old one.
    WriteText(own + "/registry/HKEY_LOCAL_MACHINE.reg", "my settings");
    WriteText(own + "/Main/My List.lst", "my list");
    WriteText(installed + "/Help.html", "help 2");
    WriteText(installed + "/Notes", "installed notes");
    ASSERT_TRUE(SeedDataFolder(installed, own));
    EXPECT_EQ(ReadText(own + "/registry/HKEY_LOCAL_MACHINE.reg"), "my settings");
    EXPECT_EQ(ReadText(own + "/Main/My List.lst"), "my list");
    EXPECT_EQ(ReadText(own + "/Help.html"), "help 2");
    EXPECT_EQ(ReadText(own + "/Notes"), "installed notes");
}

TEST_F(Folders, AWritableProgramFolderStaysWhereItIs)
{
    platform::SetAppPath(ProgramFolder());
    SetUpProgramFolder(ProgramFolder());
    EXPECT_EQ(platform::AppPath(), ProgramFolder());
    EXPECT_EQ(UserDataFolder(), ProgramFolder() + "/");
    EXPECT_EQ(ProgramExecutable(), ProgramFolder() + "/" + platform::AppExeName());
}

} // namespace
