// The shared ALSA module: device lists, opening with a format, and the
// recording side that the recorder will use.
#include "controls/audio/PlayerTestSupport.h"
#include "controls/audio/AlsaDevice.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace playertest;

namespace {

QStringList Names(const std::vector<alsa::DeviceInfo>& devices)
{
    QStringList names;
    for (const alsa::DeviceInfo& d : devices) names << d.name;
    return names;
}

TEST(AlsaDevices, DefaultComesFirstInBothDirections)
{
    for (alsa::Direction direction : {alsa::Direction::Playback, alsa::Direction::Capture}) {
        const QStringList names = Names(alsa::ListDevices(direction));
        ASSERT_FALSE(names.isEmpty());
        EXPECT_EQ(names.first(), "default");
        for (const char* name : {"paced", "missingcard", "recorded"}) EXPECT_TRUE(names.contains(name)) << name;
        // Capture from "null" would fill the disk with silence at full speed.
        EXPECT_EQ(names.contains("null"), direction == alsa::Direction::Playback);
    }
    for (const alsa::DeviceInfo& d : alsa::ListDevices(alsa::Direction::Playback))
        EXPECT_FALSE(d.description.contains('\n'));
}

TEST(AlsaDevices, WithoutASoundCardOnlyNullIsListed)
{
    QTemporaryDir empty;
    UseAlsaConfigFolder(empty.path());
    const QStringList names = Names(alsa::ListDevices(alsa::Direction::Playback));
    EXPECT_FALSE(names.contains("default"));
    alsa::Pcm pcm;
    EXPECT_EQ(pcm.Open("default", alsa::Direction::Playback, {}), alsa::OpenFault::NoDevice);
    EXPECT_FALSE(pcm.IsOpen());
    UseAlsaConfigFolder({});
}

TEST(AlsaDevices, OpeningSaysWhyItFails)
{
    alsa::Pcm pcm;
    for (const char* name : {"missingcard", "no-such-device"}) {
        EXPECT_EQ(pcm.Open(name, alsa::Direction::Playback, {}), alsa::OpenFault::NoDevice) << name;
        EXPECT_EQ(pcm.ErrorText(), "No such file or directory");
    }
}

TEST(AlsaDevices, ADeviceThatTakesAnyFormatGetsTheWantedOne)
{
    const alsa::Format wanted{22050, 1, alsa::SampleFormat::U8};
    alsa::Pcm pcm;
    ASSERT_EQ(pcm.Open("null", alsa::Direction::Playback, wanted), alsa::OpenFault::None);
    EXPECT_EQ(pcm.GetFormat(), wanted);
    EXPECT_EQ(pcm.GetFormat().FrameBytes(), 1);
    const std::vector<std::uint8_t> silence(22050, 128);
    EXPECT_TRUE(pcm.Write(silence.data(), int(silence.size())));
}

TEST(AlsaDevices, FormatsAreOfferedNearestFirst)
{
    using F = alsa::SampleFormat;
    struct Case {
        F wanted;
        std::vector<F> order;
    } cases[] = {{F::U8, {F::U8, F::S16, F::S32, F::Float}},
                 {F::S16, {F::S16, F::S32, F::Float, F::U8}},
                 {F::S32, {F::S32, F::Float, F::S16, F::U8}},
                 {F::Float, {F::Float, F::S32, F::S16, F::U8}}};
    for (const Case& c : cases) EXPECT_EQ(alsa::FormatPreference(c.wanted), c.order);
}

// What the recorder will do: read what the device records.
TEST(AlsaDevices, CaptureReadsWhatTheDeviceRecords)
{
    QByteArray source;
    for (int i = 0; i < 4410 * 2; ++i) {
        const auto v = std::int16_t(i * 7);
        source.append(reinterpret_cast<const char*>(&v), 2);
    }
    QFile in(RecordedSource());
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write(source);
    in.close();

    alsa::Pcm pcm;
    ASSERT_EQ(pcm.Open("recorded", alsa::Direction::Capture, {44100, 2, alsa::SampleFormat::S16}), alsa::OpenFault::None);
    QByteArray recorded(source.size(), '\0');
    int frames = 0;
    while (frames < 4410) {
        const int n = pcm.Read(recorded.data() + frames * 4, 4410 - frames);
        ASSERT_GT(n, 0);
        frames += n;
    }
    EXPECT_TRUE(recorded == source);
}

} // namespace
