#pragma once
// The second data disc writer control, cBurner: writes files and folders to a
// blank CD or DVD in one pass that closes the disc, on libisofs and libburn,
// with the file systems chosen: ISO 9660 with Rock Ridge (always written:
// every disc needs it, so UseISO False cannot leave it out), Joliet names,
// and with UseUDF a UDF 1.02 bridge (made by genisoimage; libisofs writes no
// UDF). Files on the disc are readable, not executable. On the image writer
// (DiscWriter.h) it writes an ISO image file.
//
// Burning. Burn returns at once; the burn runs on the control's own thread
// and its events arrive later as queued signals on the window thread:
// BurnerInitializing, BurnerWarning (a volume name longer than the 16
// characters Joliet holds is cut there), AddingFile for each
// file and folder added, FilesToBurn, StartBurning, BurnerProgress (whole
// percent, when it changes), BurnerFinalization, then BurnerDoneBurn,
// BurnerCompleted and BurnerEnd. A failure ends the burn with BurnerError
// (message, detail) instead, also one found before writing (no files, no such
// writer, no blank disc, a file gone, too much for the disc). Abort stops the
// burn: BurnerCanceled, then BurnerError. BurnerEnd follows neither. Burn
// takes the files added so far: the next burn starts with an empty list. A
// Burn while a burn runs is ignored.
//
// Getting a control. Windows call CreateBurner(); tests install a factory
// that returns a FakeBurner (support/FakeDataBurners.h).
#include "controls/burn/DiscWriter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class ControlThread;

class cBurner : public QObject {
    Q_OBJECT
public:
    cBurner();
    ~cBurner() override;

    // True when libburn and libisofs are present and usable.
    virtual bool IsEngineInstalled();

    // ---- Writers (CD and DVD writers), counted from 0
    virtual std::int32_t DeviceCount();
    // "D:"; empty outside the list.
    virtual QString GetDriveLetter(std::int32_t index);
    // "/dev/sr0 VENDOR MODEL", or the image writer's file.
    virtual QString GetDeviceName(std::int32_t index);

    // ---- The disc
    virtual void ClearFiles();
    // A file, or a folder with everything in it, at the root of the disc.
    // True when it can be read and nothing of the same name was added.
    virtual bool AddFile(const QString& path);
    bool UseISO() const { return m_useISO; }
    virtual void SetUseISO(bool use) { m_useISO = use; }
    bool UseJoliet() const { return m_useJoliet; }
    virtual void SetUseJoliet(bool use) { m_useJoliet = use; }
    bool UseUDF() const { return m_useUDF; }
    virtual void SetUseUDF(bool use) { m_useUDF = use; }
    QString VolumeName() const { return m_volumeName; }
    virtual void SetVolumeName(const QString& name) { m_volumeName = name; }

    // ---- Burning, at the drive's fastest speed
    virtual void Burn(std::int32_t deviceIndex);
    // Stops the burn in progress; nothing when idle.
    virtual void Abort();
    virtual bool IsBurning() const;

signals:
    void BurnerInitializing();
    void BurnerWarning(const QString& Message);
    void AddingFile(const QString& Path);
    void FilesToBurn(std::int32_t Files, std::int32_t Folders);
    void StartBurning();
    void BurnerProgress(std::int32_t Percent);
    void BurnerFinalization();
    void BurnerDoneBurn();
    void BurnerCompleted();
    void BurnerCanceled();
    void BurnerEnd();
    void BurnerError(const QString& Message, const QString& Detail);

private:
    // Hands the list to a burn and starts the next one empty.
    QStringList TakeFiles();

    QStringList m_files;
    bool m_useISO = true, m_useJoliet = true, m_useUDF = false;
    QString m_volumeName;
    std::unique_ptr<ControlThread> m_thread;
};

// The warning of a burn whose volume name is longer than the 16 characters
// Joliet holds (Joliet readers see it cut); empty when nothing is cut.
QString JolietVolumeNotice(const QString& volume, bool joliet);

// Creates the control windows use: the real one, or what the installed factory makes.
std::unique_ptr<cBurner> CreateBurner();
// Tests: installs a factory; an empty function goes back to the real control.
void SetBurnerFactory(std::function<std::unique_ptr<cBurner>()> factory);
