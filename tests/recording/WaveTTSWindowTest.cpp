// The speech window on the fake speech control beside a main-window double:
// what it shows when it opens, what Say It hands the control, how the speech
// is followed in the text, and the renderings into a named file and into the
// items list through the real conversion control.
#include "WaveTTSFixture.h"

#include "controls/audio/AudioTestSupport.h"
#include "controls/widgets/Grid.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/Slider.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/TreeView.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/mdlCommDialog.h"
#include "lists/ItemRows.h"
#include "platform/UserSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace ttstest;

namespace {

const QString kSample = "This sample shows you how to use the 'Text To Speech'.";
const QString kNoText = "There is no text to speak.";

// A speech that breaks off on the device once it has started.
class BreakingSpeech : public FakeWaveTTS {
public:
    BreakingSpeech() { holdSpeech = true; }
    std::int32_t Speak(const QString& text) override
    {
        const std::int32_t result = FakeWaveTTS::Speak(text);
        if (result != 0) return result;
        Post([this] { Fail(kTTSErrDevice, "The sound output device failed while speaking: unplugged"); });
        FinishSpeech();
        return 0;
    }
};

class WaveTTSWindow : public WaveTTSWindowTest {
protected:
    QString Temp() const { return ProgramFolder() + "/tmptts.wav"; }
    std::int32_t FormatId(const QString& name) const
    {
        for (const auto& f : cWaveTTS::Formats())
            if (f.name == name) return f.id;
        return -1;
    }
};

// ---------------------------------------------------------------- opening and closing

TEST_F(WaveTTSWindow, OpensWithTheControlsListsTheSampleAndTheDefaults)
{
    frmOptions->cboTargetFormat->setCurrentIndex(frmOptions->cboTargetFormat->findText("MP3", Qt::MatchStartsWith));
    Open();
    EXPECT_EQ(w->Name(), "g_frmWaveTTS");
    EXPECT_EQ(w->lblTitle->text(), "Text To Speech");
    FakeWaveTTS* fake = Fake();
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->calls, QStringList{"EnumFormats"}) << "nothing is set on the control at load";
    EXPECT_EQ(w->cboVoices->count(), 3);
    EXPECT_EQ(w->cboVoices->currentText(), "English (America)");
    EXPECT_EQ(w->cboAudioOutputs->currentText(), "default");
    EXPECT_EQ(w->cboFormats->count(), int(cWaveTTS::Formats().size()));
    EXPECT_EQ(w->cboFormats->currentText(), "SAFT22kHz16BitMono");
    EXPECT_EQ(w->cboFormats->currentData().toInt(), FormatId("SAFT22kHz16BitMono"));
    EXPECT_EQ(w->txtSpeak->toPlainText(), kSample);
    EXPECT_TRUE(w->lblClearText->isEnabled());
    EXPECT_EQ(w->sldRate->Min(), -10);
    EXPECT_EQ(w->sldRate->Value(), 0);
    EXPECT_EQ(w->sldVolume->Max(), 100);
    EXPECT_EQ(w->sldVolume->Value(), 50);
    EXPECT_EQ(w->lblRateVal->text(), "0");
    EXPECT_EQ(w->lblValumeVal->text(), "50");
    EXPECT_EQ(w->cboTargetFormat->currentText(), "MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    EXPECT_EQ(w->cmdSay->text(), "Say It");
    EXPECT_EQ(w->cmdSaveAs->text(), "Save As...");
    EXPECT_EQ(w->cmdAdd->text(), "Add to Items List");
    EXPECT_EQ(w->cmdToolsIcon[2]->toolTip(), "Save 'Text To Speech' as a wav file.");
}

struct SavedChoice {
    const char* name;
    QString format, voice;       // saved; a null text: nothing saved
    QString shownFormat, shownVoice;
};
void PrintTo(const SavedChoice& c, std::ostream* os) { *os << c.name; }

class WaveTTSSavedChoice : public WaveTTSWindow, public ::testing::WithParamInterface<SavedChoice> {};

TEST_P(WaveTTSSavedChoice, IsRestoredWhenTheListsHoldIt)
{
    const SavedChoice& c = GetParam();
    if (!c.format.isNull()) platform::SaveSetting(g_sAppName, "TTS", "Format", c.format);
    if (!c.voice.isNull()) platform::SaveSetting(g_sAppName, "TTS", "Voice", c.voice);
    Open();
    EXPECT_EQ(w->cboFormats->currentText(), c.shownFormat);
    EXPECT_EQ(w->cboVoices->currentText(), c.shownVoice);
}

INSTANTIATE_TEST_SUITE_P(
    , WaveTTSSavedChoice,
    ::testing::Values(SavedChoice{"Saved", "SAFT44kHz16BitStereo", "German", "SAFT44kHz16BitStereo", "German"},
                      SavedChoice{"Unknown", "SAFT7kHz", "Klingon", "", "English (America)"},
                      SavedChoice{"EmptyFormat", "", QString(), "", "English (America)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WaveTTSWindow, ClosingTerminatesTheControlAndSavesTheChoicesAsShown)
{
    Open();
    w->cboVoices->setCurrentIndex(2);
    w->cboFormats->setCurrentIndex(-1);
    FakeWaveTTS* fake = Fake();
    fake->calls.clear();
    w->Unload();
    // The window and its control go with the next round of events.
    EXPECT_EQ(fake->calls, QStringList{"Terminate"});
    EXPECT_EQ(platform::GetSetting(g_sAppName, "TTS", "Voice"), "French (France)");
    EXPECT_EQ(platform::GetSetting(g_sAppName, "TTS", "Format", "unset"), "");
    EXPECT_FALSE(g_frmWaveTTS.IsLoaded());
}

TEST_F(WaveTTSWindow, NoVoicesOrOutputsLeaveTheListsEmptyAndSpeakWithMinusOne)
{
    SetWaveTTSFactory([] {
        auto fake = std::make_unique<FakeWaveTTS>();
        fake->voices.clear();
        fake->outputs.clear();
        return fake;
    });
    Open();
    EXPECT_EQ(w->cboVoices->currentIndex(), -1);
    EXPECT_EQ(w->cboAudioOutputs->currentIndex(), -1);
    w->cmdSay->click();
    ASSERT_EQ(Fake()->spoken.size(), 1u);
    EXPECT_EQ(Fake()->spoken[0].voice, -1);
    EXPECT_EQ(Fake()->spoken[0].output, -1);
}

// ---------------------------------------------------------------- speaking

TEST_F(WaveTTSWindow, SayItSetsTheControlInOrderThenSpeaksTheText)
{
    Open();
    FakeWaveTTS* fake = Fake();
    w->cboAudioOutputs->setCurrentIndex(1);
    w->cboVoices->setCurrentIndex(1);
    w->sldRate->SetValue(-3);
    w->sldVolume->SetValue(80);
    EXPECT_EQ(w->lblRateVal->text(), "-3");
    EXPECT_EQ(w->lblValumeVal->text(), "80");
    EXPECT_TRUE(fake->calls == QStringList{"EnumFormats"}) << "moving a slider sends nothing";
    fake->calls.clear();
    w->cmdSay->click();
    EXPECT_EQ(fake->calls, (QStringList{"SetOutputIndex 1", "SetVoiceIndex 1", "SetRate -3", "SetVolume 80",
                                        "SetSpeakFlags 11",
                                        "SetAudioFormat " + QString::number(FormatId("SAFT22kHz16BitMono")),
                                        "Speak"}));
    ASSERT_EQ(fake->spoken.size(), 1u);
    EXPECT_EQ(fake->spoken[0].text, kSample);
}

TEST_F(WaveTTSWindow, SayItDuringSpeechKeepsTheSettingsOfTheSpeechInProgress)
{
    Open();
    FakeWaveTTS* fake = Fake();
    fake->holdSpeech = true;
    w->cmdSay->click();
    ASSERT_TRUE(fake->IsBusy());
    w->sldRate->SetValue(5);
    w->sldVolume->SetValue(10);
    w->cboVoices->setCurrentIndex(2);
    SetText("Second words.");
    fake->calls.clear();
    w->cmdSay->click();
    EXPECT_EQ(fake->calls, QStringList{"Speak"});
    ASSERT_EQ(fake->spoken.size(), 2u);
    EXPECT_EQ(fake->spoken[1].text, "Second words.");
    EXPECT_EQ(fake->spoken[1].rate, 0);
    EXPECT_EQ(fake->spoken[1].volume, 50);
    EXPECT_EQ(fake->spoken[1].voice, 0);

    fake->FinishSpeech();
    ProcessEvents();
    fake->calls.clear();
    w->cmdSay->click();
    EXPECT_TRUE(fake->calls.contains("SetRate 5")) << "idle again: the sliders count";
    EXPECT_TRUE(fake->calls.contains("SetVolume 10"));
    EXPECT_TRUE(fake->calls.contains("SetVoiceIndex 2"));
}

TEST_F(WaveTTSWindow, TheWordBeingSpokenIsSelectedAndTheWholeTextAtTheEnd)
{
    Open();
    FakeWaveTTS* fake = Fake();
    fake->holdSpeech = true;
    const QString text = "Grüße aus Köln,\nund weiter.";
    SetText(text);
    QStringList seen;
    QObject::connect(fake, &cWaveTTS::WordBoundary, w, [&] { seen << SelectedText(); });
    w->cmdSay->click();
    ProcessEvents();
    EXPECT_EQ(seen, (QStringList{"Grüße", "aus", "Köln,", "und", "weiter."}));
    fake->FinishSpeech();
    ProcessEvents();
    EXPECT_EQ(SelectedText(), text);
}

TEST_F(WaveTTSWindow, StopStopsTheControl)
{
    Open();
    Fake()->holdSpeech = true;
    w->cmdSay->click();
    w->cmdStop->click();
    ProcessEvents();
    EXPECT_TRUE(Fake()->calls.contains("Stop"));
    EXPECT_FALSE(Fake()->IsBusy());
    EXPECT_TRUE(msgBox->shown.empty()) << "a stopped speech is no failure";
}

TEST_F(WaveTTSWindow, ASpeechTheControlCannotStartIsReported)
{
    Open();
    Fake()->FailNextSpeak(kTTSErrNoDevice);
    msgBox->Expect("The text cannot be spoken.\r\n\r\nScripted failure 3");
    w->cmdSay->click();
    ProcessEvents();
    EXPECT_TRUE(msgBox->script.empty());
}

TEST_F(WaveTTSWindow, ASpeechThatBreaksOffIsReportedNotPassedOffAsSpoken)
{
    SetWaveTTSFactory([] { return std::make_unique<BreakingSpeech>(); });
    Open();
    msgBox->Expect("The speech stopped before its end.\r\n\r\nThe sound output device failed while speaking: unplugged");
    w->cmdSay->click();
    ProcessEvents();
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_EQ(SelectedText(), kSample);
}

TEST_F(WaveTTSWindow, WithoutASelectedFormatTheControlKeepsItsOwn)
{
    platform::SaveSetting(g_sAppName, "TTS", "Format", "SAFT7kHz");
    Open();
    w->cmdSay->click();
    EXPECT_FALSE(Fake()->calls.join(',').contains("SetAudioFormat"));
    ASSERT_EQ(Fake()->spoken.size(), 1u);
    EXPECT_EQ(Fake()->spoken[0].format, FormatId("SAFT22kHz16BitMono"));
}

// ---------------------------------------------------------------- the text

TEST_F(WaveTTSWindow, AnEmptyTextIsRefusedByEveryCommandThatSpeaks)
{
    Open();
    for (const QString& text : {QString(), QString("  \n\t ")}) {
        SetText(text);
        EXPECT_EQ(w->lblClearText->isEnabled(), !text.isEmpty());
        for (QPushButton* command : {w->cmdSay, w->cmdSaveAs, w->cmdAdd}) {
            msgBox->Expect(kNoText);
            command->click();
        }
    }
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_EQ(Fake()->calls, QStringList{"EnumFormats"});
    EXPECT_TRUE(dialogs->saveRequests.empty());
    EXPECT_TRUE(g_frmWaveTTS.IsLoaded());
}

TEST_F(WaveTTSWindow, ClearTextAsksFirst)
{
    Open();
    msgBox->Expect("This action will clear the Text-Box, continue?", platform::vbNo);
    w->lblClearText_Click();
    EXPECT_EQ(w->txtSpeak->toPlainText(), kSample);
    msgBox->Expect("This action will clear the Text-Box, continue?", platform::vbYes);
    w->lblClearText_Click();
    EXPECT_EQ(w->txtSpeak->toPlainText(), "");
    EXPECT_FALSE(w->lblClearText->isEnabled());
    ASSERT_EQ(msgBox->shown.size(), 2u);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbYesNo | platform::vbInformation);
}

// ---------------------------------------------------------------- settings dialogs

// As in the job windows: Exit keeps the format chosen here, OK takes the
// format OK made the default (the page's own).
TEST_F(WaveTTSWindow, EditShowsTheFormatsPageAndExitKeepsTheChosenFormat)
{
    Open();
    // Edit, the format dialog closed with one of its buttons: the page it showed.
    auto edit = [this](QPushButton* CfrmAudioProp::*button) {
        QString page;
        HookModals([&](QWidget* window) {
            auto* dlg = qobject_cast<CfrmAudioProp*>(window);
            ASSERT_NE(dlg, nullptr);
            page = dlg->cTabControl1->TabKey(dlg->cTabControl1->SelectedTab());
            (dlg->*button)->click();
        });
        w->cmdEditTargetFormat->click();
        return page;
    };
    const int defaultIndex = frmOptions->cboTargetFormat->currentIndex();
    ChooseTarget("WMA");
    const int wma = w->cboTargetFormat->currentIndex();
    ASSERT_NE(wma, defaultIndex);
    EXPECT_EQ(edit(&CfrmAudioProp::cmdExit), "WMA");
    EXPECT_EQ(w->cboTargetFormat->currentIndex(), wma);
    EXPECT_EQ(frmOptions->cboTargetFormat->currentIndex(), defaultIndex);

    ChooseTarget("MP3");
    EXPECT_EQ(edit(&CfrmAudioProp::cmdOk), "MP3");
    EXPECT_TRUE(w->cboTargetFormat->currentText().startsWith("MP3"));
    EXPECT_TRUE(frmOptions->cboTargetFormat->currentText().startsWith("MP3"));
}

TEST_F(WaveTTSWindow, ID3TagsOpensTheOptionsOnTheirPage)
{
    Open();
    QString node;
    HookModals([&](QWidget* window) {
        auto* dlg = qobject_cast<CfrmOptions*>(window);
        ASSERT_NE(dlg, nullptr);
        node = dlg->cTreeView1->SelectedItem() ? dlg->cTreeView1->SelectedItem()->Key() : QString();
        dlg->Hide();
    });
    w->lblID3Tags_Click();
    EXPECT_EQ(node, "ID3 Tags");
}

// ---------------------------------------------------------------- Save As

TEST_F(WaveTTSWindow, SaveAsOffersTheFormatsFilterAndCancelRendersNothing)
{
    Open();
    ChooseTarget("MP3");
    dialogs->ExpectSave("");
    w->cmdSaveAs->click();
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].title, "Save As");
    EXPECT_EQ(dialogs->saveRequests[0].nameFilter, "Audio Files (*.mp3)");
    EXPECT_EQ(dialogs->saveRequests[0].defaultSuffix, "mp3");
    EXPECT_TRUE(dialogs->saveRequests[0].confirmOverwrite);
    EXPECT_EQ(Fake()->calls, QStringList{"EnumFormats"});
}

TEST_F(WaveTTSWindow, SaveAsRendersAtRateZeroAndFullVolumeAndConvertsToTheChosenFile)
{
    Open();
    ChooseTarget("OGG");
    w->sldRate->SetValue(7);
    w->sldVolume->SetValue(20);
    const QString chosen = ProgramFolder() + "/../spoken.ogg";
    dialogs->ExpectSave(chosen);
    w->cmdSaveAs->click();
    ASSERT_EQ(Fake()->spoken.size(), 1u);
    EXPECT_EQ(Fake()->spoken[0].file, Temp());
    EXPECT_EQ(Fake()->spoken[0].rate, 0);
    EXPECT_EQ(Fake()->spoken[0].volume, 100);
    EXPECT_EQ(Fake()->spoken[0].flags, 11);
    const audiotest::Decoded d = audiotest::Decode(chosen);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.codec, "vorbis");
    EXPECT_TRUE(g_frmWaveTTS.IsLoaded()) << "the window stays open";
    EXPECT_FALSE(main.calls.contains("SaveGridToFile"));
}

TEST_F(WaveTTSWindow, SaveAsStartsInItsOwnLastFolderWithANameOfItsOwn)
{
    const QString top = QFileInfo(ProgramFolder()).path();
    const QString tags = top + "/tags", speech = top + "/speech";
    ASSERT_TRUE(QDir().mkpath(tags) && QDir().mkpath(speech));
    // Another window's open dialog leaves its file in the shared dialog record.
    const auto anotherWindowOpensAFile = [&] {
        dialogs->ExpectOpen({tags + "/tiny.mp3"});
        ShowOpen(nullptr, true);
        dialogs->ExpectOpen({});
        ShowOpen(nullptr, true);
    };
    const struct {
        const char* target;
        QString answer, startFolder, name;
    } saves[] = {
        {"OGG", speech + "/first.ogg", QDir::homePath(), "TTS_14-05-09_12-8-26.ogg"},
        {"WAV", "", speech + "/", "TTS_14-05-09_12-8-26.wav"},
    };
    for (const auto& save : saves) {
        anotherWindowOpensAFile();
        Open();
        ChooseTarget(save.target);
        dialogs->ExpectSave(save.answer);
        w->cmdSaveAs->click();
        ASSERT_FALSE(dialogs->saveRequests.empty());
        EXPECT_EQ(dialogs->saveRequests.back().directory, save.startFolder) << save.target;
        EXPECT_EQ(dialogs->saveRequests.back().fileName, save.name) << save.target;
        w->Unload();
    }
    EXPECT_TRUE(QFile::exists(speech + "/first.ogg"));
    EXPECT_TRUE(dialogs->AllAnswered());
}

// ---------------------------------------------------------------- Add to Items List

struct AddCase {
    const char* letters;
    const char* name;
    const char* codec;
};
void PrintTo(const AddCase& c, std::ostream* os) { *os << c.letters; }

class WaveTTSAdd : public WaveTTSWindow, public ::testing::WithParamInterface<AddCase> {};

TEST_P(WaveTTSAdd, WritesANewFileBesideTheProgramAndAddsItToTheList)
{
    const AddCase& c = GetParam();
    Open();
    ChooseTarget(c.letters);
    w->cmdAdd->click();
    const QString path = ProgramFolder() + "/" + c.name;
    EXPECT_EQ(ProgramFiles("TTS_*"), QStringList{c.name});
    const audiotest::Decoded d = audiotest::Decode(path);
    ASSERT_TRUE(d.ok) << c.name;
    EXPECT_EQ(d.codec, c.codec);
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(main.cGrid1->CellText(1, kColFile).toString(), path);
    EXPECT_EQ(main.calls, (QStringList{"GetFileInfoToGridInfo", "SaveGridToFile", "DisplayGridInfoStatusBar",
                                       "cTreeView1_NodeClick " + ProgramFolder() + "/Main/Speech.lst"}));
    EXPECT_FALSE(g_frmWaveTTS.IsLoaded()) << "the window closes";
}

INSTANTIATE_TEST_SUITE_P(, WaveTTSAdd,
                         ::testing::Values(AddCase{"OGG", "TTS_14-05-09_12-8-26.ogg", "vorbis"},
                                           AddCase{"WAV", "TTS_14-05-09_12-8-26.wav", "pcm_s16le"},
                                           AddCase{"ACM", "TTS_14-05-09_12-8-26.acm", "pcm_s16le"}),
                         [](const auto& info) { return std::string(info.param.letters); });

TEST_F(WaveTTSWindow, TwoAddsWithinOneSecondKeepBothFiles)
{
    for (int i = 0; i < 3; ++i) {
        Open();
        ChooseTarget("WAV");
        SetText(QString("Take %1.").arg(i + 1));
        w->cmdAdd->click();
        ProcessEvents();
    }
    EXPECT_EQ(ProgramFiles("TTS_*"), (QStringList{"TTS_14-05-09_12-8-26.wav", "TTS_14-05-09_12-8-26_2.wav",
                                                  "TTS_14-05-09_12-8-26_3.wav"}));
    EXPECT_EQ(main.cGrid1->Rows(), 3);
}

TEST_F(WaveTTSWindow, AFailedRenderingIsReportedAndNothingIsConvertedOrAdded)
{
    Open();
    Fake()->FailNextSpeakToFile(kTTSErrFile);
    msgBox->Expect("The speech cannot be rendered into a file.\r\n\r\nScripted failure 7");
    w->cmdAdd->click();
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_TRUE(modal->shown.isEmpty()) << "no conversion";
    EXPECT_TRUE(ProgramFiles("TTS_*").isEmpty());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_TRUE(g_frmWaveTTS.IsLoaded());
    EXPECT_EQ(w->txtSpeak->toPlainText(), kSample) << "the text stays";
}

TEST_F(WaveTTSWindow, AnEarlierTemporaryFileIsNeverTakenForANewRendering)
{
    audiotest::WriteWav(Temp(), 22050, 1, 16, 1.0);
    Open();
    ChooseTarget("WAV");
    // The control reports success but leaves no file: the conversion must fail, not convert the old one.
    Fake()->writeFiles = false;
    w->cmdAdd->click();
    EXPECT_FALSE(QFile::exists(Temp()));
    EXPECT_TRUE(conversionLabel.endsWith(")")) << conversionLabel.toStdString();
    EXPECT_TRUE(ProgramFiles("TTS_*").isEmpty());
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.calls.contains("SaveGridToFile"));
    EXPECT_TRUE(g_frmWaveTTS.IsLoaded()) << "a failed conversion keeps the window open";
}

TEST_F(WaveTTSWindow, AddNeedsAnItemsListOpen)
{
    const std::pair<QString, QString> cases[] = {
        {"##MAINITEMS", "Select the Items List to add the speech to."},
        {"##CDD: /dev/sr0", "Adding new items to the Audio CD List is not possible."}};
    for (const auto& [key, message] : cases) {
        main.cTreeView1->Nodes()->Add(nullptr, 0, key, key)->SetSelected(true);
        Open();
        msgBox->Expect(message);
        w->cmdAdd->click();
    }
    EXPECT_TRUE(msgBox->script.empty());
    EXPECT_EQ(Fake()->calls, QStringList{"EnumFormats"});
}

} // namespace
