#pragma once
// An audio CD writer control for window tests: scripted writers and discs,
// burns that run as scripted inside the Burn call (a nested event loop, as
// the real control's), and every call recorded. Install it for the windows with
//     SetAudioBurnerFactory([] { return std::make_unique<FakeAudioBurner>(); });
// and reach the instance a window made through FakeAudioBurner::Last().
// The writers in DefaultDrives() are given to every fake made afterwards.
//
// A scripted burn raises CachingTrack once per file, then for each track
// WritingTrack, TrackProgress and Progress for each of its percents and
// ClosingTrack, then ClosingSession and Finished; an Error ending stops
// after the tracks instead, and Hang stops after the first WritingTrack
// until Abort or Finish. Abort ends the burn without another event and Burn
// returns kBurnErrAborted.
#include "controls/burn/AudioCDBurner.h"
#include "support/QueuedEvents.h"

#include <QEventLoop>
#include <QStringList>
#include <deque>
#include <vector>

class FakeAudioBurner : public cAudioBurner {
    Q_OBJECT
public:
    struct Drive {
        QString name = "D: /dev/sr0 FAKE WRITER";
        std::vector<std::int32_t> speeds{352, 700};
        std::int32_t diskSize = 737280000;
        std::int32_t diskCapacity = 737280000;
        QString mediaState;         // "" a blank CD is ready
        std::int32_t trayError = 0; // OpenTray and CloseTray answer this
    };
    // A writer named "<letter> /dev/srN FAKE WRITER" with a blank CD.
    static Drive Writer(int index);

    enum class Ending {
        Finished,
        Error,           // Error(errorCode, errorText) after the tracks; Burn returns errorCode
        Hang,            // waits after the first WritingTrack until Abort or Finish
        FailSilently,    // Burn returns errorCode with no event at all
    };
    struct Script {
        std::vector<std::int16_t> percents{50, 100}; // of each track
        Ending ending = Ending::Finished;
        std::int32_t errorCode = kBurnErrWrite;
        QString errorText = "Scripted error";
    };

    // What one Burn was given.
    struct BurnCall {
        QString letter;
        std::int32_t speed = 0;
        QStringList files;
        bool decode = false;
    };

    FakeAudioBurner();
    ~FakeAudioBurner() override;
    // The fake made last (nullptr once it is gone).
    static FakeAudioBurner* Last();
    // Writers every fake starts with.
    static std::vector<Drive>& DefaultDrives();

    // Scripts for the next burns, in order; without one a burn finishes.
    void QueueScript(const Script& script) { m_scripts.push_back(script); }
    // Ends a hanging burn: Finished or Error as the ending says.
    void Finish(Ending ending);

    std::vector<Drive> drives;
    QStringList refusedFiles; // AddFile answers False for these
    // Every member call in order, e.g. "GetDriveName 1", "GetSpeedCount D",
    // "AddFile /a.wav", "SetDecodeSources true", "Burn D 65535", "Abort".
    QStringList calls;
    std::vector<BurnCall> burns;

    std::int32_t GetDriveCount() override;
    QString GetDriveName(std::int32_t drive) override;
    std::int32_t GetSpeedCount(const QString& letter) override;
    QString GetSpeed(std::int32_t index) override;
    std::int32_t GetDiskSize(const QString& letter) override;
    std::int32_t GetDiskCapacity(const QString& letter) override;
    QString GetMediaState(const QString& letter) override;
    std::int32_t OpenTray(const QString& letter) override;
    std::int32_t CloseTray(const QString& letter) override;
    bool AddFile(const QString& path) override;
    std::int16_t GetFileCount() override;
    void ClearFiles() override;
    void SetDecodeSources(bool decode) override;
    std::int32_t Burn(const QString& letter, std::int32_t speed) override;
    void Abort() override;
    void Terminate() override;
    bool IsBurning() const override { return m_loop != nullptr; }

private:
    const Drive* DriveOf(const QString& letter) const;
    void End(std::int32_t result);

    QStringList m_files;
    std::vector<std::int32_t> m_speeds;
    std::deque<Script> m_scripts;
    Script m_script;
    support::QueuedEvents m_events{this};
    QEventLoop* m_loop = nullptr;
    std::int32_t m_result = 0;
};
