#pragma once
// Notification sounds: a wave file played once, without waiting. Tests
// install a service that only records what was played.
#include <QString>
#include <memory>

namespace platform {

class SoundService {
public:
    virtual ~SoundService() = default;
    // Starts playing the file and returns at once; false when it cannot be played.
    virtual bool PlayAsync(const QString& file) = 0;
    // Stops a sound that is playing.
    virtual void Stop() = 0;
};

void SetSoundService(std::unique_ptr<SoundService> service); // nullptr: the sound card
SoundService& Sounds(); // window thread only; it plays on a thread of its own

} // namespace platform
