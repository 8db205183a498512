// The main window's "Audio Analyser" command on the fake editor and
// conversion controls: its refusals, a wave row opened as it is, another
// format converted first, and conversions that do not end done.
#include "AudioEditorFixture.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/frmAudioEditorProc.h"
#include "mainwindow/frmMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace edtest;
using ConvertEnding = FakeAudioConverter::Ending;

namespace {

class AudioAnalyserCommand : public EditorCommandTest {
protected:
    void SetUp() override
    {
        EditorCommandTest::SetUp();
        QDir().mkpath(Folder());
    }
    QString Folder() const { return QDir::cleanPath(ProgramFolder() + "/../music"); }
    // A file of that name in Folder() that the fake editor knows.
    QString File(const QString& name)
    {
        const QString path = Folder() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("RIFF....WAVE");
        knownFiles.insert(path, Seconds(30));
        return path;
    }
};

TEST_F(AudioAnalyserCommand, IsOfferedInThisEdition)
{
    EXPECT_NE(Main()->m_cMenu->IndexForKey("Audio Analyser"), 0);
}

TEST_F(AudioAnalyserCommand, RefusesWithoutAMarkedRow)
{
    AddRow(File("a.wav"), false);
    msgBox->Expect("Mark the item to edit." + QString(29, ' '));
    RunAnalyser();
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_FALSE(editorShown);
    EXPECT_FALSE(g_frmAudioEditor.IsLoaded());
}

TEST_F(AudioAnalyserCommand, SaysWhenTheRowsFileIsMissing)
{
    AddRow(Folder() + "/gone.wav");
    msgBox->Expect("The file:" + Folder() + "/gone.wav was not found.");
    RunAnalyser();
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_FALSE(editorShown);
    EXPECT_FALSE(converterShown);
}

TEST_F(AudioAnalyserCommand, OpensTheSelectedWaveRowAsItIs)
{
    AddRow(File("first.wav"));
    const QString second = File("second.WAV");
    AddRow(second, false); // selected, not marked: still the one opened
    Main()->tmrCDs->stop();
    RunAnalyser([&](CfrmAudioEditor* e) {
        EXPECT_EQ(e->windowTitle(), "second.WAV");
        EXPECT_EQ(e->txtWavFile->text(), second);
        EXPECT_TRUE(Fake()->calls.contains("LoadFile " + second));
        EXPECT_EQ(e->lblLength->text(), "0:00:30");
    });
    EXPECT_TRUE(editorShown);
    EXPECT_FALSE(converterShown);
    EXPECT_FALSE(Main()->tmrCDs->isActive()) << "no CD on show: polling stays off";
}

TEST_F(AudioAnalyserCommand, ConvertsAnotherFormatIntoTheTemporaryWaveFirst)
{
    const QString ogg = File("song.ogg");
    knownFiles.insert(TemporaryWave(), Seconds(12));
    AddRow(ogg);
    RunAnalyser([&](CfrmAudioEditor* e) {
        EXPECT_EQ(e->windowTitle(), "song.ogg");
        EXPECT_EQ(e->txtWavFile->text(), TemporaryWave());
        EXPECT_TRUE(Fake()->calls.contains("LoadFile " + TemporaryWave()));
    });
    EXPECT_TRUE(converterShown);
    EXPECT_TRUE(editorShown);
}

TEST_F(AudioAnalyserCommand, KeepsTheMainWindowOnTop)
{
    AddRow(File("a.wav"));
    Main()->SetOnTop(true);
    auto onTop = [this] { return Main()->windowFlags().testFlag(Qt::WindowStaysOnTopHint); };
    RunAnalyser([&](CfrmAudioEditor*) { EXPECT_TRUE(onTop()) << "while the editor is shown"; });
    EXPECT_TRUE(editorShown);
    EXPECT_TRUE(onTop());
    Main()->SetOnTop(false);
}

struct Unfinished {
    const char* name;
    ConvertEnding ending;
    const char* message;
};
void PrintTo(const Unfinished& c, std::ostream* os) { *os << c.name; }

class AnUnfinishedConversion : public AudioAnalyserCommand, public ::testing::WithParamInterface<Unfinished> {};

TEST_P(AnUnfinishedConversion, OpensNothingAndSaysWhy)
{
    const QString ogg = File("song.ogg");
    knownFiles.insert(TemporaryWave(), Seconds(12));
    AddRow(ogg);
    ConversionEnds(GetParam().ending);
    msgBox->Expect(GetParam().message);
    if (GetParam().ending == ConvertEnding::Hang) {
        // The user closes the converter while it works.
        modal->hook = [this](QWidget* window) {
            converterShown = true;
            auto* proc = qobject_cast<CfrmAudioEditorProc*>(window);
            ASSERT_NE(proc, nullptr);
            ASSERT_TRUE(WaitFor([proc] {
                auto* fake = dynamic_cast<FakeAudioConverter*>(proc->cAudioConverter1.get());
                return fake && fake->calls.contains("Convert");
            }));
            proc->close();
        };
        Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("Audio Analyser"));
    } else {
        RunAnalyser();
    }
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_TRUE(converterShown);
    EXPECT_FALSE(editorShown);
    CfrmAudioEditor* hidden = g_frmAudioEditor.Peek();
    ASSERT_NE(hidden, nullptr) << "the editor stays loaded and hidden";
    EXPECT_FALSE(hidden->isVisible());
    auto* fake = dynamic_cast<FakeAudioEditor*>(hidden->cAudioEditor1);
    ASSERT_NE(fake, nullptr);
    EXPECT_FALSE(fake->calls.join(',').contains("LoadFile"));
}

INSTANTIATE_TEST_SUITE_P(
    Endings, AnUnfinishedConversion,
    ::testing::Values(Unfinished{"Error", ConvertEnding::Error, "could not be converted into a wave file"},
                      Unfinished{"Closed", ConvertEnding::Hang, "was aborted"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AudioAnalyserCommand, AnEditorLeftHiddenIsUsedByTheNextCommand)
{
    const QString ogg = File("song.ogg");
    knownFiles.insert(TemporaryWave(), Seconds(12));
    AddRow(ogg);
    ConversionEnds(ConvertEnding::Error);
    msgBox->Expect("could not be converted");
    RunAnalyser();
    CfrmAudioEditor* hidden = g_frmAudioEditor.Peek();
    ASSERT_NE(hidden, nullptr);

    ConversionEnds(ConvertEnding::Done);
    RunAnalyser([&](CfrmAudioEditor* e) { EXPECT_EQ(e, hidden); });
    EXPECT_TRUE(editorShown);
}

} // namespace
