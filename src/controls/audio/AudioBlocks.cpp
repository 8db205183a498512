#include "controls/audio/AudioBlocks.h"

#include <climits>
#include <deque>
#include <mutex>

namespace {

constexpr size_t kKeptBlocks = 16;

struct BlockStore {
    std::mutex mutex;
    std::int32_t last = 0;
    std::deque<std::pair<std::int32_t, std::shared_ptr<const AudioBlock>>> kept;
};

BlockStore& Store()
{
    static BlockStore store;
    return store;
}

} // namespace

std::int32_t PublishAudioBlock(AudioBlock block)
{
    BlockStore& s = Store();
    std::lock_guard lock(s.mutex);
    s.last = s.last == INT_MAX ? 1 : s.last + 1;
    s.kept.emplace_back(s.last, std::make_shared<const AudioBlock>(std::move(block)));
    if (s.kept.size() > kKeptBlocks) s.kept.pop_front();
    return s.last;
}

std::shared_ptr<const AudioBlock> FindAudioBlock(std::int32_t number)
{
    BlockStore& s = Store();
    std::lock_guard lock(s.mutex);
    for (const auto& [n, block] : s.kept)
        if (n == number) return block;
    return nullptr;
}
