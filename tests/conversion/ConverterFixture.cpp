#include "ConverterFixture.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/Paths.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "support/JobWindowTesting.h"
#include "platform/Clock.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

namespace convtest {

void AddRow(cGrid* grid, const Row& row)
{
    const int n = grid->Rows() + 1;
    grid->CellDetails(n, kColInc, QVariant(), kIconCellFormat, -1);
    const std::pair<const char*, QString> cells[] = {
        {kColItemName, row.itemName.isEmpty() ? GetFileName(row.file) : row.itemName},
        {kColTime, row.time},
        {kColFile, row.file},
        {kColRange, row.range},
        {kColRangeAll, row.rangeAll},
        {kColRangeStart, row.start},
        {kColRangeLength, row.length},
        {kColTagAlbum, row.album},
        {kColTagArtist, row.artist},
        {kColTagComment, row.comment},
        {kColTagGenre, row.genre},
        {kColTagYear, row.year},
        {kColTagTitle, row.title},
        {kColTagTrack, row.track},
    };
    for (const auto& [column, text] : cells) grid->SetCellText(n, column, text);
}

void AddListItem(cGrid* grid, const QString& folder, const QString& name, bool marked, const QString& time,
                 const QString& bytes, const QString& rangeLength)
{
    const int row = grid->Rows() + 1;
    grid->CellDetails(row, kColInc, QVariant(), kIconCellFormat, marked ? kIconMarked : kIconUnmarked);
    grid->CellDetails(row, kColItemName, name);
    grid->CellDetails(row, kColTime, time);
    grid->CellDetails(row, kColFile, folder + "/" + name);
    grid->CellDetails(row, kColRangeAll, rangeLength.isEmpty() ? "1" : "0");
    grid->CellDetails(row, kColRangeStart, rangeLength.isEmpty() ? "" : "10");
    grid->CellDetails(row, kColRangeLength, rangeLength);
    grid->CellDetails(row, kColBytesSize, bytes);
    grid->CellDetails(row, kColTagArtist, "Artist of " + name);
}

void JobWindowTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    platform::SetNowSource([this] { return now; });
    SetAudioConverterFactory([this] {
        auto fake = std::make_unique<FakeAudioConverter>();
        if (prepareFake) prepareFake(*fake);
        return fake;
    });
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
    QDir().mkpath(Out());
    QDir().mkpath(ProgramFolder() + "/src");
}

void JobWindowTest::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioConverterFactory({});
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    job = nullptr;
}

void JobWindowTest::Use(JobWindow* window)
{
    job = window;
    job->txtToPath->setEditText(Out());
}

void ConverterTest::TearDown()
{
    JobWindowTest::TearDown();
    w = nullptr;
}

CfrmConverter* ConverterTest::Open()
{
    w = g_frmConverter.get();
    Use(w);
    return w;
}

FakeAudioConverter* ConverterTest::Fake() const
{
    return dynamic_cast<FakeAudioConverter*>(w->cAudioConverter1.get());
}

void JobWindowTest::AddRows(const std::vector<Row>& rows)
{
    for (const Row& r : rows) AddRow(job->cGrid1, r);
}

void JobWindowTest::AddFileRows(int count)
{
    for (int i = 0; i < count; ++i) {
        Row r;
        r.file = Source(QString(QChar('a' + i)) + ".wav");
        AddRow(job->cGrid1, r);
    }
}

void JobWindowTest::Run()
{
    job->cmdConvert_Click();
    WaitUntilIdle();
}

void JobWindowTest::WaitUntilIdle() { support::WaitUntilIdle(job); }

QStringList JobWindowTest::LogLines() const { return support::JobLogLines(job, now); }

void JobWindowTest::Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
}

} // namespace convtest
