// The CD database lookup from end to end: a generated BIN/CUE image as the
// drive, the real CD ripper and lookup controls, and a CDDB server of the
// test's own on 127.0.0.1. Listing the CD starts the lookup by itself; the
// rows and the node take the entry's names, and the ripper names its outputs
// and their folder after them.
#include "RipperFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "controls/cd/CDRipperTestSupport.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "ripping/frmFreeDB.h"
#include "settings/mdlOptions.h"
#include "support/FakeCddbServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

using support::FakeCddbServer;

class FreeDBEndToEnd : public riptest::CdImageTest {
protected:
    void TearDown() override
    {
        CdImageTest::TearDown();
        SetFreeDBFactory({});
        g_bAutoFreeDB = false;
    }
    // The lookup controls the windows make ask this server.
    static void UseServer(const FakeCddbServer& server)
    {
        const std::uint16_t port = server.Port();
        SetFreeDBFactory([port] {
            auto control = std::make_unique<cFreeDB>();
            control->UseServer("127.0.0.1", port);
            return control;
        });
    }
    FakeCddbServer::Answers Serving(const QStringList& entry) const
    {
        const QString id = support::CddbDiscId(image);
        FakeCddbServer::Answers a;
        a.query = ("200 rock " + id + " AC/DC Tribute / Höhenflug: Live").toUtf8();
        a.read = support::CddbReadAnswer("rock", id, support::CddbDiscOf(image), entry);
        return a;
    }
    QString Cell(int row, const char* column) const { return main->cGrid1->CellText(row, column).toString(); }
    cTreeNode* Drive() const { return main->g_nodMainCDs->Child()->Item(1); }
};

TEST_F(FreeDBEndToEnd, AListedCDIsLookedUpAndTheRipperNamesItsFilesFromTheEntry)
{
    FakeCddbServer server(Serving({"DTITLE=AC/DC Tribute / Höhenflug: Live", "DYEAR=2001", "TTITLE0=Dawn",
                                   "TTITLE1=Either/Or", "TTITLE2=A title that is cut", "TTITLE2= over two lines",
                                   "TTITLE3=Data"}));
    UseServer(server);
    g_bAutoFreeDB = true;
    QStringList states;
    modal->hook = [&states](QWidget* window) {
        auto* lookup = qobject_cast<CfrmFreeDB*>(window);
        ASSERT_NE(lookup, nullptr);
        states << lookup->lblCurrentTrack->text();
        EXPECT_TRUE(QTest::qWaitFor([window] { return !window->isVisible(); }, 30000));
    };
    main->cTreeView1_NodeClick(Drive());

    EXPECT_EQ(modal->shown, QStringList{"g_frmFreeDB"});
    EXPECT_EQ(states, QStringList{QString("Connecting to 127.0.0.1...")});
    EXPECT_TRUE(msgBox->shown.empty());
    // The disc id worked out from the image's table of contents.
    EXPECT_TRUE(server.Received().contains("cddb read rock " + support::CddbDiscId(image)))
        << server.Received().join('\n').toStdString();
    ASSERT_EQ(main->cGrid1->Rows(), 4);
    const QStringList names{"Dawn.cda", "Either/Or.cda", "A title that is cut over two lines.cda", "Data.cda"};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(Cell(row, kColItemName), names[row - 1]) << row;
        EXPECT_EQ(Cell(row, kColTagArtist), "AC/DC Tribute") << row;
        EXPECT_EQ(Cell(row, kColTagAlbum), "Höhenflug: Live") << row;
    }
    EXPECT_EQ(Drive()->Text(), "AC/DC Tribute - Höhenflug: Live");
    EXPECT_EQ(main->lblListName->text(), "AC/DC Tribute - Höhenflug: Live");
    EXPECT_FALSE(g_frmFreeDB.IsLoaded());

    // The ripper's sub-folder and names come from the entry, made safe.
    const QString out = QDir::cleanPath(ProgramFolder() + "/../ripped") + "/";
    QDir().mkpath(out);
    const QStringList log = RipWith([&](CfrmCDRipper* w) {
        EXPECT_EQ(w->txtUndeForlder->text(), "AC-DC-Tribute---Höhenflug--Live");
        w->txtToPath->setEditText(out);
        w->cboTargetFormat->setCurrentText("WAV - Waveform Audio Format (*.wav)");
        w->chkCreateSubFolder->setChecked(true);
        w->cboFileName->setEditable(true);
        w->cboFileName->setEditText("[item_name].[dest_extension]");
    });
    EXPECT_TRUE(log.filter("Error").isEmpty()) << log.join('\n').toStdString();
    const QString folder = out + "AC-DC-Tribute---Höhenflug--Live/";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"A title that is cut over two lines.cda.wav", "Dawn.cda.wav", "Either-Or.cda.wav"}));
    EXPECT_TRUE(audiotest::WavData(folder + "Either-Or.cda.wav") == image.TrackBytes(2));
}

TEST_F(FreeDBEndToEnd, AnEntryWithoutAnArtistGivesItsTitleAsTheArtist)
{
    // DTITLE without " / ": the entry format takes the artist to be the title.
    FakeCddbServer server(Serving({"DTITLE=Homogenic", "TTITLE0=Hunter", "TTITLE1=J\u00f3ga", "TTITLE2=Unravel",
                                   "TTITLE3=Bachelorette"}));
    UseServer(server);
    g_bAutoFreeDB = true;
    QStringList labels;
    modal->hook = [&labels](QWidget* window) {
        auto* lookup = qobject_cast<CfrmFreeDB*>(window);
        ASSERT_NE(lookup, nullptr);
        // The artist arrives before the tracks, and the last track closes the window.
        EXPECT_TRUE(QTest::qWaitFor([&] { return lookup->lblArtist->text() != "Album Name" || !window->isVisible(); }, 30000));
        labels << lookup->lblArtist->text() << lookup->lblAlbumName->text();
        EXPECT_TRUE(QTest::qWaitFor([window] { return !window->isVisible(); }, 30000));
    };
    main->cTreeView1_NodeClick(Drive());
    EXPECT_EQ(labels, (QStringList{"Homogenic", "Homogenic"}));
    ASSERT_EQ(main->cGrid1->Rows(), 4);
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(Cell(row, kColTagArtist), "Homogenic") << row;
        EXPECT_EQ(Cell(row, kColTagAlbum), "Homogenic") << row;
    }
    EXPECT_EQ(Cell(2, kColItemName), "J\u00f3ga.cda");
    EXPECT_EQ(Drive()->Text(), "Homogenic - Homogenic");
    EXPECT_TRUE(msgBox->shown.empty());
}

// The tags of a file as ffprobe reads them: "title=...", "track=...".
QStringList ProbeTags(const QString& path)
{
    const audiotest::ToolRun r = audiotest::RunTool(
        "ffprobe", {"-v", "error", "-show_entries", "format_tags=title,track,artist,album", "-of", "default=noprint_wrappers=1", path});
    QStringList tags = r.out.split('\n', Qt::SkipEmptyParts);
    for (QString& tag : tags) tag = tag.mid(tag.indexOf(':') + 1).trimmed(); // "TAG:title=x"
    tags.sort();
    return tags;
}

TEST_F(FreeDBEndToEnd, AFileRippedAfterALookupCarriesTheTitleAndTrackItFetched)
{
    if (!audiotest::HaveTool("ffprobe")) GTEST_SKIP() << "ffprobe is missing";
    FakeCddbServer server(Serving({"DTITLE=Die Band / Lieder", "TTITLE0=Erstes Lied", "TTITLE1=Zweites Lied / mit Gast",
                                   "TTITLE2=Drittes", "TTITLE3=Data"}));
    UseServer(server);
    g_bAutoFreeDB = true;
    modal->hook = [](QWidget* window) { EXPECT_TRUE(QTest::qWaitFor([window] { return !window->isVisible(); }, 30000)); };
    main->cTreeView1_NodeClick(Drive());
    ASSERT_EQ(main->cGrid1->Rows(), 4);
    // One artist's disc: the whole text is the title.
    EXPECT_EQ(Cell(2, kColItemName), "Zweites Lied / mit Gast.cda");
    EXPECT_EQ(Cell(2, kColTagArtist), "Die Band");
    EXPECT_EQ(Cell(2, kColTagTitle), "Zweites Lied / mit Gast");
    EXPECT_EQ(Cell(2, kColTagTrack), "2");

    const QString out = QDir::cleanPath(ProgramFolder() + "/../ripped") + "/";
    QDir().mkpath(out);
    const QStringList log = RipWith([&](CfrmCDRipper* w) {
        w->txtToPath->setEditText(out);
        w->cboTargetFormat->setCurrentText("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
        w->chkCreateSubFolder->setChecked(false);
        w->cboFileName->setEditable(true);
        w->cboFileName->setEditText("[123].[dest_extension]");
    });
    EXPECT_TRUE(log.filter("Error").isEmpty()) << log.join('\n').toStdString();
    const QStringList files = QDir(out).entryList({"*.mp3"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 3) << files.join(' ').toStdString();
    EXPECT_EQ(ProbeTags(out + files[1]),
              (QStringList{"album=Lieder", "artist=Die Band", "title=Zweites Lied / mit Gast", "track=2"}));
}

} // namespace
