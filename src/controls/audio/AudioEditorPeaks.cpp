#include "controls/audio/AudioEditorPeaks.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <thread>

namespace editorpeaks {

namespace {

constexpr std::int64_t kChunkFrames = 1 << 16;
// Views of more frames than this are split among threads.
constexpr std::int64_t kFramesPerThread = std::int64_t(1) << 22;
constexpr int kMaxThreads = 4;

template <int Bytes>
void ScanSpan(const std::uint8_t* p, std::int64_t frames, int channels, std::int32_t* mn, std::int32_t* mx)
{
    if constexpr (Bytes == 2) {
        // The common case, kept simple enough for the compiler to vectorise.
        for (int c = 0; c < channels; ++c) {
            std::int16_t lo = INT16_MAX, hi = INT16_MIN;
            for (std::int64_t i = 0; i < frames; ++i) {
                std::int16_t v;
                std::memcpy(&v, p + (i * channels + c) * 2, 2);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            mn[c] = std::min<std::int32_t>(mn[c], lo);
            mx[c] = std::max<std::int32_t>(mx[c], hi);
        }
    } else {
        for (std::int64_t i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c) {
                const std::int32_t v = wavefile::SampleValue(p + (i * channels + c) * Bytes, Bytes);
                mn[c] = std::min(mn[c], v);
                mx[c] = std::max(mx[c], v);
            }
    }
}

void Scan(const std::uint8_t* p, std::int64_t frames, int channels, int bytes, std::int32_t* mn, std::int32_t* mx)
{
    switch (bytes) {
    case 1: ScanSpan<1>(p, frames, channels, mn, mx); break;
    case 2: ScanSpan<2>(p, frames, channels, mn, mx); break;
    case 3: ScanSpan<3>(p, frames, channels, mn, mx); break;
    default: ScanSpan<4>(p, frames, channels, mn, mx); break;
    }
}

// The columns [c0, c1), read chunk by chunk.
bool BuildColumns(const wavefile::Reader& reader, const View& view, int c0, int c1, const std::atomic<bool>& abort,
                  Peaks* peaks)
{
    const wavefile::Format& f = reader.GetFacts().format;
    const int channels = f.channels;
    const int frameBytes = f.BlockAlign();
    std::vector<std::uint8_t> buffer(size_t(kChunkFrames * frameBytes));
    std::int64_t held = 0, count = 0; // the buffer holds frames [held, held + count)
    for (int c = c0; c < c1; ++c) {
        std::int32_t* mn = peaks->min.data() + size_t(c) * channels;
        std::int32_t* mx = peaks->max.data() + size_t(c) * channels;
        std::fill(mn, mn + channels, INT32_MAX);
        std::fill(mx, mx + channels, INT32_MIN);
        const auto [first, end] = ColumnFrames(view, c);
        for (std::int64_t at = first; at < end;) {
            if (at < held || at >= held + count) {
                if (abort.load()) return false;
                count = reader.Read(at, kChunkFrames, buffer.data());
                held = at;
                if (count <= 0) return false;
            }
            const std::int64_t take = std::min(end, held + count) - at;
            Scan(buffer.data() + (at - held) * frameBytes, take, channels, f.BytesPerSample(), mn, mx);
            at += take;
        }
        if (first >= end) {
            std::fill(mn, mn + channels, 0);
            std::fill(mx, mx + channels, 0);
        }
    }
    return true;
}

} // namespace

std::pair<std::int64_t, std::int64_t> ColumnFrames(const View& view, int column)
{
    const std::int64_t n = view.Frames();
    const std::int64_t first = view.first + n * column / view.columns;
    const std::int64_t end = view.first + n * (column + 1) / view.columns;
    return {first, std::min(std::max(end, first + 1), view.end)};
}

bool Build(const wavefile::Reader& reader, const View& view, const std::atomic<bool>& abort, Peaks* peaks)
{
    if (view.columns <= 0 || view.Frames() < 0) return false;
    peaks->view = view;
    peaks->channels = reader.GetFacts().format.channels;
    peaks->min.assign(size_t(view.columns) * peaks->channels, 0);
    peaks->max.assign(size_t(view.columns) * peaks->channels, 0);
    // Columns never share frames once each has one of its own.
    const int threads = view.Frames() < view.columns
                            ? 1
                            : int(std::clamp<std::int64_t>(view.Frames() / kFramesPerThread, 1,
                                                           std::min(kMaxThreads, view.columns)));
    std::vector<std::thread> helpers;
    std::vector<char> done(size_t(threads), 0);
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back([&, t] {
            done[size_t(t)] = BuildColumns(reader, view, view.columns * t / threads, view.columns * (t + 1) / threads,
                                           abort, peaks);
        });
    done[0] = BuildColumns(reader, view, 0, view.columns / threads, abort, peaks);
    for (std::thread& h : helpers) h.join();
    return std::all_of(done.begin(), done.end(), [](char ok) { return ok; }) && !abort.load();
}

} // namespace editorpeaks
