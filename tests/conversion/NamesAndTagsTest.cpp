// Output names, tag texts and the end-of-job program line of the job windows,
// and the speech window's file name.
#include "ConverterFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/NamingProcedures.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QFile>
#include <QLocale>

using namespace convtest;

namespace {

class Names : public ConverterTest {
protected:
    void SetUp() override
    {
        ConverterTest::SetUp();
        Open();
        w->cboTargetFormat->setCurrentText("OGG - Ogg Media Format (*.ogg)");
    }
    QString NameOf(const QString& pattern, std::int32_t row)
    {
        w->cboFileName->setEditable(true);
        w->cboFileName->setEditText(pattern);
        return w->BuildDestFileName(row);
    }
};

TEST_F(Names, FileNameMacros)
{
    AddRows({{"/music/song.wav"},
             {"/music/my.song.wav", "My Song.Wav"},
             {"/music/README", "README"},
             {"/music/x.wav", "a/b [RANGE]"},
             {"/music/..wav", ".."},
             {"/music/odd/dir.v1/take", "[item_name]"}});
    struct Case {
        const char* pattern;
        std::int32_t row;
        const char* name;
    };
    const Case cases[] = {
        {"[file_name].[dest_extension]", 1, "song.ogg"},
        {"[123].[source_extension].[dest_extension]", 1, "1.wav.ogg"},
        {"[file_name]_[123].[convert_extension]", 2, "my.song_2.ogg"},
        {"[file_name].[source_extension]", 2, "my.song.wav"},
        {"[file_name]|[source_extension]|", 3, "README||"},
        {"[item_name] [time] [date]", 1, "song.wav 14-05-09 12-8-26"},
        {"[File_Name].[DEST_EXTENSION]", 1, "[File_Name].[DEST_EXTENSION]"},
        {"no macros", 1, "no macros"},
        {"[123][123]", 12, "1212"},
        // Values cannot reach another folder, nor make "." or "..".
        {"[item_name].[dest_extension]", 4, "a-b [RANGE].ogg"},
        {"[item_name]", 5, "--"},
        {"[file_name]", 5, "-"},
        {"[file_name]/[item_name]", 5, "-/--"},
        {"../[file_name].[dest_extension]", 1, "../song.ogg"},
        // A value holding a later macro is expanded by it; [item_name] comes last.
        {"[item_name]", 6, "[item_name]"},
        {"[file_name]", 6, "take"},
    };
    for (const Case& c : cases) EXPECT_EQ(NameOf(c.pattern, c.row), c.name) << c.pattern << " row " << c.row;
}

TEST_F(Names, TheDestinationExtensionFollowsTheFormatList)
{
    AddRows({{"/music/song.wav"}});
    const std::pair<QString, QString> cases[] = {
        {"WAV - Waveform Audio Format (*.wav)", "song.wav"},
        {"ACM - Waveform ACM Codecs (*.wav)", "song.acm"},
        {"MP3 - MPEG-1 Audio Layer 3 (*.mp3)", "song.mp3"},
        {"WMA - Windows Media Audio files (*.wma)", "song.wma"},
    };
    for (const auto& [format, name] : cases) {
        w->cboTargetFormat->setCurrentText(format);
        EXPECT_EQ(NameOf("[file_name].[dest_extension]", 1), name);
    }
    w->cboTargetFormat->setCurrentIndex(-1);
    EXPECT_EQ(NameOf("[file_name].[dest_extension]", 1), "song.[dest_extension]");
}

TEST_F(Names, TwoItemsInDifferentMinutesGetDifferentTimes)
{
    AddRows({{"/music/a.wav"}, {"/music/b.wav"}});
    const QString first = NameOf("[time]", 1);
    now = now.addSecs(61);
    EXPECT_NE(NameOf("[time]", 2), first);
    EXPECT_EQ(NameOf("[time]", 2), "14-06-10");
}

TEST_F(Names, TagPlaceholders)
{
    AddRows({{"/music/one.wav", "One", "00:01:00", "1", "", "", "All"},
             {"/music/two.mp3", "Two [RANGE]", "00:02:00", "0", "5", "10", "00:00:05 - 00:00:15"}});
    w->cGrid1->SetSelectedRow(2);
    struct Case {
        const char* text;
        QString value;
    };
    const Case cases[] = {
        {"[DATE]", "12/8/26"},
        {"[TIME]", TimeOfDayText(QTime(14, 5, 9))},
        {"[TRACK_NUM]", "2"},
        {"[PROG_NAME] [PROG_VERSION]", g_sAppName + " " + g_sAppVersion},
        {"[SOURCE_NAME]", "two.mp3"},
        {"[ITEM_NAME]", "Two 00:00:05 - 00:00:15"},
        {"[RANGE]", "00:00:05 - 00:00:15"},
        {"[YEAR]", "2026"},
        {"[year] [Track_Num]", "[year] [Track_Num]"},
        {"[TRACK_NUM]/[TRACK_NUM]", "2/2"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(w->CreateID3TagsString(c.text), c.value) << c.text;
    // No row selected: the track is 1 and the row's placeholders stay.
    w->cGrid1->SetSelectedRow(0);
    EXPECT_EQ(w->CreateID3TagsString("[TRACK_NUM] [SOURCE_NAME]"), "1 [SOURCE_NAME]");
}

TEST_F(Names, TheTagsOfARowReachTheControlInTheirFields)
{
    AddRows({{"/music/one.wav", "One", "00:01:00", "1", "", "", "All", "[PROG_NAME]", "Artist", "[SOURCE_NAME]",
              "Genre", "[ITEM_NAME]", "[TRACK_NUM]", "[YEAR]"}});
    std::int32_t row = 1;
    w->cGrid1->SetSelectedRow(1);
    w->SetID3Tags(row);
    FakeAudioConverter* c = Fake();
    EXPECT_EQ(c->TagAlbum(), g_sAppName);
    EXPECT_EQ(c->TagArtist(), "Artist");
    EXPECT_EQ(c->TagComment(), "one.wav");
    EXPECT_EQ(c->TagGenre(), "Genre");
    EXPECT_EQ(c->TagTitle(), "One");
    EXPECT_EQ(c->TagTrack(), "1");
    EXPECT_EQ(c->TagYear(), "2026");
}

TEST_F(Names, TheShortFormLeavesTheRowPlaceholders)
{
    JobWindowDesign design;
    design.formName = "shortForm";
    design.longTagPlaceholders = false;
    JobWindow shortForm(design);
    AddRow(shortForm.cGrid1, {"/music/one.wav"});
    shortForm.cGrid1->SetSelectedRow(1);
    EXPECT_EQ(shortForm.CreateID3TagsString("[TRACK_NUM] [SOURCE_NAME] [ITEM_NAME] [RANGE] [YEAR]"),
              "1 [SOURCE_NAME] [ITEM_NAME] [RANGE] 2026");
}

// The file placeholders describe the file the job made, whatever the main
// list holds: here three items, of which the job converted only the first.
TEST_F(Names, EndOfJobProgramPlaceholdersDescribeTheFileTheJobMade)
{
    const QString made = Out() + "made [FILE_SIZE].ogg"; // a name holding a placeholder stays as it is
    {
        QFile file(made);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1536, 'x'));
    }
    prepareFake = [made](FakeAudioConverter& fake) {
        FakeAudioConverter::File file;
        file.lengthMs = 125400;
        fake.AddFile(made, file);
    };
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    main->cGrid1->Clear();
    for (int i = 1; i <= 3; ++i) {
        main->cGrid1->CellDetails(i, kColItemName, "item" + QString::number(i));
        main->cGrid1->SetCellText(i, kColSize, QString::number(i) + ".00 MB");
        main->cGrid1->SetCellText(i, kColTime, "00:0" + QString::number(i) + ":00");
    }
    const QDateTime created = GetFileCreatedDate(made);
    struct Case {
        const char* line;
        QString expanded;
    };
    const Case cases[] = {
        {"notify [FILE_RECORDED]", "notify " + made},
        {"[FILE_SIZE] [FILE_SIZE]", "1.50 KB 1.50 KB"},
        {"[FILE_TIME_LENGTH]", "00:02:05"},
        {"[FILE_CREATED]", QLocale().toString(created.date(), QLocale::ShortFormat) + " " +
                               created.time().toString("HH:mm:ss")},
        {"[PROG_NAME] [PROG_VERSION]", g_sAppName + " " + g_sAppVersion},
        {"[file_size] [Prog_Name]", "[file_size] [Prog_Name]"},
        {"no placeholders here", "no placeholders here"},
    };
    for (const Case& c : cases) {
        g_sAppNotice = c.line;
        EXPECT_EQ(main->GetNoticAppParameters(made), c.expanded) << c.line;
    }
    g_sAppNotice = "x [FILE_RECORDED] [FILE_TIME_LENGTH] [PROG_NAME]";
    EXPECT_EQ(main->GetNoticAppParameters(QString()), "x [FILE_RECORDED] [FILE_TIME_LENGTH] " + g_sAppName)
        << "no file made";
    // A file the reader cannot open has no length to tell.
    const QString unread = Out() + "unread.ogg";
    Touch(unread);
    EXPECT_EQ(main->GetNoticAppParameters(unread), "x " + unread + "  " + g_sAppName);
}

TEST_F(Names, EndOfJobProgramValuesStayOneArgumentEach)
{
    const QString made = Out() + "my \"best\" song.ogg";
    Touch(made);
    CfrmMain* main = frmMain.get();
    WaitForOpenList();
    g_sAppNotice = "notify-send \"Done: [FILE_RECORDED]\" [FILE_SIZE] --app=[PROG_NAME]";
    EXPECT_EQ(main->GetNoticAppArguments(made),
              QStringList({"notify-send", "Done: " + made, "3 bytes", "--app=" + g_sAppName}));
}

TEST_F(Names, SpeechFileNames)
{
    const std::pair<QString, QString> extensions[] = {
        {"WAV - Waveform Audio Format (*.wav)", "wav"}, {"ACM - Waveform ACM Codecs (*.wav)", "wav"},
        {"mp3 - lower case", "mp3"},                    {"WMA - Windows Media Audio files (*.wma)", "wma"},
        {"OGG - Ogg Media Format (*.ogg)", "ogg"},      {"APE - Monkey 's Audio (*.ape)", "ape"},
        {"FLAC", ""},                                   {"", ""},
    };
    for (const auto& [format, extension] : extensions) EXPECT_EQ(GetExt(format), extension) << format.toStdString();
    EXPECT_EQ(CreateFileName("OGG - Ogg Media Format (*.ogg)"), "14-05-09_12-8-26.ogg");
    EXPECT_EQ(CreateFileName(""), "14-05-09_12-8-26.");
    EXPECT_EQ(CreateFileName("OGG"), CreateFileName("OGG")) << "the same second gives the same name";
}

} // namespace
