// The list file: its exact form, reading it back, damaged records, missing
// files, text encodings, and which node's file a save may write.
#include "ListsTestSupport.h"

#include "controls/WindowWidgets.h"
#include "lists/ItemsListFile.h"
#include "mainwindow/frmMain.h"

#include <QDir>

namespace {

using namespace liststest;

class ListFile : public ListsTest {};

TEST_F(ListFile, OpeningAndSavingGivesBackTheSameBytes)
{
    Item plain = FileItem("one.wav");
    plain.album = "Album";
    plain.artist = "Artist <live>";
    plain.comment = "a > b";
    plain.year = "1999";
    plain.track = "7";
    Item ranged = FileItem("Ünïcødé ✓ 日本.wav", 2);
    ranged.inc = "0";
    ranged.rangeAll = "0";
    ranged.start = "60";
    ranged.length = "30";
    ranged.title = "Tïtle";
    WriteList("Mine", {plain, ranged});
    const QByteArray written = ReadBytes(ListPath("Mine"));

    Main();
    ASSERT_EQ(Rows(), 2);
    Main()->SaveGridToFile();
    EXPECT_EQ(ReadBytes(ListPath("Mine")), written);
    EXPECT_TRUE(written.endsWith("</ITEM>\r\n"));
    EXPECT_TRUE(written.contains(QString("<COL_FILE>" + ranged.file + "</COL_FILE>").toUtf8()));
}

TEST_F(ListFile, RecordHoldsTheFourteenFieldsInOrder)
{
    const Item item = FileItem("a.wav");
    WriteList("L", {item});
    Main();
    Main()->SaveGridToFile();
    const QString expected = "<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>a.wav</Item Name><COL_FILE>" + item.file +
                             "</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL><COL_RANGE_START_TIME></COL_RANGE_START_TIME>"
                             "<COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME><COL_TAG_ALBUM></COL_TAG_ALBUM>"
                             "<COL_TAG_ARTIST></COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT>"
                             "<COL_TAG_GEN></COL_TAG_GEN><COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE></COL_TAG_TITLE>"
                             "<COL_TAG_TRACK></COL_TAG_TRACK></ITEM>\r\n";
    EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("L"))), expected);
}

TEST_F(ListFile, AnEmptyListIsWrittenAsCrLf)
{
    Main();
    ASSERT_TRUE(QFile::exists(ListPath("New Items List 1")));
    EXPECT_EQ(ReadBytes(ListPath("New Items List 1")), QByteArray());
    Main()->SetAllMarked(true);
    EXPECT_EQ(ReadBytes(ListPath("New Items List 1")), QByteArray("\r\n"));
}

TEST_F(ListFile, TypeIsAlwaysAudioAndWorkedOutCellsAreNeverStored)
{
    WriteList("L", {FileItem("a.wav")});
    cGrid* grid = Main()->cGrid1;
    grid->SetCellIconIndex(1, "Type", 4);
    grid->SetCellText(1, "Size", "huge");
    Main()->SaveGridToFile();
    const QByteArray bytes = ReadBytes(ListPath("L"));
    EXPECT_TRUE(bytes.contains("<Type>Audio</Type>"));
    for (const char* key : {"<Size>", "<Time>", "<Created>", "<Range>", "<COL_BYTES_SIZE>"})
        EXPECT_FALSE(bytes.contains(key)) << key;
}

TEST_F(ListFile, GetTagValueReadsTheFirstFieldOfAKey)
{
    struct Case {
        QString key, record, value;
    } cases[] = {
        {"Item Name", "<Item Name>song</Item Name>", "song"},
        {"Item Name", "<Item Name>a < b > c</Item Name>", "a < b > c"},
        {"Item Name", "<Item Name>cut</Item Name> here</Item Name>", "cut"},
        {"Item Name", "<Item Name>one</Item Name><Item Name>two</Item Name>", "one"},
        {"COL_FILE", "<Item Name>x</Item Name>", ""},
        {"COL_FILE", "<COL_FILE>no end", ""},
        {"COL_FILE", "</COL_FILE><COL_FILE>", ""},
        {"inc", "<Inc>1</Inc>", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetTagValue(c.key, c.record), c.value) << c.record.toStdString();
}

TEST_F(ListFile, NewListNameTakesTheFirstFreeNumber)
{
    struct Case {
        QStringList existing;
        QString name;
    } cases[] = {
        {{}, "New Items List 1.flst"},
        {{"New Items List 1.flst", "New Items List 3.flst"}, "New Items List 2.flst"},
        {{"New Items List 1.flst", "New Items List 2.flst"}, "New Items List 3.flst"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString folder = ProgramFolder() + "/names" + QString::number(++n) + "/";
        QDir().mkpath(folder);
        for (const QString& name : c.existing) WriteBytes(folder + name, "");
        EXPECT_EQ(GetNewListFileName(folder), c.name);
    }
}

TEST_F(ListFile, AnItemWhoseFileIsGoneIsLeftOutAndDroppedAtTheNextSave)
{
    const Item kept = FileItem("kept.wav");
    const Item gone = FileItem("gone.wav");
    WriteList("L", {gone, kept});
    QFile::remove(gone.file);
    const QByteArray before = ReadBytes(ListPath("L"));

    Main();
    EXPECT_EQ(Column("Item Name"), QStringList({"kept.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")), before);
    Main()->SaveGridToFile();
    EXPECT_EQ(ReadBytes(ListPath("L")), (Record(kept) + "\r\n").toUtf8());
}

TEST_F(ListFile, DamagedRecordsAreSkippedAndKeptAsTheyWere)
{
    const Item first = FileItem("first.wav"), second = FileItem("second.wav");
    Item badMark = FileItem("badmark.wav");
    badMark.inc = "yes";
    Item badRange = FileItem("badrange.wav");
    badRange.rangeAll = "0";
    badRange.start = "soon";
    const QString noFileField = "<ITEM><Inc>1</Inc><Item Name>lost</Item Name></ITEM>";
    const QString truncated = Record(FileItem("truncated.wav")).chopped(10);
    WriteBytes(ListPath("L"), (Record(first) + Record(badMark) + noFileField + Record(second) + Record(badRange) +
                               truncated + "\r\n")
                                  .toUtf8());

    Main();
    EXPECT_EQ(Column("Item Name"), QStringList({"first.wav", "second.wav"}));
    Main()->SetAllMarked(false);
    Item firstOff = first, secondOff = second;
    firstOff.inc = secondOff.inc = "0";
    EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("L"))),
              Record(firstOff) + Record(secondOff) + Record(badMark) + noFileField + Record(badRange) + truncated +
                  "\r\n");
}

TEST_F(ListFile, TextThatIsNotUtf8IsReadAsWindows1252)
{
    const QString path = Wav("café.wav");
    QByteArray record = Record(ItemOf("café.wav", path)).toLatin1();
    WriteBytes(ListPath("L"), record + "\r\n");
    ASSERT_TRUE(record.contains("caf\xe9"));

    Main();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(1, "Item Name"), "café.wav");
    EXPECT_EQ(Cell(1, "COL_FILE"), path);
    Main()->SaveGridToFile();
    EXPECT_TRUE(ReadBytes(ListPath("L")).contains(QString("<Item Name>café.wav</Item Name>").toUtf8()));
}

TEST_F(ListFile, ASaveWithARootOpenWritesNoFile)
{
    WriteList("L", {FileItem("a.wav")});
    const QByteArray before = ReadBytes(ListPath("L"));
    Main()->cTreeView1_NodeClick(Main()->g_nodMainItems);
    EXPECT_EQ(Rows(), 0);
    Main()->SetAllMarked(false);
    Main()->SaveGridToFile();
    EXPECT_EQ(ReadBytes(ListPath("L")), before);
    EXPECT_EQ(QDir(ListsDir()).entryList(QDir::Files), QStringList({"L.flst"}));
}

TEST_F(ListFile, SavingLeavesNoTemporaryFileBehind)
{
    WriteList("L", {FileItem("a.wav")});
    Main()->SetAllMarked(false);
    EXPECT_EQ(QDir(ListsDir()).entryList(QDir::Files | QDir::Hidden), QStringList({"L.flst"}));
}

TEST_F(ListFile, TextBeforeTheFirstRecordStaysBeforeTheRecords)
{
    const Item first = FileItem("first.wav"), second = FileItem("second.wav");
    const QString lead = "stray text\r\n";
    WriteBytes(ListPath("L"), (lead + Record(first) + Record(second) + "\r\n").toUtf8());

    Main();
    EXPECT_EQ(Column("Item Name"), QStringList({"first.wav", "second.wav"}));
    Main()->SaveGridToFile();
    EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("L"))), lead + Record(first) + Record(second) + "\r\n");
    Open("L");
    EXPECT_EQ(Column("Item Name"), QStringList({"first.wav", "second.wav"}));
}

TEST_F(ListFile, AValueHoldingAnotherFieldsTagReadsBackTheSame)
{
    // A file whose fields stand out of the usual order can give a value that
    // holds another field's tag; so can a tag text the user typed.
    const Item item = FileItem("a.wav");
    const QString record = "<ITEM><Inc>1</Inc><Type>Audio</Type><COL_FILE>" + item.file +
                           "</COL_FILE><COL_TAG_YEAR>1999</COL_TAG_YEAR><Item Name>x <COL_FILE> y</Item Name>"
                           "<COL_RANGE_ALL>1</COL_RANGE_ALL><COL_TAG_COMMENT>see </COL_TAG_YEAR></COL_TAG_COMMENT>"
                           "</ITEM>";
    WriteBytes(ListPath("L"), (record + "\r\n").toUtf8());

    Main();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(1, "Item Name"), "x <COL_FILE> y");
    EXPECT_EQ(Cell(1, "COL_TAG_COMMENT"), "see </COL_TAG_YEAR>");
    Main()->SaveGridToFile();
    Main()->cGrid1->SetCellText(1, "COL_TAG_ARTIST", "<Inc>2</Inc>");
    Main()->SaveGridToFile();
    Open("L");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Icon(1, "Inc"), 1);
    EXPECT_EQ(Cell(1, "COL_FILE"), item.file);
    EXPECT_EQ(Cell(1, "Item Name"), "x <COL_FILE> y");
    EXPECT_EQ(Cell(1, "COL_TAG_YEAR"), "1999");
    EXPECT_EQ(Cell(1, "COL_TAG_COMMENT"), "see </COL_TAG_YEAR>");
    EXPECT_EQ(Cell(1, "COL_TAG_ARTIST"), "<Inc>2</Inc>");
}

TEST_F(ListFile, TextStartingWithAByteOrderMarkReadsBackWhole)
{
    const QString text = QChar(0xFEFF) + QString("kept text<ITEM>damaged");
    ASSERT_TRUE(WriteListFile(ListPath("L"), text));
    EXPECT_EQ(ReadListFile(ListPath("L")), text);
    ASSERT_TRUE(WriteListFile(ListPath("L"), "plain"));
    EXPECT_EQ(ReadBytes(ListPath("L")), QByteArray("plain\r\n"));
}

} // namespace
