// The main() of every test program: an offscreen application whose home,
// settings and program folders are temporary, never the user's, and that never
// reaches a sound server.
#include "support/PlatformDoubles.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// Whether a sound server runs on the machine makes no difference: ALSA's
// configuration routes "default" to PulseAudio when a server answers, so every
// client library is pointed at a socket that does not exist and PulseAudio
// starts no server of its own. The tests name their own ALSA devices.
void ReachNoSoundServer(const QString& home)
{
    const QByteArray nowhere = (home + "/no-sound-server").toLocal8Bit();
    qputenv("PULSE_SERVER", "unix:" + nowhere);
    qputenv("PIPEWIRE_REMOTE", nowhere);
    const QString clientConfig = home + "/pulse-client.conf";
    QFile conf(clientConfig);
    if (conf.open(QIODevice::WriteOnly)) conf.write("autospawn = no\n");
    qputenv("PULSE_CLIENTCONFIG", clientConfig.toLocal8Bit());
    qunsetenv("PULSE_RUNTIME_PATH");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    qputenv("TARVELLO_REGISTRY_DIR", (home.path() + "/registry").toLocal8Bit());
    ReachNoSoundServer(home.path());
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    support::InstallQuietServices();
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
