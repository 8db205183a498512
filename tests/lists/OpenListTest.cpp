// Opening a list: the cells worked out from each file, ranges, icons, tags,
// the selection, the empty-list notice, roots, and the busy state.
#include "ListsTestSupport.h"

#include "support/FakeAudioConverter.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Paths.h"
#include "core/TimeSizeText.h"
#include "mainwindow/frmMain.h"
#include "settings/mdlOptions.h"

#include "platform/MessageBox.h"

#include <QDir>
#include <QFrame>
#include <QFileInfo>
#include <QLabel>

namespace {

using namespace liststest;

class OpenList : public ListsTest {
protected:
    // Installs the scripted reader: each file given exists on disk and reads
    // with the given length and tags.
    void UseFakeReader(const QMap<QString, FakeAudioConverter::File>& files)
    {
        m_fakeFiles = files;
        for (auto it = files.begin(); it != files.end(); ++it) WriteBytes(it.key(), "not read");
        SetAudioConverterFactory([this] {
            auto fake = std::make_unique<FakeAudioConverter>();
            for (auto it = m_fakeFiles.begin(); it != m_fakeFiles.end(); ++it) fake->AddFile(it.key(), it.value());
            return fake;
        });
    }
    QMap<QString, FakeAudioConverter::File> m_fakeFiles;
};

TEST_F(OpenList, CellsComeFromTheRecordAndTheFile)
{
    Item item = FileItem("song.wav", 3);
    item.name = "My song";
    WriteList("L", {item});
    Main();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(1, "Item Name"), "My song");
    EXPECT_EQ(Cell(1, "COL_FILE"), item.file);
    EXPECT_EQ(Cell(1, "Time"), "00:00:03");
    EXPECT_EQ(Cell(1, "Size"), FormatFileSize(double(QFileInfo(item.file).size())));
    EXPECT_EQ(Main()->cGrid1->CellText(1, "COL_BYTES_SIZE").toLongLong(), QFileInfo(item.file).size());
    EXPECT_TRUE(Main()->cGrid1->CellText(1, "Created").toDateTime().isValid());
    EXPECT_EQ(Main()->cGrid1->CellTextFormat(1, "Inc"), 0x40020);
}

TEST_F(OpenList, RangesShowTheirStartAndEnd)
{
    struct Case {
        QString all, start, length, range, startCell;
    } cases[] = {
        {"0", "60", "30", "00:01:00 - 00:01:30", "60"},
        {"1", "60", "30", "All", ""},
        {"", "60", "30", "All", ""},
        {"0", "3599", "3602", "00:59:59 - 02:00:01", "3599"},
    };
    QList<Item> items;
    for (const Case& c : cases) {
        Item item = FileItem(QString("r%1.wav").arg(items.size()));
        item.rangeAll = c.all;
        item.start = c.start;
        item.length = c.length;
        items << item;
    }
    WriteList("L", items);
    Main();
    ASSERT_EQ(Rows(), int(std::size(cases)));
    for (int i = 0; i < Rows(); ++i) {
        EXPECT_EQ(Cell(i + 1, "Range"), cases[i].range) << i;
        EXPECT_EQ(Cell(i + 1, "COL_RANGE_START_TIME"), cases[i].startCell) << i;
        EXPECT_EQ(Cell(i + 1, "COL_RANGE_ALL"), cases[i].all == "0" ? "0" : "1") << i;
    }
}

TEST_F(OpenList, TheSummaryTheLoadSumsIsTheGridsOwn)
{
    // Whole files and ranges, some of fractional length: the load sums the
    // rows as it writes them, as the status bar sums the grid.
    QList<Item> items;
    const char* ranges[][3] = {{"1", "", ""}, {"0", "10", "2.5"}, {"0", "0", "3.5"}, {"1", "", ""}, {"0", "5", "1.5"}};
    for (const auto& r : ranges) {
        Item item = FileItem(QString("s%1.wav").arg(items.size()), int(items.size()) + 1);
        item.rangeAll = r[0];
        item.start = r[1];
        item.length = r[2];
        items << item;
    }
    WriteList("L", items);
    Main();
    ASSERT_EQ(Rows(), 5);
    const QString loaded = Main()->StatusPanelText("Items List Properties");
    EXPECT_TRUE(loaded.startsWith("5 Items, ")) << loaded.toStdString();
    Main()->DisplayGridInfoStatusBar();
    EXPECT_EQ(loaded, Main()->StatusPanelText("Items List Properties"));
}

TEST_F(OpenList, LengthsAreRoundedHalfToEven)
{
    const QString dir = MediaDir();
    UseFakeReader({{dir + "a.wav", FakeFile(1500)}, {dir + "b.wav", FakeFile(2500)}, {dir + "c.wav", FakeFile(3500)}});
    WriteList("L", {ItemOf("a", dir + "a.wav"), ItemOf("b", dir + "b.wav"), ItemOf("c", dir + "c.wav")});
    Main();
    EXPECT_EQ(Column("Time"), QStringList({"00:00:02", "00:00:02", "00:00:04"}));
}

TEST_F(OpenList, ADayOrMoreKeepsItsHoursInTheTimeAndTheTotals)
{
    const struct {
        int lengthMs;
        const char* time;
    } cases[] = {
        {86'399'000, "23:59:59"},
        {86'400'000, "24:00:00"},
        {90'062'000, "25:01:02"},
        {360'000'000, "100:00:00"},
    };
    QMap<QString, FakeAudioConverter::File> files;
    QList<Item> items;
    for (const auto& c : cases) {
        const QString path = MediaDir() + QString("long%1.wav").arg(items.size());
        files[path] = FakeFile(c.lengthMs);
        items << ItemOf(GetFileName(path), path);
    }
    UseFakeReader(files);
    WriteList("L", items);
    Main();
    QStringList times;
    for (const auto& c : cases) times << c.time;
    EXPECT_EQ(Column("Time"), times);
    const int total = 86'399 + 86'400 + 90'062 + 360'000;
    EXPECT_EQ(Main()->GetTotalTime(), QString::number(total));
    EXPECT_EQ(Main()->GetTotalTime(true), QString::number(total));
    EXPECT_TRUE(Main()->StatusPanelText("Items List Properties").endsWith(", 173:01:01"))
        << Main()->StatusPanelText("Items List Properties").toStdString();
    Main()->cGrid1->SetSelectedRow(3);
    Main()->GetFileInfoToGridInfo();
    EXPECT_EQ(Main()->cGridInfo->CellText(2, 2).toString(), "25:01:02");
}

TEST_F(OpenList, MarkAndTypeBecomeIcons)
{
    QList<Item> items;
    for (auto [inc, type] : {std::pair{"1", "Audio"}, {"0", "Data"}, {"0", "audio"}}) {
        Item item = FileItem(QString("t%1.wav").arg(items.size()));
        item.inc = inc;
        item.type = type;
        items << item;
    }
    WriteList("L", items);
    Main();
    EXPECT_EQ(QList<int>({Icon(1, "Inc"), Icon(2, "Inc"), Icon(3, "Inc")}), QList<int>({1, 0, 0}));
    EXPECT_EQ(QList<int>({Icon(1, "Type"), Icon(2, "Type"), Icon(3, "Type")}), QList<int>({3, 4, 0}));
}

TEST_F(OpenList, TagsComeFromTheFileOrFromTheList)
{
    const QString path = MediaDir() + "t.wav";
    FakeAudioConverter::File file = FakeFile(1000);
    file.artist = "File artist";
    file.title = "File title";
    UseFakeReader({{path, file}});
    Item item = ItemOf("t", path);
    item.artist = "List artist";
    item.year = "2001";
    WriteList("L", {item});

    for (bool fromFile : {false, true}) {
        g_bCopyID3FromSource = fromFile;
        Open("L");
        EXPECT_EQ(Cell(1, "COL_TAG_ARTIST"), fromFile ? "File artist" : "List artist");
        EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), fromFile ? "File title" : "");
        EXPECT_EQ(Cell(1, "COL_TAG_YEAR"), fromFile ? "" : "2001");
    }
}

TEST_F(OpenList, TheFirstOrTheLastRowIsSelected)
{
    WriteList("L", {FileItem("a.wav"), FileItem("b.wav"), FileItem("c.wav")});
    for (bool last : {false, true}) {
        g_bSelectTheLastItem = last;
        Open("L");
        EXPECT_EQ(Main()->cGrid1->SelectedRow(), last ? 3 : 1);
        EXPECT_TRUE(Main()->picEmptyMsg->isHidden());
        EXPECT_EQ(Main()->StatusPanelText("Main"), "Ready.");
    }
}

TEST_F(OpenList, EmptyFilesOpenAsEmptyListsWithTheNotice)
{
    WriteBytes(ListPath("A"), "");
    WriteBytes(ListPath("B"), "\r\n");
    const Item gone = FileItem("gone.wav");
    WriteList("C", {gone});
    QFile::remove(gone.file);
    for (const char* name : {"A", "B", "C"}) {
        Open(name);
        EXPECT_EQ(Rows(), 0) << name;
        EXPECT_FALSE(Main()->picEmptyMsg->isHidden()) << name;
        EXPECT_EQ(Main()->lblAddorDrag->text(), "Add or Drag and Drop audio items to here.");
        EXPECT_EQ(Main()->lblListName->text(), name);
    }
    EXPECT_TRUE(ReadBytes(ListPath("C")).contains("gone.wav"));
}

TEST_F(OpenList, ARootEmptiesTheGridAndKeepsTheLabel)
{
    WriteList("L", {FileItem("a.wav")});
    Main()->cTreeView1_NodeClick(Main()->g_nodMainItems);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Main()->lblListName->text(), "L");
    EXPECT_TRUE(Main()->picEmptyMsg->isHidden());
}

TEST_F(OpenList, NothingOpensWhileAListLoads)
{
    WriteList("A", {FileItem("a.wav")});
    WriteList("B", {});
    Main()->prgStatus->SetVisible(true);
    Open("B");
    EXPECT_EQ(Main()->lblListName->text(), "A");
    EXPECT_EQ(Rows(), 1);
    Main()->prgStatus->SetVisible(false);
    Open("B");
    EXPECT_EQ(Main()->lblListName->text(), "B");
}

} // namespace

TEST_F(OpenList, AListThatCannotBeSavedIsReported)
{
    WriteList("L", {FileItem("song.wav", 1)});
    Main();
    ASSERT_EQ(Rows(), 1);
    // The list's folder disappears behind the program's back.
    QDir(ListsDir()).removeRecursively();
    msgBox->Expect("The items list could not be saved:", platform::vbOK);
    Main()->SaveGridToFile();
    EXPECT_EQ(msgBox->shown.size(), 1u);
}
