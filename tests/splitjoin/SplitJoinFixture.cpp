#include "SplitJoinFixture.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
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

void SplitJoinTest::SetUp()
{
    JobWindowTest::SetUp();
    lAppIncSplit = 1;
    lAppIncJoin = 1;
    SetAudioJoinFactory([] { return std::make_unique<FakeAudioJoin>(); });
}

void SplitJoinTest::TearDown()
{
    JobWindowTest::TearDown();
    SetAudioJoinFactory({});
    SetEditionModes();
    splitter = nullptr;
    joiner = nullptr;
}

CfrmSplitter* SplitJoinTest::OpenSplitter(const QString& file, std::int32_t lengthMs)
{
    splitter = g_frmSplitter.get();
    Use(splitter);
    splitter->cboTargetFormat->setCurrentText(kOgg);
    splitter->g_sFileToSplit = file;
    AddRows({{.file = file}});
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
    Use(joiner);
    joiner->cboTargetFormat->setCurrentText(kOgg);
    AddRows(rows);
    return joiner;
}

FakeAudioJoin* SplitJoinTest::JoinFake() const { return dynamic_cast<FakeAudioJoin*>(joiner->cAudioJoin1.get()); }

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
    WaitForOpenList();
    return main;
}

void MainWithSplitJoin::Command(const QString& key)
{
    const int item = main->m_cMenu->IndexForKey(key);
    ASSERT_NE(item, 0) << key.toStdString() << " is in the menu";
    main->m_cMenu_Click(item);
}

} // namespace sjtest
