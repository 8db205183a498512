// The main window's "FreeDB" command and the lookup after a CD is listed, on
// the fake CD ripper and the fake CD database control: the lookup window shown
// modally for the selected CD, its names in the rows and the node, and the
// controls released at exit.
#include "RipperFixture.h"

#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "lists/ItemRows.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "ripping/frmFreeDB.h"
#include "settings/mdlOptions.h"
#include "support/FakeFreeDB.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

using namespace riptest;
using Fake = FakeAudioCDRipper;

// What the controls were asked to do at exit, in order.
QStringList& ExitLog()
{
    static QStringList log;
    return log;
}

class LoggedFreeDB : public FakeFreeDB {
public:
    void Abort() override
    {
        ExitLog() << "FreeDB Abort " + Owner();
        FakeFreeDB::Abort();
    }
    void Terminate() override
    {
        ExitLog() << "FreeDB Terminate " + Owner();
        FakeFreeDB::Terminate();
    }
    QString Owner() const { return parent() ? "main" : "lookup"; }
};

class LoggedRipper : public Fake {
public:
    void Terminate() override
    {
        ExitLog() << "Ripper Terminate";
        Fake::Terminate();
    }
};

class FreeDBCommand : public RipperCommandTest {
protected:
    void SetUp() override
    {
        RipperCommandTest::SetUp();
        FakeFreeDB::NextSetup() = {};
        SetFreeDBFactory([] { return std::make_unique<FakeFreeDB>(); });
    }
    void TearDown() override
    {
        RipperCommandTest::TearDown();
        SetFreeDBFactory({});
        FakeFreeDB::NextSetup() = {};
        g_bAutoFreeDB = false;
        ExitLog().clear();
    }
    QString Cell(int row, const char* column) { return Main()->cGrid1->CellText(row, column).toString(); }
    // The next lookup finds this entry; the modal window is left to close or hide itself.
    void Finds(const QString& artist, const QString& album, const QStringList& titles)
    {
        FakeFreeDB::NextSetup().lookups = {FakeFreeDB::Found(artist, album, titles)};
        modal->hook = [this](QWidget* window) {
            lookupDrive = FakeFreeDB::Last()->Drive();
            mainCursor = Main()->cursor().shape();
            EXPECT_TRUE(QTest::qWaitFor([window] { return !window->isVisible(); }, 5000));
        };
    }

    QString lookupDrive;
    Qt::CursorShape mainCursor = Qt::ArrowCursor;
};

TEST_F(FreeDBCommand, TheSelectedCDIsLookedUpInAModalWindow)
{
    Drives({Fake::AudioCD(0, {30}), Fake::AudioCD(1, {60, 70, 80})});
    OpenDrive(2);
    Main()->SetOnTop(true);
    Finds("The Band", "First Light", {"Dawn", "Noon", "Dusk"});
    Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("FreeDB"));
    EXPECT_EQ(modal->shown, QStringList{"g_frmFreeDB"});
    EXPECT_EQ(lookupDrive, "E:");
    EXPECT_EQ(mainCursor, Qt::WaitCursor);
    EXPECT_EQ(Main()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(Main()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(Cell(1, kColItemName), "Dawn.cda");
    EXPECT_EQ(Cell(3, kColItemName), "Dusk.cda");
    EXPECT_EQ(Cell(3, kColTagArtist), "The Band");
    EXPECT_EQ(Cell(3, kColTagAlbum), "First Light");
    EXPECT_EQ(DriveNode(2)->Text(), "The Band - First Light");
    EXPECT_EQ(DriveNode(1)->Text(), "D:");
    EXPECT_EQ(Main()->lblListName->text(), "The Band - First Light");
    EXPECT_EQ(Main()->cTreeView1->SelectedItem(), DriveNode(2));
    EXPECT_FALSE(g_frmFreeDB.IsLoaded());
    EXPECT_TRUE(msgBox->shown.empty());
}

TEST_F(FreeDBCommand, WithoutAConnectionNoWindowIsShown)
{
    Drives({Fake::AudioCD(0, {30, 40})});
    OpenDrive(1);
    FakeFreeDB::NextSetup().connected = false;
    msgBox->Expect("There is no internet connection.");
    Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("FreeDB"));
    EXPECT_TRUE(modal->shown.isEmpty());
    EXPECT_FALSE(g_frmFreeDB.IsLoaded());
    EXPECT_EQ(Cell(1, kColItemName), "Track01.cda");
    EXPECT_EQ(DriveNode(1)->Text(), "D:");
    EXPECT_EQ(Main()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FreeDBCommand, TheLookupRunsByItselfOnceACDIsListed)
{
    Drives({Fake::AudioCD(0, {30, 40})});
    g_bAutoFreeDB = true;
    Finds("The Band", "First Light", {"Dawn", "Noon"});
    OpenDrive(1);
    EXPECT_EQ(modal->shown, QStringList{"g_frmFreeDB"});
    EXPECT_EQ(Cell(1, kColItemName), "Dawn.cda");
    EXPECT_EQ(Cell(2, kColItemName), "Noon.cda");
    EXPECT_EQ(DriveNode(1)->Text(), "The Band - First Light");
    // The ripper then gets the named rows, and a sub-folder named after the CD made safe.
    RunRipper([](CfrmCDRipper* ripper) {
        EXPECT_EQ(ripper->cGrid1->CellText(2, kColItemName).toString(), "Noon.cda");
        EXPECT_EQ(ripper->txtUndeForlder->text(), "The-Band---First-Light");
    });
}

TEST_F(FreeDBCommand, ExitClosesAHiddenLookupAndReleasesTheLookupControlBeforeTheRipper)
{
    SetFreeDBFactory([] { return std::make_unique<LoggedFreeDB>(); });
    SetAudioCDRipperFactory([] { return std::make_unique<LoggedRipper>(); });
    Drives({Fake::AudioCD(0, {30, 40, 50})});
    OpenDrive(1);
    // An entry of fewer tracks than the CD: QueryDone only hides the window.
    Finds("The Band", "First Light", {"Dawn"});
    Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey("FreeDB"));
    ASSERT_TRUE(g_frmFreeDB.IsLoaded());
    EXPECT_EQ(DriveNode(1)->Text(), "D:");
    ExitLog().clear();
    g_bDisplayMSGWhenExit = false;
    g_bClearOnExit = false;
    Main()->Unload();
    EXPECT_EQ(ExitLog(), (QStringList{"FreeDB Abort lookup", "FreeDB Terminate lookup", "FreeDB Terminate main",
                                      "Ripper Terminate"}));
    EXPECT_FALSE(g_frmFreeDB.IsLoaded());
}

} // namespace
