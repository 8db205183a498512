#include "SplitJoinFixture.h"

#include "controls/PopupMenu.h"
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

namespace sjtest {

void AddRow(cGrid* grid, const Row& row)
{
    const int n = grid->Rows() + 1;
    const std::pair<const char*, QString> cells[] = {
        {kColItemName, GetFileName(row.file)},
        {kColTime, "00:00:10"},
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
    for (const auto& [column, text] : cells) grid->CellDetails(n, column, text);
}

void SplitJoinTest::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncSplit = 1;
    lAppIncJoin = 1;
    SeedRegistry();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    platform::SetNowSource([this] { return now; });
    SetAudioConverterFactory([] { return std::make_unique<FakeAudioConverter>(); });
    SetAudioJoinFactory([] { return std::make_unique<FakeAudioJoin>(); });
    // As at start-up: the settings dialogs are loaded before any tool window.
    frmOptions.get();
    g_frmAudioProp.get();
    QDir().mkpath(Out());
    QDir().mkpath(ProgramFolder() + "/src");
}

void SplitJoinTest::TearDown()
{
    ProgramFixture::TearDown();
    SetAudioConverterFactory({});
    SetAudioJoinFactory({});
    platform::SetNowSource(nullptr);
    QLocale::setDefault(QLocale::c());
    SetEditionModes();
    job = splitter = nullptr;
    joiner = nullptr;
}

CfrmSplitter* SplitJoinTest::OpenSplitter(const QString& file, std::int32_t lengthMs)
{
    splitter = g_frmSplitter.get();
    job = splitter;
    splitter->txtToPath->setEditText(Out());
    splitter->cboTargetFormat->setCurrentText(kOgg);
    splitter->g_sFileToSplit = file;
    AddRow(splitter->cGrid1, Row{file});
    FakeAudioConverter::File facts;
    facts.lengthMs = lengthMs;
    SplitFake()->AddFile(file, facts);
    return splitter;
}

FakeAudioConverter* SplitJoinTest::SplitFake() const
{
    return dynamic_cast<FakeAudioConverter*>(splitter->cAudioConverter1.get());
}

CfrmJoiner* SplitJoinTest::OpenJoiner(const std::vector<Row>& rows)
{
    joiner = g_frmJoiner.get();
    job = joiner;
    joiner->txtToPath->setEditText(Out());
    joiner->cboTargetFormat->setCurrentText(kOgg);
    for (const Row& row : rows) AddRow(joiner->cGrid1, row);
    return joiner;
}

FakeAudioJoin* SplitJoinTest::JoinFake() const { return dynamic_cast<FakeAudioJoin*>(joiner->cAudioJoin1.get()); }

void SplitJoinTest::Run()
{
    job->cmdConvert_Click();
    WaitUntilIdle();
}

void SplitJoinTest::WaitUntilIdle()
{
    for (int i = 0; i < 10000 && !job->cmdConvert->isEnabled(); ++i) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QStringList SplitJoinTest::LogLines() const
{
    const QString stamp = TimeOfDayText(now.time()) + ":";
    QStringList lines;
    for (const QString& line : job->txtLog->toPlainText().split('\n'))
        lines << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void SplitJoinTest::Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
}

void MainWithSplitJoin::SetUp()
{
    ProgramFixture::SetUp();
    SetEditionModes();
    lAppIncSplit = 1;
    lAppIncJoin = 1;
    SeedRegistry();
    cSysTray::SetAvailableOverride(1);
}

void MainWithSplitJoin::TearDown()
{
    ProgramFixture::TearDown();
    cSysTray::SetAvailableOverride(-1);
    SetEditionModes();
    main = nullptr;
}

CfrmMain* MainWithSplitJoin::LoadMain()
{
    // As at start-up: the settings dialogs first.
    frmOptions.get();
    g_frmAudioProp.get();
    main = frmMain.get();
    return main;
}

void MainWithSplitJoin::Command(const QString& key)
{
    const int item = main->m_cMenu->IndexForKey(key);
    ASSERT_NE(item, 0) << key.toStdString() << " is in the menu";
    main->m_cMenu_Click(item);
}

} // namespace sjtest
