// The ACM Converter window on the fake conversion control: its codec, format
// and source lists, and how its job differs from the Audio Converter's.
#include "ConverterFixture.h"

#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/WindowWidgets.h"
#include "conversion/frmACMConverter.h"
#include "core/Edition.h"
#include "platform/MessageBox.h"
#include "settings/StoredControls.h"
#include "support/MainWindowDouble.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace convtest;
using Ending = FakeAudioConverter::Ending;
using AcmCodec = FakeAudioConverter::AcmCodec;

namespace {

const QString kOverwrite = "' already exists.\r\n\r\nOverwrite it?";
const QStringList kPcmFormats = {"44.100 kHz, 16 Bit, Stereo", "8.000 kHz, 8 Bit, Mono"};
const QStringList kImaFormats = {"44.100 kHz, 4 Bit, Stereo", "22.050 kHz, 4 Bit, Mono"};

class AcmConverter : public JobWindowTest {
protected:
    void SetUp() override
    {
        JobWindowTest::SetUp();
        codecs = {{"PCM", kPcmFormats, true},
                  {"IMA ADPCM", kImaFormats, true},
                  {"GSM 6.10", {"8.000 kHz, 13 kbit/s, Mono"}, false},
                  {"CCITT A-Law", {"8.000 kHz, 8 Bit, Mono"}, true}};
        FakeAudioConverter::File low;
        low.sampleRate = 22050;
        low.channels = 1;
        low.bitsPerSample = 8;
        files.insert(Source("a.wav"), low);
        files.insert(Source("b.wav"), FakeAudioConverter::File{});
        prepareFake = [this](FakeAudioConverter& fake) {
            fake.acmCodecs = codecs;
            fake.files = files;
        };
    }
    void TearDown() override
    {
        JobWindowTest::TearDown();
        w = nullptr;
    }
    CfrmACMConverter* Open()
    {
        w = g_frmACMConverter.get();
        Use(w);
        return w;
    }
    FakeAudioConverter* Fake() const { return dynamic_cast<FakeAudioConverter*>(w->cAudioConverter1.get()); }
    FakeAudioConverter* Reader() const { return dynamic_cast<FakeAudioConverter*>(w->cSourceReader.get()); }
    static QStringList Entries(const QComboBox* box)
    {
        QStringList entries;
        for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
        return entries;
    }
    // The user picks the entry.
    static void Pick(QComboBox* box, const QString& text)
    {
        const int at = box->findText(text);
        ASSERT_GE(at, 0) << text.toStdString();
        box->setCurrentIndex(at);
        emit box->activated(at);
    }
    // The calls of the converting control from the `from`th on.
    QStringList CallsSince(qsizetype from) const { return Fake()->calls.mid(from); }
    static FakeAudioConverter::Script Hang(std::vector<std::int32_t> progress = {})
    {
        FakeAudioConverter::Script s;
        s.progress = std::move(progress);
        s.ending = Ending::Hang;
        return s;
    }

    std::vector<AcmCodec> codecs;
    QHash<QString, FakeAudioConverter::File> files;
    CfrmACMConverter* w = nullptr;
};

// ---------------------------------------------------------------- the window and its lists

TEST_F(AcmConverter, LoadsWithEveryCodecAndPcmsFirstFormat)
{
    Open();
    EXPECT_EQ(w->windowTitle(), "ACM Converter");
    EXPECT_EQ(w->lblTitle->text(), "ACM Converter");
    EXPECT_EQ(w->cTabControl1->TabCaption(1), "ACM Converter        ");
    EXPECT_EQ(w->cTabControl1->TabKey(1), "Settings");
    EXPECT_EQ(w->chkNoticeApp->text(), "Execute external program");
    EXPECT_TRUE(w->cboTargetFormat->isHidden());
    EXPECT_TRUE(w->cmdEditTargetFormat->isHidden());
    EXPECT_EQ(w->Label1->text(), "Best ACM Codecs According:");
    EXPECT_EQ(w->lblTag->text(), "Target ACM Tag:");
    EXPECT_EQ(w->lblFormat->text(), "Target ACM Format:");

    EXPECT_EQ(Entries(w->cboTags), (QStringList{"CCITT A-Law", "GSM 6.10", "IMA ADPCM", "PCM"}));
    EXPECT_EQ(w->cboTags->currentText(), "PCM");
    EXPECT_EQ(Entries(w->cboFormats), kPcmFormats);
    EXPECT_EQ(w->cboFormats->currentIndex(), 0);
    EXPECT_EQ(w->cboBestAccordItem->count(), 0);
    EXPECT_EQ(Fake()->calls, (QStringList{"EnumACMFormatTags 1 44100 2 16 0", "EnumACMFormats PCM"}));
}

TEST_F(AcmConverter, WithNoCodecInstalledTheListsStayEmptyAndConvertIsRefused)
{
    codecs.clear();
    Open();
    EXPECT_EQ(w->cboTags->count(), 0);
    EXPECT_EQ(w->cboFormats->count(), 0);
    w->FillCodecSources({Source("a.wav")}, Source("a.wav"));
    EXPECT_EQ(w->cboTags->count(), 0);
    Pick(w->cboBestAccordItem, CfrmACMConverter::kAllACMCodecs);
    EXPECT_EQ(w->cboTags->count(), 0);
    EXPECT_EQ(w->cboFormats->count(), 0);

    AddFileRows(1);
    msgBox->Expect("Choose the target ACM codec (\"Target ACM Tag\") first.");
    w->cmdConvert_Click();
    EXPECT_TRUE(Fake()->converts.empty());
    EXPECT_TRUE(w->txtLog->toPlainText().isEmpty());
    EXPECT_TRUE(w->cmdConvert->isEnabled());
}

TEST_F(AcmConverter, SuggestionsWithoutPcmSelectNoCodec)
{
    codecs[0].suggested = false;
    Open();
    const qsizetype from = Fake()->calls.size();
    w->FillCodecSources({Source("a.wav")}, Source("a.wav"));
    EXPECT_EQ(CallsSince(from), (QStringList{"EnumACMFormatTags 1 22050 1 8 1048576", "EnumACMFormats "}));
    EXPECT_EQ(Entries(w->cboTags), (QStringList{"CCITT A-Law", "IMA ADPCM"}));
    EXPECT_EQ(w->cboTags->currentIndex(), -1);
    EXPECT_EQ(w->cboFormats->count(), 0);

    AddFileRows(1);
    msgBox->Expect("Choose the target ACM codec");
    w->cmdConvert_Click();
    EXPECT_TRUE(Fake()->converts.empty());

    Pick(w->cboTags, "IMA ADPCM");
    EXPECT_EQ(Entries(w->cboFormats), kImaFormats);
    EXPECT_EQ(w->cboFormats->currentText(), kImaFormats[0]);
}

TEST_F(AcmConverter, AllAcmCodecsAfterAFileKeepsThatFilesFormat)
{
    Open();
    w->FillCodecSources({Source("b.wav"), Source("a.wav")}, Source("a.wav"));
    EXPECT_EQ(w->cboBestAccordItem->currentText(), Source("a.wav"));
    EXPECT_EQ(Entries(w->cboTags), (QStringList{"CCITT A-Law", "IMA ADPCM", "PCM"})) << "GSM is not suggested";
    const qsizetype from = Fake()->calls.size();
    Pick(w->cboBestAccordItem, CfrmACMConverter::kAllACMCodecs);
    EXPECT_EQ(CallsSince(from), (QStringList{"EnumACMFormatTags 1 22050 1 8 0", "EnumACMFormats PCM"}));
    EXPECT_EQ(Entries(w->cboTags), (QStringList{"CCITT A-Law", "GSM 6.10", "IMA ADPCM", "PCM"}));
    EXPECT_EQ(w->cboTags->currentText(), "PCM");

    // The file is read by the window's own reader, and closed again.
    EXPECT_EQ(Reader()->calls, (QStringList{"OpenSourceFile " + Source("a.wav"), "CloseSourceFile"}));
    EXPECT_FALSE(Fake()->calls.join('\n').contains("OpenSourceFile"));
}

TEST_F(AcmConverter, TheSourceListIsSortedAndAnUnknownChoiceSelectsNothing)
{
    Open();
    const qsizetype from = Fake()->calls.size();
    w->FillCodecSources({"/music/b.wav", "Zulu.wav", "/music/a.wav", "apple.wav"}, "/music/none.wav");
    EXPECT_EQ(Entries(w->cboBestAccordItem),
              (QStringList{"/music/a.wav", "/music/b.wav", "All ACM Codecs", "apple.wav", "Zulu.wav"}));
    EXPECT_EQ(w->cboBestAccordItem->currentIndex(), -1);
    EXPECT_TRUE(CallsSince(from).isEmpty()) << "the lists keep what the load left";
    EXPECT_EQ(w->cboTags->currentText(), "PCM");
    EXPECT_TRUE(Reader()->calls.isEmpty());
}

TEST_F(AcmConverter, EachCodecChoiceEmptiesTheFormatsFirst)
{
    Open();
    Pick(w->cboTags, "GSM 6.10");
    EXPECT_EQ(Entries(w->cboFormats), QStringList{"8.000 kHz, 13 kbit/s, Mono"});
    Pick(w->cboTags, "IMA ADPCM");
    EXPECT_EQ(Entries(w->cboFormats), kImaFormats);
    Pick(w->cboTags, "IMA ADPCM");
    EXPECT_EQ(Entries(w->cboFormats), kImaFormats);
    EXPECT_EQ(w->cboFormats->currentIndex(), 0);
}

TEST_F(AcmConverter, AFileThatCannotBeReadLeavesTheListsAndSaysSo)
{
    Open();
    const QString missing = Source("missing.wav");
    w->FillCodecSources({Source("a.wav"), missing}, Source("a.wav"));
    Pick(w->cboTags, "IMA ADPCM");
    Pick(w->cboFormats, kImaFormats[1]);
    const QStringList tags = Entries(w->cboTags);
    const qsizetype from = Fake()->calls.size();

    msgBox->Expect("The codecs for '" + missing + "' cannot be listed: it does not exist.");
    Pick(w->cboBestAccordItem, missing);
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbInformation);
    EXPECT_EQ(w->cboBestAccordItem->currentText(), Source("a.wav"));
    EXPECT_EQ(Entries(w->cboTags), tags);
    EXPECT_EQ(w->cboTags->currentText(), "IMA ADPCM");
    EXPECT_EQ(w->cboFormats->currentText(), kImaFormats[1]);
    EXPECT_TRUE(CallsSince(from).isEmpty());
    EXPECT_EQ(Reader()->calls.mid(2), (QStringList{"OpenSourceFile " + missing, "CloseSourceFile"}));

    // "All ACM Codecs" still lists for the file read last.
    Pick(w->cboBestAccordItem, CfrmACMConverter::kAllACMCodecs);
    EXPECT_EQ(Fake()->calls.value(from), "EnumACMFormatTags 1 22050 1 8 0");
}

TEST_F(AcmConverter, TheListsAreLockedWhileAJobRuns)
{
    Open();
    w->FillCodecSources({Source("a.wav")}, Source("a.wav"));
    AddFileRows(1);
    Fake()->QueueScript(Hang({40}));
    w->cmdConvert_Click();
    QCoreApplication::processEvents();
    for (QComboBox* list : {w->cboBestAccordItem, w->cboTags, w->cboFormats})
        EXPECT_FALSE(list->isEnabled()) << list->objectName().toStdString();
    EXPECT_NE(w->cursor().shape(), Qt::WaitCursor) << "the window never shows the hourglass";
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
    for (QComboBox* list : {w->cboBestAccordItem, w->cboTags, w->cboFormats}) EXPECT_TRUE(list->isEnabled());
}

TEST_F(AcmConverter, AnEmptyFormatIsRefusedAtConvert)
{
    codecs.push_back({"Speex", {}, true});
    Open();
    Pick(w->cboTags, "Speex");
    AddFileRows(1);
    msgBox->Expect("Choose the target ACM format (\"Target ACM Format\") first.");
    w->cmdConvert_Click();
    EXPECT_TRUE(Fake()->converts.empty());
}

// ---------------------------------------------------------------- the job

TEST_F(AcmConverter, EveryCodecWritesWavNamesWithTheChosenCodecAndFormat)
{
    support::MainWindowDouble main;
    Open();
    SetCheckValue(w->chkOverWrite, 1);
    for (const AcmCodec& codec : codecs) {
        for (const QString& pattern : {QString("[file_name].[dest_extension]"),
                                       QString("[file_name].[source_extension].[dest_extension]")}) {
            const std::size_t before = Fake()->converts.size();
            Pick(w->cboTags, codec.name);
            Pick(w->cboFormats, codec.formats.last());
            w->cboFileName->setCurrentText(pattern);
            ASSERT_EQ(w->cboFileName->currentText(), pattern);
            w->cGrid1->Clear();
            AddRows({{Source("a.wav")}, {Source("song.mp3")}});
            Run();
            ASSERT_EQ(Fake()->converts.size(), before + 2);
            const bool withSource = pattern.contains("source");
            const QString names[2] = {withSource ? "a.wav.wav" : "a.wav", withSource ? "song.mp3.wav" : "song.wav"};
            for (int i = 0; i < 2; ++i) {
                const FakeAudioConverter::ConvertCall& c = Fake()->converts[before + i];
                EXPECT_EQ(c.destination, Out() + names[i]) << codec.name.toStdString();
                EXPECT_EQ(c.format, kDestFormatACM);
                EXPECT_EQ(c.acm.FormatTagName, codec.name);
                EXPECT_EQ(c.acm.FormatName, codec.formats.last());
            }
            EXPECT_EQ(LogLines().filter("Destination format").last(), "Destination format: ACM WAV");
        }
    }
    w->cboFileName->addItem("[123].[convert_extension]");
    w->cboFileName->setCurrentText("[123].[convert_extension]");
    std::int32_t row = 2;
    EXPECT_EQ(w->BuildDestFileName(row), "2.wav");
}

TEST_F(AcmConverter, NoTagsAreHandedOver)
{
    Open();
    AddRows({{Source("a.wav"), "", "00:00:10", "1", "", "", "All", "Album", "Artist", "Note", "Rock", "Title", "3",
              "2026"}});
    Run();
    ASSERT_EQ(Fake()->converts.size(), 1u);
    const FakeAudioConverter::ConvertCall& c = Fake()->converts[0];
    for (const QString& tag : {c.album, c.artist, c.comment, c.genre, c.title, c.track, c.year})
        EXPECT_TRUE(tag.isEmpty()) << tag.toStdString();
}

TEST_F(AcmConverter, AnExistingOutputIsAskedAboutUnlessTheOverwriteBoxIsTicked)
{
    support::MainWindowDouble main;
    Open();
    AddFileRows(2);
    Touch(Out() + "a.wav");
    msgBox->Expect("The file: '" + Out() + "a.wav" + kOverwrite, platform::vbNo);
    Run();
    ASSERT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(msgBox->shown[0].flags, platform::vbYesNoCancel | platform::vbInformation);
    ASSERT_EQ(Fake()->converts.size(), 1u) << "No skips the item";
    EXPECT_EQ(Fake()->converts[0].destination, Out() + "b.wav");

    // Both outputs exist now; a ticked box writes over them without asking.
    SetCheckValue(w->chkOverWrite, 1);
    Run();
    EXPECT_EQ(msgBox->shown.size(), 1u);
    EXPECT_EQ(Fake()->converts.size(), 3u);
}

TEST_F(AcmConverter, ASuccessfulJobShowsTheProductInTheCaptionAndZeroesTheTimeLeft)
{
    support::MainWindowDouble main;
    Open();
    AddFileRows(2);
    Fake()->QueueScript(Hang({40}));
    w->cmdConvert_Click();
    QCoreApplication::processEvents();
    const QString product = g_sAppName + " " + g_sAppVersion;
    EXPECT_EQ(w->windowTitle(), product) << "progress shows the product, not the percentages";
    EXPECT_EQ(w->prgTotal->Value(), 40);
    w->lblTimeLeft->setText("Time Left: 00:01:00");
    Fake()->Finish(Ending::Done);
    WaitUntilIdle();
    EXPECT_EQ(w->windowTitle(), product);
    EXPECT_EQ(w->lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:00");
    EXPECT_TRUE(w->cmdExit->isEnabled());
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Done.");
    EXPECT_EQ(w->prgTotal->Value(), 200);
}

TEST_F(AcmConverter, ACancelledJobEndsAbortedWithTheTimeLeftZeroed)
{
    support::MainWindowDouble main;
    Open();
    AddFileRows(1);
    Touch(Out() + "a.wav");
    w->lblTimeLeft->setText("Time Left: 00:01:00");
    msgBox->Expect("a.wav", platform::vbCancel);
    Run();
    EXPECT_EQ(w->windowTitle(), "Aborted.");
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(w->lblTimeLeft->text(), "Time Left: 00:00:00");
    EXPECT_EQ(main.cSysTray1->Balloons().back().text, "Aborted.");
    EXPECT_TRUE(w->cmdConvert->isEnabled());
}

TEST_F(AcmConverter, AnItemsErrorAndALoneAbortLeaveTheCaption)
{
    support::MainWindowDouble main;
    Open();
    AddFileRows(2);
    FakeAudioConverter::Script error;
    error.progress = {};
    error.ending = Ending::Error;
    Fake()->QueueScript(error);
    Fake()->QueueScript(Hang());
    w->cmdConvert_Click();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(Fake()->converts.size(), 2u);
    EXPECT_TRUE(LogLines().contains("Error: Scripted error(2)"));
    EXPECT_EQ(w->windowTitle(), "ACM Converter");
    EXPECT_EQ(w->lblCurrentTrack->text(), "b.wav");

    msgBox->Expect("Abort operation?", platform::vbYes);
    w->cmdAbort_Click();
    WaitUntilIdle();
    EXPECT_EQ(w->lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(LogLines().last(), "Aborted.");
    EXPECT_EQ(w->windowTitle(), "ACM Converter");
}

} // namespace
