// The MP3 Tags Editor, opened through the main window's command as in an
// edition with the tool, on MP3 files made by LAME: loading by tag kind,
// the genre choice, Apply into both tags, and every failure reported.
#include "controls/audio/AudioTestSupport.h"
#include "PeerScripts.h"
#include "TagTestSupport.h"
#include "mainwindow/MainWindowFixture.h"
#include "tags/ID3Genres.h"
#include "tags/frmMP3TagsEditor.h"

#include "controls/widgets/WindowWidgets.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QJsonArray>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <unistd.h>

using namespace tagtest;

namespace {

// The text every field shows, by caption.
using Fields = QMap<QString, QString>;

class TagsEditor : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        lAppIncMP3TagsEditor = 1;
        main = LoadMain();
        ASSERT_TRUE(files.isValid());
    }

    CfrmMP3TagsEditor* Open()
    {
        main->m_cMenu_Click(main->m_cMenu->IndexForKey("MP3 Tags Editor"));
        return g_frmMP3TagsEditor.Peek();
    }
    CfrmMP3TagsEditor* OpenOn(const QString& path, int kind = 2)
    {
        CfrmMP3TagsEditor* editor = Open();
        editor->cboID3->setCurrentIndex(kind);
        dialogs->ExpectOpen({path});
        editor->cmdSelectFile_Click();
        return editor;
    }
    // Apply, expecting its one message box.
    QString Apply(CfrmMP3TagsEditor* editor)
    {
        const size_t before = msgBox->shown.size();
        msgBox->Expect(QString());
        editor->cmdApply_Click();
        EXPECT_EQ(msgBox->shown.size(), before + 1);
        if (msgBox->shown.size() != before + 1) return {};
        EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
        EXPECT_EQ(msgBox->shown.back().title, g_sAppName + " " + g_sAppVersion);
        return msgBox->shown.back().text;
    }

    QString Mp3(const QString& name, const QByteArray& bytes = Mp3Audio()) const
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static void AddV1(const QString& path)
    {
        cMP3ID3v1 tag;
        tag.SetMP3File(path);
        tag.SetArtist("V1 Artist");
        tag.SetTitle("V1 Title");
        tag.SetAlbum("V1 Album");
        tag.SetYear("1991");
        tag.SetComment("V1 Comment");
        tag.SetGenre(8);
        tag.SetTrack(5);
        tag.Update();
    }
    static void AddV2(const QString& path)
    {
        cMP3ID3v2 tag;
        tag.SetMP3File(path);
        tag.SetArtist("V2 Artist");
        tag.SetTitle("V2 Title");
        tag.SetComment("V2 Comment");
        tag.SetGenre(17);
        tag.SetOtherGenreName("Rock");
        tag.SetTrack("3/9");
        tag.SetOriginalArtist("V2 Original");
        tag.SetLyrics("La la\r\nla");
        tag.SetCopyright("V2 Copyright");
        tag.SetEncodedBy("V2 Encoder");
        tag.SetLinkTo("http://example.com/v2");
        tag.Update();
    }

    static Fields Shown(const CfrmMP3TagsEditor* e)
    {
        return {{"Artist", e->txtArtist->text()},
                {"Title", e->txtTitle->text()},
                {"Album", e->txtAlbum->text()},
                {"Year", e->txtYear->text()},
                {"Genre", e->cboGenre->currentText()},
                {"Comment", e->txtDescription->toPlainText()},
                {"Track Number", e->txtTrackNum->text()},
                {"Original Artist", e->txtOriginalArtist->text()},
                {"URL", e->txtURL->text()},
                {"Encoded By", e->txtEncodedBy->text()},
                {"Copyright", e->txtCopyright->text()},
                {"Lyrics", e->txtLyric->toPlainText()}};
    }
    static Fields Empty() { return Only({}); }
    // All fields empty but those given.
    static Fields Only(const Fields& given)
    {
        Fields all;
        for (const char* caption : {"Artist", "Title", "Album", "Year", "Genre", "Comment", "Track Number",
                                    "Original Artist", "URL", "Encoded By", "Copyright", "Lyrics"})
            all[caption] = given.value(caption);
        return all;
    }
    static QStringList TabKeys(const CfrmMP3TagsEditor* e)
    {
        QStringList keys;
        for (int i = 1; i <= e->cTabControl1->TabCount(); ++i) {
            EXPECT_EQ(e->cTabControl1->TabCaption(i), e->cTabControl1->TabKey(i));
            keys << e->cTabControl1->TabKey(i);
        }
        return keys;
    }

    CfrmMain* main = nullptr;
    QTemporaryDir files;
};

TEST_F(TagsEditor, OpensWithoutAFileBesideTheMainWindow)
{
    main->SetOnTop(true);
    CfrmMP3TagsEditor* editor = Open();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(dispatched, QStringList{"MP3 Tags Editor"});
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(modal->shown.isEmpty()) << "shown without blocking";
    EXPECT_FALSE(main->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(editor->windowTitle(), "MP3 Tags Editor");

    EXPECT_EQ(editor->cboID3->currentIndex(), 2);
    EXPECT_EQ(editor->cboID3->currentText(), "ID3 v1+v2");
    EXPECT_EQ(TabKeys(editor), (QStringList{"General", "Advanced", "Lyrics"}));
    EXPECT_EQ(editor->cTabControl1->SelectedTab(), 1);
    EXPECT_TRUE(editor->froGeneral->isVisible());
    EXPECT_FALSE(editor->froAdvanced->isVisible());
    EXPECT_FALSE(editor->froLyric->isVisible());
    EXPECT_EQ(Shown(editor), Empty());
    EXPECT_EQ(editor->cboGenre->currentIndex(), 0);
    EXPECT_TRUE(editor->sSourceFile->toPlainText().isEmpty());
    EXPECT_FALSE(editor->cmdApply->isEnabled());

    // A second command brings the same window forward as it is.
    editor->txtTitle->setText("typed");
    EXPECT_EQ(Open(), editor);
    EXPECT_EQ(editor->txtTitle->text(), "typed");
    EXPECT_EQ(Form::LoadHistory().count("g_frmMP3TagsEditor"), 1);

    // Closed, it opens afresh.
    editor->cmdClose_Click();
    ProcessEvents();
    EXPECT_FALSE(g_frmMP3TagsEditor.IsLoaded());
    CfrmMP3TagsEditor* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->txtTitle->text(), "");
}

TEST_F(TagsEditor, TabsShowTheirPages)
{
    CfrmMP3TagsEditor* editor = Open();
    const QMap<QString, QFrame*> pages = {
        {"General", editor->froGeneral}, {"Advanced", editor->froAdvanced}, {"Lyrics", editor->froLyric}};
    for (int tab : {3, 2, 1}) {
        editor->cTabControl1->TabBar()->setCurrentIndex(tab - 1);
        const QString key = editor->cTabControl1->TabKey(tab);
        for (auto it = pages.begin(); it != pages.end(); ++it)
            EXPECT_EQ(it.value()->isVisible(), it.key() == key) << key.toStdString() << " " << it.key().toStdString();
    }
}

TEST_F(TagsEditor, GenreListHoldsTheBlankAndTheNamesByNumber)
{
    CfrmMP3TagsEditor* editor = Open();
    QComboBox* genres = editor->cboGenre;
    ASSERT_EQ(genres->count(), 148);
    EXPECT_EQ(genres->itemText(0), "");
    EXPECT_EQ(genres->itemData(0).toInt(), 255);
    int item = 1;
    for (int n = 0; n <= 147; ++n) {
        if (n == 123) continue;
        EXPECT_EQ(genres->itemData(item).toInt(), n);
        EXPECT_EQ(genres->itemText(item), ID3GenreName(std::uint8_t(n)));
        ++item;
    }
    EXPECT_TRUE(genres->isEditable());
}

TEST_F(TagsEditor, CancellingTheOpenDialogChangesNothing)
{
    CfrmMP3TagsEditor* editor = Open();
    dialogs->ExpectOpen({});
    editor->cmdSelectFile_Click();
    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_EQ(dialogs->openRequests[0].title, "Open MP3 audio file");
    EXPECT_EQ(dialogs->openRequests[0].nameFilter, "MP3 Audio Files (*.mp3)");
    EXPECT_TRUE(editor->sSourceFile->toPlainText().isEmpty());
    EXPECT_FALSE(editor->cmdApply->isEnabled());

    // After a file, a cancelled dialog keeps it.
    const QString path = Mp3("a.mp3");
    AddV1(path);
    dialogs->ExpectOpen({path});
    editor->cmdSelectFile_Click();
    editor->txtTitle->setText("typed");
    dialogs->ExpectOpen({});
    editor->cmdSelectFile_Click();
    EXPECT_EQ(editor->sSourceFile->toPlainText(), path);
    EXPECT_EQ(editor->txtTitle->text(), "typed");
    EXPECT_TRUE(editor->cmdApply->isEnabled());
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(TagsEditor, OfSeveralFilesPickedTheFirstIsTaken)
{
    const QString first = Mp3("first.mp3"), second = Mp3("second.mp3");
    AddV1(first);
    CfrmMP3TagsEditor* editor = Open();
    dialogs->ExpectOpen({first, second});
    editor->cmdSelectFile_Click();
    EXPECT_EQ(editor->sSourceFile->toPlainText(), first);
    EXPECT_EQ(editor->txtTitle->text(), "V1 Title");
}

TEST_F(TagsEditor, AFileThatCannotBeReadLoadsEmptyFieldsQuietly)
{
    CfrmMP3TagsEditor* editor = OpenOn(files.filePath("gone.mp3"));
    EXPECT_EQ(Shown(editor), Empty());
    EXPECT_EQ(editor->cboGenre->currentIndex(), 0);
    EXPECT_TRUE(editor->cmdApply->isEnabled());
    EXPECT_TRUE(msgBox->shown.empty());
}

struct LoadCase {
    const char* name;
    int kind;
    bool v1;
    bool v2;
    Fields shown;
    QStringList tabs;
};

const Fields kV1Shown = {{"Artist", "V1 Artist"}, {"Title", "V1 Title"}, {"Album", "V1 Album"},
                         {"Year", "1991"},        {"Genre", "Jazz"},     {"Comment", "V1 Comment"}};
const Fields kV2Shown = {{"Artist", "V2 Artist"},
                         {"Title", "V2 Title"},
                         {"Genre", "Rock"},
                         {"Comment", "V2 Comment"},
                         {"Track Number", "3/9"},
                         {"Original Artist", "V2 Original"},
                         {"URL", "http://example.com/v2"},
                         {"Encoded By", "V2 Encoder"},
                         {"Copyright", "V2 Copyright"},
                         {"Lyrics", "La la\nla"}};
const QStringList kAllTabs = {"General", "Advanced", "Lyrics"};

Fields Merged(Fields over, const Fields& under)
{
    for (auto it = under.begin(); it != under.end(); ++it)
        if (over.value(it.key()).isEmpty()) over[it.key()] = it.value();
    return over;
}

class TagsEditorLoad : public TagsEditor, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(TagsEditorLoad, ShowsTheTagsOfItsKind)
{
    const LoadCase& c = GetParam();
    const QString path = Mp3("a.mp3");
    if (c.v1) AddV1(path);
    if (c.v2) AddV2(path);
    const QByteArray before = audiotest::ReadFile(path);
    CfrmMP3TagsEditor* editor = OpenOn(path, c.kind);
    EXPECT_EQ(editor->sSourceFile->toPlainText(), path);
    EXPECT_EQ(Shown(editor), Only(c.shown));
    EXPECT_EQ(TabKeys(editor), c.tabs);
    EXPECT_TRUE(editor->froGeneral->isVisible());
    EXPECT_EQ(audiotest::ReadFile(path), before) << "loading writes nothing";
    EXPECT_TRUE(msgBox->shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TagsEditorLoad,
    ::testing::Values(LoadCase{"BothTagsUnderV1V2", 2, true, true, Merged(kV2Shown, kV1Shown), kAllTabs},
                      LoadCase{"OnlyV1UnderV1V2", 2, true, false, kV1Shown, kAllTabs},
                      LoadCase{"OnlyV2UnderV1V2", 2, false, true, kV2Shown, kAllTabs},
                      LoadCase{"BothTagsUnderV1", 0, true, true, kV1Shown, {"General"}},
                      LoadCase{"BothTagsUnderV2", 1, true, true, kV2Shown, kAllTabs},
                      LoadCase{"NoTagsUnderV1V2", 2, false, false, {}, kAllTabs}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TagsEditor, SwitchingTheKindDiscardsEditsAndReloads)
{
    const QString path = Mp3("a.mp3");
    AddV1(path);
    AddV2(path);
    CfrmMP3TagsEditor* editor = OpenOn(path);
    editor->txtTitle->setText("typed");
    editor->txtLyric->setPlainText("typed lyrics");
    editor->cTabControl1->TabBar()->setCurrentIndex(2);

    editor->cboID3->setCurrentIndex(0);
    EXPECT_EQ(Shown(editor), Only(kV1Shown));
    EXPECT_EQ(TabKeys(editor), QStringList{"General"});
    EXPECT_TRUE(editor->froGeneral->isVisible());
    EXPECT_FALSE(editor->froLyric->isVisible());

    editor->cboID3->setCurrentIndex(1);
    EXPECT_EQ(Shown(editor), Only(kV2Shown));
    EXPECT_EQ(TabKeys(editor), kAllTabs);
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(TagsEditor, ApplyUnderV1WritesOnlyTheV1Block)
{
    const QString path = Mp3("a.mp3");
    AddV1(path);
    AddV2(path);
    const QByteArray before = audiotest::ReadFile(path);
    CfrmMP3TagsEditor* editor = OpenOn(path, 0);
    editor->txtTitle->setText("New Title");
    editor->txtTrackNum->setText("12");
    EXPECT_EQ(Apply(editor), "Done.");

    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    EXPECT_EQ(v1.Title(), "New Title");
    EXPECT_EQ(v1.Artist(), "V1 Artist");
    EXPECT_EQ(v1.Genre(), 8);
    EXPECT_EQ(v1.Track(), 5) << "the track number is not written to the ID3v1 block";
    const QByteArray after = audiotest::ReadFile(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(after.size() - 128), before.left(before.size() - 128)) << "the ID3v2 tag and the audio";
}

TEST_F(TagsEditor, ApplyAddsBothTagsToAnUntaggedFile)
{
    const QByteArray audio = Mp3Audio();
    const QString path = Mp3("a.mp3", audio);
    CfrmMP3TagsEditor* editor = OpenOn(path);
    editor->txtArtist->setText("Artist");
    editor->txtTitle->setText("Title");
    editor->txtAlbum->setText("Album");
    editor->txtYear->setText("2024");
    editor->cboGenre->setEditText("Jazz");
    editor->txtDescription->setPlainText("A comment");
    editor->txtTrackNum->setText("7");
    editor->txtOriginalArtist->setText("Original");
    editor->txtURL->setText("http://example.com/");
    editor->txtEncodedBy->setText("Encoder");
    editor->txtCopyright->setText("Copyright");
    editor->txtLyric->setPlainText("Line one\nLine two");
    EXPECT_EQ(Apply(editor), "Done.");

    const QByteArray file = audiotest::ReadFile(path);
    ASSERT_TRUE(file.startsWith("ID3"));
    EXPECT_EQ(file.right(128).left(3), "TAG");
    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    EXPECT_EQ(v1.Title(), "Title");
    EXPECT_EQ(v1.Genre(), 8);
    cMP3ID3v2 v2;
    v2.SetMP3File(path);
    EXPECT_EQ(v2.TagVersion(), 3);
    EXPECT_EQ(v2.Title(), "Title");
    EXPECT_EQ(v2.Track(), "7");
    EXPECT_EQ(v2.Genre(), 8);
    EXPECT_EQ(v2.OtherGenreName(), "Jazz");
    EXPECT_EQ(v2.LinkTo(), "http://example.com/");
    EXPECT_EQ(v2.Lyrics(), "Line one\nLine two");
    EXPECT_EQ(file.indexOf(audio), file.size() - 128 - audio.size()) << "the audio between the tags is unchanged";

    // Other readers see the same.
    if (audiotest::HaveTool("id3v2")) {
        const audiotest::ToolRun r = audiotest::RunTool("id3v2", {"-l", path});
        for (const char* line : {"TIT2 (Title/songname/content description): Title", "TCON (Content type): Jazz (8)",
                                 "TRCK (Track number/Position in set): 7", "TOPE (Original artist(s)/performer(s)): Original",
                                 "TENC (Encoded by): Encoder", "TCOP (Copyright message): Copyright"})
            EXPECT_TRUE(r.out.split('\n').contains(line)) << line << "\n" << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("Title  : Title")) << r.out.toStdString();
    }
    const QString python = audiotest::MutagenPython();
    if (!python.isEmpty()) {
        const QJsonObject dump = RunJson(python, kMutagenFrames, {path});
        EXPECT_EQ(Texts(FirstFrame(dump, "TPE1")), QStringList{"Artist"});
        EXPECT_EQ(FirstFrame(dump, "TCON")["genres"].toArray().first().toString(), "Jazz");
        EXPECT_EQ(FirstFrame(dump, "WXXX")["url"].toString(), "http://example.com/");
        EXPECT_EQ(FirstFrame(dump, "USLT")["text"].toString(), "Line one\nLine two");
        EXPECT_EQ(FirstFrame(dump, "COMM")["text"].toArray().first().toString(), "A comment");
    }
}

struct GenreCase {
    const char* name;
    QString typed;
    QString shownAfter;
    int number;
    QString v2Name;
};

class TagsEditorGenre : public TagsEditor, public ::testing::WithParamInterface<GenreCase> {};

TEST_P(TagsEditorGenre, TypedGenreChoosesAName)
{
    const GenreCase& c = GetParam();
    const QString path = Mp3("a.mp3");
    CfrmMP3TagsEditor* editor = OpenOn(path);
    editor->cboGenre->setEditText(c.typed);
    EXPECT_EQ(Apply(editor), "Done.");
    EXPECT_EQ(editor->cboGenre->currentText(), c.shownAfter);
    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    EXPECT_EQ(v1.Genre(), c.number);
    cMP3ID3v2 v2;
    v2.SetMP3File(path);
    EXPECT_EQ(v2.Genre(), c.number);
    EXPECT_EQ(v2.OtherGenreName(), c.v2Name);

    // Loaded again, the box shows what was written.
    editor->cboID3->setCurrentIndex(1);
    EXPECT_EQ(editor->cboGenre->currentText(), c.v2Name);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TagsEditorGenre,
    ::testing::Values(GenreCase{"ExactNameWins", "Rock", "Rock", 17, "Rock"},
                      GenreCase{"ContainedNameReplacesTheText", "Roc", "Classic Rock", 1, "Classic Rock"},
                      GenreCase{"ExactNameBeforeAnEarlierContainer", "Folk", "Folk", 80, "Folk"},
                      GenreCase{"OtherCaseIsAGenreOfItsOwn", "rock", "rock", 255, "rock"},
                      GenreCase{"OwnGenreKept", "Chiptune", "Chiptune", 255, "Chiptune"},
                      GenreCase{"BlankIsNoGenre", "", "", 255, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TagsEditor, PickingTheBlankGenreClearsBothTags)
{
    const QString path = Mp3("a.mp3");
    AddV1(path);
    AddV2(path);
    CfrmMP3TagsEditor* editor = OpenOn(path);
    ASSERT_EQ(editor->cboGenre->currentText(), "Rock");
    editor->cboGenre->setCurrentIndex(0);
    EXPECT_EQ(Apply(editor), "Done.");
    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    EXPECT_EQ(v1.Genre(), 255);
    cMP3ID3v2 v2;
    v2.SetMP3File(path);
    EXPECT_EQ(v2.Genre(), 255);
    EXPECT_EQ(v2.OtherGenreName(), "");
}

TEST_F(TagsEditor, AGenreNumberWithoutANameIsKeptUntilTheBlankIsPicked)
{
    const QString path = Mp3("a.mp3");
    cMP3ID3v1 tag;
    tag.SetMP3File(path);
    tag.SetGenre(200);
    tag.Update();
    CfrmMP3TagsEditor* editor = OpenOn(path, 0);
    EXPECT_EQ(editor->cboGenre->currentIndex(), 0);
    EXPECT_EQ(editor->cboGenre->currentText(), "");
    editor->txtTitle->setText("Title");
    EXPECT_EQ(Apply(editor), "Done.");
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Genre(), 200) << "a genre the user did not touch";

    editor->cboGenre->setCurrentIndex(0);
    emit editor->cboGenre->activated(0);
    EXPECT_EQ(Apply(editor), "Done.");
    tag.SetMP3File(path);
    EXPECT_EQ(tag.Genre(), 255);
}

TEST_F(TagsEditor, AGenreOfTheFilesOwnIsShownAndKept)
{
    const QByteArray tcon = V23Frame("TCON", Latin1Text("(1)Chiptune"));
    const QString path = Mp3("a.mp3", Tag(3, V23Frame("TIT2", Latin1Text("Title")) + tcon, 200) + Mp3Audio());
    CfrmMP3TagsEditor* editor = OpenOn(path);
    EXPECT_EQ(editor->cboGenre->currentText(), "Chiptune");
    editor->txtArtist->setText("Artist");
    EXPECT_EQ(Apply(editor), "Done.");
    EXPECT_TRUE(audiotest::ReadFile(path).contains(tcon)) << "the genre frame keeps its bytes";
    cMP3ID3v1 v1;
    v1.SetMP3File(path);
    EXPECT_EQ(v1.Genre(), 1) << "the ID3v1 block takes the frame's number";
}

// A tag another program wrote: every frame but the edited one keeps its bytes.
class TagsEditorPeer : public TagsEditor, public ::testing::WithParamInterface<int> {};

TEST_P(TagsEditorPeer, UneditedFieldsKeepTheirFrames)
{
    const QString python = audiotest::MutagenPython();
    if (python.isEmpty()) GTEST_SKIP() << "mutagen is not installed";
    const int version = GetParam();
    const QByteArray audio = Mp3Audio();
    const QString path = Mp3("a.mp3", audio);
    RunJson(python, kMutagenWrite, {path, QString::number(version)});
    const QJsonObject before = RunJson(python, kRawFrames, {path});

    CfrmMP3TagsEditor* editor = OpenOn(path, 1);
    EXPECT_EQ(editor->txtTitle->text(), QString::fromUtf8("T\u00eftle \u2603"));
    EXPECT_EQ(editor->txtDescription->toPlainText(), QString::fromUtf8("C\u00f6mment \u2603"));
    EXPECT_EQ(editor->cboGenre->currentText(), "Rock");
    editor->txtArtist->setText(QString::fromUtf8("New \u00c4rtist"));
    EXPECT_EQ(Apply(editor), "Done.");

    const QJsonObject after = RunJson(python, kRawFrames, {path});
    EXPECT_EQ(after["version"].toInt(), version);
    ExpectFramesKept(before, after, "TPE1");
    EXPECT_EQ(Texts(FirstFrame(RunJson(python, kMutagenFrames, {path}), "TPE1")),
              QStringList{QString::fromUtf8("New \u00c4rtist")});
    EXPECT_EQ(Sha256(audiotest::ReadFile(path).mid(after["end"].toInt())), Sha256(audio)) << "the audio behind the tag";
}

INSTANTIATE_TEST_SUITE_P(Versions, TagsEditorPeer, ::testing::Values(3, 4));

TEST_F(TagsEditor, MultiLineFieldsKeepTheirLineBreaksUnlessEdited)
{
    const QString path = Mp3("a.mp3");
    AddV2(path);
    CfrmMP3TagsEditor* editor = OpenOn(path, 1);
    EXPECT_EQ(editor->txtLyric->toPlainText(), "La la\nla");
    EXPECT_EQ(Apply(editor), "Done.");
    cMP3ID3v2 v2;
    v2.SetMP3File(path);
    EXPECT_EQ(v2.Lyrics(), "La la\r\nla");

    editor->txtLyric->setPlainText("Sung\nanew");
    EXPECT_EQ(Apply(editor), "Done.");
    v2.SetMP3File(path);
    EXPECT_EQ(v2.Lyrics(), "Sung\nanew");
}

// Failures while writing: each reported with its description and number, the number in
// parentheses right after the description, never "Done.".
TEST_F(TagsEditor, AFileGoneSinceLoadingIsReported)
{
    const QString path = Mp3("a.mp3");
    CfrmMP3TagsEditor* editor = OpenOn(path, 1);
    QFile::remove(path);
    const QString text = Apply(editor);
    EXPECT_TRUE(QRegularExpression(R"(^.*[^ ]\(\d+\)$)").match(text).hasMatch()) << text.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(TagsEditor, AFailedV1WriteStopsBeforeTheV2Tag)
{
    for (const int size : {1, 100, 128}) {
        const QByteArray bytes = Mp3Audio().left(size);
        const QString path = Mp3("short.mp3", bytes);
        CfrmMP3TagsEditor* editor = OpenOn(path);
        editor->txtTitle->setText("Title");
        EXPECT_EQ(Apply(editor), path + " is not a valid MP3 file.(" + QString::number(kTagErrNotMP3) + ")")
            << size;
        EXPECT_EQ(audiotest::ReadFile(path), bytes) << size;
        editor->cmdClose_Click();
        ProcessEvents();
    }
}

TEST_F(TagsEditor, AFileWithoutAWholeAudioFrameIsRefusedUnderEveryKind)
{
    const QByteArray audio = Mp3Audio();
    const QByteArray picture = V23Frame("APIC", QByteArray("\0image/png\0\x03\0", 13) + QByteArray(5000, '\x89'));
    struct Case {
        const char* what;
        QByteArray bytes;
        bool refused;
    } cases[] = {
        {"the first 100 bytes of MP3 frames", audio.left(100), true},
        {"a tag cut short and no audio", Tag(3, V23Frame("TIT2", Latin1Text("Cut")) + picture, 20000).left(3000), true},
        {"a whole tag and no audio", Tag(3, V23Frame("TIT2", Latin1Text("Whole")), 2048), true},
        {"MP3 frames cut after the second", audio.left(1000), false},
    };
    for (const Case& c : cases) {
        for (const int kind : {0, 1, 2}) {
            SCOPED_TRACE(std::string(c.what) + ", kind " + std::to_string(kind));
            const QString path = Mp3("short.mp3", c.bytes);
            CfrmMP3TagsEditor* editor = OpenOn(path, kind);
            editor->txtTitle->setText("Title");
            const QString text = Apply(editor);
            if (c.refused) {
                EXPECT_EQ(text, path + " is not a valid MP3 file.(" + QString::number(kTagErrNotMP3) + ")");
                EXPECT_EQ(audiotest::ReadFile(path), c.bytes);
            } else {
                EXPECT_EQ(text, "Done.");
            }
            editor->cmdClose_Click();
            ProcessEvents();
        }
    }
}

TEST_F(TagsEditor, AReadOnlyFileIsReported)
{
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
    const QString path = Mp3("a.mp3");
    const QByteArray before = audiotest::ReadFile(path);
    QFile::setPermissions(path, QFile::ReadOwner);
    CfrmMP3TagsEditor* editor = OpenOn(path, 1);
    editor->txtTitle->setText("Title");
    const QString text = Apply(editor);
    EXPECT_NE(text, "Done.");
    EXPECT_TRUE(QRegularExpression(R"(^.*[^ ]\(\d+\)$)").match(text).hasMatch()) << text.toStdString();
    EXPECT_EQ(audiotest::ReadFile(path), before);
}

TEST_F(TagsEditor, AFullDiskWhileTheTagGrowsIsReported)
{
    const QString path = Mp3("a.mp3");
    const QByteArray before = audiotest::ReadFile(path);
    CfrmMP3TagsEditor* editor = OpenOn(path, 1);
    editor->txtLyric->setPlainText(QString(5000, 'x'));
    QString text;
    {
        WriteLimit limit(before.size());
        text = Apply(editor);
    }
    EXPECT_NE(text, "Done.");
    EXPECT_TRUE(QRegularExpression(R"(^.*[^ ]\(\d+\)$)").match(text).hasMatch()) << text.toStdString();
    EXPECT_EQ(audiotest::ReadFile(path), before);
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"a.mp3"}) << "no temporary file left";
}

} // namespace
