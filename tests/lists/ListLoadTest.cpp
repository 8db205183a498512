// Loading a list: readable, missing and damaged records give the rows and,
// after a save, the file they always gave.
#include "ListsTestSupport.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/TimeSizeText.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

using namespace liststest;

class ListLoad : public ListsTest {
protected:
    // A WAV with a LIST INFO chunk naming its title and artist.
    QString TaggedWav(const QString& name, const QByteArray& title, const QByteArray& artist)
    {
        const QString path = Wav(name, 2);
        QByteArray bytes = ReadBytes(path);
        auto sub = [](const char* id, QByteArray text) {
            text += '\0';
            if (text.size() % 2) text += '\0';
            QByteArray chunk(id);
            const quint32 size = quint32(text.size());
            for (int i = 0; i < 4; ++i) chunk += char((size >> (8 * i)) & 0xFF);
            return chunk + text;
        };
        QByteArray info = "INFO" + sub("INAM", title) + sub("IART", artist);
        QByteArray list("LIST");
        for (int i = 0; i < 4; ++i) list += char((quint32(info.size()) >> (8 * i)) & 0xFF);
        bytes += list + info;
        const quint32 riff = quint32(bytes.size() - 8);
        for (int i = 0; i < 4; ++i) bytes[4 + i] = char((riff >> (8 * i)) & 0xFF);
        WriteBytes(path, bytes);
        return path;
    }

    // Every cell of a row, as the grid holds it, in column order.
    QStringList RowCells(int row)
    {
        QStringList cells;
        cGrid* grid = Main()->cGrid1;
        for (int col = 1; col <= grid->Columns(); ++col) {
            const QVariant value = grid->CellText(row, col);
            cells << QString("%1=%2/%3").arg(grid->ColumnKey(col), value.toString()).arg(grid->CellIconIndex(row, col));
        }
        return cells;
    }

    // The cells a whole-file row of this record and file shows.
    QStringList Expected(const Item& item, const QString& time, int inc, int type, const QString& range,
                         const QString& title, const QString& artist)
    {
        const qint64 bytes = QFileInfo(item.file).size();
        const bool ranged = item.rangeAll == "0";
        return {
            "Inc=/" + QString::number(inc),
            "Type=/" + QString::number(type),
            "Item Name=" + item.name + "/-1",
            "Size=" + FormatFileSize(double(bytes)) + "/-1",
            "Time=" + time + "/-1",
            "Created=%created/-1",
            "Range=" + range + "/-1",
            "COL_FILE=" + item.file + "/-1",
            QString("COL_RANGE_ALL=") + (ranged ? "0" : "1") + "/-1",
            "COL_RANGE_START_TIME=" + (ranged ? item.start : QString()) + "/-1",
            "COL_RANGE_LENGTH_TIME=" + (ranged ? item.length : QString()) + "/-1",
            "COL_BYTES_SIZE=" + QString::number(bytes) + "/-1",
            "COL_TAG_ALBUM=" + item.album + "/-1",
            "COL_TAG_ARTIST=" + artist + "/-1",
            "COL_TAG_COMMENT=" + item.comment + "/-1",
            "COL_TAG_GEN=" + item.genre + "/-1",
            "COL_TAG_YEAR=" + item.year + "/-1",
            "COL_TAG_TITLE=" + title + "/-1",
            "COL_TAG_TRACK=" + item.track + "/-1",
            "COL_TAG_TYPED=/-1",
        };
    }

    // The row's cells with the creation date checked and left out.
    QStringList Checked(int row)
    {
        QStringList cells = RowCells(row);
        const QDateTime created = Main()->cGrid1->CellText(row, "Created").toDateTime();
        EXPECT_EQ(created, GetFileCreatedDate(Cell(row, "COL_FILE"))) << row;
        cells[5] = "Created=%created/-1";
        return cells;
    }
};

TEST_F(ListLoad, MixedRecordsGiveTheRowsAndTheFileTheyAlwaysGave)
{
    Item plain = FileItem("plain.wav", 3);
    plain.album = "Album";
    plain.artist = "List artist";
    plain.year = "1999";
    Item ranged = FileItem("ranged.wav", 2);
    ranged.inc = "0";
    ranged.type = "Data";
    ranged.rangeAll = "0";
    ranged.start = "60";
    ranged.length = "30.5";
    Item tagged = ItemOf("tagged", TaggedWav("tagged.wav", "File title", "File artist"));
    tagged.title = "List title";
    const Item missing = ItemOf("missing", MediaDir() + "missing.wav");
    const Item hidden = FileItem(".hidden.wav");
    Item broken = ItemOf("broken", MediaDir() + "broken.wav");
    WriteBytes(broken.file, "no audio here");
    const Item noFile = ItemOf("no file", "");
    Item notANumber = FileItem("nan.wav");
    notANumber.inc = "x";
    const QString unclosed = Record(FileItem("unclosed.wav")).replace("</COL_TAG_YEAR>", "");

    const QString text = "text before the records" + Record(plain) + Record(missing) + unclosed + Record(ranged) +
                         Record(hidden) + Record(broken) + Record(noFile) + Record(notANumber) + Record(tagged) +
                         "<ITEM>cut short";
    WriteBytes(ListPath("Mixed"), text.toUtf8() + "\r\n");
    // A row is always saved as "Audio", whatever its type.
    const QString saved = QString(text).replace("<Type>Data</Type>", "<Type>Audio</Type>") + "\r\n";

    for (bool fromFile : {false, true}) {
        g_bCopyID3FromSource = fromFile;
        Open("Mixed");
        ASSERT_EQ(Rows(), 3) << fromFile;
        const auto expected = [&](const Item& item, const QString& time, int inc, int type, const QString& range,
                                  const QString& title, const QString& artist) {
            QStringList cells = Expected(item, time, inc, type, range, fromFile ? title : item.title,
                                         fromFile ? artist : item.artist);
            if (fromFile)
                for (int i = 12; i < 19; ++i)
                    if (i != 13 && i != 17) cells[i] = cells[i].section('=', 0, 0) + "=/-1";
            return cells;
        };
        EXPECT_EQ(Checked(1), expected(plain, "00:00:03", 1, 3, "All", "", "")) << fromFile;
        EXPECT_EQ(Checked(2), expected(ranged, "00:00:02", 0, fromFile ? 3 : 4, "00:01:00 - 00:01:30", "", ""))
            << fromFile;
        EXPECT_EQ(Checked(3), expected(tagged, "00:00:02", 1, 3, "All", "File title", "File artist")) << fromFile;

        Main()->SaveGridToFile();
        if (fromFile) {
            // The file's tags replace the stored ones, everything else stays.
            QString changed = saved;
            changed.replace("<COL_TAG_ALBUM>Album</COL_TAG_ALBUM><COL_TAG_ARTIST>List artist</COL_TAG_ARTIST>",
                            "<COL_TAG_ALBUM></COL_TAG_ALBUM><COL_TAG_ARTIST></COL_TAG_ARTIST>")
                .replace("<COL_TAG_YEAR>1999</COL_TAG_YEAR>", "<COL_TAG_YEAR></COL_TAG_YEAR>")
                .replace("<COL_TAG_ARTIST></COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN>"
                         "</COL_TAG_GEN><COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE>List title",
                         "<COL_TAG_ARTIST>File artist</COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN>"
                         "</COL_TAG_GEN><COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE>File title");
            EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("Mixed"))), changed);
        } else {
            EXPECT_EQ(QString::fromUtf8(ReadBytes(ListPath("Mixed"))), saved);
        }
    }
}

// A list "L" of files the scripted reader reads, the first held at a gate
// until the test opens it, and an empty list "A" that opens at start.
class GatedListLoad : public ListLoad {
protected:
    void SetUpGatedList(int count)
    {
        gate = std::make_shared<support::ReadGate>();
        QList<Item> items;
        for (int i = 0; i < count; ++i) {
            const QString path = MediaDir() + QString("f%1.wav").arg(i);
            FakeAudioConverter::File file = FakeFile((i + 1) * 1000);
            if (i == 0) file.gate = gate;
            files[path] = file;
            WriteBytes(path, "read by the scripted reader");
            paths << path;
            items << ItemOf(GetFileName(path), path);
        }
        SetAudioConverterFactory([this] {
            auto fake = std::make_unique<FakeAudioConverter>();
            for (auto it = files.begin(); it != files.end(); ++it) fake->AddFile(it.key(), it.value());
            return fake;
        });
        WriteBytes(ListPath("A"), "");
        WriteList("L", items);
        ASSERT_EQ(Main()->lblListName->text(), "A");
        FakeAudioConverter::ClearOpened();
    }
    // Starts opening "L" and waits until every file but the first has been read.
    void StartOpeningHeldList()
    {
        Main()->cTreeView1_NodeClick(ListNode("L"));
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return gate->Reached() && FakeAudioConverter::Opened().size() == paths.size() - 1; }, 60000));
        ASSERT_TRUE(frmMain->IsListLoading());
    }

    std::shared_ptr<support::ReadGate> gate;
    QMap<QString, FakeAudioConverter::File> files;
    QStringList paths;
};

TEST_F(GatedListLoad, RowsKeepTheFilesOrderWhenLaterFilesAreReadFirst)
{
    SetUpGatedList(8);
    CfrmMain* main = frmMain.get();
    StartOpeningHeldList();
    // Nothing is shown before the first file is read.
    EXPECT_EQ(main->cGrid1->Rows(), 0);
    EXPECT_TRUE(main->prgStatus->Visible());
    EXPECT_EQ(main->prgStatus->Max(), 8);

    gate->Open();
    WaitForOpenList();
    EXPECT_EQ(FakeAudioConverter::Opened().last(), paths.first());
    EXPECT_EQ(Column("COL_FILE"), paths);
    EXPECT_EQ(Column("Time"), QStringList({"00:00:01", "00:00:02", "00:00:03", "00:00:04", "00:00:05", "00:00:06",
                                           "00:00:07", "00:00:08"}));
    EXPECT_FALSE(main->prgStatus->Visible());
    EXPECT_TRUE(main->cTreeView1->Enabled());
    EXPECT_EQ(main->StatusPanelText("Main"), "Ready.");
}

TEST_F(GatedListLoad, WhileAListOpensOtherNodesStayShutAndListCommandsWait)
{
    SetUpGatedList(4);
    CfrmMain* main = frmMain.get();
    StartOpeningHeldList();
    const QByteArray stored = ReadBytes(ListPath("L"));

    main->cTreeView1_NodeClick(ListNode("A"));
    EXPECT_EQ(main->lblListName->text(), "L");
    EXPECT_FALSE(main->cTreeView1->Enabled());
    // The grid is not drawn half filled, whatever the user does on it.
    emit main->cGrid1->RedrawRequest(0);
    EXPECT_FALSE(main->cGrid1->Redraw());

    // A list command and a file drop wait for the list; a save writes nothing yet.
    const QString dropped = MediaDir() + "dropped.wav";
    files[dropped] = FakeFile(9000);
    WriteBytes(dropped, "read by the scripted reader");
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("MarkUnmark All"));
    main->cGrid1_OLEDragDrop({dropped}, 1, 1, 0, 5, 5);
    main->SaveGridToFile();
    QCoreApplication::processEvents();
    EXPECT_EQ(ReadBytes(ListPath("L")), stored);
    EXPECT_EQ(main->cGrid1->Rows(), 0);

    gate->Open();
    WaitForOpenList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadBytes(ListPath("L")).count("<ITEM>") == 5; }, 60000));
    // In the order they came: every row unmarked, then the dropped file added (marked).
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<Inc>0</Inc>"), 4);
    EXPECT_EQ(Column("COL_FILE"), paths + QStringList{dropped});
    EXPECT_EQ(QList<int>({Icon(1, "Inc"), Icon(4, "Inc"), Icon(5, "Inc")}), QList<int>({0, 0, 1}));
    EXPECT_TRUE(main->cGrid1->Redraw());
}

TEST_F(GatedListLoad, TheListThatIsOpeningKeepsItsName)
{
    SetUpGatedList(3);
    CfrmMain* main = frmMain.get();
    StartOpeningHeldList();
    msgBox->Expect("The Items List 'L' is still opening. Rename it once it has opened.");
    EXPECT_FALSE(main->MoveListFile(ListNode("L"), ListPath("Renamed")));
    EXPECT_TRUE(QFile::exists(ListPath("L")));
    EXPECT_FALSE(QFile::exists(ListPath("Renamed")));
    gate->Open();
    WaitForOpenList();
    EXPECT_TRUE(main->MoveListFile(ListNode("L"), ListPath("Renamed")));
    EXPECT_TRUE(QFile::exists(ListPath("Renamed")));
}

TEST_F(GatedListLoad, FilesAddedByAnotherWindowWhileAListOpensFollowItsRows)
{
    SetUpGatedList(3);
    CfrmMain* main = frmMain.get();
    StartOpeningHeldList();
    const QString recorded = MediaDir() + "recorded.wav";
    files[recorded] = FakeFile(4000);
    WriteBytes(recorded, "read by the scripted reader");
    // The adding waits for the list; the first file's reading ends meanwhile.
    QTimer::singleShot(0, main, [this] { gate->Open(); });
    g_frmStat->AddFilesToList({recorded}, main->cGrid1, main);
    EXPECT_FALSE(main->IsListLoading());
    EXPECT_EQ(Column("COL_FILE"), paths + QStringList{recorded});
}

TEST_F(GatedListLoad, ClosingWhileAListOpensLeavesItsFileUntouched)
{
    SetUpGatedList(6);
    g_bClearOnExit = true;
    CfrmMain* main = frmMain.get();
    StartOpeningHeldList();
    const QByteArray stored = ReadBytes(ListPath("L"));
    // The first file's reading ends as the window closes: its row is never written.
    gate->Open();
    ASSERT_TRUE(main->Unload());
    EXPECT_EQ(main->cGrid1->Rows(), 0);
    ProcessEvents();
    EXPECT_FALSE(frmMain.IsLoaded());
    EXPECT_EQ(ReadBytes(ListPath("L")), stored);
}

} // namespace
