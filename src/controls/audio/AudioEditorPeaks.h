#pragma once
// Inside the audio editor: the peak cache its waveform is drawn from, the
// smallest and largest sample of each channel in each pixel column of a view.
#include "controls/audio/WaveFile.h"

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace editorpeaks {

// Frames [first, end) of a file shown in `columns` pixel columns.
struct View {
    std::int64_t first = 0;
    std::int64_t end = 0;
    int columns = 0;
    std::int64_t Frames() const { return end - first; }
    bool operator==(const View&) const = default;
};

// The frames of a column: [first + c*N/W, first + (c+1)*N/W) for N frames in
// W columns; a view of fewer frames than columns gives each column at least
// the frame at its start.
std::pair<std::int64_t, std::int64_t> ColumnFrames(const View& view, int column);

struct Peaks {
    View view;
    int channels = 0;
    // Per column and channel ([column * channels + channel]), on the file's
    // own sample scale (wavefile::SampleValue).
    std::vector<std::int32_t> min, max;
};

// Builds the peaks of a view from the file; false when `abort` was set or the
// file could not be read. Large views are read by a few threads at once.
bool Build(const wavefile::Reader& reader, const View& view, const std::atomic<bool>& abort, Peaks* peaks);

} // namespace editorpeaks
