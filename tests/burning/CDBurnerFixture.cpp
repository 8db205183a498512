#include "CDBurnerFixture.h"

#include "controls/widgets/Grid.h"
#include "controls/widgets/ImageList.h"
#include "controls/cd/OpticalDrives.h"
#include "core/Edition.h"
#include "lists/ItemRows.h"
#include "platform/Clock.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "support/JobWindowTesting.h"

#include <QLocale>

namespace cdburntest {

void CDBurnerWindowTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncAudioBurner = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    platform::SetNowSource([this] { return now; });
    SetAudioBurnerFactory([] { return std::make_unique<FakeAudioBurner>(); });
    Writers({FakeAudioBurner::Writer(0)});
    // No drive of the machine takes part.
    optical::SetDiscImages(QStringList{});
    optical::SetImageWriters(optical::ImageWriters{});
    frmOptions.get();
    g_frmAudioProp.get();
}

void CDBurnerWindowTest::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioBurnerFactory({});
    FakeAudioBurner::DefaultDrives().clear();
    optical::SetDiscImages(std::nullopt);
    optical::SetImageWriters(std::nullopt);
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
    w = nullptr;
}

void CDBurnerWindowTest::Writers(const std::vector<FakeAudioBurner::Drive>& drives)
{
    FakeAudioBurner::DefaultDrives() = drives;
}

CfrmCDBurner* CDBurnerWindowTest::Open(const QStringList& files)
{
    w = g_frmCDBurner.get();
    for (const QString& file : files) {
        const int row = w->cGrid1->Rows() + 1;
        w->cGrid1->CellDetails(row, kColItemName, file.section('/', -1));
        w->cGrid1->CellDetails(row, kColFile, file);
        w->cGrid1->CellDetails(row, kColRangeAll, "1");
    }
    return w;
}

FakeAudioBurner* CDBurnerWindowTest::Fake() const { return dynamic_cast<FakeAudioBurner*>(w->cAudioBurner1.get()); }

QStringList CDBurnerWindowTest::LogLines() const { return support::JobLogLines(w, now); }

} // namespace cdburntest
