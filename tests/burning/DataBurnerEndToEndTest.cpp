// The MP3 and WMA CD Makers from end to end on the real controls: start the
// program, add three WAV files, mark them, run the command, burn onto the
// image writer named by TARVELLO_DATA_DISC_IMAGE; the ISO image listed and
// extracted with xorriso and every file read back with ffprobe.
#include "burning/frmDataBurner3.h"
#include "controls/burn/BurnerTestSupport.h"
#include "controls/cd/OpticalDrives.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/frmMain.h"
#include "settings/StoredControls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

using namespace burntest;

class DataBurnerEndToEnd : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
        lAppIncMP3Burner = 1;
        lAppIncWMABurner = 1;
        SetAudioConverterFactory({});
        SetAudioDataBurnerFactory({});
        SetBurnerFactory({});
        cSysTray::SetAvailableOverride(1);
        SeedRegistry();
        QDir().mkpath(Folder());
        qputenv("TARVELLO_DATA_DISC_IMAGE", Iso().toLocal8Bit());
        optical::SetImageWriters(std::nullopt); // the drives are looked up again, with the variable
    }
    void TearDown() override
    {
        qunsetenv("TARVELLO_DATA_DISC_IMAGE");
        optical::SetImageWriters(std::nullopt);
        cSysTray::SetAvailableOverride(-1);
        ProgramFixture::TearDown();
        SetEditionModes();
    }
    QString Folder() const { return QDir::cleanPath(ProgramFolder() + "/../disc"); }
    QString Iso() const { return Folder() + "/data.iso"; }
    QString Wav(const QString& name, double seconds, double frequency)
    {
        audiotest::Signal s;
        s.frequency = frequency;
        audiotest::WriteWav(Folder() + "/" + name, 44100, 2, 16, seconds, s);
        return Folder() + "/" + name;
    }
    static QStringList LogMessages(const QPlainTextEdit* log)
    {
        QStringList messages;
        static const QRegularExpression stamp("^[^A-Za-z]*(AM|PM)?:");
        for (const QString& line : log->toPlainText().split('\n', Qt::SkipEmptyParts))
            messages << QString(line).remove(stamp);
        return messages;
    }
    // Runs the command onto the image writer; the window's log comes back.
    QStringList Burn(CfrmMain* main, const QString& command, bool copyOnly)
    {
        QStringList log;
        modal->hook = [&](QWidget* window) {
            auto* w = qobject_cast<CfrmDataBurner3*>(window);
            ASSERT_NE(w, nullptr);
            for (QCheckBox* box : {w->chkPlaySound, w->chkOpenDestFolder, w->chkNoticeApp, w->chkTurnOffComputer})
                SetCheckValue(box, 0);
            SetCheckValue(w->chkDoNotConvertSource, copyOnly ? 1 : 0);
            const int writer = w->cboDrv->findText(Iso(), Qt::MatchEndsWith);
            ASSERT_GE(writer, 0);
            w->cboDrv->setCurrentIndex(writer);
            msgBox->Expect("Burn CD?", platform::vbOK);
            QTest::mouseClick(w->cmdConvert, Qt::LeftButton);
            EXPECT_TRUE(QTest::qWaitFor([w] { return w->cmdConvert->isEnabled() && !w->IsBurning(); }, 120000));
            log = LogMessages(w->txtLog);
            EXPECT_TRUE(QDir(CfrmDataBurner3::GetTempFolder()).entryList(QDir::Files).isEmpty())
                << "the temporary files are erased after the burn";
            QTest::mouseClick(w->cmdExit, Qt::LeftButton);
        };
        main->m_cMenu_Click(main->m_cMenu->IndexForKey(command));
        return log;
    }
};

TEST_F(DataBurnerEndToEnd, ThreeRowsBurnAsMp3WmaAndUnchangedCopiesToAnIsoImage)
{
    if (!audiotest::HaveTool("xorriso") || !audiotest::HaveTool("ffprobe"))
        GTEST_SKIP() << "xorriso and ffprobe are needed";
    const QStringList sources{Wav("Grüße aus Köln.wav", 1.2, 440), Wav("tone two.wav", 2.0, 550),
                              Wav("drei.wav", 1.5, 660)};

    frmOptions.get();
    g_frmAudioProp.get();
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    dialogs->ExpectOpen(sources);
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Add Files"));
    ASSERT_EQ(main->cGrid1->Rows(), 3);
    main->SetAllMarked(true);

    const struct {
        const char* command;
        bool copyOnly;
        const char* extension;
        const char* codec; // the beginning of ffprobe's codec name
    } runs[] = {{"MP3 CD Maker", false, "mp3", "mp3"},
                {"WMA CD Maker", false, "wma", "wmav"},
                {"MP3 CD Maker", true, "wav", "pcm_s16le"}};
    for (const auto& run : runs) {
        SCOPED_TRACE(std::string(run.command) + (run.copyOnly ? " copy" : ""));
        QFile::remove(Iso());
        const QStringList log = Burn(main, run.command, run.copyOnly);
        ASSERT_FALSE(log.isEmpty());
        EXPECT_EQ(log.first(), "Preparing to burn: 3 tracks.");
        EXPECT_EQ(log.last(), "Done.") << log.join("\n").toStdString();
        ASSERT_TRUE(QFileInfo::exists(Iso()));

        // The Joliet names keep their letters; the volume is named after the list.
        QStringList names = IsoRootNames(Iso());
        names.sort();
        QStringList expected;
        for (const QString& s : sources) expected << QFileInfo(s).completeBaseName() + "." + run.extension;
        expected.sort();
        EXPECT_EQ(names, expected);
        EXPECT_EQ(IsoVolumeFact(Iso(), "Volume Id"), "NEW_ITEMS_LIST_1");

        const QString out = Folder() + "/extracted-" + run.extension + (run.copyOnly ? "-copy" : "");
        ASSERT_TRUE(ExtractIso(Iso(), out));
        for (const QString& source : sources) {
            const QString file = out + "/" + QFileInfo(source).completeBaseName() + "." + run.extension;
            const audiotest::Probe probe = audiotest::ProbeFile(file);
            ASSERT_TRUE(probe.ok) << file.toStdString();
            EXPECT_TRUE(probe.codec.startsWith(run.codec)) << probe.codec.toStdString() << " " << file.toStdString();
            EXPECT_NEAR(probe.duration, audiotest::ProbeFile(source).duration, 0.1) << file.toStdString();
            if (run.copyOnly) {
                EXPECT_EQ(audiotest::ReadFile(file), audiotest::ReadFile(source));
            }
            if (!run.copyOnly && QString(run.extension) == "mp3" && audiotest::HaveTool("ffmpeg")) {
                // LAME's information frame lets ffmpeg give back exactly the source's samples.
                EXPECT_EQ(audiotest::FfmpegDecodedSamples(file), audiotest::FfmpegDecodedSamples(source))
                    << file.toStdString();
            }
        }
    }
}

} // namespace
