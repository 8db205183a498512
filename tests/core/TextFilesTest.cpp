#include "core/TextFiles.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <sys/stat.h>

namespace {

class TextFiles : public support::ProgramFixture {
protected:
    QString File(const QString& name) const { return ProgramFolder() + "/" + name; }
    void WriteBytes(const QString& name, const QByteArray& bytes)
    {
        QFile f(File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Bytes(const QString& name)
    {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void WriteHistory(const QStringList& lines)
    {
        QByteArray bytes;
        for (const QString& l : lines) bytes += l.toUtf8() + "\r\n";
        WriteBytes("PathHistory", bytes);
    }
    QStringList History()
    {
        QStringList lines;
        EXPECT_TRUE(ReadTextLines(PathHistoryFile(), lines));
        return lines;
    }
};

TEST_F(TextFiles, ReadTextFileLineEnds)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"a\r\nb\r\n", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},          // no final line end: the same text
        {"a\nb\n", "a\r\nb"},          // LF alone ends a line
        {"a\rb\r", "a\r\nb"},          // so does CR alone
        {"a\r\n\r\nb\r\n", "a\r\n\r\nb"},
        {"\r\n", "\r\n"},              // one empty line stays a single CR LF
        {"", ""},
        {"x", "x"},
        {"ab\r\n\r\n", "ab\r\n"},
        {"caf\xc3\xa9\r\n", "caf\u00e9"},  // UTF-8
        {"caf\xe9\r\n", "caf\u00e9"},      // not UTF-8: Windows-1252
        {"\x80", "\u20ac"},
    };
    for (const auto& [bytes, text] : cases) {
        WriteBytes("t.txt", bytes);
        EXPECT_EQ(ReadTextFile(File("t.txt")), text) << bytes.toHex().toStdString();
    }
}

TEST_F(TextFiles, ReadTextFileOfMissingHiddenAndFolder)
{
    EXPECT_EQ(ReadTextFile(File("missing")), "");
    WriteBytes(".hidden", "secret\r\n");
    EXPECT_EQ(ReadTextFile(File(".hidden")), "");
    EXPECT_EQ(ReadTextFile(ProgramFolder()), "");
    EXPECT_EQ(ReadTextFile(""), "");
}

TEST_F(TextFiles, WriteThenReadGivesTheTextBack)
{
    for (QString text : {QString("one"), QString("a\r\nb"), QString("a\r\n\r\n"), QString("\u00e9\u20ac\u4e2d")}) {
        WriteTextFile(text, File("w.txt"));
        EXPECT_EQ(Bytes("w.txt"), text.toUtf8() + "\r\n");
        EXPECT_EQ(ReadTextFile(File("w.txt")), text);
    }
    WriteTextFile("", File("w.txt"));
    EXPECT_EQ(ReadTextFile(File("w.txt")), "\r\n") << "an empty text reads back as a single CR LF";
}

TEST_F(TextFiles, WriteTextFileIntoAMissingFolderWritesNothing)
{
    WriteTextFile("x", File("no/such/folder/f.txt"));
    EXPECT_FALSE(QFile::exists(File("no/such/folder/f.txt")));
}

TEST_F(TextFiles, WriteTextFileReplacesOnlyRegularFiles)
{
    const QString pipe = File("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    WriteTextFile("x", pipe);
    EXPECT_FALSE(QFileInfo(pipe).isFile()) << "a pipe stays a pipe";
    QDir().mkdir(File("folder"));
    WriteTextFile("x", File("folder"));
    EXPECT_TRUE(QFileInfo(File("folder")).isDir());
    WriteBytes("target.txt", "old");
    ASSERT_TRUE(QFile::link(File("target.txt"), File("link.txt")));
    WriteTextFile("new", File("link.txt"));
    EXPECT_EQ(Bytes("target.txt"), "new\r\n");
    EXPECT_EQ(QFileInfo(File("link.txt")).symLinkTarget(), File("target.txt"));
}

TEST_F(TextFiles, LoadPathHistoryCreatesAMissingFile)
{
    QComboBox cbo;
    cbo.setEditable(true);
    cbo.addItem("old");
    LoadPathHistory(&cbo);
    EXPECT_EQ(cbo.count(), 0);
    EXPECT_EQ(cbo.currentIndex(), -1);
    EXPECT_EQ(Bytes("PathHistory"), "");
    EXPECT_EQ(PathHistoryFile(), platform::AppPath() + "/PathHistory");
}

TEST_F(TextFiles, LoadPathHistoryKeepsEmptyLinesAndSelectsTheFirst)
{
    WriteHistory({"/a/", "", "/b/"});
    QComboBox cbo;
    cbo.setEditable(true);
    LoadPathHistory(&cbo);
    ASSERT_EQ(cbo.count(), 3);
    EXPECT_EQ(cbo.itemText(1), "");
    EXPECT_EQ(cbo.currentIndex(), 0);
    EXPECT_EQ(cbo.currentText(), "/a/");
}

TEST_F(TextFiles, SavePathHistory)
{
    struct Case {
        QStringList before;
        QString current;
        QStringList after;
    };
    QStringList sixteen;
    for (int i = 1; i <= 16; ++i) sixteen << QString("/f%1/").arg(i);
    const Case cases[] = {
        {{"A", "B", "C"}, "B", {"B", "A", "C"}},
        {{"A", "B", "C"}, "D", {"D", "A", "B", "C"}},
        {{"A", "B", "A", "C"}, "A", {"A", "B", "C"}},
        {{"A", "C", "C"}, "B", {"B", "A", "C", "C"}},   // other repeats stay
        {{"A"}, "", {"", "A"}},
        {{}, "X", {"X"}},
        {{"a"}, "A", {"A", "a"}},                      // case-sensitive
        {sixteen, "/new/", QStringList{"/new/"} + sixteen.mid(0, 15)},
        {sixteen + QStringList{"/17/", "/18/"}, "/f3/", QStringList{"/f3/", "/f1/", "/f2/"} + sixteen.mid(3, 13)},
    };
    for (const auto& c : cases) {
        WriteHistory(c.before);
        QComboBox cbo;
        cbo.setEditable(true);
        cbo.setEditText(c.current);
        SavePathHistory(&cbo);
        EXPECT_EQ(History(), c.after) << c.before.join(',').toStdString() << " + " << c.current.toStdString();
        EXPECT_LE(History().size(), kPathHistoryMax);
    }
}

TEST_F(TextFiles, OneStrayByteSpoilsOnlyItsOwnLine)
{
    // A history whose second folder was written as Windows-1252 by another program.
    WriteBytes("PathHistory", "/M\xc3\xbasica/\r\n/caf\xe9/\r\n/\xe6\x97\xa5\xe6\x9c\xac/\r\n");
    EXPECT_EQ(ReadTextFile(PathHistoryFile()), "/Música/\r\n/café/\r\n/日本/");
    QComboBox cbo;
    cbo.setEditable(true);
    cbo.setEditText("/new/");
    SavePathHistory(&cbo);
    EXPECT_EQ(Bytes("PathHistory"), QString("/new/\r\n/Música/\r\n/café/\r\n/日本/\r\n").toUtf8());
}

TEST_F(TextFiles, SaveThenLoadShowsTheNewOrder)
{
    WriteHistory({"/a/", "/b/"});
    QComboBox cbo;
    cbo.setEditable(true);
    LoadPathHistory(&cbo);
    cbo.setEditText("/b/");
    SavePathHistory(&cbo);
    LoadPathHistory(&cbo);
    EXPECT_EQ(cbo.currentText(), "/b/");
    EXPECT_EQ(cbo.itemText(1), "/a/");
    EXPECT_TRUE(Bytes("PathHistory").startsWith("/b/\r\n/a/\r\n"));
}

TEST_F(TextFiles, LoadComboFromFileSkipsBlankLinesAndSelectsNothing)
{
    WriteBytes("FileNameFormats.txt", "[ARTIST] - [TITLE]\r\n\r\n  [TRACK]\r\n\r\n[ALBUM]");
    QComboBox cbo;
    cbo.addItem("design pattern");
    LoadComboFromFile(File("FileNameFormats.txt"), &cbo);
    ASSERT_EQ(cbo.count(), 3);
    EXPECT_EQ(cbo.itemText(0), "[ARTIST] - [TITLE]");
    EXPECT_EQ(cbo.itemText(1), "  [TRACK]");
    EXPECT_EQ(cbo.itemText(2), "[ALBUM]");
    EXPECT_EQ(cbo.currentIndex(), -1);

    LoadComboFromFile(File("missing.txt"), &cbo);
    EXPECT_EQ(cbo.count(), 0);
}

TEST_F(TextFiles, AddLogLine)
{
    QLocale::setDefault(QLocale::c());
    platform::SetNowSource([] { return QDateTime(QDate(2026, 3, 1), QTime(14, 3, 7)); });
    QPlainTextEdit log;
    AddLogLine("Preparing to convert: 3 tracks.", &log);
    EXPECT_EQ(log.toPlainText(), "14:03:07:Preparing to convert: 3 tracks.\n");
    EXPECT_EQ(log.document()->lineCount() - 1, 1) << "exactly one line, ended";
    AddLogLine("Done", &log);
    EXPECT_EQ(log.toPlainText(), "14:03:07:Preparing to convert: 3 tracks.\n14:03:07:Done\n");
    EXPECT_EQ(log.textCursor().position(), log.toPlainText().size()) << "caret at the end";
    platform::SetNowSource(nullptr);
}

} // namespace
