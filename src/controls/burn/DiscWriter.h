#pragma once
// What the disc writer controls share (the audio CD writer in
// AudioCDBurner.h, the data disc writers in DataCDBurner.h and
// DataDiscBurner.h): their error codes and speeds.
//
// Writers. Each lists the machine's drives that write its discs and, when the
// environment names one, its image writer (OpticalDrives.h): the audio CD
// writer's writes a BIN/CUE image (TARVELLO_AUDIO_CD_IMAGE), the data disc
// writers' an ISO image file (TARVELLO_DATA_DISC_IMAGE). An image writer
// stands for a blank disc that is always in the drive; it is written to a
// hidden temporary file beside the image and renamed into place when the
// burn is complete, so a failed or aborted burn leaves no image behind.
#include <cstdint>

// Error codes of the writers' Error events and results.
inline constexpr std::int32_t kBurnErrNoDrive = 40;      // no such writer, or it cannot be opened
inline constexpr std::int32_t kBurnErrNoFiles = 41;      // nothing to burn
inline constexpr std::int32_t kBurnErrSource = 42;       // a file cannot be read (audio: is not CD audio)
inline constexpr std::int32_t kBurnErrMedia = 43;        // no disc, a disc that is not blank, or one the writer does not write
inline constexpr std::int32_t kBurnErrTooBig = 44;       // the files do not fit on the disc
inline constexpr std::int32_t kBurnErrWrite = 45;        // writing failed
inline constexpr std::int32_t kBurnErrAborted = 46;      // Abort stopped the burn
inline constexpr std::int32_t kBurnErrBusy = 47;         // a burn of this control is running
inline constexpr std::int32_t kBurnErrTray = 48;         // the tray did not move
inline constexpr std::int32_t kBurnErrNotInstalled = 49; // the writing libraries are missing or unusable

// The speed that asks for the drive's fastest (KB/s).
inline constexpr std::int32_t kBurnSpeedMax = 65535;
// KB/s of one CD speed ("1x").
inline constexpr std::int32_t kCDSpeedKBs = 176;
