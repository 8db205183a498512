// The shared ALSA module: device lists, opening with a format, and the
// recording side that the recorder will use.
#include "controls/audio/PlayerTestSupport.h"
#include "controls/audio/AlsaDevice.h"

#include <QDir>
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
        // "null" is a bare plugin: played into it, sound goes nowhere; recorded
        // from, it would fill the disk with silence at full speed.
        EXPECT_FALSE(names.contains("null"));
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

// A sound card of the test's own with two output devices and an input,
// hinted at as ALSA hints at a card's devices (through several plugins each),
// beside plugins that describe themselves and a device the user defined.
class AlsaCardConfig {
public:
    AlsaCardConfig(bool withCard = true)
    {
        QDir().mkpath(m_dir.filePath("alsa"));
        QString rc;
        const auto device = [&](const char* name, const char* file) {
            rc += QString("pcm.%1 { @args [ CARD DEV ] @args.CARD { type string } @args.DEV { type integer } "
                          "type file slave.pcm \"null\" file \"%2\" format \"raw\" }\n")
                      .arg(name, m_dir.filePath(file));
        };
        const auto plugin = [&](const char* name, const char* description) {
            rc += QString("pcm.%1 { type null hint { show on description \"%2\" } }\n").arg(name, description);
        };
        // Named apart from the plugins the machine may have installed.
        plugin("testrate", "Rate Converter Plugin Using Libav/FFmpeg Library");
        plugin("testupmix", "Plugin for channel upmix (4,6,8)");
        plugin("testserver", "PulseAudio Sound Server");
        if (withCard) {
            rc += QString("pcm.!default { type file slave.pcm \"null\" file \"%1\" format \"raw\" }\n")
                      .arg(m_dir.filePath("default.raw"));
            rc += QString("pcm.mine { type file slave.pcm \"null\" file \"%1\" format \"raw\" }\n")
                      .arg(m_dir.filePath("mine.raw"));
            device("speakers", "speakers.raw");
            device("headphones", "headphones.raw");
            device("mic", "mic.raw");
            rc += "namehint.pcm {\n"
                  " a \"speakers:CARD=Test,DEV=0|Test Card, Speakers|IOIDOutput\"\n"
                  " b \"plughw:CARD=Test,DEV=0|Test Card, Speakers|IOIDOutput\"\n"
                  " c \"headphones:CARD=Test,DEV=1|Test Card, Headphones|IOIDOutput\"\n"
                  " d \"mic:CARD=Test,DEV=2|Test Card, Microphone|IOIDInput\"\n"
                  "}\n";
        }
        QFile file(m_dir.filePath("alsa/asoundrc"));
        if (file.open(QIODevice::WriteOnly)) file.write(rc.toUtf8());
        file.close();
        UseAlsaConfigFolder(m_dir.path());
    }
    ~AlsaCardConfig() { UseAlsaConfigFolder({}); }

private:
    QTemporaryDir m_dir;
};

QStringList Shown(const std::vector<alsa::DeviceInfo>& devices)
{
    QStringList shown;
    for (const alsa::DeviceInfo& d : devices) shown << alsa::DisplayName(d);
    return shown;
}

TEST(AlsaDevices, ACardsDevicesFollowDefaultByTheirDescriptionsWithoutThePlugins)
{
    AlsaCardConfig config;
    const auto outputs = alsa::ListDevices(alsa::Direction::Playback);
    EXPECT_EQ(Shown(outputs), QStringList({"default", "Test Card, Speakers", "Test Card, Headphones", "mine"}));
    // One entry for each device of the card, through plughw where ALSA hints at it.
    EXPECT_EQ(Names(outputs), QStringList({"default", "plughw:CARD=Test,DEV=0", "headphones:CARD=Test,DEV=1", "mine"}));
    const auto inputs = alsa::ListDevices(alsa::Direction::Capture);
    EXPECT_EQ(Shown(inputs), QStringList({"default", "Test Card, Microphone", "mine"}));

    // A device of the list opens by its name.
    alsa::Pcm pcm;
    EXPECT_EQ(pcm.Open("headphones:CARD=Test,DEV=1", alsa::Direction::Playback, {}), alsa::OpenFault::None);
}

TEST(AlsaDevices, APluginOnlySetupOffersNoDevice)
{
    AlsaCardConfig config(false);
    for (alsa::Direction direction : {alsa::Direction::Playback, alsa::Direction::Capture})
        EXPECT_TRUE(alsa::ListDevices(direction).empty()) << Names(alsa::ListDevices(direction)).join(' ').toStdString();
}

TEST(AlsaDevices, AnOldPositionIsThePlaceInTheListOfEveryHint)
{
    AlsaCardConfig config;
    QStringList old;
    for (int i = 0; !alsa::DeviceAtOldPosition(alsa::Direction::Playback, i).isEmpty(); ++i)
        old << alsa::DeviceAtOldPosition(alsa::Direction::Playback, i);
    ASSERT_FALSE(old.isEmpty());
    EXPECT_EQ(old.first(), "default");
    for (const char* name : {"null", "testrate", "testupmix", "speakers:CARD=Test,DEV=0", "plughw:CARD=Test,DEV=0",
                             "headphones:CARD=Test,DEV=1", "mine"})
        EXPECT_TRUE(old.contains(name)) << name;
    EXPECT_FALSE(old.contains("mic:CARD=Test,DEV=2")) << "an input only";
    EXPECT_EQ(alsa::DeviceAtOldPosition(alsa::Direction::Playback, -1), "");
    EXPECT_EQ(alsa::DeviceAtOldPosition(alsa::Direction::Playback, int(old.size())), "");
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
