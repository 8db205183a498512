#pragma once
// Sound devices on ALSA, for every control that plays or records: the lists
// of output and input devices from ALSA's device hints ("default" first; on a
// desktop it reaches PipeWire or PulseAudio through their ALSA plugins), and
// one opened PCM with the format the device agreed to. A Pcm is used from one
// thread at a time, normally its owner's worker thread; its reads and writes
// block until the device has taken or given the frames.
#include <QString>
#include <cstdint>
#include <vector>

typedef struct _snd_pcm snd_pcm_t;

namespace alsa {

enum class Direction { Playback, Capture };

struct DeviceInfo {
    QString name;        // what Pcm::Open takes: "default", "hw:CARD=PCH,DEV=0", "pulse"...
    QString description; // ALSA's text for it, one line; may be empty
};

// The devices of one direction that a user recognises: "default" first when
// ALSA knows it (the sound server, or the default card), then each sound
// card's devices, one entry each with ALSA's description of it ("HDA Intel
// PCH, ALC892 Analog"), then the devices the user defined himself (no
// description). ALSA's bare plugins are left out: the definitions that
// describe themselves but name no card ("null", the rate converters, the
// up-mixers, the sound servers' plugins that "default" already reaches).
std::vector<DeviceInfo> ListDevices(Direction direction);
// What a list shows for a device: "default" as it is, another by its
// description, else by its name.
QString DisplayName(const DeviceInfo& device);
// Older settings kept a device as its position in the list of every device
// ALSA hinted at ("default" first): the name at that position, empty when the
// list is shorter.
QString DeviceAtOldPosition(Direction direction, int position);

// The most channels the device takes in that direction; 0 when it cannot be
// opened now (gone, or busy with another program).
int MaxChannels(const QString& device, Direction direction);

// Interleaved sample formats, little-endian.
enum class SampleFormat { U8, S16, S32, Float };
int BytesPerSample(SampleFormat format);

struct Format {
    int sampleRate = 44100;
    int channels = 2;
    SampleFormat sample = SampleFormat::S16;
    int FrameBytes() const { return channels * BytesPerSample(sample); }
    bool operator==(const Format&) const = default;
};

// Why a device could not be opened.
enum class OpenFault { None, NoDevice, Busy, FormatRefused, Failed };

// What the user reads when a device would not open: "The sound output
// device "x" ..." and why. `refusal` says what a device that refused the
// format cannot do ("cannot play this file (22050 Hz, 2 channels)");
// `alsaError` is Pcm::ErrorText().
QString OpenFaultText(OpenFault fault, const QString& device, Direction direction, const QString& refusal,
                      const QString& alsaError);

class Pcm {
public:
    Pcm() = default;
    Pcm(const Pcm&) = delete;
    Pcm& operator=(const Pcm&) = delete;
    ~Pcm() { Close(); }

    // Opens the device and sets it up as near to `wanted` as it goes: the
    // wanted sample format when the device takes it, else the closest it
    // takes; the nearest rate and channel count. GetFormat() tells what was set.
    OpenFault Open(const QString& device, Direction direction, const Format& wanted);
    void Close();
    bool IsOpen() const { return m_pcm != nullptr; }
    const Format& GetFormat() const { return m_format; }
    // ALSA's text of the last failure ("No such file or directory").
    const QString& ErrorText() const { return m_error; }

    // Playback: writes every frame unless the device fails; false then.
    // Underruns are recovered from.
    bool Write(const void* frames, int count);
    // Capture: reads up to `count` frames; the number read, -1 on failure.
    int Read(void* frames, int count);
    // Frames written but not yet heard (playback), or taken in but not yet
    // read (capture); 0 when unknown.
    std::int64_t Delay();
    // Holds the device where it is; false when it cannot, and then Drop and
    // Start again instead.
    bool Pause(bool hold);
    // Throws away what the device still holds and makes it ready again.
    void Drop();
    // Starts a device whose buffer has not filled up yet (the last frames of
    // a short play).
    void Start();
    // True while the device still plays what it was given.
    bool Running();

private:
    snd_pcm_t* m_pcm = nullptr;
    Format m_format;
    QString m_error;
    bool m_canPause = false;
};

// The order in which sample formats are offered to a device that does not
// take the wanted one: the nearest in precision first.
std::vector<SampleFormat> FormatPreference(SampleFormat wanted);

} // namespace alsa
