#pragma once
// Inside the disc writers: a drive grabbed from libburn, and one write run on
// it, shared by the audio CD burn and the data disc burn.
#include "controls/burn/BurnerEngine.h"

#include <cstdint>
#include <functional>

#include <libburn/libburn.h>

namespace burnengine {

// libburn's latest complaint, for an error text; empty when it said nothing.
// `osError` gets the system's error number of the last complaint that had one.
QString LibburnMessage(int* osError = nullptr);

// A drive held by this program; released when dropped, its tray opened
// first when asked.
class GrabbedDrive {
public:
    GrabbedDrive() = default;
    GrabbedDrive(const GrabbedDrive&) = delete;
    GrabbedDrive& operator=(const GrabbedDrive&) = delete;
    ~GrabbedDrive();

    // A drive of the machine by its device, or libburn's file pseudo-drive
    // on `file` (an image writer's temporary file).
    Status Grab(const optical::Drive& drive, bool loadTray = false);
    Status GrabFile(const QString& file);
    burn::burn_drive* Get() const { return m_drive; }
    const burn::burn_drive_info& Info() const { return m_info[0]; }
    void EjectOnRelease() { m_eject = true; }

private:
    Status GrabAddress(const QByteArray& address, const QString& name, bool loadTray);

    burn::burn_drive_info* m_info = nullptr;
    burn::burn_drive* m_drive = nullptr;
    bool m_eject = false;
};

// The profiles of the discs a use writes.
bool IsCDProfile(int profile);
bool IsDVDProfile(int profile);

struct WriteSettings {
    std::int32_t speed = kBurnSpeedMax; // KB/s
    bool audio = false;                 // disc-at-once audio; otherwise the write type that suits the disc
    bool closeDisc = true;
};

// Writes the disc on the grabbed drive and waits for the end, calling `watch`
// about ten times a second meanwhile; `abort` cancels the write. A full disk
// is said as such, naming `imageFolder` (the folder of an image file being
// written) when given.
using WriteWatch = std::function<void(burn::burn_drive_status, const burn::burn_progress&)>;
Status WriteDisc(burn::burn_drive* drive, burn::burn_disc* disc, const WriteSettings& settings,
                 const std::atomic<bool>& abort, const WriteWatch& watch, const QString& imageFolder = {});

// The drive is closing the disc.
bool IsClosing(burn::burn_drive_status status);

// A disc of one session holding these tracks; the disc owns them afterwards.
struct DiscLayout {
    DiscLayout();
    DiscLayout(const DiscLayout&) = delete;
    DiscLayout& operator=(const DiscLayout&) = delete;
    ~DiscLayout();
    // Adds a track reading from `source` (which the track takes a reference on).
    void AddTrack(burn::burn_source* source, int mode, int tailPadding = 0);

    burn::burn_disc* disc = nullptr;
    burn::burn_session* session = nullptr;
};

} // namespace burnengine
