// The list file: its exact form, reading it back, damaged records, missing
// files, text encodings, and which node's file a save may write.
#include "ListsTestSupport.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Paths.h"
#include "core/TextFiles.h"
#include "lists/ItemsListFile.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "support/KilledWrites.h"

#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

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

TEST_F(ListFile, RecordsNotShownKeepTheirPlaceThroughEveryChange)
{
    // Shown: A, B, C. Not shown: g1 and g3 (file gone), g2 (not audio), d (damaged).
    QMap<QString, QString> records;
    records["A"] = Record(FileItem("A"));
    records["B"] = Record(FileItem("B"));
    records["C"] = Record(FileItem("C"));
    records["g1"] = Record(ItemOf("g1", MediaDir() + "unplugged/g1.wav"));
    WriteBytes(MediaDir() + "g2.wav", "not audio");
    records["g2"] = Record(ItemOf("g2", MediaDir() + "g2.wav"));
    records["g3"] = Record(ItemOf("g3", MediaDir() + "unplugged/g3.wav"));
    Item damaged = FileItem("d");
    damaged.inc = "yes";
    records["d"] = Record(damaged);
    const QString added = Wav("E.wav");
    records["E"] = Record(ItemOf("E.wav", added));
    auto fileOf = [&](const QString& order) {
        QString text;
        for (const QString& key : order.split(' ')) text += records[key];
        return text + "\r\n";
    };
    const QString original = "g1 A d B g2 C g3";

    auto runKey = [this](const char* key) { Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey(key)); };
    auto removeRows = [&](const QList<int>& rows) {
        QTableView* view = Main()->cGrid1->View();
        view->selectionModel()->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row - 1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        runKey("Remove Item");
        EXPECT_TRUE(QTest::qWaitFor([this] { return !Main()->tmrRemove->isActive(); }));
    };
    const struct {
        const char* change;
        std::function<void()> run;
        QString order;
    } cases[] = {
        {"save", [&] { Main()->SaveGridToFile(); }, original},
        {"move the first row down", [&] { Main()->cGrid1->SetSelectedRow(1), runKey("Move Down"); },
         "g1 B d A g2 C g3"},
        {"move the first row to the end", [&] { Main()->cGrid1->SetSelectedRow(1), runKey("Move To Last"); },
         "g1 C d B g2 A g3"},
        {"remove the second row", [&] { removeRows({2}); }, "g1 A d g2 C g3"},
        {"remove the first and last rows", [&] { removeRows({1, 3}); }, "g1 d B g2 g3"},
        {"remove every row", [&] { removeRows({1, 2, 3}); }, "g1 d g2 g3"},
        {"add a file", [&] { Main()->cGrid1_OLEDragDrop({added}, 1, 1, 0, 5, 5); }, original + " E"},
    };
    WriteBytes(ListPath("L"), fileOf(original).toUtf8());
    Main();
    for (const auto& c : cases) {
        WriteBytes(ListPath("L"), fileOf(original).toUtf8());
        Open("L");
        ASSERT_EQ(Column("Item Name"), QStringList({"A", "B", "C"})) << c.change;
        c.run();
        EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("L"))), fileOf(c.order)) << c.change;
    }
}

TEST_F(ListFile, ItemsComeBackWhenTheirDriveReturns)
{
    const Item a = FileItem("a.wav"), b = FileItem("b.wav"), c = FileItem("c.wav");
    WriteList("L", {a, b, c});
    const QString away = ProgramFolder() + "/away/";
    QDir().mkpath(away);
    for (const Item* item : {&a, &c}) ASSERT_TRUE(QFile::rename(item->file, away + GetFileName(item->file)));

    Main();
    EXPECT_EQ(Column("Item Name"), QStringList({"b.wav"}));
    Main()->SetAllMarked(false);
    for (const Item* item : {&a, &c}) ASSERT_TRUE(QFile::rename(away + GetFileName(item->file), item->file));
    Open("L");
    EXPECT_EQ(Column("Item Name"), QStringList({"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(QList<int>({Icon(1, "Inc"), Icon(2, "Inc"), Icon(3, "Inc")}), QList<int>({1, 0, 1}));
}

TEST_F(ListFile, ClearingOrRemovingAListAlsoEndsItsHiddenRecords)
{
    const Item shown = FileItem("shown.wav");
    const Item gone = ItemOf("gone.wav", MediaDir() + "gone.wav");
    WriteList("L", {gone, shown});
    WriteList("M", {gone, shown});
    Open("L");
    Main()->ClearTheList(true);
    EXPECT_EQ(ReadBytes(ListPath("L")), QByteArray("\r\n"));
    Open("M");
    msgBox->Expect("This operation will erase all the items under the 'M.flst', are you sure?", platform::vbYes);
    Main()->RemoveItemsList();
    EXPECT_FALSE(QFile::exists(ListPath("M")));
}

TEST_F(ListFile, AListWhoseFilesAreAllGoneCanStillBeCleared)
{
    WriteList("Gone", {ItemOf("a.wav", MediaDir() + "a.wav"), ItemOf("b.wav", MediaDir() + "b.wav")});
    WriteList("Empty", {});
    const QByteArray records = ReadBytes(ListPath("Gone"));
    auto clear = [this] {
        Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("Clear the List"));
        return QTest::qWaitFor([this] { return !Main()->tmrRemove->isActive(); });
    };
    // Nothing at all to clear: the command does nothing.
    Open("Empty");
    Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("Clear the List"));
    EXPECT_FALSE(Main()->tmrRemove->isActive());

    Open("Gone");
    ASSERT_EQ(Rows(), 0);
    const QString question = QString("This operation will erase all the items under the 'Gone' list.") + kCrLf +
                             kCrLf + "Are you sure?";
    msgBox->Expect(question, platform::vbNo);
    EXPECT_TRUE(clear());
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(ReadBytes(ListPath("Gone")), records);

    msgBox->Expect(question, platform::vbYes);
    EXPECT_TRUE(clear());
    EXPECT_EQ(ReadBytes(ListPath("Gone")), QByteArray("\r\n"));
    // The files coming back bring nothing back.
    Wav("a.wav");
    Open("Gone");
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ListFile, DamagedRecordsAreSkippedAndKeptInTheirPlace)
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
              Record(firstOff) + Record(badMark) + noFileField + Record(secondOff) + Record(badRange) + truncated +
                  "\r\n");
}

TEST_F(ListFile, AFieldLeftOpenOrClosedAloneMakesItsRecordDamaged)
{
    const QString whole = Record(FileItem("song.wav"));
    // Each a record of the same file with one field's tags broken.
    const struct {
        const char* fault;
        QString from, to;
    } faults[] = {
        {"name not closed", "song.wav</Item Name>", "song.wav"},
        {"artist not closed", "</COL_TAG_ARTIST>", ""},
        {"last field not closed", "</COL_TAG_TRACK>", ""},
        {"name not opened", "<Item Name>", ""},
        {"title closed before it opens", "<COL_TAG_TITLE></COL_TAG_TITLE>", "</COL_TAG_TITLE>x<COL_TAG_TITLE>"},
        {"comment opened twice, never closed", "<COL_TAG_COMMENT></COL_TAG_COMMENT>",
         "<COL_TAG_COMMENT>a<COL_TAG_COMMENT>b"},
    };
    QString text = whole;
    for (const auto& f : faults) {
        QString record = whole;
        ASSERT_TRUE(record.contains(f.from)) << f.fault;
        text += record.replace(f.from, f.to);
    }
    text += whole;
    WriteBytes(ListPath("L"), (text + "\r\n").toUtf8());

    Main();
    EXPECT_EQ(Column("Item Name"), QStringList({"song.wav", "song.wav"}));
    Main()->SetAllMarked(true);
    EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("L"))), text + "\r\n");
}

TEST_F(ListFile, OneStrayByteSpoilsNoOtherRecord)
{
    const Item first = FileItem("Ünïcødé ✓.wav"), latin = FileItem("café.wav"), last = FileItem("日本語.wav");
    const QByteArray latinRecord = Record(latin).toLatin1();
    ASSERT_TRUE(latinRecord.contains("caf\xe9"));
    WriteBytes(ListPath("L"), Record(first).toUtf8() + latinRecord + Record(last).toUtf8() + "\r\n");

    Main();
    EXPECT_EQ(Column("Item Name"), QStringList({"Ünïcødé ✓.wav", "café.wav", "日本語.wav"}));
    EXPECT_EQ(Column("COL_FILE"), QStringList({first.file, latin.file, last.file}));
    Main()->SaveGridToFile();
    EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("L"))), Record(first) + Record(latin) + Record(last) + "\r\n");
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

TEST_F(ListFile, PartsReadOneByOneAreThePartsOfTheWholeText)
{
    const QByteArray bom = "\xEF\xBB\xBF", record = "<ITEM><Item Name>a</Item Name></ITEM>";
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"nothing", ""},
        {"a line end", "\r\n"},
        {"records", record + record + "\r\n"},
        {"text first", "before" + record + "\r\n"},
        {"a mark at the start", "<ITEM>" + record},
        {"a byte-order mark first", bom + record + "\r\n"},
        {"a byte-order mark inside", record + "<ITEM>" + bom + "x</ITEM>\r\n"},
        {"one part not UTF-8", record + "<ITEM><Item Name>caf\xe9</Item Name></ITEM>" + record},
        {"all Windows-1252", "\x93quoted\x94<ITEM>\xe9\r\n"},
        {"line ends inside", record + "\r\n" + record + "\r\n\r\n"},
        {"a cut UTF-8 character", record + "<ITEM>\xC3</ITEM>" + record},
    };
    for (const auto& c : cases) {
        WriteBytes(ListPath("P"), c.bytes);
        const QStringList split = SplitListRecords(ReadListFile(ListPath("P")));
        const ListFileParts parts(ListPath("P"));
        ASSERT_EQ(parts.Count(), split.size()) << c.what;
        for (qsizetype i = 0; i < split.size(); ++i)
            EXPECT_EQ(parts.Text(i), i > 0 ? "<ITEM>" + split[i] : split[i]) << c.what << " part " << i;
    }
    const ListFileParts missing(ListPath("missing"));
    EXPECT_EQ(missing.Count(), 1);
    EXPECT_EQ(missing.Text(0), "");
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

// A save killed with the new rows complete but not yet in place leaves the
// old list and beside it only a part of the program's own, which the next
// save removes.
TEST_F(ListFile, AKilledSaveLeavesOnlyAnOwnPartThatTheNextSaveRemoves)
{
    WriteList("L", {FileItem("a.wav")});
    Main();
    const QByteArray old = ReadBytes(ListPath("L"));
    EXPECT_TRUE(support::KilledBeforeItsRename([&] { Main()->SetAllMarked(false); }));
    EXPECT_EQ(ReadBytes(ListPath("L")), old);
    QStringList left = support::FilesIn(ListsDir());
    left.removeAll("L.flst");
    ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
    EXPECT_TRUE(support::IsOwnPartName(left[0])) << left[0].toStdString();
    EXPECT_TRUE(ReadBytes(ListsDir() + left[0]).contains("<Inc>0</Inc>")) << "killed after the rows were written";

    Main()->SetAllMarked(false);
    EXPECT_TRUE(ReadBytes(ListPath("L")).contains("<Inc>0</Inc>"));
    EXPECT_EQ(support::FilesIn(ListsDir()), QStringList({"L.flst"}));
}

// Files of the user's own beside a list, however like a temporary file's
// their names look, are never touched by its saves.
TEST_F(ListFile, FilesOfTheUserBesideAListSurviveItsSaves)
{
    WriteList("L", {FileItem("a.wav")});
    const QStringList users = {"L.flst.backup", "L.flst.XyZabc", "L.flst.a1B2c3", ".tarvello-notes.part"};
    for (const QString& name : users) WriteBytes(ListsDir() + name, "mine");
    Main()->SetAllMarked(false);
    Main()->SetAllMarked(true);
    EXPECT_TRUE(ReadBytes(ListPath("L")).contains("<Inc>1</Inc>"));
    for (const QString& name : users) EXPECT_EQ(ReadBytes(ListsDir() + name), "mine") << name.toStdString();
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

TEST_F(ListFile, AnyValueSurvivesSaveAndReopenExactly)
{
    // A Linux path may hold "<": here it holds "<ITEM>", "</COL_FILE>" and "</ITEM>".
    const QString odd = MediaDir() + "odd<ITEM>/x</COL_FILE>/y</ITEM>/song <b>.wav";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(odd).path()));
    WriteWav(odd, 1.0);
    WriteList("L", {FileItem("a.wav")});
    Main();
    ASSERT_EQ(Rows(), 1);
    const std::vector<std::pair<const char*, QString>> cells = {
        {"Item Name", "<ITEM>"},
        {"COL_FILE", odd},
        {"COL_TAG_TITLE", "a</ITEM>b"},
        {"COL_TAG_ARTIST", "x</COL_TAG_ARTIST>y"},
        {"COL_TAG_ALBUM", QChar(0xFFFF) + QString("mark %3C %25 kept")},
        {"COL_TAG_COMMENT", "c </COL_TAG_GEN>"}, // these two hold each other's tags
        {"COL_TAG_GEN", "g </COL_TAG_COMMENT>"},
        {"COL_TAG_YEAR", "100% <sure>"},
        {"COL_TAG_TRACK", "</ITEM><ITEM><Inc>1</Inc><COL_FILE>/x.wav</COL_FILE>"},
    };
    for (const auto& [key, value] : cells) Main()->cGrid1->SetCellText(1, key, value);
    Main()->SaveGridToFile();
    const QByteArray written = ReadBytes(ListPath("L"));
    EXPECT_EQ(written.count("<ITEM>"), 1) << written.toStdString();
    EXPECT_EQ(written.count("</ITEM>"), 1) << written.toStdString();

    Open("L");
    ASSERT_EQ(Rows(), 1);
    for (const auto& [key, value] : cells) EXPECT_EQ(Cell(1, key), value) << key;
    // And once more: what was read is written the same way.
    Main()->SaveGridToFile();
    EXPECT_EQ(ReadBytes(ListPath("L")), written);
}

TEST_F(ListFile, GetTagValueGivesEscapedValuesBackAndOldValuesAsTheyStood)
{
    const QString mark = QChar(0xFFFF);
    EXPECT_EQ(GetTagValue("A", "<A>" + mark + "%3CITEM>%25</A>"), "<ITEM>%");
    EXPECT_EQ(GetTagValue("A", "<A>50%3C60 %25</A>"), "50%3C60 %25");
    EXPECT_EQ(GetTagValue("A", "<A>" + mark + "%41%</A>"), "%41%");
}

} // namespace
