// The fake speech control that the window tests use.
#include "controls/audio/AudioTestSupport.h"
#include "support/FakeWaveTTS.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

struct Raised {
    explicit Raised(cWaveTTS& tts)
    {
        QObject::connect(&tts, &cWaveTTS::WordBoundary, &context,
                         [this](std::int32_t p, std::int32_t l) { events << QString("Word %1 %2").arg(p).arg(l); });
        QObject::connect(&tts, &cWaveTTS::SpeakDone, &context, [this] { events << "SpeakDone"; });
    }
    QStringList events;
    QObject context;
};

void Deliver()
{
    for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents();
}

TEST(FakeWaveTTS, SpeaksTheWordsOfTheTextLaterThenEnds)
{
    FakeWaveTTS tts;
    EXPECT_EQ(FakeWaveTTS::Last(), &tts);
    Raised raised(tts);
    ASSERT_EQ(tts.Speak(QString::fromUtf8(" Grüße  aus\nMünchen")), 0);
    EXPECT_TRUE(tts.IsBusy());
    EXPECT_TRUE(raised.events.isEmpty());
    Deliver();
    EXPECT_THAT(raised.events, ElementsAre("Word 1 5", "Word 8 3", "Word 12 7", "SpeakDone"));
    EXPECT_FALSE(tts.IsBusy());
}

TEST(FakeWaveTTS, ScriptedWordsAndAHeldSpeech)
{
    FakeWaveTTS tts;
    Raised raised(tts);
    tts.words = std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 2}, {9, 1}};
    tts.holdSpeech = true;
    ASSERT_EQ(tts.Speak("anything at all"), 0);
    Deliver();
    EXPECT_THAT(raised.events, ElementsAre("Word 0 2", "Word 9 1"));
    EXPECT_TRUE(tts.IsBusy());
    tts.FinishSpeech();
    Deliver();
    EXPECT_EQ(raised.events.last(), "SpeakDone");
    EXPECT_FALSE(tts.IsBusy());

    ASSERT_EQ(tts.Speak("again"), 0);
    tts.Stop();
    EXPECT_FALSE(tts.IsBusy());
    raised.events.clear();
    Deliver();
    EXPECT_THAT(raised.events, ElementsAre("SpeakDone")); // the stopped speech's words are dropped
    tts.Stop();
    ASSERT_EQ(tts.Speak("once more"), 0);
    tts.Terminate();
    raised.events.clear();
    Deliver();
    EXPECT_TRUE(raised.events.isEmpty());
}

TEST(FakeWaveTTS, RecordsCallsAndTheSettingsOfEachSpeech)
{
    FakeWaveTTS tts;
    QTemporaryDir dir;
    EXPECT_TRUE(tts.SetOutputIndex(1));
    EXPECT_TRUE(tts.SetVoiceIndex(2));
    EXPECT_FALSE(tts.SetVoiceIndex(3));
    tts.SetRate(-4);
    tts.SetVolume(60);
    tts.SetSpeakFlags(11);
    EXPECT_TRUE(tts.SetAudioFormat(1));
    ASSERT_EQ(tts.Speak("Hello"), 0);
    tts.SetRate(0);
    tts.SetVolume(100);
    const QString file = dir.filePath("tmptts.wav");
    ASSERT_EQ(tts.SpeakToFile("", file), 0);
    EXPECT_THAT(tts.calls, ElementsAre("SetOutputIndex 1", "SetVoiceIndex 2", "SetVoiceIndex 3", "SetRate -4",
                                       "SetVolume 60", "SetSpeakFlags 11", "SetAudioFormat 1", "Speak", "SetRate 0",
                                       "SetVolume 100", "SpeakToFile " + file));
    ASSERT_EQ(tts.spoken.size(), 2u);
    const FakeWaveTTS::Spoken& said = tts.spoken[0];
    EXPECT_EQ(said.text, "Hello");
    EXPECT_TRUE(said.file.isEmpty());
    EXPECT_EQ(std::vector<std::int32_t>({said.output, said.voice, said.rate, said.volume, said.flags, said.format}),
              std::vector<std::int32_t>({1, 2, -4, 60, 11, 1}));
    EXPECT_EQ(tts.spoken[1].file, file);
    EXPECT_EQ(tts.spoken[1].rate, 0);
    const audiotest::Decoded d = audiotest::Decode(file);
    EXPECT_TRUE(d.ok);
    EXPECT_EQ(d.sampleRate, 22050);
}

TEST(FakeWaveTTS, ScriptedFormatsAndFailures)
{
    FakeWaveTTS tts;
    QTemporaryDir dir;
    tts.formats = {{"Only", 7}};
    QStringList found;
    QObject context;
    QObject::connect(&tts, &cWaveTTS::FormatFound, &context,
                     [&](const QString& name, std::int32_t id) { found << QString("%1 %2").arg(name).arg(id); });
    tts.EnumFormats();
    EXPECT_THAT(found, ElementsAre("Only 7"));
    EXPECT_FALSE(tts.SetAudioFormat(19));
    EXPECT_TRUE(tts.SetAudioFormat(7));

    Raised raised(tts);
    tts.FailNextSpeak(kTTSErrNoDevice);
    EXPECT_EQ(tts.Speak("Hello"), kTTSErrNoDevice);
    EXPECT_FALSE(tts.IsBusy());
    EXPECT_EQ(tts.ErrorText(kTTSErrNoDevice), "Scripted failure 3");
    Deliver();
    EXPECT_TRUE(raised.events.isEmpty());

    const QString file = dir.filePath("out.wav");
    tts.FailNextSpeakToFile(kTTSErrFile);
    EXPECT_EQ(tts.SpeakToFile("Hello", file), kTTSErrFile);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(tts.SpeakToFile("Hello", file), 0);
    EXPECT_EQ(tts.LastError(), 0);
    EXPECT_EQ(tts.SpeakToFile("Hello", dir.filePath("missing/out.wav")), kTTSErrFile);
}

} // namespace
