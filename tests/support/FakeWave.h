#pragma once
// A recorder control for window tests: records and plays nothing, answers
// from a script, raises the same queued events as the real control, and
// records every call. Install it for the windows with
//     SetWaveFactory([] { return std::make_unique<FakeWave>(); });
// and reach the instance a window made through FakeWave::Last().
#include "controls/audio/WaveRecorder.h"
#include "support/QueuedEvents.h"

#include <QHash>
#include <QStringList>
#include <deque>
#include <vector>

class FakeWave : public cWave {
    Q_OBJECT
public:
    struct Device {
        QString name, description;
        std::int32_t channels = 2;
    };

    FakeWave();
    ~FakeWave() override;
    // The fake made last (nullptr once it is gone).
    static FakeWave* Last();

    // What GetDeviceCount and GetDeviceCaps give, by kind.
    std::vector<Device> inputs{{"default", "Default Audio Device", 2}, {"hw:CARD=Mic,DEV=0", "USB Microphone", 1}};
    std::vector<Device> outputs{{"default", "Default Audio Device", 2}};
    // The facts GetFileInfo gives; any other path is missing.
    QHash<QString, WaveFileInfo> files;
    // When set (the default), a recording that StopRecord ends with 0 writes
    // a silent wave file of `recordedSeconds` in its format at its path.
    bool writeRecordings = true;
    double recordedSeconds = 1;

    // The next call of that member returns this code (GetErrorText gives the
    // text) instead of succeeding.
    void FailNextRecordStart(std::int32_t code, const QString& text) { m_recordStartFailures.emplace_back(code, text); }
    void FailNextStopRecord(std::int32_t code, const QString& text) { m_stopRecordFailures.emplace_back(code, text); }
    void FailNextPlay(std::int32_t code, const QString& text) { m_playFailures.emplace_back(code, text); }
    void FailNextStopPlay(std::int32_t code, const QString& text) { m_stopPlayFailures.emplace_back(code, text); }
    // The recording ends by itself with this result (0: complete): RecordDone
    // arrives queued, and the next StopRecord returns the result.
    void EndRecording(std::int32_t code = 0, const QString& text = {});
    // The play ends by itself: PlayDone arrives queued, and IsPlaying turns
    // false when it does.
    void FinishPlay();
    // A Level event, queued (dropped while MeterEnabled is false).
    void SendLevel(std::int16_t level);
    // The play reaches the second (of a file `length` seconds long).
    void MoveTo(double seconds, double length);

    bool IsRecording() const { return m_recording; }
    // The format and path of the last RecordStart.
    WAVEFORMATEX lastFormat;
    QString lastPath;
    // Every member call in order: "GetDeviceCount 2", "GetDeviceCaps 0 2",
    // "MeterEnabled 1", "PreScreenClose", "RecordStart 0 /a.wav 1600",
    // "StopRecord", "PauseRecord", "ResumeRecord", "IsRecordPaused",
    // "GetFileInfo /a.wav", "Play /a.wav 0 8000", "StopPlay", "PausePlay",
    // "ResumePlay", "IsPlaying", "GetPlayPosition", "GetPlaySeconds",
    // "GetErrorText 3", "Terminate".
    QStringList calls;

    std::int32_t GetDeviceCount(std::int32_t kind) override;
    std::int32_t GetDeviceCaps(std::int32_t index, WaveDeviceCaps& caps, std::int32_t kind) override;
    void SetMeterEnabled(bool enabled) override;
    void PreScreenClose() override { calls << "PreScreenClose"; }
    std::int32_t RecordStart(std::int32_t device, const QString& path, const WAVEFORMATEX& format,
                             std::int16_t bufferHint) override;
    std::int32_t StopRecord() override;
    void PauseRecord() override;
    void ResumeRecord() override;
    bool IsRecordPaused() const override;
    std::int32_t GetFileInfo(const QString& path, WaveFileInfo& info) override;
    std::int32_t Play(const QString& path, std::int16_t device, std::int16_t bufferHint) override;
    std::int32_t StopPlay() override;
    void PausePlay() override;
    void ResumePlay() override;
    bool IsPlaying() const override;
    std::int32_t GetPlayPosition() const override;
    std::int32_t GetPlaySeconds() const override;
    QString GetErrorText(std::int32_t code) const override;
    void Terminate() override;

private:
    using Failures = std::deque<std::pair<std::int32_t, QString>>;
    // The next scripted failure's code, or 0.
    std::int32_t takeFailure(Failures& failures);
    void record(const QString& call) const { const_cast<FakeWave*>(this)->calls << call; }
    void writeRecording() const;

    Failures m_recordStartFailures, m_stopRecordFailures, m_playFailures, m_stopPlayFailures;
    bool m_recording = false, m_recordPaused = false;
    bool m_ended = false; // the recording ended by itself; StopRecord reports it
    std::int32_t m_endResult = 0;
    bool m_playing = false;
    double m_position = 0, m_length = 0;
    support::QueuedEvents m_events{this}, m_playEvents{this};
};
