#pragma once
// The audio editor's error codes, shared by its window part and its saving.
#include <cstdint>

// Codes of Play and of the Error event.
inline constexpr std::int32_t kEditorErrFileMissing = 1;       // LoadFile or the save's source: no such file
inline constexpr std::int32_t kEditorErrNotWave = 2;           // not a PCM wave file this control reads
inline constexpr std::int32_t kEditorErrNoFile = 3;            // Play with no file loaded
inline constexpr std::int32_t kEditorErrPlaying = 4;           // Play while playing (no Error event)
inline constexpr std::int32_t kEditorErrPlay = 5;              // the sound output refused (no device, busy...)
inline constexpr std::int32_t kEditorErrBusy = 6;              // SaveSelection while a save runs
inline constexpr std::int32_t kEditorErrNoFileName = 7;        // no source or destination given
inline constexpr std::int32_t kEditorErrDestinationIsSource = 8;
inline constexpr std::int32_t kEditorErrEmptySelection = 9;
inline constexpr std::int32_t kEditorErrRange = 10;            // the selection starts past the end of the source
inline constexpr std::int32_t kEditorErrWrite = 11;            // folder missing or not writable, disk full
inline constexpr std::int32_t kEditorErrRead = 12;             // the source could not be read to the end
