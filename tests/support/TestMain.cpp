// The main() of every test program: an offscreen application whose home,
// settings and program folders are temporary, never the user's.
#include "support/PlatformDoubles.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    qputenv("TARVELLO_REGISTRY_DIR", (home.path() + "/registry").toLocal8Bit());
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    support::InstallQuietServices();
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
