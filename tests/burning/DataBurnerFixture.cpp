#include "DataBurnerFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "support/JobWindowTesting.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QComboBox>
#include <QPushButton>

namespace databurntest {

void DataBurnerBase::SetUp()
{
    JobWindowTest::SetUp();
    lAppIncMP3Burner = 1;
    lAppIncWMABurner = 1;
    FakeAudioDataBurner::DefaultDrives() = {FakeAudioDataBurner::Writer(0)};
    FakeBurner::DefaultDevices() = {FakeBurner::Writer(0)};
    FakeBurner::DefaultInstalled() = true;
    SetAudioDataBurnerFactory([] { return std::make_unique<FakeAudioDataBurner>(); });
    SetBurnerFactory([] { return std::make_unique<FakeBurner>(); });
    cSysTray::SetAvailableOverride(1);
}

void DataBurnerBase::TearDown()
{
    JobWindowTest::TearDown();
    SetAudioDataBurnerFactory({});
    SetBurnerFactory({});
    FakeAudioDataBurner::DefaultDrives().clear();
    FakeBurner::DefaultDevices().clear();
    FakeBurner::DefaultInstalled() = true;
    cSysTray::SetAvailableOverride(-1);
    SetEditionModes();
    w = nullptr;
}

CfrmDataBurner3* DataBurnerBase::Open(int rows)
{
    w = g_frmDataBurner3.get();
    job = w;
    w->cboTargetFormat->setCurrentText("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"); // as the MP3 CD Maker opens it
    for (int i = 0; i < rows; ++i) {
        const QString file = Source(QString(QChar('a' + i)) + ".wav");
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) f.write(QByteArray("SOURCE ") + char('a' + i));
    }
    AddFileRows(rows);
    return w;
}

FakeAudioDataBurner* DataBurnerBase::First() const
{
    return dynamic_cast<FakeAudioDataBurner*>(w->cAudioDataBurner1.get());
}

FakeBurner* DataBurnerBase::Second() const { return dynamic_cast<FakeBurner*>(w->cBurner1.get()); }

QStringList DataBurnerBase::TempFiles() const
{
    QStringList names = QDir(Temp()).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

void DataBurnerBase::Burn(int answer)
{
    msgBox->Expect("Burn CD?", answer);
    w->cmdConvert_Click();
    WaitForBurn();
}

void DataBurnerBase::WaitForBurn()
{
    QElapsedTimer waited;
    waited.start();
    while ((!w->cmdConvert->isEnabled() || w->IsBurning()) && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

} // namespace databurntest
