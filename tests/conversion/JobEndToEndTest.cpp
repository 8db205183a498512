// The edition's jobs from end to end, on the real conversion control: start
// the program, add WAV files, mark them, "Audio Converter", OGG, Convert; and
// the same files through "ACM Converter" into WAVs of several codecs.
#include "controls/audio/AudioTestSupport.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/Toolbar.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/frmACMConverter.h"
#include "conversion/frmConverter.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/RegistryRoutines.h"
#include "core/TextFiles.h"
#include "core/TimeSizeText.h"
#include "core/mdlMain.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/Clock.h"
#include "settings/StoredControls.h"
#include "settings/mdlOptions.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QTest>

namespace {

class JobEndToEnd : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetAudioConverterFactory({});
        cSysTray::SetAvailableOverride(1);
        SeedRegistry();
        QDir().mkpath(SourceFolder());
        QDir().mkpath(OutFolder());
    }
    void TearDown() override
    {
        cSysTray::SetAvailableOverride(-1);
        ProgramFixture::TearDown();
    }
    QString SourceFolder() const { return QDir::cleanPath(ProgramFolder() + "/../sources"); }
    QString OutFolder() const { return QDir::cleanPath(ProgramFolder() + "/../converted") + "/"; }
    void StoreTag(const QString& name, const QString& value)
    {
        RegistryRoutines reg;
        reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
        reg.KeyRoot = "SOFTWARE\\Brenmark\\Tarvello";
        reg.Subkey = "ID3 Tags";
        ASSERT_TRUE(reg.SetRegistryValue(name, value, platform::reg::REG_SZ));
    }
    // Events until the job window is idle again; a stuck job fails rather than hangs.
    static void WaitForTheJob(JobWindow* w)
    {
        QElapsedTimer waited;
        waited.start();
        while (!w->cmdConvert->isEnabled() && waited.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_TRUE(w->cmdConvert->isEnabled()) << "the job did not end";
        QCoreApplication::processEvents();
    }
    // The converter with one whole-file row of `source`, to convert to WAV in `destination`.
    static CfrmConverter* OneItemToWav(const QString& source, const QString& destination)
    {
        CfrmConverter* w = g_frmConverter.get();
        w->txtToPath->setEditText(destination);
        w->cboTargetFormat->setCurrentText("WAV - Waveform Audio Format (*.wav)");
        w->cGrid1->CellDetails(1, kColItemName, GetFileName(source));
        w->cGrid1->SetCellText(1, kColFile, source);
        w->cGrid1->SetCellText(1, kColRangeAll, "1");
        w->cGrid1->SetCellText(1, kColTime, "00:00:01");
        return w;
    }
    // The program started, with WAV files tone1.wav ... of those lengths in
    // seconds added to its list; nullptr when that failed.
    CfrmMain* StartWithTones(const QList<double>& seconds)
    {
        QStringList sources;
        for (int i = 0; i < seconds.size(); ++i) {
            sources << SourceFolder() + QString("/tone%1.wav").arg(i + 1);
            audiotest::WriteWav(sources.last(), 44100, 2, 16, seconds[i]);
        }
        Main();
        WaitForOpenList();
        CfrmMain* main = frmMain.Peek();
        if (!main) return nullptr;
        dialogs->ExpectOpen(sources);
        main->m_cMenu_Click(main->m_cMenu->IndexForKey("Add Files"));
        EXPECT_EQ(main->cGrid1->Rows(), seconds.size());
        return main->cGrid1->Rows() == seconds.size() ? main : nullptr;
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

TEST_F(JobEndToEnd, ThreeWavFilesBecomeTaggedOggFiles)
{
    // Default tags for new rows, with placeholders the job fills in.
    StoreTag("chkCopyID3FromSource", "0");
    StoreTag("txtTagArtist", "[PROG_NAME]");
    StoreTag("txtTagSong", "[ITEM_NAME]");
    StoreTag("txtTagAlbum", "Album [YEAR]");
    StoreTag("txtTagTrack", "[TRACK_NUM]");
    StoreTag("txtTagGenre", "Tone");
    StoreTag("txtTagComment", "from [SOURCE_NAME]");
    const double seconds[3] = {1.0, 1.5, 2.25};
    QStringList sources;
    for (int i = 0; i < 3; ++i) {
        sources << SourceFolder() + QString("/tone%1.wav").arg(i + 1);
        audiotest::WriteWav(sources.last(), 44100, 2, 16, seconds[i]);
    }

    Main();
    WaitForOpenList();
    CfrmMain* main = frmMain.Peek();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(main->cTreeView1->SelectedItem()) << "start-up opens a list";
    const QString listFile = main->cTreeView1->SelectedItem()->Key();

    dialogs->ExpectOpen(sources);
    const int addFiles = main->m_cMenu->IndexForKey("Add Files");
    ASSERT_NE(addFiles, 0);
    main->m_cMenu_Click(addFiles);
    ASSERT_EQ(main->cGrid1->Rows(), 3);
    EXPECT_EQ(dialogs->openRequests.at(0).title, "Add audio files");
    main->SetAllMarked(true);
    EXPECT_EQ(main->GetMarkedCount(), 3);
    std::int32_t listSeconds = 0;
    for (int row = 1; row <= 3; ++row) listSeconds += TimeToSeconds(main->cGrid1->CellText(row, kColTime).toString());

    QStringList log;
    QString handedTime, handedSize, subFolder, countLabel;
    std::int32_t totalSeconds = -1;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmConverter*>(window);
        ASSERT_NE(w, nullptr);
        countLabel = w->lblFilesToConvert->text();
        totalSeconds = w->g_ltmrItemSecsTotal;
        handedTime = w->cStatusBar1->PanelText("Total Size");
        handedSize = w->cStatusBar1->PanelText("Total Time");
        subFolder = w->txtUndeForlder->text();
        EXPECT_EQ(w->cboTargetFormat->currentText(), "OGG - Ogg Media Format (*.ogg)");
        dialogs->ExpectFolder(OutFolder());
        QTest::mouseClick(w->cmdSelectPath, Qt::LeftButton);
        QTest::mouseClick(w->cmdConvert, Qt::LeftButton);
        WaitForTheJob(w);
        log = LogMessages(w->txtLog);
        EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
        EXPECT_EQ(w->windowTitle(), "Done.");
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
    };
    const int converter = main->m_cMenu->IndexForKey("Audio Converter");
    ASSERT_NE(converter, 0);
    main->m_cMenu_Click(converter);
    ASSERT_EQ(modal->shown, QStringList{"g_frmConverter"});
    EXPECT_FALSE(g_frmConverter.IsLoaded()) << "Exit unloads the window";

    // The hand-over.
    EXPECT_EQ(countLabel, "3 items to convert.");
    EXPECT_EQ(totalSeconds, listSeconds);
    EXPECT_EQ(handedTime, "Total Time: " + FormatSeconds(totalSeconds));
    EXPECT_TRUE(handedSize.startsWith("Total Size: ")) << handedSize.toStdString();
    EXPECT_EQ(subFolder, "New-Items-List-1");

    // The log.
    EXPECT_EQ(log, (QStringList{"Preparing to convert: 3 tracks.", "Destination format: OGG",
                                "Start to convert: tone1.wav...", "Done.", "Start to convert: tone2.wav...", "Done.",
                                "Start to convert: tone3.wav...", "Done."}));

    // The outputs: right length, the default tags filled in.
    const QString year = platform::Now().date().toString("yyyy");
    for (int i = 0; i < 3; ++i) {
        const QString out = OutFolder() + QString("tone%1.ogg").arg(i + 1);
        const audiotest::Decoded d = audiotest::Decode(out);
        ASSERT_TRUE(d.ok) << out.toStdString();
        EXPECT_EQ(d.codec, "vorbis");
        EXPECT_EQ(d.sampleRate, 44100);
        EXPECT_EQ(d.channels, 2);
        EXPECT_NEAR(double(d.samples), seconds[i] * 44100, 2048) << out.toStdString();
        EXPECT_EQ(d.tags.value("title"), QString("tone%1.wav").arg(i + 1));
        EXPECT_EQ(d.tags.value("artist"), g_sAppName);
        EXPECT_EQ(d.tags.value("album"), "Album " + year);
        EXPECT_EQ(d.tags.value("genre"), "Tone");
        EXPECT_EQ(d.tags.value("tracknumber", d.tags.value("track")), QString::number(i + 1));
        EXPECT_EQ(d.tags.value("description", d.tags.value("comment")), QString("from tone%1.wav").arg(i + 1));
        if (audiotest::HaveTool("ogginfo")) {
            EXPECT_EQ(audiotest::RunTool("ogginfo", {out}).exitCode, 0);
        }
    }
    EXPECT_TRUE(audiotest::LeftoverTempFiles(OutFolder()).isEmpty());

    // The list file keeps the three items; the destination heads the path history.
    const QString listText = ReadTextFile(listFile);
    for (const QString& source : sources) EXPECT_TRUE(listText.contains(source)) << source.toStdString();
    QStringList history;
    ASSERT_TRUE(ReadTextLines(PathHistoryFile(), history));
    EXPECT_EQ(history.value(0), OutFolder());
    EXPECT_EQ(history.value(1), ProgramFolder() + "/Main/");

    // The end of the job: the balloon and the sound the settings tick.
    ASSERT_FALSE(main->cSysTray1->Balloons().empty());
    EXPECT_EQ(main->cSysTray1->Balloons().back().text, "Done.");
    EXPECT_EQ(sound->played, QStringList{g_sPlayAtEnd});
}

// The end-of-job program hears of the file the job made, not of the main
// list's last item: three items, only the first marked and converted.
TEST_F(JobEndToEnd, TheEndOfJobProgramIsToldTheFileTheJobMade)
{
    CfrmMain* main = StartWithTones({2.0, 1.0, 3.0});
    ASSERT_NE(main, nullptr);
    main->SetAllMarked(false);
    main->cGrid1->SetCellIconIndex(1, kColInc, kIconMarked);
    g_sAppNotice = "notify [FILE_RECORDED] [FILE_SIZE] [FILE_TIME_LENGTH] \"[FILE_CREATED]\"";

    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmConverter*>(window);
        ASSERT_NE(w, nullptr);
        w->txtToPath->setEditText(OutFolder());
        SetCheckValue(w->chkCreateSubFolder, 0);
        SetCheckValue(w->chkNoticeApp, 1);
        QTest::mouseClick(w->cmdConvert, Qt::LeftButton);
        WaitForTheJob(w);
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
    };
    main->m_cMenu_Click(main->m_cMenu->IndexForKey("Audio Converter"));
    ASSERT_EQ(modal->shown, QStringList{"g_frmConverter"});

    const QString made = OutFolder() + "tone1.ogg";
    ASSERT_TRUE(QFileInfo(made).isFile());
    const QDateTime created = GetFileCreatedDate(made);
    ASSERT_EQ(shell->startedArgv.size(), 1u);
    EXPECT_EQ(shell->startedArgv[0],
              (QStringList{"notify", made, FormatFileSize(double(QFileInfo(made).size())), "00:00:02",
                           QLocale().toString(created.date(), QLocale::ShortFormat) + " " +
                               created.time().toString("HH:mm:ss")}));
}

// One codec and format of the ACM Converter, and what ffprobe should read back.
struct AcmTarget {
    const char* codec;
    const char* format;
    const char* ffmpegCodec;
    int sampleRate, channels;
};

TEST_F(JobEndToEnd, ThreeWavFilesThroughTheAcmConverterIntoEachCodec)
{
    const AcmTarget targets[] = {
        {"IMA ADPCM", "44.100 kHz, 4 Bit, Stereo", "adpcm_ima_wav", 44100, 2},
        {"Microsoft ADPCM", "22.050 kHz, 4 Bit, Mono", "adpcm_ms", 22050, 1},
        {"CCITT A-Law", "8.000 kHz, 8 Bit, Mono", "pcm_alaw", 8000, 1},
        {"CCITT u-Law", "11.025 kHz, 8 Bit, Stereo", "pcm_mulaw", 11025, 2},
        {"GSM 6.10", "8.000 kHz, 13 kbit/s, Mono", "gsm_ms", 8000, 1},
        {"G.726 ADPCM", "8.000 kHz, 32 kbit/s, Mono", "adpcm_g726", 8000, 1},
    };
    const double seconds[3] = {1.0, 1.5, 2.25};
    CfrmMain* main = StartWithTones({seconds[0], seconds[1], seconds[2]});
    ASSERT_NE(main, nullptr);
    main->SetAllMarked(true);
    main->cGrid1->SetSelectedRow(1);

    // The user picks an entry of a list.
    auto pick = [](QComboBox* box, const QString& text) {
        const int at = box->findText(text);
        ASSERT_GE(at, 0) << text.toStdString();
        box->setCurrentIndex(at);
        emit box->activated(at);
    };
    QStringList suggested;
    modal->hook = [&](QWidget* window) {
        auto* w = qobject_cast<CfrmACMConverter*>(window);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->cboBestAccordItem->currentText(), SourceFolder() + "/tone1.wav");
        for (int i = 0; i < w->cboTags->count(); ++i) suggested << w->cboTags->itemText(i);
        // The telephone codecs take 8 kHz mono only: all codecs are listed on request.
        pick(w->cboBestAccordItem, CfrmACMConverter::kAllACMCodecs);
        w->txtToPath->setEditText(OutFolder());
        SetCheckValue(w->chkPlaySound, 0);
        SetCheckValue(w->chkCreateSubFolder, 1);
        for (const AcmTarget& t : targets) {
            pick(w->cboTags, t.codec);
            pick(w->cboFormats, t.format);
            w->txtUndeForlder->setText(t.ffmpegCodec);
            QTest::mouseClick(w->cmdConvert, Qt::LeftButton);
            WaitForTheJob(w);
            EXPECT_EQ(w->lblCurrentTrack->text(), "Done.") << t.codec;
            EXPECT_TRUE(LogMessages(w->txtLog).contains("Destination format: ACM WAV"));
        }
        EXPECT_EQ(w->windowTitle(), g_sAppName + " " + g_sAppVersion);
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
    };
    // The tools toolbar's second "Convert" button.
    cToolbar* tools = main->tlbrRecorder;
    tools->ButtonWidget(tools->ButtonIndex("ACM Converter"))->click();
    ASSERT_EQ(modal->shown, QStringList{"g_frmACMConverter"});
    EXPECT_FALSE(suggested.contains("GSM 6.10"));
    EXPECT_TRUE(suggested.contains("IMA ADPCM"));

    for (const AcmTarget& t : targets) {
        for (int i = 0; i < 3; ++i) {
            const QString out = OutFolder() + t.ffmpegCodec + QString("/tone%1.wav").arg(i + 1);
            const std::string what = out.toStdString();
            const audiotest::Decoded d = audiotest::Decode(out);
            ASSERT_TRUE(d.ok) << what;
            EXPECT_EQ(d.container, "wav") << what;
            EXPECT_EQ(d.codec, t.ffmpegCodec) << what;
            EXPECT_EQ(d.sampleRate, t.sampleRate) << what;
            EXPECT_EQ(d.channels, t.channels) << what;
            EXPECT_NEAR(double(d.samples), seconds[i] * t.sampleRate, d.maxFrame) << what;
            if (audiotest::HaveTool("ffprobe")) {
                const audiotest::Probe probe = audiotest::ProbeFile(out);
                ASSERT_TRUE(probe.ok) << what;
                EXPECT_EQ(probe.codec, t.ffmpegCodec) << what;
                EXPECT_EQ(probe.sampleRate, t.sampleRate) << what;
                EXPECT_EQ(probe.channels, t.channels) << what;
                EXPECT_NEAR(probe.duration, seconds[i], double(d.maxFrame) / t.sampleRate) << what;
            }
        }
        EXPECT_TRUE(audiotest::LeftoverTempFiles(OutFolder() + t.ffmpegCodec).isEmpty());
    }
}

TEST_F(JobEndToEnd, ASubFolderThatCannotBeMadeIsSaidOnceAndNoItemStarts)
{
    SetEditionModes();
    const QString source = SourceFolder() + "/tone.wav";
    audiotest::WriteWav(source, 22050, 1, 16, 0.5);
    QFile blocker(OutFolder() + "blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    CfrmConverter* w = OneItemToWav(source, OutFolder());
    SetCheckValue(w->chkPlaySound, 0);
    SetCheckValue(w->chkCreateSubFolder, 1);
    w->txtUndeForlder->setText("blocked");
    w->cmdConvert_Click();
    WaitForTheJob(w);
    const QStringList messages = LogMessages(w->txtLog);
    ASSERT_EQ(messages.size(), 3) << messages.join('|').toStdString();
    EXPECT_TRUE(messages[2].startsWith("Error: The path: " + OutFolder() + "blocked cannot be created.("));
    EXPECT_TRUE(w->g_bConvertError);
    EXPECT_FALSE(QFileInfo::exists(OutFolder() + "tone.wav"));
}

// Items the real control refuses: the run says so at its end, keeps each
// item's error in the log, makes no output and leaves the source alone.
struct RefusedItem {
    const char* name;
    bool destinationIsSourceFolder;
    std::int32_t code;
    const char* logged;
};
void PrintTo(const RefusedItem& c, std::ostream* os) { *os << c.name; }

class RefusedItems : public JobEndToEnd, public ::testing::WithParamInterface<RefusedItem> {};

TEST_P(RefusedItems, EndDoneWithErrorsAndNoOutput)
{
    SetEditionModes();
    support::MainWindowDouble main;
    const QString source = SourceFolder() + "/tone.wav";
    if (GetParam().destinationIsSourceFolder)
        audiotest::WriteWav(source, 44100, 2, 16, 0.25);
    else
        audiotest::WriteWavDeclaring(source, 0.25, audiotest::kTenSecondsOfWav);
    QFile original(source);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    const QString destination = GetParam().destinationIsSourceFolder ? SourceFolder() + "/" : OutFolder();

    CfrmConverter* w = OneItemToWav(source, destination);
    SetCheckValue(w->chkOpenDestFolder, 1);
    w->cmdConvert_Click();
    WaitForTheJob(w);

    EXPECT_TRUE(msgBox->shown.empty()) << "no question about the source";
    const QStringList messages = LogMessages(w->txtLog);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_TRUE(messages[3].startsWith(QString("Error: ") + GetParam().logged)) << messages[3].toStdString();
    EXPECT_TRUE(messages[3].endsWith(QString("(%1)").arg(GetParam().code))) << messages[3].toStdString();
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done, with errors: 1 of 1 items failed.");
    EXPECT_EQ(w->windowTitle(), "Done, with errors: 1 of 1 items failed.");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done, with errors: 1 of 1 items failed.");
    EXPECT_TRUE(shell->opened.isEmpty()) << "nothing was made: no folder to open";
    EXPECT_FALSE(QFileInfo::exists(OutFolder() + "tone.wav"));
    EXPECT_TRUE(audiotest::LeftoverTempFiles(destination).isEmpty());
    QFile after(source);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedItems,
    ::testing::Values(RefusedItem{"ASourceCutShort", false, kConvertErrDecode,
                                  "The source file breaks off mid-file: its header declares 10 s, it holds 0.25 s"},
                      RefusedItem{"TheSourceItself", true, kConvertErrDestinationIsSource,
                                  "The destination is the source file itself"}),
    [](const ::testing::TestParamInfo<RefusedItem>& info) { return info.param.name; });

} // namespace
