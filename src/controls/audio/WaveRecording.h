#pragma once
// Inside the recorder control: one recording, run on the control's thread. It
// reads the input device a period at a time, converts what the device gives
// into the file's format when the two differ, reports each period's level
// and appends the frames to the wave file.
#include "controls/audio/AlsaDevice.h"
#include "controls/ControlThread.h"
#include "controls/audio/WaveFile.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace waverec {

// What the window thread and the recording's thread share.
struct Recording {
    std::atomic<bool> paused{false};
    wavefile::Status result; // how it ended; written by the thread before it ends
};

struct Job {
    std::shared_ptr<Recording> recording;
    std::shared_ptr<alsa::Pcm> pcm;          // opened for capture
    std::shared_ptr<wavefile::Writer> file;  // created, header written
    wavefile::Format format;                 // the file's
    QString destination;
    std::function<void(std::int16_t level)> level; // run on the owner's thread
    std::function<void()> ended;                   // run on the owner's thread when it ends by itself
};

// The job for a ControlThread; its abort ends the recording and completes the file.
ControlThread::Job RecordJob(Job job);

// The loudest of `count` samples on the meter's scale: 0 at -60 dB or
// quieter, 100 at full scale.
std::int16_t PeakLevel(const std::uint8_t* samples, std::int64_t count, int bytesPerSample);

// The ALSA sample format that carries a file's samples unchanged.
alsa::SampleFormat DeviceFormatFor(const wavefile::Format& format);

} // namespace waverec
