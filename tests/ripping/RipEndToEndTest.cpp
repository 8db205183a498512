// The CD tools from end to end on the real CD ripper control, with a generated
// BIN/CUE image as the drive: the tree shows the drive, its node lists the
// tracks, and the main window's "Audio CD Ripper" command rips every audio
// track to WAV, OGG and MP3.
#include "RipperFixture.h"

#include "controls/cd/CDRipperTestSupport.h"
#include "controls/cd/AudioCD.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "ripping/frmCDRipper.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "support/CdImage.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class RipEndToEnd : public riptest::CdImageTest {
protected:
    QString Out(const QString& format) const { return QDir::cleanPath(ProgramFolder() + "/../ripped") + "/" + format + "/"; }

    // The command on the open CD node, ripping to the format into Out(format) as "[123].<ext>".
    void Rip(const QString& format, const QString& formatText)
    {
        QDir().mkpath(Out(format));
        const QStringList log = RipWith([&](CfrmCDRipper* w) {
            w->txtToPath->setEditText(Out(format));
            w->cboTargetFormat->setCurrentText(formatText);
            w->cboFileName->setEditable(true);
            w->cboFileName->setEditText("[123].[dest_extension]");
        });
        EXPECT_EQ(modal->shown.count("g_frmCDRipper"), ++rips);
        EXPECT_TRUE(log.filter("Error").isEmpty()) << log.join('\n').toStdString();
        EXPECT_EQ(log.filter("Start to rip:").size(), 3) << "the data track is not ripped";
        EXPECT_TRUE(QDir(Out(format)).entryList(QDir::Files | QDir::Hidden).size() == 3)
            << QDir(Out(format)).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
    }

    int rips = 0;
};

TEST_F(RipEndToEnd, TheImageIsListedAndEveryAudioTrackRippedToWavOggAndMp3)
{
    // The tree shows the drive; its node lists the tracks with their lengths.
    ASSERT_NE(main->g_nodMainCDs, nullptr);
    ASSERT_EQ(main->g_nodMainCDs->Child()->Count(), 1);
    cTreeNode* drive = main->g_nodMainCDs->Child()->Item(1);
    EXPECT_EQ(drive->Text(), "D:");
    EXPECT_EQ(drive->Key(), "##CDD: " + image.cue);
    main->cTreeView1_NodeClick(drive);
    cGrid* g = main->cGrid1;
    ASSERT_EQ(g->Rows(), 4);
    const char* times[] = {"00:00:03", "00:00:04", "00:00:02", "00:00:02"};
    for (int row = 1; row <= 4; ++row) {
        const bool audio = row <= 3;
        EXPECT_EQ(g->CellText(row, kColTime).toString(), times[row - 1]) << row;
        EXPECT_EQ(g->CellIconIndex(row, kColInc), audio ? kIconMarked : kIconUnmarked) << row;
        EXPECT_EQ(g->CellIconIndex(row, kColType), audio ? 3 : 4) << row;
    }
    EXPECT_TRUE(msgBox->shown.empty());

    Rip("wav", "WAV - Waveform Audio Format (*.wav)");
    Rip("ogg", "OGG - Ogg Media Format (*.ogg)");
    Rip("mp3", "MP3 - MPEG-1 Audio Layer 3 (*.mp3)");

    for (int track = 1; track <= 3; ++track) {
        const QByteArray pcm = image.TrackBytes(track);
        const std::int64_t frames = pcm.size() / 4;
        const QString n = QString::number(track);
        // Each WAV holds the track's samples, sample for sample.
        const QByteArray wav = audiotest::WavData(Out("wav") + n + ".wav");
        EXPECT_EQ(wav.size(), pcm.size()) << track;
        EXPECT_TRUE(wav == pcm) << "track " << track << " differs from the disc";
        // The compressed ones decode to the track's length.
        const audiotest::Decoded ogg = audiotest::Decode(Out("ogg") + n + ".ogg");
        ASSERT_TRUE(ogg.ok) << track;
        EXPECT_EQ(ogg.codec, "vorbis");
        EXPECT_EQ(ogg.samples, frames) << "ogg track " << track;
        const audiotest::Decoded mp3 = audiotest::Decode(Out("mp3") + n + ".mp3");
        ASSERT_TRUE(mp3.ok) << track;
        EXPECT_EQ(mp3.codec, "mp3");
        // Without the encoder's header frame the decoder keeps its delay and padding: whole frames.
        EXPECT_EQ(mp3.sampleRate, 44100);
        EXPECT_NEAR(double(mp3.samples), double(frames), 1152 * 2) << "mp3 track " << track;
    }
}

} // namespace
