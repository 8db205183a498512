#pragma once
// The preview player: plays one audio file at a time on a sound output
// device (FFmpeg decodes and converts, ALSA plays), hands the level graphs
// what is being heard, and reads a file's facts (length, sample rate, bit
// rate, channels) for the info panel.
//
// Threads and events. Every member is called on the thread that owns the
// control (the window thread). PlayFile opens the file and the device there,
// so that it can answer with an error code, and returns at once; decoding and
// output run on the player's own thread. Its events arrive later as queued
// signals on the owning thread: PlayerEvent (codes below) as the play goes,
// and for each play exactly one PlayFinished: when the file has been heard to
// its end, when it breaks off (PlayerEvent kPlayerEventBrokenOff comes
// first), or after Stop. A PlayFinished still on its way when the next
// PlayFile starts is dropped, so it never ends the new play. IsPlaying stays
// true until the PlayFinished of a play that ends by itself is delivered.
//
// Devices. The output devices are ALSA's, "default" first when there is one
// (on a desktop it reaches PipeWire or PulseAudio); they are listed when
// first asked for. Device index -1 means "default"; 0 and up index the list.
//
// Getting a control. Windows call CreatePlayer(); tests install a factory
// that returns a FakePlayer (support/FakePlayer.h):
//     SetPlayerFactory([] { return std::make_unique<FakePlayer>(); });
// The control has no QObject parent: the window owns it through the pointer.
#include "controls/QueuedEvents.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace player {
class Playback;
}

// Results of OpenFile and PlayFile besides 0, and the codes ReportError takes.
inline constexpr std::int32_t kPlayerErrFileMissing = 1;
inline constexpr std::int32_t kPlayerErrNotAudio = 2;     // unreadable, or no audio in it
inline constexpr std::int32_t kPlayerErrNoDevice = 3;     // no such output device, or none at all
inline constexpr std::int32_t kPlayerErrDeviceBusy = 4;   // another program holds the device
inline constexpr std::int32_t kPlayerErrDeviceFormat = 5; // the device takes no format we can give it
inline constexpr std::int32_t kPlayerErrDevice = 6;       // any other failure of the device

// First argument of PlayerEvent; the other two as noted.
inline constexpr std::int32_t kPlayerEventStarted = 1;    // first samples written: device rate, channels
inline constexpr std::int32_t kPlayerEventPosition = 2;   // the heard position reached a new second: seconds
inline constexpr std::int32_t kPlayerEventPaused = 3;     // the device holds: seconds
inline constexpr std::int32_t kPlayerEventResumed = 4;    // the device plays again: seconds
inline constexpr std::int32_t kPlayerEventBrokenOff = 5;  // the play ends early: kPlayerErrNotAudio or kPlayerErrDevice

class cPlayer : public QObject {
    Q_OBJECT
public:
    explicit cPlayer(QObject* parent = nullptr);
    ~cPlayer() override;

    // Reads the file's facts: 0 when it is audio. After any other result
    // the facts are all 0. A running play goes on.
    virtual std::int32_t OpenFile(const QString& path);
    // The opened or playing file's length in seconds.
    double Length() const { return m_length; }
    std::int32_t SampleRate() const { return m_sampleRate; }
    // Bit rate in kbit/s.
    std::int32_t Bitrate() const { return m_bitrate; }
    std::int32_t Channels() const { return m_channels; }
    // Whole seconds as H:MM:SS, the hours unpadded ("0:03:25").
    static QString FormatTime(std::int64_t seconds);

    // Starts playing the file on the device (index as above) and returns 0,
    // or an error code and plays nothing. A running play is replaced; it
    // raises no PlayFinished.
    virtual std::int32_t PlayFile(const QString& path, std::int32_t device);
    // PlayFile for the samples [first, end) of the file only (an end below 0:
    // to the end of the file); the heard samples are exactly those.
    std::int32_t PlayRange(const QString& path, std::int32_t device, std::int64_t first, std::int64_t end);
    virtual void Pause();
    virtual void Resume();
    // Ends the play; PlayFinished follows. Nothing when nothing plays.
    virtual void Stop();
    // Moves the play to the second (past the end: the play ends).
    virtual void Seek(std::int32_t seconds);
    // Seconds of the playing file heard so far; 0 when nothing plays.
    virtual double Position() const;
    // True while a file is playing or paused.
    virtual bool IsPlaying() const { return m_playing; }
    virtual bool IsPaused() const { return m_paused; }
    // The number of a block of what is being heard now, for
    // cAudioGraph::SetData; 0 when nothing plays.
    virtual std::int32_t AudioData();

    // The text for an error code; for the last failure of PlayFile or
    // OpenFile it names the file or device.
    QString ErrorText(std::int32_t code) const;
    // Shows the error's text to the user in a message box.
    virtual void ReportError(std::int32_t code);

    // Output devices: ALSA names ("default", "hw:CARD=PCH,DEV=0") and
    // ALSA's one-line descriptions.
    virtual std::int32_t DeviceCount();
    virtual QString DeviceName(std::int32_t index);
    virtual QString DeviceDescription(std::int32_t index);
    // Lists the devices again (after one was plugged in).
    virtual void RefreshDevices();

    // Releases the player: stops a play without PlayFinished and forgets the
    // facts. The control stays usable.
    virtual void Terminate();

signals:
    // A play has ended.
    void PlayFinished();
    void PlayerEvent(std::int32_t code, std::int32_t value1, std::int32_t value2);

protected:
    // For subclasses that play by themselves (the fake).
    void SetFacts(double length, std::int32_t sampleRate, std::int32_t bitrate, std::int32_t channels);
    void SetPlayState(bool playing, bool paused);
    void SetLastError(std::int32_t code, const QString& text);
    // Runs `event` later on the owning thread unless a new play or Stop
    // has come first.
    void Post(std::function<void()> event);
    // Moves to a new play: what the old one still has on its way is dropped.
    void NewGeneration() { m_events.NewGeneration(); }

private:
    struct Devices;
    void forget();
    std::int32_t fail(std::int32_t code, const QString& text);
    void playbackEnded(int ending);
    QString deviceFor(std::int32_t index);

    double m_length = 0;
    std::int32_t m_sampleRate = 0;
    std::int32_t m_bitrate = 0;
    std::int32_t m_channels = 0;
    bool m_playing = false;
    bool m_paused = false;
    std::int32_t m_lastError = 0;
    QString m_lastErrorText;
    QueuedEvents m_events{this};
    std::unique_ptr<Devices> m_devices;
    std::unique_ptr<player::Playback> m_playback;
};

namespace alsa {
enum class OpenFault;
}
// The error code for a device that would not open.
std::int32_t PlayerErrorOf(alsa::OpenFault fault);

// Creates the control windows use: the real one, or what the installed
// factory makes.
std::unique_ptr<cPlayer> CreatePlayer();
// Tests: installs a factory; an empty function goes back to the real control.
void SetPlayerFactory(std::function<std::unique_ptr<cPlayer>()> factory);
