#pragma once
// A player for window tests: plays nothing, answers from a script, raises the
// same queued events as the real player, and records every call. Install it
// for the windows with
//     SetPlayerFactory([] { return std::make_unique<FakePlayer>(); });
// and reach the instance a window made through FakePlayer::Last().
#include "controls/audio/Player.h"

#include <QHash>
#include <QStringList>
#include <deque>

class FakePlayer : public cPlayer {
    Q_OBJECT
public:
    // The facts of a file OpenFile and PlayFile know.
    struct File {
        double length = 10;
        std::int32_t sampleRate = 44100;
        std::int32_t bitrate = 1411;
        std::int32_t channels = 2;
    };

    FakePlayer();
    ~FakePlayer() override;
    // The fake made last (nullptr once it is gone).
    static FakePlayer* Last();

    void AddFile(const QString& path, const File& file) { files.insert(path, file); }
    // The next PlayFile returns this code (and plays nothing) instead of 0.
    void FailNextPlay(std::int32_t code) { m_failures.push_back(code); }
    // Ends the play as if heard to its end: PlayFinished arrives queued, and
    // IsPlaying turns false when it does.
    void FinishPlay();
    // Ends the play early as the real player does when the file breaks off.
    void BreakOff(std::int32_t code);
    // The play reaches the second: Position reads it, PlayerEvent follows.
    void MoveTo(double seconds);

    // Known files; OpenFile fails on any other path, PlayFile plays it with
    // the facts of a default File.
    QHash<QString, File> files;
    // What DeviceCount and DeviceName give.
    QStringList devices{"default", "null"};
    // Every member call in order: "OpenFile /a.wav", "PlayFile /a.wav -1",
    // "Pause", "Resume", "Stop", "Seek 12", "AudioData", "ReportError 3",
    // "Terminate".
    QStringList calls;

    std::int32_t OpenFile(const QString& path) override;
    std::int32_t PlayFile(const QString& path, std::int32_t device) override;
    void Pause() override;
    void Resume() override;
    void Stop() override;
    void Seek(std::int32_t seconds) override;
    double Position() const override { return IsPlaying() ? m_position : 0.0; }
    std::int32_t AudioData() override;
    // Records the report; shows nothing.
    void ReportError(std::int32_t code) override;
    std::int32_t DeviceCount() override { return std::int32_t(devices.size()); }
    QString DeviceName(std::int32_t index) override { return devices.value(index); }
    QString DeviceDescription(std::int32_t index) override { return devices.value(index); }
    void RefreshDevices() override {}
    void Terminate() override;

private:
    std::deque<std::int32_t> m_failures;
    double m_position = 0;
};
