// Adding files: the open dialog and drops, which files become rows, the
// cells and tags of a new row, Cancel, and the open list kept while adding.
#include "ListsTestSupport.h"

#include "support/FakeAudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

using namespace liststest;

class AddFiles : public ListsTest {
protected:
    // Opens an empty list "L" in the main window.
    void OpenEmptyList()
    {
        WriteBytes(ListPath("L"), "");
        Main();
        ASSERT_EQ(Main()->lblListName->text(), "L");
    }
    // Adds the files through the open dialog.
    void AddThroughDialog(const QStringList& paths)
    {
        dialogs->ExpectOpen(paths);
        Main()->AddFiles();
    }
    // The scripted reader reads the files, 1 s, 2 s and so on, holding the
    // reading of the file at `held` until the test opens the gate.
    void UseHeldFiles(const QStringList& paths, int held)
    {
        gate = std::make_shared<support::ReadGate>();
        for (int i = 0; i < paths.size(); ++i) {
            FakeAudioConverter::File file = FakeFile((i + 1) * 1000);
            if (i == held) file.gate = gate;
            m_files[paths[i]] = file;
            WriteBytes(paths[i], "read by the scripted reader");
        }
        SetAudioConverterFactory([this] {
            auto fake = std::make_unique<FakeAudioConverter>();
            for (auto it = m_files.begin(); it != m_files.end(); ++it) fake->AddFile(it.key(), it.value());
            return fake;
        });
        FakeAudioConverter::ClearOpened();
    }
    // Once, while files are being added: `act` as soon as `ready` holds.
    void WhileAdding(std::function<bool()> ready, std::function<void()> act)
    {
        auto* poll = new QTimer(Main());
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, act] {
            if (!ready()) return;
            poll->stop();
            act();
            poll->deleteLater();
        });
        poll->start();
    }

    std::shared_ptr<support::ReadGate> gate;

private:
    QMap<QString, FakeAudioConverter::File> m_files;
};

TEST_F(AddFiles, SupportedAudioFilesBecomeRowsAndOthersAreLeftOut)
{
    OpenEmptyList();
    const QString good = Wav("good.wav"), upper = Wav("LOUD.WAV"), noExtension = Wav("noextension");
    const QString text = MediaDir() + "notes.txt", empty = MediaDir() + "empty.wav", broken = MediaDir() + "broken.wav",
                  partial = MediaDir() + "part.mp";
    WriteBytes(text, "text");
    WriteBytes(empty, "");
    WriteBytes(broken, "this is no audio");
    WriteBytes(partial, "mp is part of mp3");
    QDir().mkpath(MediaDir() + "folder.wav");
    msgBox->Expect("Cannot add " + broken);

    AddThroughDialog({good, text, empty, broken, MediaDir() + "folder.wav", noExtension, partial, upper});
    EXPECT_EQ(Column("Item Name"), QStringList({"good.wav", "LOUD.WAV"}));
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].text, "Cannot add " + broken);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 2);

    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_EQ(dialogs->openRequests[0].title, "Add audio files");
    EXPECT_TRUE(dialogs->openRequests[0].multiSelect);
}

TEST_F(AddFiles, ANewRowIsMarkedWholeAndDescribesItsFile)
{
    OpenEmptyList();
    const QString path = Wav("a:b.wav", 2);
    AddThroughDialog({path});
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Icon(1, "Inc"), 1);
    EXPECT_EQ(Icon(1, "Type"), 3);
    EXPECT_EQ(Cell(1, "Item Name"), "ab.wav");
    EXPECT_EQ(Cell(1, "COL_FILE"), path);
    EXPECT_EQ(Cell(1, "Time"), "00:00:02");
    EXPECT_EQ(Cell(1, "Range"), "All");
    EXPECT_EQ(Cell(1, "COL_RANGE_ALL"), "1");
    EXPECT_EQ(Cell(1, "COL_RANGE_START_TIME"), "");
    EXPECT_EQ(Main()->cGrid1->CellText(1, "COL_BYTES_SIZE").toLongLong(), QFileInfo(path).size());
    EXPECT_TRUE(Main()->picEmptyMsg->isHidden());
    EXPECT_EQ(Main()->StatusPanelText("Main"), "Ready.");
    EXPECT_TRUE(Main()->StatusPanelText("Items List Properties").startsWith("1 Items, "));
    EXPECT_EQ(Main()->cGrid1->SelectedCol(), 2);
}

TEST_F(AddFiles, TheExtensionMustBeASupportedOneExactly)
{
    struct Case {
        const char* name;
        bool supported;
    } cases[] = {{"a.wav", true},  {"a.WAV", true},  {"b.mp3", true},  {"c.ogg", true}, {"d.wma", true},
                 {"e.acm", true},  {"f.mp", false},  {"g", false},      {"h.wav.txt", false},
                 {"i.a", false},   {"j.", false},    {"k.flac", false}, {"dir.wav/x", false}};
    for (const Case& c : cases) EXPECT_EQ(CfrmStat::SupportAudioFile(c.name), c.supported) << c.name;
}

TEST_F(AddFiles, TheItemNameLosesTheFirstOfEachForbiddenCharacter)
{
    EXPECT_EQ(CfrmStat::getLegaName("a:b?c<d>e\\f/g*h|i.wav"), "abcdefghi.wav");
    EXPECT_EQ(CfrmStat::getLegaName("a::b??.wav"), "a:b?.wav");
    EXPECT_EQ(CfrmStat::getLegaName("plain.wav"), "plain.wav");
}

TEST_F(AddFiles, TagsComeFromTheFileOrFromTheDefaults)
{
    OpenEmptyList();
    const QString path = MediaDir() + "tagged.wav";
    WriteBytes(path, "read by the scripted reader");
    SetAudioConverterFactory([path] {
        auto fake = std::make_unique<FakeAudioConverter>();
        FakeAudioConverter::File file = FakeFile(61000);
        file.artist = "Artist";
        file.album = "Album";
        file.track = "4";
        fake->AddFile(path, file);
        return fake;
    });
    g_sTagArtist = "%artist% (default)";
    g_sTagSong = "Default title";

    g_bCopyID3FromSource = true;
    AddThroughDialog({path});
    g_bCopyID3FromSource = false;
    AddThroughDialog({path});
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, "Time"), "00:01:01");
    EXPECT_EQ(QStringList({Cell(1, "COL_TAG_ARTIST"), Cell(1, "COL_TAG_ALBUM"), Cell(1, "COL_TAG_TRACK"),
                           Cell(1, "COL_TAG_TITLE")}),
              QStringList({"Artist", "Album", "4", ""}));
    EXPECT_EQ(QStringList({Cell(2, "COL_TAG_ARTIST"), Cell(2, "COL_TAG_ALBUM"), Cell(2, "COL_TAG_TITLE")}),
              QStringList({"%artist% (default)", "", "Default title"}));
}

TEST_F(AddFiles, CancelKeepsAndSavesTheRowsAddedSoFar)
{
    OpenEmptyList();
    const QStringList paths = {MediaDir() + "1.wav", MediaDir() + "2.wav", MediaDir() + "3.wav"};
    UseHeldFiles(paths, 1);
    // Cancel is pressed once the first row is in and the second file is being read.
    bool rowsAtCancel = -1;
    WhileAdding([&] { return Main()->cGrid1->Rows() == 1 && gate->Reached(); },
                [&] {
                    rowsAtCancel = Main()->cGrid1->Rows();
                    gate->Open();
                    g_frmStat->cmdCancel_Click();
                });
    AddThroughDialog(paths);
    EXPECT_EQ(rowsAtCancel, 1);
    EXPECT_EQ(Column("Item Name"), QStringList({"1.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 1);
    EXPECT_EQ(Main()->cGrid1->SelectedRow(), 1);
    EXPECT_FALSE(g_frmStat.IsLoaded());
}

// Esc in the adding window cancels as its Cancel button does.
TEST_F(AddFiles, EscInTheAddingWindowCancelsTheRest)
{
    OpenEmptyList();
    const QStringList paths = {MediaDir() + "1.wav", MediaDir() + "2.wav", MediaDir() + "3.wav"};
    UseHeldFiles(paths, 1);
    bool escaped = false;
    WhileAdding([&] { return Main()->cGrid1->Rows() == 1 && gate->Reached(); },
                [&] {
                    gate->Open();
                    CfrmStat* adding = g_frmStat.Peek();
                    ASSERT_NE(adding, nullptr);
                    EXPECT_TRUE(adding->isVisible());
                    QWidget* focus = adding->focusWidget();
                    QTest::keyClick(focus ? focus : adding, Qt::Key_Escape);
                    escaped = true;
                });
    AddThroughDialog(paths);
    EXPECT_TRUE(escaped);
    EXPECT_EQ(Column("Item Name"), QStringList({"1.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 1);
    EXPECT_FALSE(g_frmStat.IsLoaded());
}

TEST_F(AddFiles, RowsKeepTheOrderOfTheChosenFilesWhenLaterOnesAreReadFirst)
{
    OpenEmptyList();
    const QStringList paths = {MediaDir() + "1.wav", MediaDir() + "2.wav", MediaDir() + "3.wav",
                               MediaDir() + "4.wav", MediaDir() + "5.wav"};
    UseHeldFiles(paths, 0);
    // A file the reader cannot open is reported in its turn.
    const QString refused = MediaDir() + "refused.wav";
    WriteBytes(refused, "not audio");
    msgBox->Expect("Cannot add " + refused);
    int rowsWhileHeld = -1;
    WhileAdding([&] { return gate->Reached() && FakeAudioConverter::Opened().size() == paths.size() - 1; },
                [&] {
                    rowsWhileHeld = Main()->cGrid1->Rows();
                    gate->Open();
                });
    AddThroughDialog({paths[0], paths[1], refused, paths[2], paths[3], paths[4]});
    EXPECT_EQ(rowsWhileHeld, 0);
    EXPECT_EQ(FakeAudioConverter::Opened().last(), paths[0]);
    EXPECT_EQ(Column("COL_FILE"), paths);
    EXPECT_EQ(Column("Time"), QStringList({"00:00:01", "00:00:02", "00:00:03", "00:00:04", "00:00:05"}));
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 5);
}

TEST_F(AddFiles, TheSameFileCanBeAddedTwiceAndTheLastRowIsSelected)
{
    OpenEmptyList();
    g_bSelectTheLastItem = true;
    const QString path = Wav("twice.wav");
    AddThroughDialog({path, path});
    EXPECT_EQ(Column("COL_FILE"), QStringList({path, path}));
    EXPECT_EQ(Main()->cGrid1->SelectedRow(), 2);
}

TEST_F(AddFiles, ACancelledDialogAddsNothing)
{
    OpenEmptyList();
    AddThroughDialog({});
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ReadBytes(ListPath("L")), QByteArray());
}

TEST_F(AddFiles, WhenEveryFileIsRefusedTheListStaysEmptyWithItsNotice)
{
    OpenEmptyList();
    const QString broken = MediaDir() + "broken.wav";
    WriteBytes(broken, "no audio");
    msgBox->Expect("Cannot add " + broken);
    AddThroughDialog({broken});
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(Main()->picEmptyMsg->isHidden());
}

TEST_F(AddFiles, DroppedFilesJoinTheOpenListOnly)
{
    OpenEmptyList();
    const QString good = Wav("dropped.wav");
    WriteBytes(MediaDir() + "zero.wav", "");
    QDir().mkpath(MediaDir() + "sub");
    Main()->cGrid1_OLEDragDrop({good, MediaDir() + "zero.wav", MediaDir() + "sub"}, 1, 1, 0, 5, 5);
    EXPECT_EQ(Column("Item Name"), QStringList({"dropped.wav"}));
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 1);

    // On the root nothing is added.
    Main()->cTreeView1_NodeClick(Main()->g_nodMainItems);
    Main()->cGrid1_OLEDragDrop({good}, 1, 1, 0, 5, 5);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ReadBytes(ListPath("L")).count("<ITEM>"), 1);
}

TEST_F(AddFiles, TheEmptyListNoticeTakesDropsForTheGrid)
{
    OpenEmptyList();
    const QString path = Wav("onto notice.wav");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Main()->lblAddorDrag, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Main()->lblAddorDrag, &drop);
    EXPECT_EQ(Column("COL_FILE"), QStringList({path}));
}

TEST_F(AddFiles, WhileAddingTheOpenListStays)
{
    WriteBytes(ListPath("A"), "");
    WriteBytes(ListPath("B"), "");
    Main();
    ASSERT_EQ(Main()->lblListName->text(), "A");
    bool treeEnabled = true;
    QMetaObject::invokeMethod(
        Main(),
        [&] {
            treeEnabled = Main()->cTreeView1->Enabled();
            Open("B");
            Main()->NewItemsList();
        },
        Qt::QueuedConnection);
    AddThroughDialog({Wav("1.wav"), Wav("2.wav")});
    EXPECT_FALSE(treeEnabled);
    EXPECT_TRUE(Main()->cTreeView1->Enabled());
    EXPECT_EQ(Main()->lblListName->text(), "A");
    EXPECT_EQ(ReadBytes(ListPath("A")).count("<ITEM>"), 2);
    EXPECT_EQ(ReadBytes(ListPath("B")), QByteArray());
    EXPECT_FALSE(QFile::exists(ListPath("New Items List 1")));
}

} // namespace
