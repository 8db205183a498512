// The Audio CD Duplicator from the main window's command on the real ripper
// and writer: a generated disc image as the source drive, copied to the audio
// CD writer's image, which libcdio then reads back track for track.
#include "DuplicatorFixture.h"

#include "controls/cd/OpticalDrives.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "support/JobWindowTesting.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cdio/cdio.h>

namespace {

using namespace duptest;

struct ReadTrack {
    bool audio = false;
    std::int64_t sectors = 0;
    QByteArray pcm;
};

// The tracks of a BIN/CUE image as libcdio reads them.
std::vector<ReadTrack> ReadImage(const QString& cue)
{
    optical::QuietLibcdio();
    std::vector<ReadTrack> tracks;
    CdIo_t* cd = cdio_open(cue.toLocal8Bit().constData(), DRIVER_BINCUE);
    if (!cd) return tracks;
    const track_t first = cdio_get_first_track_num(cd);
    const track_t count = cdio_get_num_tracks(cd);
    for (track_t t = first; t < first + count; ++t) {
        ReadTrack track;
        track.audio = cdio_get_track_format(cd, t) == TRACK_FORMAT_AUDIO;
        track.sectors = cdio_get_track_sec_count(cd, t);
        track.pcm.resize(qsizetype(track.sectors) * CDIO_CD_FRAMESIZE_RAW);
        if (cdio_read_audio_sectors(cd, track.pcm.data(), cdio_get_track_lsn(cd, t), std::uint32_t(track.sectors)) !=
            DRIVER_OP_SUCCESS)
            track.pcm.clear();
        tracks.push_back(track);
    }
    cdio_destroy(cd);
    return tracks;
}

TEST_F(DuplicatorImageTest, TheCommandCopiesTheSourceDiscToTheWritersImage)
{
    QStringList log;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmAudioCDDuplicator*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->lblCDStatus->text(), "OK: 3 CDA tracks");
        ASSERT_EQ(w->cboDrv->count(), 1);
        EXPECT_EQ(w->cboDrv->currentText(), "E: " + copyCue);
        EXPECT_EQ(w->lblState->text(), "OK - Ready to be burn.");
        EXPECT_FALSE(main->tmrCDs->isActive()) << "the main window's CD polling waits";
        EXPECT_EQ(main->cursor().shape(), Qt::WaitCursor);
        msgBox->ExpectWhile("Done.", platform::vbOK, [&] { log = w->txtLog->toPlainText().split('\n'); });
        w->cmdConvert->click();
        EXPECT_TRUE(QTest::qWaitFor([] { return !g_frmAudioCDDuplicator.IsLoaded(); }, 120000));
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Duplicator"));
    EXPECT_EQ(modal->shown, QStringList{"g_frmAudioCDDuplicator"});
    EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(log.filter("Error").isEmpty()) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("Start to rip:").size(), 3) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("Finished.").size(), 1) << log.join('\n').toStdString();
    EXPECT_FALSE(QDir(ProgramFolder() + "/duptmp").exists());

    const std::vector<ReadTrack> original = ReadImage(source.cue);
    const std::vector<ReadTrack> copy = ReadImage(copyCue);
    ASSERT_EQ(original.size(), 3u);
    ASSERT_EQ(copy.size(), original.size());
    for (size_t i = 0; i < copy.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_TRUE(copy[i].audio);
        EXPECT_EQ(copy[i].sectors, original[i].sectors);
        EXPECT_EQ(copy[i].sectors, source.tracks[i].sectors);
        ASSERT_FALSE(copy[i].pcm.isEmpty());
        EXPECT_TRUE(copy[i].pcm == original[i].pcm) << "the samples are the source's";
        EXPECT_TRUE(copy[i].pcm == source.TrackBytes(int(i + 1)));
    }
}

TEST_F(DuplicatorImageTest, OneImageAsBothTheSourceDriveAndTheWriterIsCopiedOntoItself)
{
    // The writer writes the image the source drive reads: one drive of the
    // machine that both reads and writes.
    optical::SetImageWriters(optical::ImageWriters{source.cue, QString()});
    const std::vector<ReadTrack> original = ReadImage(source.cue);
    ASSERT_EQ(original.size(), 3u);
    QStringList log;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmAudioCDDuplicator*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->lblCDStatus->text(), "OK: 3 CDA tracks");
        ASSERT_EQ(w->cboDrv->count(), 1);
        EXPECT_EQ(w->cboDevices->currentText().mid(3), w->cboDrv->currentText().mid(3)) << "the same image";
        msgBox->ExpectWhile("Done.", platform::vbOK, [&] { log = w->txtLog->toPlainText().split('\n'); });
        w->cmdConvert->click();
        EXPECT_TRUE(QTest::qWaitFor([] { return !g_frmAudioCDDuplicator.IsLoaded(); }, 120000));
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Duplicator"));
    EXPECT_EQ(modal->shown, QStringList{"g_frmAudioCDDuplicator"});
    EXPECT_TRUE(log.filter("Error").isEmpty()) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("Finished.").size(), 1) << log.join('\n').toStdString();

    const std::vector<ReadTrack> copy = ReadImage(source.cue);
    ASSERT_EQ(copy.size(), original.size());
    for (size_t i = 0; i < copy.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(copy[i].sectors, original[i].sectors);
        ASSERT_FALSE(copy[i].pcm.isEmpty());
        EXPECT_TRUE(copy[i].pcm == original[i].pcm) << "the samples are the source's";
    }
}

} // namespace
