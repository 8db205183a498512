#pragma once
// A CD ripper control for window tests: scripted drives and discs, rips that
// end as scripted with the same queued events as the real control, and every
// call recorded. Install it for the windows with
//     SetAudioCDRipperFactory([] { return std::make_unique<FakeAudioCDRipper>(); });
// and reach the instance a window made through FakeAudioCDRipper::Last().
// The drives in DefaultDrives() are given to every fake made afterwards.
// Scripted endings (QueueScript, Finish) and the record of calls come from
// support::FakeOutputControl.
#include "controls/cd/AudioCD.h"
#include "support/FakeOutputControl.h"

#include <QStringList>
#include <vector>

class FakeAudioCDRipper : public support::FakeOutputControl<cAudioCDRipper, kRipErrRead> {
    Q_OBJECT
public:
    struct Track {
        std::int32_t type = kTrackTypeAudio;
        std::int32_t seconds = 0;
    };

    struct Drive {
        QString name = "D: /dev/sr0 FAKE DRIVE";
        bool opens = true;          // SelectDrive answers True
        bool disc = true;           // false: an empty drive (disc calls fail with kRipErrNoDisc)
        std::vector<Track> tracks;  // a disc with at least one audio track is an audio CD
        std::int32_t trayError = 0; // OpenTray and CloseTray fail with this code
    };

    // A drive named "<letter> /dev/srN FAKE DRIVE" holding an audio CD with
    // tracks of these lengths, followed by `dataTracks` data tracks of 60 s.
    static Drive AudioCD(int index, const std::vector<std::int32_t>& seconds, int dataTracks = 0);
    static Drive EmptyDrive(int index);
    static Drive DataCD(int index);

    // What one Rip was given.
    struct RipCall : OutputSettings {
        std::int32_t driveIndex = 0, trackNumber = 0;
    };

    FakeAudioCDRipper();
    ~FakeAudioCDRipper() override;
    // The fake made last (nullptr once it is gone).
    static FakeAudioCDRipper* Last();
    // Drives every fake starts with.
    static std::vector<Drive>& DefaultDrives();

    // The control reports an error of its own (not the end of a rip).
    void RaiseError(std::int32_t code, const QString& text) { emit Error(code, text); }

    std::vector<Drive> drives;
    // `calls` holds every member call in order, e.g. "GetDriveName 0",
    // "SelectDrive 1", "GetTrackType 3", "SetOGGFormat", "Rip", "OpenTray".
    std::vector<RipCall> rips;

    std::int32_t GetDriveCount() override;
    QString GetDriveName(std::int32_t drive) override;
    bool SelectDrive(std::int32_t drive) override;
    bool IsAudioCD() override;
    std::int32_t GetTrackCount() override;
    std::int32_t GetTrackType(std::int32_t track) override;
    std::int32_t GetTrackLength(std::int32_t track) override;
    std::int32_t OpenTray() override;
    std::int32_t CloseTray() override;
    void Rip() override;
    void Abort() override;
    void Terminate() override;
    bool IsRipping() const override { return JobRunning(); }

private:
    // The selected drive's disc; nullptr (with the error set) when there is none.
    const Drive* SelectedDisc();
    const Track* DiscTrack(std::int32_t track);
    std::int32_t MoveTray(const QString& call);
    void EmitProgress(std::int32_t percent) override { emit Progress(percent); }
    void EmitEnding(Ending ending, std::int32_t code, const QString& text) override;
};
