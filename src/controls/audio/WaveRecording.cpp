#include "controls/audio/WaveRecording.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/Player.h"
#include "controls/audio/PlayerPlayback.h"
#include "controls/audio/WaveRecorder.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

namespace waverec {

namespace {

// Frames asked of the device at a time: one meter period.
constexpr int kPeriodsPerSecond = 20;
constexpr double kMeterFloorDb = -60.0;

// The device's frames in the file's format, when the device gave another one.
class Converter {
public:
    Converter(const alsa::Format& device, const wavefile::Format& file)
        : m_device(device), m_fileFormat(DeviceFormatFor(file))
    {
        av_channel_layout_default(&m_deviceLayout, device.channels);
        AVChannelLayout fileLayout{};
        av_channel_layout_default(&fileLayout, file.channels);
        m_resampler = std::make_unique<audiodec::Resampler>(file.sampleRate, fileLayout,
                                                            player::AvFormatFor(m_fileFormat));
        m_out = std::make_unique<audiodec::ResampleBuffer>(fileLayout, player::AvFormatFor(m_fileFormat));
        av_channel_layout_uninit(&fileLayout);
    }
    ~Converter() { av_channel_layout_uninit(&m_deviceLayout); }

    // The converted frames' bytes; empty when the conversion failed.
    std::pair<const std::uint8_t*, std::int64_t> Convert(const std::uint8_t* frames, int count, int fileFrameBytes)
    {
        m_out->Clear();
        const audiodec::PcmShape shape{player::AvFormatFor(m_device.sample), m_device.sampleRate, &m_deviceLayout};
        if (!m_resampler->Convert(shape, &frames, 0, count, *m_out).ok()) return {nullptr, 0};
        return {m_out->Data() ? m_out->Data()[0] : nullptr, std::int64_t(m_out->Count()) * fileFrameBytes};
    }

private:
    alsa::Format m_device;
    alsa::SampleFormat m_fileFormat;
    AVChannelLayout m_deviceLayout{};
    std::unique_ptr<audiodec::Resampler> m_resampler;
    std::unique_ptr<audiodec::ResampleBuffer> m_out;
};

// Records until aborted or until the device or the file fails; the status says which failed.
wavefile::Status Record(const Job& job, const std::atomic<bool>& abort, const ControlThread::Post& post)
{
    const alsa::Format device = job.pcm->GetFormat();
    const wavefile::Format& format = job.format;
    const alsa::Format wanted{format.sampleRate, format.channels, DeviceFormatFor(format)};
    std::unique_ptr<Converter> converter = device == wanted ? nullptr : std::make_unique<Converter>(device, format);
    const int periodFrames = std::max(1, device.sampleRate / kPeriodsPerSecond);
    std::vector<std::uint8_t> buffer(size_t(periodFrames) * size_t(device.FrameBytes()));
    const std::int64_t maxBytes = wavefile::MaxDataBytes(format);
    std::int64_t unpatched = 0;

    while (!abort.load()) {
        const int n = job.pcm->Read(buffer.data(), periodFrames);
        if (n < 0) {
            const std::int64_t seconds = job.file->DataBytes() / format.ByteRate();
            return {kWaveErrDevice, QString("The sound input device failed while recording (%1) after %2.")
                                        .arg(job.pcm->ErrorText(), cPlayer::FormatTime(seconds))};
        }
        auto [data, bytes] = converter ? converter->Convert(buffer.data(), n, format.BlockAlign())
                                       : std::pair<const std::uint8_t*, std::int64_t>{buffer.data(),
                                                                                      std::int64_t(n) * device.FrameBytes()};
        if (bytes <= 0) continue;
        const std::int16_t level = PeakLevel(data, bytes / format.BytesPerSample(), format.BytesPerSample());
        post([job, level] { job.level(level); });
        if (job.recording->paused.load()) continue;
        // A wave file holds at most 4 GB: the recording ends there, complete.
        const std::int64_t room = maxBytes - job.file->DataBytes();
        if (!job.file->Append(data, std::min(bytes, room))) return job.file->WriteError();
        if (bytes >= room) break;
        unpatched += bytes;
        if (unpatched >= format.ByteRate()) {
            unpatched = 0;
            if (!job.file->PatchSizes()) return job.file->WriteError();
        }
    }
    return {};
}

// The file's error as the recorder reports it.
wavefile::Status FileError(const wavefile::Status& s) { return {kWaveErrFile, s.text}; }

} // namespace

alsa::SampleFormat DeviceFormatFor(const wavefile::Format& format)
{
    return format.bitsPerSample == 8 ? alsa::SampleFormat::U8 : alsa::SampleFormat::S16;
}

std::int16_t PeakLevel(const std::uint8_t* samples, std::int64_t count, int bytesPerSample)
{
    std::int32_t peak = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int32_t v = wavefile::SampleValue(samples + i * bytesPerSample, bytesPerSample);
        peak = std::max(peak, v < 0 ? -(v + 1) : v);
    }
    if (peak == 0) return 0;
    const double fullScale = std::ldexp(1.0, bytesPerSample * 8 - 1) - 1;
    const double db = 20.0 * std::log10(std::min(1.0, peak / fullScale));
    return std::int16_t(std::clamp(std::lround(100.0 * (1.0 - db / kMeterFloorDb)), 0L, 100L));
}

ControlThread::Job RecordJob(Job job)
{
    return [job](const std::atomic<bool>& abort, const ControlThread::Post& post) -> std::function<void()> {
        wavefile::Status result = Record(job, abort, post);
        job.pcm->Close();
        const bool deviceFailed = result.code == kWaveErrDevice;
        if (!result.ok() && !deviceFailed) {
            result = FileError(result);
            job.file->Discard();
        } else if (deviceFailed && job.file->DataBytes() == 0) {
            job.file->Discard();
        } else if (const wavefile::Status committed = job.file->Commit(); !committed.ok()) {
            result = FileError(committed);
        } else if (deviceFailed) {
            result.text += " What was recorded up to then is in " + job.destination + ".";
        }
        job.recording->result = result;
        return job.ended;
    };
}

} // namespace waverec
