// The Audio CD Maker from end to end on the real controls: start the program,
// add a WAV, an MP3 and an OGG file, mark them, "Audio CD Maker", Burn onto the
// image writer; the BIN/CUE image read back through libcdio and ripped back
// through the CD ripper control.
#include "burning/frmCDBurner.h"
#include "controls/cd/AudioCD.h"
#include "controls/burn/AudioCDBurner.h"
#include "controls/burn/BurnerTestSupport.h"
#include "controls/cd/CDRipperTestSupport.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "ripping/frmCDRipper.h"
#include "settings/StoredControls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

using namespace burntest;

constexpr int kSectorBytes = 2352;

class CDBurnerEndToEnd : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
        lAppIncAudioBurner = 1;
        SetAudioBurnerFactory({});
        SetAudioConverterFactory({});
        SetAudioCDRipperFactory({});
        cSysTray::SetAvailableOverride(1);
        SeedRegistry();
        QDir().mkpath(Folder());
        // The image writer, after whatever drives the machine has.
        qputenv("TARVELLO_AUDIO_CD_IMAGE", Cue().toLocal8Bit());
    }
    void TearDown() override
    {
        qunsetenv("TARVELLO_AUDIO_CD_IMAGE");
        SetCDDriveImages(std::nullopt);
        cSysTray::SetAvailableOverride(-1);
        ProgramFixture::TearDown();
        SetEditionModes();
    }
    QString Folder() const { return QDir::cleanPath(ProgramFolder() + "/../cd"); }
    QString Cue() const { return Folder() + "/audio.cue"; }
    QString Source(const QString& name) const { return Folder() + "/" + name; }

    QString Wav(const QString& name, double seconds, double frequency)
    {
        audiotest::Signal s;
        s.frequency = frequency;
        audiotest::WriteWav(Source(name), 44100, 2, 16, seconds, s);
        return Source(name);
    }
    QString Compressed(const QString& name, std::int32_t format, double seconds, double frequency)
    {
        burntest::EncodeTestSource(Wav(name + ".wav", seconds, frequency), Source(name), format);
        return Source(name);
    }
    static QStringList LogMessages(const QPlainTextEdit* log)
    {
        QStringList messages;
        static const QRegularExpression stamp("^[^A-Za-z]*(AM|PM)?:");
        for (const QString& line : log->toPlainText().split('\n', Qt::SkipEmptyParts))
            messages << QString(line).remove(stamp);
        return messages;
    }
};

TEST_F(CDBurnerEndToEnd, MarkedWavMp3AndOggRowsBurnToAnAudioCDImageThatRipsBack)
{
    if (!audiotest::HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    const QStringList sources{Wav("one.wav", 5.3, 440), Compressed("two.mp3", kDestFormatMP3, 4.6, 550),
                              Compressed("three.ogg", kDestFormatOGG, 6.15, 660)};

    // As at start-up: the settings dialogs before the main window.
    frmOptions.get();
    g_frmAudioProp.get();
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    ASSERT_NE(main->m_cMenu->IndexForKey("Audio CD Maker"), 0);
    dialogs->ExpectOpen(sources);
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Add Files"));
    ASSERT_EQ(main->cGrid1->Rows(), 3);
    main->SetAllMarked(true);

    QStringList log;
    QString count, dataSize, drive;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmCDBurner*>(window);
        ASSERT_NE(w, nullptr);
        count = w->lblFilesToConvert->text();
        dataSize = w->lblDataSize->text();
        for (QCheckBox* box : {w->chkPlaySound, w->chkOpenDestFolder, w->chkNoticeApp, w->chkTurnOffComputer,
                               w->chkOpenCDdrive})
            SetCheckValue(box, 0);
        const int writer = w->cboDrv->findText(Cue(), Qt::MatchEndsWith);
        ASSERT_GE(writer, 0);
        w->cboDrv->setCurrentIndex(writer);
        drive = w->cboDrv->currentText();
        EXPECT_EQ(w->lblState->text(), "OK - Ready to be burn.");
        EXPECT_EQ(w->lblDiskCapacity->text(), "80 Min");
        QTest::mouseClick(w->cmdConvert, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([w] { return w->cmdConvert->isEnabled() && !w->BurnCallRunning(); }, 120000));
        log = LogMessages(w->txtLog);
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Maker"));
    ASSERT_EQ(modal->shown, QStringList{"g_frmCDBurner"});
    EXPECT_FALSE(g_frmCDBurner.IsLoaded());

    EXPECT_EQ(count, "3 items to burn (0 minutes).");
    EXPECT_EQ(dataSize, "Data Size: 3 files, 0 Min / 80 Min.");
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.first(), "Preparing to burn: 3 tracks.");
    EXPECT_EQ(log.last(), "Finished.") << log.join("\n").toStdString();
    EXPECT_EQ(log.count("Writing track..."), 3);

    // libcdio reads an audio CD of three tracks, each its source to the sector.
    const std::vector<CdTrack> tracks = ReadCdImage(Cue());
    ASSERT_EQ(tracks.size(), 3u);
    for (size_t i = 0; i < tracks.size(); ++i) {
        SCOPED_TRACE(sources[int(i)].toStdString());
        const QByteArray source = FfmpegPcm(sources[int(i)]);
        ASSERT_FALSE(source.isEmpty());
        const CdTrack& t = tracks[i];
        EXPECT_TRUE(t.audio);
        EXPECT_EQ(t.sectors, (source.size() + kSectorBytes - 1) / kSectorBytes);
        if (i == 0) {
            EXPECT_TRUE(t.pcm.startsWith(source));
        } else {
            const qsizetype frame = 1152 * 4, middle = source.size() - 2 * frame;
            EXPECT_EQ(t.pcm.mid(frame, middle), source.mid(frame, middle));
        }
    }

    // The image, as the program's CD drive, rips back through the CD Ripper
    // to the same samples.
    support::UnloadAllForms();
    SetCDDriveImages(QStringList{Cue()});
    lAppIncCDRipper = 1;
    main = frmMain.get();
    WaitForOpenList();
    ASSERT_EQ(main->g_nodMainCDs->Child()->Count(), 1);
    main->cTreeView1_NodeClick(main->g_nodMainCDs->Child()->Item(1));
    ASSERT_EQ(main->cGrid1->Rows(), 3);
    main->SetAllMarked(true);
    const QString ripped = Folder() + "/ripped/";
    QDir().mkpath(ripped);
    QStringList ripLog;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmCDRipper*>(window);
        ASSERT_NE(w, nullptr);
        w->txtToPath->setEditText(ripped);
        w->cboTargetFormat->setCurrentText("WAV - Waveform Audio Format (*.wav)");
        w->cboFileName->setEditable(true);
        w->cboFileName->setEditText("[123].[dest_extension]");
        w->cmdConvert->click();
        EXPECT_TRUE(QTest::qWaitFor([w] { return w->cmdConvert->isEnabled(); }, 120000));
        ripLog = LogMessages(w->txtLog);
        w->cmdExit->click();
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Ripper"));
    EXPECT_TRUE(ripLog.filter("Error").isEmpty()) << ripLog.join("\n").toStdString();
    for (int t = 1; t <= 3; ++t) {
        const QString out = ripped + QString("%1.wav").arg(t);
        EXPECT_EQ(audiotest::WavData(out), tracks[size_t(t - 1)].pcm) << out.toStdString();
    }
}

TEST_F(CDBurnerEndToEnd, TheCommandAsksForMarkedItemsFirst)
{
    const QString source = Wav("one.wav", 1.0, 440);
    frmOptions.get();
    g_frmAudioProp.get();
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    dialogs->ExpectOpen({source});
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Add Files"));
    ASSERT_EQ(main->cGrid1->Rows(), 1);
    main->SetAllMarked(false);
    msgBox->Expect("Mark the items to burn." + QString(29, ' '));
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio CD Maker"));
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_EQ(msgBox->shown.size(), 1u);
}

} // namespace
