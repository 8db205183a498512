#pragma once
// The two data disc writer controls for window tests: scripted writers and
// discs, burns that end as scripted with the same queued events as the real
// controls, and every call recorded (property sets included, so a test sees
// their order). Install them for the windows with
//     SetAudioDataBurnerFactory([] { return std::make_unique<FakeAudioDataBurner>(); });
//     SetBurnerFactory([] { return std::make_unique<FakeBurner>(); });
// and reach the instances a window made through Last(). The writers in
// DefaultDrives() / DefaultDevices() are given to every fake made afterwards.
#include "controls/burn/DataCDBurner.h"
#include "controls/burn/DataDiscBurner.h"
#include "support/QueuedEvents.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace support {
// How a scripted data burn ends.
enum class DataBurnEnding {
    Done,
    Error, // the control's error event with the script's code and text
    Hang,  // no ending until Abort or Finish
};
struct DataBurnScript {
    std::vector<std::int32_t> progress{50, 100};
    DataBurnEnding ending = DataBurnEnding::Done;
    std::int32_t errorCode = kBurnErrWrite;
    QString errorText = "Scripted error";
    QString errorDetail = "Scripted detail"; // cBurner's second text
};
} // namespace support

// The first engine. A burn raises BurnStarted, Progress for each percent,
// ClosingSession and Finished; or BurnStarted, the progress and Error. Abort
// ends it, after the events queued before it, with
// Error(kBurnErrAborted, "The burn was aborted.").
class FakeAudioDataBurner : public cAudioDataBurner {
    Q_OBJECT
public:
    struct Drive {
        QString name = "D: /dev/sr0 FAKE WRITER";
        std::vector<std::int32_t> speeds{352, 700};
        bool ready = true; // IsDriveReady
        bool empty = true; // IsDiscEmpty
        std::int32_t trayError = 0;
    };
    static Drive Writer(int index);

    struct BurnCall {
        QString letter;
        std::int32_t speed = 0;
        QStringList files;
        QString volumeLabel, fileSystem, publisherName, applicationName;
        bool burnFlag = false;
    };

    FakeAudioDataBurner();
    ~FakeAudioDataBurner() override;
    static FakeAudioDataBurner* Last();
    static std::vector<Drive>& DefaultDrives();

    void QueueScript(const support::DataBurnScript& script) { m_scripts.push_back(script); }
    void Finish(support::DataBurnEnding ending);

    std::vector<Drive> drives;
    QStringList refusedFiles; // AddFile answers False for these
    // Every member call in order, e.g. "GetSpeedCount D", "IsDriveReady D",
    // "AddFile /t/a.mp3", "SetVolumeLabel Name", "SetFileSystem CDFS",
    // "SetBurnFlag false", "Burn D 65535", "OpenTray D", "Abort".
    QStringList calls;
    std::vector<BurnCall> burns;

    std::int32_t GetDriveCount() override;
    QString GetDriveName(std::int32_t drive) override;
    std::int32_t GetSpeedCount(const QString& letter) override;
    std::int32_t GetSpeed(std::int32_t index) override;
    bool IsDriveReady(const QString& letter) override;
    bool IsDiscEmpty(const QString& letter) override;
    std::int32_t OpenTray(const QString& letter) override;
    std::int32_t CloseTray(const QString& letter) override;
    bool AddFile(const QString& path) override;
    void SetVolumeLabel(const QString& label) override;
    void SetFileSystem(const QString& name) override;
    void SetPublisherName(const QString& name) override;
    void SetApplicationName(const QString& name) override;
    void SetBurnFlag(bool open) override;
    void Burn(const QString& letter, std::int32_t speed) override;
    void Abort() override;
    void Terminate() override;
    bool IsBurning() const override { return m_burning; }

private:
    const Drive* DriveOf(const QString& letter) const;
    void End(support::DataBurnEnding ending, std::int32_t code, const QString& text);

    QStringList m_files;
    std::vector<std::int32_t> m_speeds;
    std::deque<support::DataBurnScript> m_scripts;
    support::DataBurnScript m_script;
    support::QueuedEvents m_events{this};
    bool m_burning = false;
    bool m_abortRequested = false;
};

// The second engine. A burn raises BurnerInitializing, BurnerWarning (a
// volume name Joliet cuts, as the real control words it),
// AddingFile for each file, FilesToBurn(files, 0), StartBurning,
// BurnerProgress for each percent, BurnerFinalization, BurnerDoneBurn,
// BurnerCompleted and BurnerEnd; or, after the progress, BurnerError. Abort
// ends it, after the events queued before it, with BurnerCanceled and
// BurnerError.
class FakeBurner : public cBurner {
    Q_OBJECT
public:
    struct Device {
        QString letter = "D:";
        QString name = "/dev/sr0 FAKE WRITER";
    };
    static Device Writer(int index);

    struct BurnCall {
        std::int32_t device = 0;
        QStringList files;
        bool iso = false, joliet = false, udf = false;
        QString volumeName;
    };

    FakeBurner();
    ~FakeBurner() override;
    static FakeBurner* Last();
    static std::vector<Device>& DefaultDevices();
    // Whether IsEngineInstalled answers True, for every fake made afterwards.
    static bool& DefaultInstalled();

    void QueueScript(const support::DataBurnScript& script) { m_scripts.push_back(script); }
    void Finish(support::DataBurnEnding ending);

    std::vector<Device> devices;
    bool installed = true;
    QStringList refusedFiles;
    // Every member call in order, e.g. "IsEngineInstalled", "DeviceCount",
    // "GetDriveLetter 0", "ClearFiles", "SetUseISO false", "SetVolumeName x",
    // "AddFile /t/a.mp3", "Burn 0", "Abort".
    QStringList calls;
    std::vector<BurnCall> burns;

    bool IsEngineInstalled() override;
    std::int32_t DeviceCount() override;
    QString GetDriveLetter(std::int32_t index) override;
    QString GetDeviceName(std::int32_t index) override;
    void ClearFiles() override;
    bool AddFile(const QString& path) override;
    void SetUseISO(bool use) override;
    void SetUseJoliet(bool use) override;
    void SetUseUDF(bool use) override;
    void SetVolumeName(const QString& name) override;
    void Burn(std::int32_t deviceIndex) override;
    void Abort() override;
    bool IsBurning() const override { return m_burning; }

private:
    void End(support::DataBurnEnding ending, const QString& message, const QString& detail);

    QStringList m_files;
    std::deque<support::DataBurnScript> m_scripts;
    support::DataBurnScript m_script;
    support::QueuedEvents m_events{this};
    bool m_burning = false;
    bool m_abortRequested = false;
};
