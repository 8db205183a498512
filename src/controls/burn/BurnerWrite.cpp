// One write run of libburn on a grabbed drive, for audio CDs and data discs.
#include "controls/burn/BurnerLibburn.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace burnengine {

using namespace burn;

namespace {

constexpr auto kWatchInterval = std::chrono::milliseconds(100);

Status PrepareOptions(burn_write_opts* o, burn_disc* disc, const WriteSettings& settings)
{
    char reasons[BURN_REASONS_LEN] = {};
    burn_write_opts_set_underrun_proof(o, 1);
    burn_write_opts_set_multi(o, settings.closeDisc ? 0 : 1);
    if (settings.audio) {
        burn_write_opts_set_write_type(o, BURN_WRITE_SAO, BURN_BLOCK_SAO);
    } else if (burn_write_opts_auto_write_type(o, disc, reasons, 0) == BURN_WRITE_NONE) {
        return Fail(kBurnErrMedia, "The disc cannot be written: " + QString::fromLocal8Bit(reasons).trimmed());
    }
    if (burn_precheck_write(o, disc, reasons, 0) <= 0)
        return Fail(kBurnErrMedia, "The disc cannot be written: " + QString::fromLocal8Bit(reasons).trimmed());
    return {};
}

} // namespace

bool IsClosing(burn_drive_status status)
{
    return status == BURN_DRIVE_WRITING_LEADOUT || status == BURN_DRIVE_CLOSING_TRACK ||
           status == BURN_DRIVE_CLOSING_SESSION;
}

Status WriteDisc(burn_drive* drive, burn_disc* disc, const WriteSettings& settings, const std::atomic<bool>& abort,
                 const WriteWatch& watch, const QString& imageFolder)
{
    burn_write_opts* o = burn_write_opts_new(drive);
    if (!o) return Fail(kBurnErrWrite, "Out of memory preparing the burn.");
    const bool fastest = settings.speed <= 0 || settings.speed >= kBurnSpeedMax;
    burn_drive_set_speed(drive, 0, fastest ? 0 : settings.speed);
    const Status prepared = PrepareOptions(o, disc, settings);
    if (!prepared.ok()) {
        burn_write_opts_free(o);
        return prepared;
    }
    LibburnMessage(); // what came before this burn is not its complaint
    burn_disc_write(o, disc);
    burn_write_opts_free(o);

    bool cancelled = false;
    for (;;) {
        burn_progress progress{};
        const burn_drive_status status = burn_drive_get_status(drive, &progress);
        if (status == BURN_DRIVE_IDLE) break;
        if (abort && !cancelled) {
            burn_drive_cancel(drive);
            cancelled = true;
        }
        if (status != BURN_DRIVE_SPAWNING && watch) watch(status, progress);
        std::this_thread::sleep_for(kWatchInterval);
    }
    ForgetDiscFacts();
    if (abort) return Fail(kBurnErrAborted, "The burn was aborted.");
    if (burn_drive_wrote_well(drive) != 1) {
        int osError = 0;
        const QString message = LibburnMessage(&osError);
        if (osError == ENOSPC || osError == EDQUOT || osError == EFBIG)
            return Fail(kBurnErrWrite, imageFolder.isEmpty() ? QString("The disk is full.")
                                                                     : "The disk is full: " + imageFolder);
        return Fail(kBurnErrWrite, message.isEmpty() ? QString("Writing the disc failed.")
                                                     : "Writing the disc failed: " + message);
    }
    return {};
}

DiscLayout::DiscLayout() : disc(burn_disc_create()), session(burn_session_create())
{
    burn_disc_add_session(disc, session, BURN_POS_END);
}

DiscLayout::~DiscLayout()
{
    burn_session_free(session);
    burn_disc_free(disc);
}

void DiscLayout::AddTrack(burn_source* source, int mode, int tailPadding)
{
    burn_track* track = burn_track_create();
    burn_track_define_data(track, 0, tailPadding, 1, mode);
    burn_track_set_source(track, source);
    burn_session_add_track(session, track, BURN_POS_END);
    burn_track_free(track); // the session holds it
}

} // namespace burnengine
