#pragma once
// The audio CD writer control cAudioBurner: writes a list of audio files to a
// blank CD as audio tracks, disc-at-once, on libburn; on the image writer
// (DiscWriter.h) it writes the same tracks as a BIN/CUE image.
//
// Drives are named by letter: every call that takes a drive reads only the
// first character of its text ("D", "D:" or a whole drive name).
//
// Tracks. With DecodeSources True every file FFmpeg reads is decoded to
// 44.1 kHz 16-bit stereo; with False only WAV files of exactly that format
// are taken, their samples as they are. Each track is padded with silence to
// whole sectors (1/75 s) and to the shortest track a CD allows, 4 seconds.
// The disc gets the 2-second pause before track 1 and no pause between
// tracks. The image writer's BIN holds the tracks' raw 2352-byte sectors
// (16-bit little-endian stereo) and its cue one TRACK AUDIO per file: track
// 1 with PREGAP 00:02:00 (not stored in the BIN), and INDEX 01 of every
// track on its first stored sector.
//
// Burning. Burn returns only when the burn is over. It writes on the
// control's own thread and runs a nested event loop meanwhile, so the
// window stays live, and the events arrive inside the call, on the window
// thread, in this order: CachingTrack for each file as it is measured, then
// per track WritingTrack, TrackProgress and Progress while it is written,
// ClosingTrack; then ClosingSession and Finished. A failure ends the burn with
// Error instead (also before anything was written: no files, no such
// writer, no blank disc, a source that cannot be read, too much for the disc)
// and Burn returns its code. Abort stops the burn: no event follows it and
// Burn returns kBurnErrAborted. Finished follows neither an Error nor an
// Abort. A Burn while a burn of the control runs returns kBurnErrBusy at once,
// without an event.
//
// Getting a control. Windows call CreateAudioBurner(); tests install a
// factory that returns a FakeAudioBurner (support/FakeAudioBurner.h).
#include "controls/burn/DiscWriter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ControlThread;

class cAudioBurner : public QObject {
    Q_OBJECT
public:
    cAudioBurner();
    ~cAudioBurner() override;

    // ---- Writers
    virtual std::int32_t GetDriveCount();
    // Drives counted from 1: "D: /dev/sr0 VENDOR MODEL"; empty outside the list.
    virtual QString GetDriveName(std::int32_t drive);
    // The writing speeds of the drive with the disc it holds, slowest first;
    // GetSpeed(1 ... count) gives them in KB/s as whole-number texts. An image
    // writer has none.
    virtual std::int32_t GetSpeedCount(const QString& letter);
    virtual QString GetSpeed(std::int32_t index);
    // Bytes (2048 a sector) the blank disc holds, and bytes still free on it;
    // 0 without a disc. The image writer is an 80-minute CD.
    virtual std::int32_t GetDiskSize(const QString& letter);
    virtual std::int32_t GetDiskCapacity(const QString& letter);
    // "" when a blank CD is ready to be written; otherwise, for the user, why not.
    virtual QString GetMediaState(const QString& letter);
    // 0, or kBurnErrNoDrive / kBurnErrTray. The image writer has no tray: 0.
    virtual std::int32_t OpenTray(const QString& letter);
    virtual std::int32_t CloseTray(const QString& letter);

    // ---- The files of the next burn, one track each
    // True when the file exists and FFmpeg reads audio from it.
    virtual bool AddFile(const QString& path);
    virtual std::int16_t GetFileCount();
    virtual void ClearFiles();
    bool DecodeSources() const { return m_decodeSources; }
    virtual void SetDecodeSources(bool decode) { m_decodeSources = decode; }

    // ---- Burning
    // speed: KB/s, kBurnSpeedMax (or any speed the drive lacks above its
    // fastest) for the fastest. 0 when the disc is done, else the error code.
    virtual std::int32_t Burn(const QString& letter, std::int32_t speed);
    // Stops the burn in progress; nothing when idle.
    virtual void Abort();
    // Releases the writer: stops a burn (Burn then returns kBurnErrAborted)
    // and forgets what was read of the drives. The control stays usable.
    virtual void Terminate();
    virtual bool IsBurning() const;

signals:
    // Percent of the track being written; the track counted from 1.
    void TrackProgress(std::int16_t Percent, std::int16_t Track);
    // Percent of the track being written, and of the whole disc.
    void Progress(std::int16_t Percent, std::int16_t DiscPercent);
    void CachingTrack();
    void WritingTrack();
    void ClosingTrack(std::int16_t Track);
    void ClosingSession();
    void Finished();
    void Error(std::int32_t Code, const QString& Description);

private:
    void RaiseError(std::int32_t code, const QString& text);

    QStringList m_files;
    bool m_decodeSources = false;
    std::vector<std::int32_t> m_speeds; // of the drive last given to GetSpeedCount
    std::unique_ptr<ControlThread> m_thread;
    bool m_burning = false;
    bool m_aborted = false;
};

// Creates the control windows use: the real one, or what the installed factory makes.
std::unique_ptr<cAudioBurner> CreateAudioBurner();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioBurnerFactory(std::function<std::unique_ptr<cAudioBurner>()> factory);
