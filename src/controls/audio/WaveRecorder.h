#pragma once
// The recorder control: records from a sound input device into a PCM wave
// file, reports the input level for a meter, and plays wave files back, on
// ALSA.
//
// Threads and events. Every member is called on the thread that owns the
// control (the window thread). RecordStart opens the device and the file
// there, so that it can answer with a code, and returns at once; the
// recording runs on the control's own thread until StopRecord. Play returns
// at once too; the player's thread plays. The events arrive later as queued
// signals on the owning thread: Level for each period the device delivers
// (while MeterEnabled), RecordDone once per recording, PlayDone once per play.
//
// The recording. The file is written to a temporary file beside the
// destination; its header sizes are brought up to date after every second of
// sound (so a file cut short by a crash still plays up to where it stopped)
// and when the recording stops, and only then is it renamed over the
// destination. A recording that fails before it is complete leaves an earlier
// file of that name untouched. A device that breaks down during a recording
// ends it; what was recorded up to then is kept and StopRecord reports the
// failure.
//
// Devices. GetDeviceCount and GetDeviceCaps list ALSA's devices of one kind,
// "default" first when ALSA knows it. RecordStart takes an index of the
// input list, -1 for "default". Play takes an index of that same list, since
// the window offers one list for both: it plays on the output device of the
// same ALSA name, or on "default" when that device only records.
//
// Getting a control. Windows call CreateWave(); tests install a factory that
// returns a FakeWave (support/FakeWave.h):
//     SetWaveFactory([] { return std::make_unique<FakeWave>(); });
// The control has no QObject parent: the window owns it through the pointer.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class ControlThread;
class cPlayer;

namespace waverec {
struct Recording;
}

// Kinds of device for GetDeviceCount and GetDeviceCaps.
inline constexpr std::int32_t kWaveOutputDevices = 1;
inline constexpr std::int32_t kWaveInputDevices = 2;

// Codes of RecordStart, StopRecord, Play, GetFileInfo and GetDeviceCaps besides 0.
inline constexpr std::int32_t kWaveErrFileMissing = 1;   // the file to play or read does not exist
inline constexpr std::int32_t kWaveErrNotAudio = 2;      // it is not audio (Play), not a PCM wave (GetFileInfo)
inline constexpr std::int32_t kWaveErrNoDevice = 3;      // no such device, or none at all
inline constexpr std::int32_t kWaveErrDeviceBusy = 4;    // another program holds the device
inline constexpr std::int32_t kWaveErrDeviceFormat = 5;  // the device takes no format we can use
inline constexpr std::int32_t kWaveErrDevice = 6;        // the device failed (also during a recording)
inline constexpr std::int32_t kWaveErrBusy = 7;          // RecordStart while recording
inline constexpr std::int32_t kWaveErrFormat = 8;        // a recording format this control does not write
inline constexpr std::int32_t kWaveErrNoFileName = 9;    // an empty destination
inline constexpr std::int32_t kWaveErrFile = 10;         // the file cannot be written (folder, rights, disk full)
inline constexpr std::int32_t kWaveErrNotRecording = 11; // StopRecord with no recording to end

// The format of a recording, as the window fills it.
struct WAVEFORMATEX {
    std::uint16_t wFormatTag = 0; // 1: PCM, the only one recorded
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};

// One device.
struct WaveDeviceCaps {
    QString sName;        // ALSA's name, as RecordStart and Play find it: "default", "hw:CARD=PCH,DEV=0"
    QString sDescription; // ALSA's one-line description; may be empty
    std::int32_t lKind = 0;     // kWaveInputDevices or kWaveOutputDevices
    std::int32_t lChannels = 0; // channels this control can use on it: 1 or 2; 0 when it cannot be opened now
};

// The facts of a PCM wave file: its format, then these.
struct WaveFileInfo : WAVEFORMATEX {
    QString FileName;                // the name without its folder
    QString FilePath;                // the folder
    std::int32_t SecondsLength = 0;  // whole seconds of sound
};

class cWave : public QObject {
    Q_OBJECT
public:
    cWave();
    ~cWave() override;

    // Devices of a kind (kWaveInputDevices, kWaveOutputDevices), listed anew by each call.
    virtual std::int32_t GetDeviceCount(std::int32_t kind);
    // Fills `caps` for an index of the last list of that kind: 0, or kWaveErrNoDevice.
    virtual std::int32_t GetDeviceCaps(std::int32_t index, WaveDeviceCaps& caps, std::int32_t kind);

    // Level events while true (the default).
    bool MeterEnabled() const { return m_meterEnabled; }
    virtual void SetMeterEnabled(bool enabled) { m_meterEnabled = enabled; }
    // This control sends no recorded sound to a second device: nothing to close.
    virtual void PreScreenClose() {}

    // Starts recording from the input device into `path` in `format` (PCM, 1
    // or 2 channels, 8 or 16 bits, 1000 to 192000 Hz): 0, or a code and
    // nothing is recorded. `bufferHint` is the window's buffer figure; the
    // control sizes its buffers itself.
    virtual std::int32_t RecordStart(std::int32_t device, const QString& path, const WAVEFORMATEX& format,
                                     std::int16_t bufferHint);
    // Ends the recording and returns how it went: 0 when the file is complete
    // under its name, else a code (GetErrorText says what happened and what
    // was kept). RecordDone follows. A recording that had already ended by
    // itself (its RecordDone came) is reported by the next StopRecord, once;
    // with no recording to report, kWaveErrNotRecording.
    virtual std::int32_t StopRecord();
    // While paused the device is still read (the meter goes on) but nothing is written.
    virtual void PauseRecord();
    virtual void ResumeRecord();
    virtual bool IsRecordPaused() const;

    // Reads the facts of a PCM wave file: 0, kWaveErrFileMissing or
    // kWaveErrNotAudio (then `info` is all 0).
    virtual std::int32_t GetFileInfo(const QString& path, WaveFileInfo& info);
    // Starts playing the file (device as above): 0, or a code and nothing
    // plays. A running play is replaced. `bufferHint` as for RecordStart.
    virtual std::int32_t Play(const QString& path, std::int16_t device, std::int16_t bufferHint);
    // Ends the play (PlayDone follows): 0; nothing to stop is no failure.
    virtual std::int32_t StopPlay();
    virtual void PausePlay();
    virtual void ResumePlay();
    // True while a file plays or is paused, until the PlayDone of a play that
    // ended by itself is delivered.
    virtual bool IsPlaying() const;
    // The play position on a slider's default scale: 0 at the start of the
    // file to kWavePlayPositionScale at its end; 0 when nothing plays.
    virtual std::int32_t GetPlayPosition() const;
    // Whole seconds of the file heard so far.
    virtual std::int32_t GetPlaySeconds() const;

    // Whole seconds as H:MM:SS, the hours unpadded ("0:00:30").
    QString FormatSeconds(std::int32_t seconds) const;
    // The text for a code; for the last failure with that code it names the
    // device or file and what happened.
    virtual QString GetErrorText(std::int32_t code) const;

    // Stops a play without PlayDone and ends a recording without RecordDone,
    // keeping what was recorded. The control stays usable.
    virtual void Terminate();

signals:
    void PlayDone();
    void RecordDone();
    // The loudest sample of the last period: 0 (-60 dB or quieter) to 100 (full scale).
    void Level(std::int16_t level);

protected:
    void SetLastError(std::int32_t code, const QString& text);

private:
    std::int32_t fail(std::int32_t code, const QString& text);
    cPlayer& player();
    QString inputName(std::int32_t index);
    std::int32_t outputIndexFor(std::int32_t inputIndex);
    void recordingEnded();
    std::int32_t takeRecordResult();

    bool m_meterEnabled = true;
    std::int32_t m_lastError = 0;
    QString m_lastErrorText;
    struct Devices;
    std::unique_ptr<Devices> m_devices;
    std::unique_ptr<cPlayer> m_player;
    std::unique_ptr<ControlThread> m_thread;
    std::shared_ptr<waverec::Recording> m_recording;
    bool m_resultPending = false; // a recording ended by itself; StopRecord reports it
};

// GetPlayPosition's value at the end of the file.
inline constexpr std::int32_t kWavePlayPositionScale = 10;

// Creates the control windows use: the real one, or what the installed
// factory makes.
std::unique_ptr<cWave> CreateWave();
// Tests: installs a factory; an empty function goes back to the real control.
void SetWaveFactory(std::function<std::unique_ptr<cWave>()> factory);
