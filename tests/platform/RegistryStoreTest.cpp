#include "platform/Registry.h"
#include "support/KilledWrites.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform::reg;

namespace {

class RegistryStore : public support::ProgramFixture {
protected:
    HKEY Create(const QString& path)
    {
        HKEY key = 0;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        return key;
    }
    QByteArray Query(HKEY key, const QString& name, std::uint32_t* type = nullptr)
    {
        QByteArray data(4096, '\0');
        std::uint32_t size = 0, t = 0;
        EXPECT_EQ(RegQueryValueEx(key, name, &t, &data, &size), ERROR_SUCCESS);
        if (type) *type = t;
        return data.left(int(size));
    }
    QString HivePath() const { return HiveFilePath(HKEY_LOCAL_MACHINE); }
    QByteArray HiveText() const
    {
        QFile f(HivePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteHive(const QByteArray& text)
    {
        QFile f(HivePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        ResetCache();
    }
};

TEST_F(RegistryStore, EveryTypeSurvivesTheFileRoundTrip)
{
    HKEY key = Create("SOFTWARE\\Test");
    QByteArray dword(4, '\0');
    qToLittleEndian<quint32>(0xDEADBEEF, dword.data());
    const struct {
        const char* name;
        std::uint32_t type;
        QByteArray data;
    } cases[] = {
        {"sz", REG_SZ, QByteArray("plain \"quoted\" C:\\path\0", 24)},
        {"unicode", REG_SZ, QString::fromUtf8("Björk – Ünïcode\0", 19).toUtf8()},
        {"newline", REG_SZ, QByteArray("two\r\nlines\0", 11)},
        {"empty", REG_SZ, QByteArray()},
        {"expand", REG_EXPAND_SZ, QByteArray("%HOME%/x\0", 9)},
        {"binary", REG_BINARY, QByteArray("\x00\x01\xff", 3)},
        {"dword", REG_DWORD, dword},
        {"multi", REG_MULTI_SZ, QByteArray("a\0b\0\0", 5)},
        {"", REG_SZ, QByteArray("default value\0", 14)},
    };
    for (const auto& c : cases) ASSERT_EQ(RegSetValueEx(key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
    RegCloseKey(key);

    ResetCache(); // read everything back from the file
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", KEY_READ, &key), ERROR_SUCCESS);
    for (const auto& c : cases) {
        std::uint32_t type = 0;
        EXPECT_EQ(Query(key, c.name, &type), c.data) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    RegCloseKey(key);
    EXPECT_TRUE(HiveText().startsWith("REGEDIT4\r\n"));
    EXPECT_TRUE(HiveText().contains("\"dword\"=dword:deadbeef"));
}

TEST_F(RegistryStore, MissingKeyDiffersFromEmptyKey)
{
    RegCloseKey(Create("SOFTWARE\\Empty"));
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Empty", KEY_READ, &key), ERROR_SUCCESS);
    QString name;
    EXPECT_EQ(RegEnumValue(key, 0, &name, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegQueryValueEx(key, "x", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    // An empty key survives a reload: it exists once created.
    ResetCache();
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Empty", KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryStore, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling)
{
    HKEY key = Create("SOFTWARE\\MixedCase");
    ASSERT_EQ(RegSetValueEx(key, "ValueName", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "VALUENAME", REG_SZ, QByteArray("2\0", 2)), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "valuename"), QByteArray("2\0", 2));
    QString name;
    ASSERT_EQ(RegEnumValue(key, 0, &name, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(name, "ValueName");
    EXPECT_EQ(RegEnumValue(key, 1, &name, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
    HKEY again = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "software\\MIXEDCASE", KEY_READ, &again), ERROR_SUCCESS);
    RegCloseKey(again);
}

TEST_F(RegistryStore, ReadOnlyHandlesCannotWriteAndWritesNeedAnOpenKey)
{
    RegCloseKey(Create("SOFTWARE\\ReadOnly"));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\ReadOnly", KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, "x", REG_SZ, QByteArray("1\0", 2)), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\ReadOnly\\Child", KEY_WRITE, &key), ERROR_FILE_NOT_FOUND);
    ResetCache();
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\ReadOnly\\Child", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStore, SmallBufferAsksForMoreData)
{
    HKEY key = Create("SOFTWARE\\Big");
    QByteArray big(3000, 'x');
    big.append('\0');
    ASSERT_EQ(RegSetValueEx(key, "big", REG_SZ, big), ERROR_SUCCESS);
    QByteArray buffer(1024, '\0');
    std::uint32_t size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "big", nullptr, &buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3001u);
    RegCloseKey(key);
}

TEST_F(RegistryStore, DeletingKeysAndValues)
{
    RegCloseKey(Create("SOFTWARE\\Del\\Child"));
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Del"), ERROR_ACCESS_DENIED); // has a sub-key
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Del\\Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Del\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Del"), ERROR_SUCCESS);
    HKEY key = Create("SOFTWARE\\Val");
    ASSERT_EQ(RegSetValueEx(key, "v", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "V"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "v"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryStore, SubKeysEnumerateInNameOrder)
{
    for (const char* name : {"b", "C", "a"}) RegCloseKey(Create(QString("SOFTWARE\\Enum\\") + name));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Enum", KEY_READ, &key), ERROR_SUCCESS);
    QStringList names;
    QString name;
    for (std::uint32_t i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i) names << name;
    EXPECT_EQ(names, QStringList({"a", "b", "C"}));
    RegCloseKey(key);
}

TEST_F(RegistryStore, RewriteIsWholeAndKeepsChangesOfAnotherRunningCopy)
{
    HKEY key = Create("SOFTWARE\\Shared");
    ASSERT_EQ(RegSetValueEx(key, "ours", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    // Another copy of the program adds a value behind our back.
    QByteArray text = HiveText();
    text.replace("\"ours\"=\"1\"", "\"ours\"=\"1\"\r\n\"theirs\"=\"2\"");
    QFile f(HivePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    ASSERT_EQ(RegSetValueEx(key, "later", REG_SZ, QByteArray("3\0", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
    ResetCache();
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared", KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "theirs"), QByteArray("2\0", 2));
    EXPECT_EQ(Query(key, "later"), QByteArray("3\0", 2));
    RegCloseKey(key);
    // No temporary or lock file is left beside the hive.
    QStringList files = QDir(RegistryFolder()).entryList(QDir::Files);
    EXPECT_EQ(files, QStringList({"HKEY_LOCAL_MACHINE.reg"}));
}

// A rewrite killed with its new text complete but not yet in place leaves
// the old hive and beside it only a part of the program's own, which the
// next rewrite removes.
TEST_F(RegistryStore, AKilledRewriteLeavesOnlyAnOwnPartThatTheNextRewriteRemoves)
{
    HKEY key = Create("SOFTWARE\\Left");
    ASSERT_EQ(RegSetValueEx(key, "a", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    const QByteArray old = HiveText();
    EXPECT_TRUE(support::KilledBeforeItsRename([&] { RegSetValueEx(key, "b", REG_SZ, QByteArray("2\0", 2)); }));
    EXPECT_EQ(HiveText(), old);
    QStringList left = support::FilesIn(RegistryFolder());
    // The killed rewrite's lock file too: it is stale, and the next rewrite takes it over.
    left.removeAll("HKEY_LOCAL_MACHINE.reg");
    left.removeAll("HKEY_LOCAL_MACHINE.reg.lock");
    ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
    EXPECT_TRUE(support::IsOwnPartName(left[0])) << left[0].toStdString();
    QFile part(QDir(RegistryFolder()).filePath(left[0]));
    ASSERT_TRUE(part.open(QIODevice::ReadOnly));
    EXPECT_TRUE(part.readAll().contains("\"b\"=\"2\"")) << "killed after the new text was written";

    ASSERT_EQ(RegSetValueEx(key, "c", REG_SZ, QByteArray("3\0", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(support::FilesIn(RegistryFolder()), QStringList({"HKEY_LOCAL_MACHINE.reg"}));
}

// Files of the user's own beside the hive, however like a temporary file's
// their names look, are never touched by its rewrites.
TEST_F(RegistryStore, FilesOfTheUserBesideTheHiveSurviveItsRewrites)
{
    const QStringList users = {"HKEY_LOCAL_MACHINE.reg.backup", "HKEY_LOCAL_MACHINE.reg.qWeRty",
                               "HKEY_LOCAL_MACHINE.reg.tmp", ".tarvello-settings.part"};
    for (const QString& name : users) {
        QFile f(QDir(RegistryFolder()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    HKEY key = Create("SOFTWARE\\Kept");
    for (const char* value : {"a", "b"})
        ASSERT_EQ(RegSetValueEx(key, value, REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
    for (const QString& name : users) {
        QFile f(QDir(RegistryFolder()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == "mine") << name.toStdString();
    }
}

// A hive that is a link to a file elsewhere (a user's own settings kept in
// another folder) stays a link; the file behind it keeps its permissions.
TEST_F(RegistryStore, ARewriteThroughALinkKeepsTheLinkAndThePermissions)
{
    HKEY key = Create("SOFTWARE\\Linked");
    ASSERT_EQ(RegSetValueEx(key, "a", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    const QString elsewhere = QDir(ProgramFolder()).filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString file = elsewhere + "/machine.reg";
    ASSERT_TRUE(QFile::rename(HivePath(), file));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(file, HivePath()));
    ResetCache();

    ASSERT_EQ(RegSetValueEx(key, "b", REG_SZ, QByteArray("2\0", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(QFileInfo(HivePath()).symLinkTarget(), file);
    EXPECT_TRUE(HiveText().contains("\"b\"=\"2\""));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(support::FilesIn(elsewhere), QStringList({"machine.reg"}));
    EXPECT_EQ(support::FilesIn(RegistryFolder()), QStringList({"HKEY_LOCAL_MACHINE.reg"}));
}

TEST_F(RegistryStore, DamagedFileIsReadAsFarAsItParsesAndKeptBeforeRewrite)
{
    QByteArray damaged = "REGEDIT4\r\n\r\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Good]\r\n"
                         "\"kept\"=\"yes\"\r\n"
                         "\"broken\"=dword:zzzz\r\n"
                         "garbage line\r\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AlsoGood]\r\n"
                         "\"n\"=dword:00000007\r\n";
    WriteHive(damaged);
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Good", KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "kept"), QByteArray("yes\0", 4));
    EXPECT_EQ(RegQueryValueEx(key, "broken", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    HKEY other = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\AlsoGood", KEY_READ, &other), ERROR_SUCCESS);
    RegCloseKey(other);

    ASSERT_EQ(RegSetValueEx(key, "new", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    RegCloseKey(key);
    QStringList copies = QDir(RegistryFolder()).entryList({"HKEY_LOCAL_MACHINE.reg.damaged-*"}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    QFile copy(RegistryFolder() + "/" + copies.first());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);
    EXPECT_TRUE(HiveText().contains("\"kept\"=\"yes\""));
    EXPECT_TRUE(HiveText().contains("\"n\"=dword:00000007"));
}

TEST_F(RegistryStore, AFileThatCannotBeReadIsNeverReplaced)
{
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    const QByteArray original = "REGEDIT4\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Mine]\r\n"
                                "\"setting\"=\"precious\"\r\n";
    WriteHive(original);
    ASSERT_TRUE(QFile::setPermissions(HivePath(), QFileDevice::WriteOwner)); // writable, not readable
    HKEY key = 0;
    EXPECT_NE(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_NE(RegSetValueEx(HKEY_LOCAL_MACHINE, "x", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    ASSERT_TRUE(QFile::setPermissions(HivePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(HiveText(), original);
}

TEST_F(RegistryStore, OneStrayByteSpoilsOnlyItsOwnLine)
{
    WriteHive("REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
              "\"artist\"=\"Bj\xc3\xb6rk\"\r\n"
              "\"latin\"=\"caf\xe9\"\r\n"
              "\"\xc3\x9cn\xc3\xafk\"=\"\xe6\x97\xa5\xe6\x9c\xac\"\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\K\xc3\xb6ln]\r\n");
    const struct {
        QString name;
        QString text;
    } values[] = {{"artist", "Björk"}, {"latin", "café"}, {"Ünïk", "日本"}};
    for (int pass = 0; pass < 2; ++pass) {
        HKEY key = 0;
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", KEY_ALL_ACCESS, &key), ERROR_SUCCESS) << pass;
        for (const auto& v : values) EXPECT_EQ(Query(key, v.name), v.text.toUtf8() + '\0') << pass;
        HKEY city = 0;
        EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\Köln", KEY_READ, &city), ERROR_SUCCESS) << pass;
        RegCloseKey(city);
        // The first pass rewrites the file; the second reads what was written.
        if (pass == 0) {
            ASSERT_EQ(RegSetValueEx(key, "new", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
        }
        RegCloseKey(key);
        ResetCache();
    }
    EXPECT_TRUE(HiveText().contains("\"artist\"=\"Bj\xc3\xb6rk\"\r\n\"latin\"=\"caf\xc3\xa9\"\r\n"));
}

TEST_F(RegistryStore, NamesTheFileCannotHoldAreRefused)
{
    HKEY key = Create("SOFTWARE\\Test");
    ASSERT_EQ(RegSetValueEx(key, "kept", REG_SZ, QByteArray("1\0", 2)), ERROR_SUCCESS);
    const QString names[] = {"two\nlines", "two\r\nlines", "two\rlines", "\n", "end\n",
                             QString("lone ") + QChar(0xD800) + " surrogate"};
    for (const QString& name : names) {
        const std::string shown = name.toUtf8().toPercentEncoding().toStdString();
        EXPECT_EQ(RegSetValueEx(key, name, REG_SZ, QByteArray("1\0", 2)), ERROR_INVALID_PARAMETER) << shown;
        HKEY child = 0;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\" + name, KEY_ALL_ACCESS, &child),
                  ERROR_INVALID_PARAMETER)
            << shown;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name + "\\Below", KEY_ALL_ACCESS, &child),
                  ERROR_INVALID_PARAMETER)
            << shown;
    }
    // A line break in a value's data is held (written as hex) and reads back.
    ASSERT_EQ(RegSetValueEx(key, "data", REG_SZ, QByteArray("two\nlines\0", 10)), ERROR_SUCCESS);
    RegCloseKey(key);

    ResetCache();
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", KEY_READ, &key), ERROR_SUCCESS);
    QStringList stored;
    QString name;
    for (std::uint32_t i = 0; RegEnumValue(key, i, &name, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i) stored << name;
    EXPECT_EQ(stored, QStringList({"kept", "data"}));
    EXPECT_EQ(Query(key, "data"), QByteArray("two\nlines\0", 10));
    EXPECT_EQ(RegEnumKeyEx(key, 0, &name), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
    HKEY software = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ, &software), ERROR_SUCCESS);
    QStringList keys;
    for (std::uint32_t i = 0; RegEnumKeyEx(software, i, &name) == ERROR_SUCCESS; ++i) keys << name;
    EXPECT_EQ(keys, QStringList({"Test"}));
    RegCloseKey(software);
    QStringList errors;
    ParseHive(HiveText(), "HKEY_LOCAL_MACHINE", &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_F(RegistryStore, UnsupportedRootsAndRemoteRegistryFail)
{
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyEx(0, "SOFTWARE", KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegConnectRegistry("otherhost", HKEY_LOCAL_MACHINE, &key), ERROR_BAD_NETPATH);
}

TEST(RegistryFormat, ParsesContinuationLinesCommentsAndDefaultValues)
{
    QByteArray text = "REGEDIT4\n\n; a comment\n[HKEY_CURRENT_USER\\A]\n@=\"dflt\"\n"
                      "\"bin\"=hex:01,02,\\\n  03\n";
    QStringList errors;
    auto root = ParseHive(text, "HKEY_CURRENT_USER", &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(";").toStdString();
    RegKey* a = root->child("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->value("")->data, QByteArray("dflt\0", 5));
    EXPECT_EQ(a->value("bin")->data, QByteArray("\x01\x02\x03", 3));
    // A key of another hive is an error, not a key of this one.
    ParseHive("REGEDIT4\n[HKEY_LOCAL_MACHINE\\B]\n", "HKEY_CURRENT_USER", &errors);
    EXPECT_EQ(errors.size(), 1);
}

TEST(RegistryFormat, ExpandsEnvironmentReferences)
{
    qputenv("TARVELLO_TEST_VAR", "value");
    EXPECT_EQ(ExpandEnvironmentStrings("a%TARVELLO_TEST_VAR%b"), "avalueb");
    EXPECT_EQ(ExpandEnvironmentStrings("%NO_SUCH_VARIABLE_X%/%TARVELLO_TEST_VAR%"), "%NO_SUCH_VARIABLE_X%/value");
    EXPECT_EQ(ExpandEnvironmentStrings("100%"), "100%");
}

} // namespace
