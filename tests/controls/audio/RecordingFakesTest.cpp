// The fake recorder and the fake audio editor that window tests use, and
// their factories.
#include "controls/audio/AudioTestSupport.h"
#include "controls/audio/PlayerTestSupport.h"
#include "controls/audio/RecordingTestSupport.h"
#include "support/FakeAudioEditor.h"
#include "support/FakeWave.h"

#include <QTemporaryDir>
#include <QTest>

using namespace recordingtest;

namespace {

TEST(FakeWaveTest, TheFactoryHandsOutTheFake)
{
    SetWaveFactory([] { return std::make_unique<FakeWave>(); });
    std::unique_ptr<cWave> w = CreateWave();
    EXPECT_EQ(FakeWave::Last(), w.get());
    SetWaveFactory({});
    std::unique_ptr<cWave> real = CreateWave();
    EXPECT_EQ(dynamic_cast<FakeWave*>(real.get()), nullptr);
    w.reset();
    EXPECT_EQ(FakeWave::Last(), nullptr);
}

TEST(FakeWaveTest, RecordsAsScriptedWithQueuedEvents)
{
    QTemporaryDir dir;
    FakeWave fake;
    WaveEvents ev(fake);
    WaveDeviceCaps caps;
    EXPECT_EQ(fake.GetDeviceCount(kWaveInputDevices), 2);
    EXPECT_EQ(fake.GetDeviceCaps(1, caps, kWaveInputDevices), 0);
    EXPECT_EQ(caps.sName, "hw:CARD=Mic,DEV=0");
    EXPECT_EQ(caps.lChannels, 1);
    EXPECT_EQ(fake.GetDeviceCaps(2, caps, kWaveInputDevices), kWaveErrNoDevice);

    const QString path = dir.filePath("take.wav");
    fake.FailNextRecordStart(kWaveErrDeviceBusy, "busy now");
    EXPECT_EQ(fake.RecordStart(0, path, PcmFormat(22050, 8, 1), 1600), kWaveErrDeviceBusy);
    EXPECT_EQ(fake.GetErrorText(kWaveErrDeviceBusy), "busy now");
    EXPECT_EQ(fake.RecordStart(0, path, PcmFormat(22050, 8, 1), 1600), 0);
    EXPECT_EQ(fake.RecordStart(0, path, PcmFormat(22050, 8, 1), 1600), kWaveErrBusy);
    fake.PauseRecord();
    EXPECT_TRUE(fake.IsRecordPaused());
    fake.ResumeRecord();
    EXPECT_FALSE(fake.IsRecordPaused());
    fake.SendLevel(42);
    playertest::DeliverPostedEvents();
    fake.SetMeterEnabled(false);
    fake.SendLevel(43); // dropped: the meter is off when it arrives
    playertest::DeliverPostedEvents();
    fake.SetMeterEnabled(true);
    EXPECT_EQ(fake.StopRecord(), 0);
    EXPECT_EQ(ev.recordDone, 0); // queued
    ASSERT_TRUE(ev.WaitRecordDone());
    EXPECT_EQ(ev.levels, std::vector<std::int16_t>{42});
    EXPECT_EQ(audiotest::ProbeStream(path, "codec_name"), "pcm_u8");
    EXPECT_EQ(fake.StopRecord(), kWaveErrNotRecording);

    // A recording that ends by itself is reported by the next StopRecord, once.
    EXPECT_EQ(fake.RecordStart(-1, path, PcmFormat(44100, 16, 2), 1600), 0);
    fake.EndRecording(kWaveErrDevice, "the device broke down");
    ASSERT_TRUE(ev.WaitRecordDone(2));
    EXPECT_EQ(fake.StopRecord(), kWaveErrDevice);
    EXPECT_EQ(fake.GetErrorText(kWaveErrDevice), "the device broke down");
    EXPECT_EQ(fake.StopRecord(), kWaveErrNotRecording);

    EXPECT_EQ(fake.calls, (QStringList{"GetDeviceCount 2", "GetDeviceCaps 1 2", "GetDeviceCaps 2 2",
                                       "RecordStart 0 " + path + " 1600", "GetErrorText 4",
                                       "RecordStart 0 " + path + " 1600", "RecordStart 0 " + path + " 1600",
                                       "PauseRecord", "IsRecordPaused", "ResumeRecord", "IsRecordPaused",
                                       "MeterEnabled 0", "MeterEnabled 1", "StopRecord", "StopRecord",
                                       "RecordStart -1 " + path + " 1600", "StopRecord", "GetErrorText 6",
                                       "StopRecord"}));
    EXPECT_EQ(fake.lastFormat.nSamplesPerSec, 44100u);
}

TEST(FakeWaveTest, PlaysAsScripted)
{
    FakeWave fake;
    WaveEvents ev(fake);
    WaveFileInfo info;
    info.SecondsLength = 8;
    fake.files.insert("/a.wav", info);
    WaveFileInfo read;
    EXPECT_EQ(fake.GetFileInfo("/a.wav", read), 0);
    EXPECT_EQ(read.SecondsLength, 8);
    EXPECT_EQ(fake.GetFileInfo("/b.wav", read), kWaveErrFileMissing);

    fake.FailNextPlay(kWaveErrNoDevice, "no sound card");
    EXPECT_EQ(fake.Play("/a.wav", 0, 8000), kWaveErrNoDevice);
    EXPECT_FALSE(fake.IsPlaying());
    EXPECT_EQ(fake.Play("/a.wav", 0, 8000), 0);
    fake.MoveTo(4, 8);
    EXPECT_EQ(fake.GetPlayPosition(), 5);
    EXPECT_EQ(fake.GetPlaySeconds(), 4);
    fake.FailNextStopPlay(kWaveErrDevice, "cannot stop");
    EXPECT_EQ(fake.StopPlay(), kWaveErrDevice);
    EXPECT_TRUE(fake.IsPlaying());
    fake.FinishPlay();
    EXPECT_TRUE(fake.IsPlaying()); // until the event arrives
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 1; }));
    EXPECT_FALSE(fake.IsPlaying());
    EXPECT_EQ(fake.GetPlayPosition(), 0);

    EXPECT_EQ(fake.Play("/a.wav", 0, 8000), 0);
    EXPECT_EQ(fake.StopPlay(), 0);
    EXPECT_FALSE(fake.IsPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 2; }));
    fake.Terminate();
    EXPECT_EQ(fake.calls.last(), "Terminate");
}

class FakeEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAudioEditorFactory([](QWidget* parent) { return new FakeAudioEditor(parent); });
    }
    void TearDown() override { SetAudioEditorFactory({}); }
};

TEST_F(FakeEditorTest, TheFactoryHandsOutTheFakeOwnedByItsParent)
{
    auto parent = std::make_unique<QWidget>();
    cAudioEditor* editor = CreateAudioEditor(parent.get());
    EXPECT_EQ(FakeAudioEditor::Last(), editor);
    EXPECT_EQ(editor->parent(), parent.get());
    parent.reset();
    EXPECT_EQ(FakeAudioEditor::Last(), nullptr);
    SetAudioEditorFactory({});
    QWidget owner;
    EXPECT_EQ(dynamic_cast<FakeAudioEditor*>(CreateAudioEditor(&owner)), nullptr);
}

TEST_F(FakeEditorTest, LoadsSelectsAndSavesAsScripted)
{
    QTemporaryDir dir;
    FakeAudioEditor fake;
    EditorEvents ev(fake);
    fake.AddFile("/src.wav", {8000, 16, 1, 65432});
    EXPECT_EQ(fake.LoadFile("/none.wav"), kEditorErrFileMissing);
    EXPECT_EQ(fake.LoadFile("/src.wav"), 0);
    EXPECT_TRUE(ev.loaded.empty()); // queued
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ev.loaded.empty() && ev.selections.size() == 1; }));
    EXPECT_EQ(ev.loaded.back(), (std::vector<std::int32_t>{8000, 16, 1, 8, 65432}));
    EXPECT_EQ(ev.errors, std::vector<std::int32_t>{kEditorErrFileMissing});
    EXPECT_EQ(ev.selections.back().s1, 65432);
    EXPECT_EQ(ev.selections.back().t1, 8179);
    fake.Select(12000, 32000);
    EXPECT_EQ(ev.selections.back().t0, 1500);
    EXPECT_EQ(ev.selections.back().t1, 4000);

    // Done writes a silent wave of the saved length.
    fake.SetSourceFile("/src.wav");
    fake.SetDestinationFile(dir.filePath("part.wav"));
    fake.SetSelectionStart(1500);
    fake.SetSelectionLength(2500);
    audiotest::JobEvents job = audiotest::RunJob(static_cast<cAudioEditor&>(fake), &cAudioEditor::SaveSelection,
                                                 &cAudioEditor::Progress, &cAudioEditor::Done, &cAudioEditor::Aborted,
                                                 &cAudioEditor::Error);
    EXPECT_EQ(job.endings, QStringList{"Done"});
    EXPECT_EQ(job.progress, std::vector<std::int32_t>{100});
    EXPECT_EQ(audiotest::Decode(dir.filePath("part.wav")).samples, 20000);
    ASSERT_EQ(fake.saves.size(), 1u);
    EXPECT_EQ(fake.saves[0].startMs, 1500);
    EXPECT_EQ(fake.saves[0].lengthMs, 2500);

    // A hanging save ends with Abort; a second save meanwhile is refused.
    FakeAudioEditor::Script hang;
    hang.progress = {10};
    hang.ending = FakeAudioEditor::Ending::Hang;
    fake.QueueScript(hang);
    fake.SetDestinationFile(dir.filePath("never.wav"));
    int aborted = 0;
    QObject::connect(&fake, &cAudioEditor::Aborted, [&] { ++aborted; });
    fake.SaveSelection();
    fake.SaveSelection();
    fake.Abort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return aborted == 1; }));
    EXPECT_EQ(ev.errors.back(), kEditorErrBusy);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("never.wav")));

    FakeAudioEditor::Script error;
    error.ending = FakeAudioEditor::Ending::Error;
    error.errorText = "The disk is full";
    fake.QueueScript(error);
    job = audiotest::RunJob(static_cast<cAudioEditor&>(fake), &cAudioEditor::SaveSelection, &cAudioEditor::Progress,
                            &cAudioEditor::Done, &cAudioEditor::Aborted, &cAudioEditor::Error);
    EXPECT_EQ(job.endings, QStringList{"Error"});
    EXPECT_EQ(job.errorCode, kEditorErrWrite);
    EXPECT_EQ(job.errorText, "The disk is full");
}

TEST_F(FakeEditorTest, PlaysAsScripted)
{
    FakeAudioEditor fake;
    EditorEvents ev(fake);
    EXPECT_EQ(fake.Play(), kEditorErrNoFile);
    fake.AddFile("/src.wav", {});
    fake.LoadFile("/src.wav");
    fake.FailNextPlay(kEditorErrPlay, "no sound card");
    EXPECT_EQ(fake.Play(), kEditorErrPlay);
    EXPECT_EQ(fake.Play(), 0);
    EXPECT_EQ(fake.Play(), kEditorErrPlaying);
    EXPECT_FALSE(fake.IsPaused());
    fake.Pause();
    EXPECT_TRUE(fake.IsPaused());
    fake.Resume();
    fake.FinishPlay();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ev.playDone == 1; }));
    EXPECT_FALSE(fake.IsPlaying());
    EXPECT_EQ(ev.errors, (std::vector<std::int32_t>{kEditorErrNoFile, kEditorErrPlay}));
    EXPECT_EQ(ev.errorTexts.last(), "no sound card");
    fake.Zoom();
    fake.RestoreZoom();
    EXPECT_EQ(fake.calls, (QStringList{"Play", "LoadFile /src.wav", "Play", "Play", "Play", "IsPaused", "Pause",
                                       "IsPaused", "Resume", "Zoom", "RestoreZoom"}));
}

} // namespace
