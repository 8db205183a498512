#include "support/ProgramFixture.h"

#include "core/Form.h"
#include "core/MainWindowServices.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "platform/Registry.h"
#include "settings/mdlOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace support {

void ProgramFixture::SetUp()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    QDir(m_dir->path()).mkpath("app/Main");
    QDir(m_dir->path()).mkpath("registry");
    QDir(m_dir->path()).mkpath("config");
    platform::SetAppPath(ProgramFolder());
    g_sToPath = ProgramFolder() + "/Main/";
    qputenv("TARVELLO_REGISTRY_DIR", RegistryFolder().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (m_dir->path() + "/config").toLocal8Bit());
    platform::reg::ResetCache();

    auto box = std::make_unique<ScriptedMessageBox>();
    msgBox = box.get();
    platform::SetMessageBoxService(std::move(box));
    auto runner = std::make_unique<HookedModalRunner>();
    modal = runner.get();
    platform::SetModalRunner(std::move(runner));
    auto recordingShell = std::make_unique<RecordingShell>();
    shell = recordingShell.get();
    platform::SetShellService(std::move(recordingShell));
    auto scriptedDialogs = std::make_unique<ScriptedDialogs>();
    dialogs = scriptedDialogs.get();
    platform::SetDialogService(std::move(scriptedDialogs));
    auto recordingPower = std::make_unique<RecordingPower>();
    power = recordingPower.get();
    platform::SetPowerService(std::move(recordingPower));
    auto recordingSound = std::make_unique<RecordingSound>();
    sound = recordingSound.get();
    platform::SetSoundService(std::move(recordingSound));
}

void ProgramFixture::TearDown()
{
    UnloadAllForms();
    if (msgBox && !msgBox->script.empty())
        ADD_FAILURE() << msgBox->script.size() << " scripted message box(es) never shown, first: "
                      << msgBox->script.front().expected.toStdString();
    if (dialogs && !dialogs->AllAnswered()) ADD_FAILURE() << "scripted dialog answer(s) never used";
    platform::SetMessageBoxService(nullptr);
    platform::SetModalRunner(nullptr);
    // Nothing in a test may reach the real desktop or power off the machine:
    // the recorders stay installed between tests, fresh for each.
    InstallQuietServices();
    platform::SetFileTimeService(nullptr);
    msgBox = nullptr;
    modal = nullptr;
    shell = nullptr;
    dialogs = nullptr;
    power = nullptr;
    sound = nullptr;
    platform::reg::ResetCache();
    m_dir.reset();
}

void ProgramFixture::SeedRegistry()
{
    QString target = RegistryFolder() + "/HKEY_LOCAL_MACHINE.reg";
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(QString(TARVELLO_SOURCE_DIR) + "/data/registry/HKEY_LOCAL_MACHINE.reg", target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    platform::reg::ResetCache();
}

QString ProgramFixture::ProgramFolder() const { return m_dir->path() + "/app"; }
QString ProgramFixture::RegistryFolder() const { return m_dir->path() + "/registry"; }

void ProgramFixture::ProcessEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ProgramFixture::WaitForOpenList()
{
    const auto opened = [] {
        CfrmMain* main = frmMain.Peek();
        return !main || !main->IsListLoading();
    };
    EXPECT_TRUE(QTest::qWaitFor(opened, 60000)) << "the list did not open";
}

void UnloadAllForms()
{
    // As at the program's exit, so the dialogs that only hide really unload.
    g_bExitApp = true;
    for (int round = 0; round < 3 && !Form::Forms().empty(); ++round) {
        auto forms = Form::Forms();
        for (auto it = forms.rbegin(); it != forms.rend(); ++it) (*it)->Unload();
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_bExitApp = false;
}

} // namespace support
