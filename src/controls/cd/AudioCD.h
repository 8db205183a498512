#pragma once
// The CD library: the CD ripper control cAudioCDRipper (CD drives, the tracks
// of the disc in a drive, ripping one track into any destination format) on
// libcdio and libcdio-paranoia, and the CD database control cFreeDB (the
// titles of the disc in a drive from a CDDB server).
//
// Drives. The control lists the machine's optical drives and the BIN/CUE
// disc images that stand in for them, each named with its letter of the
// program's drive list (OpticalDrives.h): "D: /dev/sr0 VENDOR MODEL",
// "E: /path/disc.cue". SetCDDriveImages replaces the machine's drives with
// images (tests). An image drive is empty while its cue file is missing.
//
// Reading drives (window thread). SelectDrive opens a drive and makes it the
// selected one; IsAudioCD, GetTrackCount, GetTrackType and GetTrackLength then
// describe its disc as it was when SelectDrive ran. The track list is read from
// the disc only when the disc changed since the program last looked at that
// drive (a media-changed check), so polling every few seconds costs no disc
// reads. A call that fails leaves its code and text in LastError and
// LastErrorText (0 and empty after a call that succeeded); a drive without a
// disc gives kRipErrNoDisc.
//
// Ripping. Rip returns at once; the control reads the track DriveIndex /
// TrackNumber with paranoia on its own thread and encodes it with the
// conversion control's encoders (every destination format, tags included).
// Its events arrive later as queued signals on the owning thread: zero or more
// Progress (whole percent, only when it changes), then exactly one of Done,
// Aborted or Error. A handler may call Rip again. The output is written to a
// hidden temporary file in the destination folder and renamed into place only
// when complete; an abort or an error leaves no file under the destination
// name. A sector that cannot be read after paranoia's retries ends the rip
// with kRipErrRead and a text naming the track and the time: never a gap.
//
// Getting a control. Windows call CreateAudioCDRipper(); tests install a
// factory that returns a FakeAudioCDRipper (support/FakeAudioCDRipper.h).
#include "controls/audio/AudioConverter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Codes of Error and LastError, beside the conversion control's codes for the
// destination and the encoder (kConvertErrDestinationFolder ... kConvertErrNoFileName).
inline constexpr std::int32_t kRipErrNoDrive = 20;       // no such drive, or it cannot be opened
inline constexpr std::int32_t kRipErrNoTrack = 21;       // no such track on the disc, or a data track
inline constexpr std::int32_t kRipErrRead = 22;          // a sector cannot be read
inline constexpr std::int32_t kRipErrTray = 23;          // the tray did not open or close
inline constexpr std::int32_t kRipErrDiscUnreadable = 24; // the disc (or image) cannot be read at all
inline constexpr std::int32_t kRipErrNoDisc = 91;        // no disc in the drive

// GetTrackType
inline constexpr std::int32_t kTrackTypeAudio = 1;
inline constexpr std::int32_t kTrackTypeData = 2;

// Audio CD facts.
inline constexpr std::int32_t kCDSectorsPerSecond = 75;
inline constexpr std::int32_t kCDBytesPerSector = 2352;
inline constexpr std::int32_t kCDBytesPerSecond = 176400;
inline constexpr std::int32_t kCDSampleRate = 44100;
inline constexpr std::int32_t kCDChannels = 2;
inline constexpr std::int32_t kCDBitrateKbps = kCDBytesPerSecond * 8 / 1000; // 1411

class ControlThread;
class QTimer;
namespace audiocd {
struct TocTrack;
}

class cAudioCDRipper : public QObject, public AudioOutput {
    Q_OBJECT
public:
    cAudioCDRipper();
    ~cAudioCDRipper() override;

    // ---- Drives and discs
    virtual std::int32_t GetDriveCount();
    // "D: /dev/sr0 VENDOR MODEL"; empty for a drive number outside the list.
    virtual QString GetDriveName(std::int32_t drive);
    // True when the drive could be opened for reading; an empty drive opens.
    virtual bool SelectDrive(std::int32_t drive);
    std::int32_t SelectedDrive() const { return m_selected; } // -1 before the first SelectDrive
    // True when the selected drive holds a disc with at least one audio track.
    virtual bool IsAudioCD();
    // Every track of the audio CD in the selected drive (data tracks of a
    // mixed disc included); 0 without an audio CD.
    virtual std::int32_t GetTrackCount();
    // kTrackTypeAudio, kTrackTypeData, or 0 for a track the disc does not have.
    virtual std::int32_t GetTrackType(std::int32_t track);
    // Whole seconds (sectors / 75, rounded); 0 for a track the disc does not have.
    virtual std::int32_t GetTrackLength(std::int32_t track);
    // Eject and close the selected drive (DriveIndex before any SelectDrive);
    // 0 when done, else an error code with LastErrorText. On an image drive
    // they succeed and change nothing.
    virtual std::int32_t OpenTray();
    virtual std::int32_t CloseTray();
    std::int32_t LastError() const { return m_lastError; }
    QString LastErrorText() const { return m_lastErrorText; }

    // ---- What Rip reads and writes: the drive and track here, the
    // destination, range, tags and encoder settings in AudioOutput. The range
    // counts from the start of the track.
    std::int32_t DriveIndex() const { return m_driveIndex; }
    void SetDriveIndex(std::int32_t drive) { m_driveIndex = drive; }
    std::int32_t TrackNumber() const { return m_trackNumber; }
    // Also forgets any range: a whole track after a ranged one is ripped whole.
    void SetTrackNumber(std::int32_t track);

    // Starts ripping and returns at once.
    virtual void Rip();
    // Stops the running rip; Aborted follows. Nothing when idle.
    virtual void Abort();
    // Shuts the control down: stops a running rip (its events are dropped).
    // The control stays usable: later calls open the drives again.
    virtual void Terminate();
    virtual bool IsRipping() const;

signals:
    void Progress(std::int32_t Percent);
    void Done();
    void Aborted();
    void Error(std::int32_t Code, const QString& Description);

protected:
    // For subclasses that answer the calls themselves (the fake).
    void SetLastError(std::int32_t code, const QString& text);
    void SetSelectedDrive(std::int32_t drive) { m_selected = drive; }

private:
    struct Disc;
    const Disc* SelectedDisc();
    const audiocd::TocTrack* SelectedTrack(std::int32_t track);
    std::int32_t MoveTray(bool open);

    std::int32_t m_selected = -1;
    std::unique_ptr<Disc> m_disc;
    std::int32_t m_lastError = 0;
    QString m_lastErrorText;

    std::int32_t m_driveIndex = 0;
    std::int32_t m_trackNumber = 1;
    std::unique_ptr<ControlThread> m_thread;
};

// Creates the control windows use: the real one, or what the installed factory makes.
std::unique_ptr<cAudioCDRipper> CreateAudioCDRipper();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioCDRipperFactory(std::function<std::unique_ptr<cAudioCDRipper>()> factory);

// The drive list: these disc images in place of every drive (std::nullopt goes
// back to the machine's drives and TARVELLO_CD_IMAGES). For tests.
void SetCDDriveImages(std::optional<QStringList> cueFiles);

// ---------------------------------------------------------------------------
// The CD database control: looks the audio CD in a drive up on a CDDB server
// (the CDDB protocol over TCP, protocol level 6). Each line of an entry is
// read as UTF-8 where it is valid and as Windows-1252 otherwise, so entries
// in any encoding arrive whole; a track title "A / B" gives artist A only on
// a disc of various artists.
//
// Set the drive (its letter and colon, "D:"), the server and the handshake
// texts, then StartQuery. It returns at once; the control reads the disc's
// table of contents through the ripper's drive list, computes the disc id,
// and on its own thread greets the server, queries it, reads the first match
// and closes the connection. Its events arrive later as queued signals on the
// owning thread: StateChanged as the lookup goes on ("Reading the disc",
// "Connecting", "Querying", "Reading the entry"), then either the entry
// (ArtistReceived and AlbumReceived, each only when the entry names one,
// TrackReceived for every track in order, then QueryDone), or exactly one
// Error. A lookup that
// finds no entry, cannot reach the server, is refused or runs past Timeout
// seconds (the whole lookup, from StartQuery on) ends with Error.
//
// Abort and Terminate end a lookup at once, without an event: nothing more
// arrives from it. The server's answers may still be on their way; the
// control no longer waits for them.
//
// Getting a control. Windows call CreateFreeDB(); tests install a factory
// that returns a FakeFreeDB (support/FakeFreeDB.h), or the real control set
// to a local server with UseServer.

// Codes of Error.
inline constexpr std::int32_t kFreeDBErrConnect = 1;  // the server cannot be found or reached, or dropped the line
inline constexpr std::int32_t kFreeDBErrNoMatch = 2;  // the database holds no entry for the disc
inline constexpr std::int32_t kFreeDBErrTimeout = 3;  // the lookup ran past Timeout
inline constexpr std::int32_t kFreeDBErrRefused = 4;  // the server refused the handshake or the query
inline constexpr std::int32_t kFreeDBErrAnswer = 5;   // the server's answer cannot be read
inline constexpr std::int32_t kFreeDBErrNoDisc = 6;   // no such drive, no audio CD in it, or the disc cannot be read
inline constexpr std::int32_t kFreeDBErrBusy = 7;     // StartQuery while a lookup runs

// The public CD database that answers the CDDB protocol, and the handshake the
// program gives it.
inline constexpr char kFreeDBServerHost[] = "gnudb.gnudb.org";
inline constexpr std::uint16_t kFreeDBServerPort = 8880;
inline constexpr std::int32_t kFreeDBTimeout = 20; // seconds
inline constexpr char kFreeDBUserName[] = "clsCDDB";
inline constexpr char kFreeDBClientHost[] = "localhost";
inline constexpr char kFreeDBClientName[] = "clsCDDB";
inline constexpr char kFreeDBClientVersion[] = "v0.5";

namespace cddbquery {
struct Link;
struct Entry;
struct Request;
void Run(const Request& request, Link& link);
}

class cFreeDB : public QObject {
    Q_OBJECT
public:
    cFreeDB();
    ~cFreeDB() override;

    // True when a connection to ServerHost on ServerPort can be opened now.
    // Blocks for at most Timeout seconds.
    virtual bool IsConnected();

    // The drive whose disc is looked up: its letter and colon ("D:").
    virtual void SetDrive(const QString& drive) { m_drive = drive; }
    QString Drive() const { return m_drive; }

    // The query settings; each starts at the program's value (kFreeDB...).
    std::int32_t Timeout() const { return m_timeout; } // seconds, at least 1
    virtual void SetTimeout(std::int32_t seconds) { m_timeout = seconds; }
    QString ServerHost() const { return m_serverHost; }
    virtual void SetServerHost(const QString& host);
    std::uint16_t ServerPort() const { return m_serverPort; }
    virtual void SetServerPort(std::uint16_t port);
    QString UserName() const { return m_userName; }
    virtual void SetUserName(const QString& name) { m_userName = name; }
    QString ClientHost() const { return m_clientHost; }
    virtual void SetClientHost(const QString& host) { m_clientHost = host; }
    QString ClientName() const { return m_clientName; }
    virtual void SetClientName(const QString& name) { m_clientName = name; }
    QString ClientVersion() const { return m_clientVersion; }
    virtual void SetClientVersion(const QString& version) { m_clientVersion = version; }

    // Tests: this server for good; later SetServerHost and SetServerPort
    // change nothing.
    void UseServer(const QString& host, std::uint16_t port);

    // Starts the lookup and returns at once.
    virtual void StartQuery();
    // Ends a running lookup; no event follows. Nothing when idle.
    virtual void Abort();
    // Shuts the control down: ends a running lookup. The control stays usable.
    virtual void Terminate();
    virtual bool IsQuerying() const { return m_link != nullptr; }

signals:
    void StateChanged(const QString& State);
    void ArtistReceived(const QString& Artist);
    void AlbumReceived(const QString& Album);
    // Track counts from 1; Artist is the track's own, else the disc's.
    void TrackReceived(const QString& Artist, std::int16_t Track, const QString& Title);
    void QueryDone();
    void Error(std::int32_t Code, const QString& Description);

private:
    friend void cddbquery::Run(const cddbquery::Request& request, cddbquery::Link& link);
    // Drops the running lookup: its events no longer arrive.
    void DropQuery();
    void Finish(const cddbquery::Entry& entry);
    void Fail(std::int32_t code, const QString& text);

    QString m_drive;
    std::int32_t m_timeout = kFreeDBTimeout;
    QString m_serverHost = kFreeDBServerHost;
    std::uint16_t m_serverPort = kFreeDBServerPort;
    bool m_serverFixed = false;
    QString m_userName = kFreeDBUserName;
    QString m_clientHost = kFreeDBClientHost;
    QString m_clientName = kFreeDBClientName;
    QString m_clientVersion = kFreeDBClientVersion;

    std::shared_ptr<cddbquery::Link> m_link; // the running lookup
    unsigned m_generation = 0;               // counts lookups started and dropped
    QTimer* m_deadline;
};

// Creates the control windows use: the real one, or what the installed factory makes.
std::unique_ptr<cFreeDB> CreateFreeDB();
// Tests: installs a factory; an empty function goes back to the real control.
void SetFreeDBFactory(std::function<std::unique_ptr<cFreeDB>()> factory);
