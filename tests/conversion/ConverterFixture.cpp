#include "ConverterFixture.h"

#include "controls/WindowWidgets.h"
#include "core/Edition.h"
#include "core/Paths.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
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

void ConverterTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    platform::SetNowSource([this] { return now; });
    SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
    QDir().mkpath(Out());
    QDir().mkpath(ProgramFolder() + "/src");
}

void ConverterTest::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioConverterFactory({});
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    w = nullptr;
}

CfrmConverter* ConverterTest::Open()
{
    w = g_frmConverter.get();
    w->txtToPath->setEditText(Out());
    return w;
}

FakeAudioConverter* ConverterTest::Fake() const
{
    return dynamic_cast<FakeAudioConverter*>(w->cAudioConverter1.get());
}

void ConverterTest::AddRows(const std::vector<Row>& rows)
{
    for (const Row& r : rows) AddRow(w->cGrid1, r);
}

void ConverterTest::AddFileRows(int count)
{
    for (int i = 0; i < count; ++i) {
        Row r;
        r.file = Source(QString(QChar('a' + i)) + ".wav");
        AddRow(w->cGrid1, r);
    }
}

void ConverterTest::Run()
{
    w->cmdConvert_Click();
    WaitUntilIdle();
}

void ConverterTest::WaitUntilIdle()
{
    for (int i = 0; i < 10000 && !w->cmdConvert->isEnabled(); ++i) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QStringList ConverterTest::LogLines() const
{
    const QString stamp = TimeOfDayText(now.time()) + ":";
    QStringList lines;
    for (const QString& line : w->txtLog->toPlainText().split('\n'))
        lines << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void ConverterTest::Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
}

} // namespace convtest
