#pragma once
// Short blocks of what a player is playing, published by number so that a
// window can hand them on to the level graphs without the player knowing
// about any graph: the player publishes a block (PublishAudioBlock) and
// returns its number (cPlayer::AudioData); the graph looks it up.
#include <cstdint>
#include <memory>
#include <vector>

// A short run of sound, interleaved, full scale 1.0.
struct AudioBlock {
    int sampleRate = 44100;
    int channels = 2;
    std::vector<float> samples;
    int Frames() const { return channels > 0 ? int(samples.size()) / channels : 0; }
};

// Keeps the block for the graphs and returns its number (never 0). Only the
// last few blocks are kept; an older number finds nothing.
std::int32_t PublishAudioBlock(AudioBlock block);
std::shared_ptr<const AudioBlock> FindAudioBlock(std::int32_t number);
