#pragma once
// The first data disc writer control, cAudioDataBurner: writes files to a
// blank CD as one ISO 9660 file system with Joliet names, on libisofs and
// libburn, in one pass that closes the disc (or leaves it open for another
// session with BurnFlag). On the image writer (DiscWriter.h) it writes the
// same file system into an ISO image file.
//
// Drives are named by letter: every call that takes a drive reads only the
// first character of its text.
//
// Burning. Burn returns at once; the burn runs on the control's own thread
// and its events arrive later as queued signals on the window thread:
// BurnStarted, Progress (whole percent, when it changes), ClosingSession,
// then Finished; or Error at a failure, also for one found before writing
// (no files, no such writer, no blank CD, a file gone, too much for the
// disc). Abort stops the burn, which then ends with Error(kBurnErrAborted).
// Finished follows no Error. Burn takes the files added so far: the next
// burn starts with an empty list. A Burn while a burn runs is ignored.
//
// Getting a control. Windows call CreateAudioDataBurner(); tests install a
// factory that returns a FakeAudioDataBurner (support/FakeDataBurners.h).
#include "controls/burn/DiscWriter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ControlThread;

class cAudioDataBurner : public QObject {
    Q_OBJECT
public:
    cAudioDataBurner();
    ~cAudioDataBurner() override;

    // ---- Writers (CD writers)
    virtual std::int32_t GetDriveCount();
    // Drives counted from 1: "D: /dev/sr0 VENDOR MODEL"; empty outside the list.
    virtual QString GetDriveName(std::int32_t drive);
    // The writing speeds of the drive with the disc it holds, slowest first;
    // GetSpeed(1 ... count) gives them in KB/s. An image writer has none.
    virtual std::int32_t GetSpeedCount(const QString& letter);
    virtual std::int32_t GetSpeed(std::int32_t index);
    // A disc is in the drive and the drive answers (an image writer: its folder can be written).
    virtual bool IsDriveReady(const QString& letter);
    // The disc is blank: a CD this control can write from the start.
    virtual bool IsDiscEmpty(const QString& letter);
    // 0, or kBurnErrNoDrive / kBurnErrTray. The image writer has no tray: 0.
    virtual std::int32_t OpenTray(const QString& letter);
    virtual std::int32_t CloseTray(const QString& letter);

    // ---- The disc
    // True when the file can be read and no file of the same name was added.
    virtual bool AddFile(const QString& path);
    QString VolumeLabel() const { return m_volumeLabel; }
    virtual void SetVolumeLabel(const QString& label) { m_volumeLabel = label; }
    // Any text; the disc is always ISO 9660 with Joliet ("CDFS").
    QString FileSystem() const { return m_fileSystem; }
    virtual void SetFileSystem(const QString& name) { m_fileSystem = name; }
    QString PublisherName() const { return m_publisherName; }
    virtual void SetPublisherName(const QString& name) { m_publisherName = name; }
    QString ApplicationName() const { return m_applicationName; }
    virtual void SetApplicationName(const QString& name) { m_applicationName = name; }
    // True leaves the disc open for another session; False closes it.
    bool BurnFlag() const { return m_burnFlag; }
    virtual void SetBurnFlag(bool open) { m_burnFlag = open; }

    // ---- Burning
    // speed: KB/s, kBurnSpeedMax for the fastest.
    virtual void Burn(const QString& letter, std::int32_t speed);
    // Stops the burn in progress; nothing when idle.
    virtual void Abort();
    // Stops a burn (its events are dropped), empties the file list and
    // forgets the speeds read. The control stays usable.
    virtual void Terminate();
    virtual bool IsBurning() const;

signals:
    void BurnStarted();
    void Progress(std::int16_t Percent);
    void ClosingSession();
    void Finished();
    void Error(std::int32_t Code, const QString& Description);

private:
    // Hands the list to a burn and starts the next one empty.
    QStringList TakeFiles();

    QStringList m_files;
    QString m_volumeLabel, m_fileSystem = "CDFS", m_publisherName, m_applicationName;
    bool m_burnFlag = false;
    std::vector<std::int32_t> m_speeds; // of the drive last given to GetSpeedCount
    std::unique_ptr<ControlThread> m_thread;
};

// Creates the control windows use: the real one, or what the installed factory makes.
std::unique_ptr<cAudioDataBurner> CreateAudioDataBurner();
// Tests: installs a factory; an empty function goes back to the real control.
void SetAudioDataBurnerFactory(std::function<std::unique_ptr<cAudioDataBurner>()> factory);
