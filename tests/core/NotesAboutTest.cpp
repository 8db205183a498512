#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/frmAbout.h"
#include "core/frmNotes.h"
#include "core/LinkLabel.h"
#include "mainwindow/frmMain.h"
#include "platform/AppInfo.h"
#include "support/MainWindowDouble.h"
#include "support/ProgramFixture.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class Notes : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
    }
    QByteArray NotesBytes()
    {
        QFile f(NotesFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void WriteNotes(const QByteArray& bytes)
    {
        QFile f(NotesFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Opens the notes window, types the text, closes it; returns the main window's notes panel.
    QString EditNotes(const QString& text)
    {
        CfrmNotes* notes = g_frmNotes.get();
        notes->Show();
        notes->Text1->setPlainText(text);
        EXPECT_TRUE(notes->close());
        EXPECT_FALSE(g_frmNotes.IsLoaded());
        return MainWindow()->StatusPanelText("Notes");
    }
};

TEST_F(Notes, FirstOpeningCreatesAnEmptyFile)
{
    EXPECT_EQ(NotesFile(), platform::AppPath() + "/Notes");
    CfrmNotes* notes = g_frmNotes.get();
    EXPECT_EQ(notes->windowTitle(), "Notes");
    EXPECT_EQ(notes->Text1->toPlainText(), "");
    EXPECT_EQ(NotesBytes(), "");
    EXPECT_EQ(notes->Text1->pos(), QPoint(0, 0));
}

TEST_F(Notes, TextSurvivesClosingAndReopening)
{
    support::MainWindowDouble main;
    for (QString text : {QString("one line"), QString("a\nb"), QString("ends with an empty line\n"), QString("\n"),
                         QString("\n\nx\n\n"), QString("caf\u00e9 \u20ac")}) {
        EditNotes(text);
        QString expected = text;
        expected.replace("\n", "\r\n");
        EXPECT_EQ(NotesBytes(), expected.toUtf8() + "\r\n");
        EXPECT_EQ(g_frmNotes->Text1->toPlainText(), text);
        g_frmNotes->Unload();
    }
}

TEST_F(Notes, ReadsFilesWithLfOrWithoutAFinalLineEnd)
{
    WriteNotes("first\nsecond");
    EXPECT_EQ(g_frmNotes->Text1->toPlainText(), "first\nsecond");
    g_frmNotes->Unload();
    EXPECT_EQ(NotesBytes(), "first\r\nsecond\r\n");
}

TEST_F(Notes, ClosingPutsTheDigestIntoTheStatusPanel)
{
    frmMain.get();
    EXPECT_EQ(EditNotes(""), "Notes [ Empty ]");
    EXPECT_EQ(EditNotes("Buy milk"), "Notes [ Buy milk ]");
    EXPECT_EQ(EditNotes("line one\nline two"), "Notes [ line one line two ]");
    EXPECT_EQ(EditNotes(QString(36, 'x')), "Notes [ " + QString(36, 'x') + " ]");
    EXPECT_EQ(EditNotes(QString(37, 'y')), "Notes [ " + QString(35, 'y') + "..." + " ]");
    EXPECT_EQ(EditNotes("\n"), "Notes [ Empty ]") << "a single line break counts as empty";
}

TEST_F(Notes, DigestWithoutANotesFile)
{
    EXPECT_EQ(frmMain->GetNotesToStatus(), "Notes [ Empty ]");
    WriteNotes("\r\n");
    EXPECT_EQ(frmMain->GetNotesToStatus(), "Notes [ Empty ]");
    WriteNotes("todo\r\n");
    EXPECT_EQ(frmMain->GetNotesToStatus(), "Notes [ todo ]");
}

TEST_F(Notes, TheBoxFillsTheWindow)
{
    CfrmNotes* notes = g_frmNotes.get();
    notes->resize(500, 400);
    notes->Show();
    EXPECT_EQ(notes->Text1->geometry(), notes->rect());
}

class About : public support::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        SetEditionModes();
    }
};

TEST_F(About, ShowsTheEditionAndOneTab)
{
    support::MainWindowDouble main;
    CfrmAbout* w = frmAbout.get();
    EXPECT_EQ(w->windowTitle(), "About");
    EXPECT_EQ(w->lblTitle->text(), "Tarvello 1.2");
    EXPECT_EQ(w->lblAppName->text(), "Tarvello 1.2");
    EXPECT_EQ(w->lblHomePage->text(), "Tarvello 1.2 - Home Page");
    EXPECT_EQ(w->lblSite->text(), g_sAppSite);
    EXPECT_EQ(w->lblVersionInside->text(), "Inside version: " + g_sAppFullVersion);
    EXPECT_EQ(w->lblDesc->text(), g_sAppDescription);
    EXPECT_EQ(w->lblProducts->text(), "More Products...");
    EXPECT_EQ(w->lblSupport->text(), "Support");
    EXPECT_EQ(w->lblDeveloper->text(), "Developer? - Click here for this product ActiveX");
    ASSERT_EQ(w->cTabControl1->TabCount(), 1);
    EXPECT_EQ(w->cTabControl1->TabCaption(1), "About   ");
    EXPECT_EQ(w->cTabControl1->TabKey(1), "About");
    EXPECT_EQ(w->cTabControl1->ImageList(), main.imgMenu) << "the tab icons are the main window's";

    modal->hook = [](QWidget* shown) {
        auto* about = static_cast<CfrmAbout*>(shown);
        EXPECT_TRUE(about->picAbout->isVisible());
        // Over the tab control's page area, reaching 50 twips further left.
        const QRect page = about->cTabControl1->ClientRect().translated(about->cTabControl1->pos());
        EXPECT_EQ(about->picAbout->geometry().top(), page.top());
        EXPECT_EQ(about->picAbout->geometry().right(), page.right());
        EXPECT_NEAR(about->picAbout->geometry().left(), page.left() - 3, 1);
        about->HideTabPages();
        EXPECT_FALSE(about->picAbout->isVisible());
        about->cTabControl1_TabClick();
        EXPECT_TRUE(about->picAbout->isVisible());
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    };
    w->ShowModal();
    EXPECT_FALSE(frmAbout.IsLoaded());
}

TEST_F(About, LinksOpenTheirPages)
{
    CfrmAbout* w = frmAbout.get();
    w->Show();
    for (LinkLabel* link : {w->lblHomePage, w->lblSite, w->lblProducts, w->lblSupport, w->lblDeveloper,
                            w->lblCorvessaAddress})
        QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(shell->opened, QStringList({g_sAppSiteRoot, g_sAppSite, g_sAppSite + "/products.html", g_sAppSupportPage,
                                          kDeveloperComponentsSite, w->lblCorvessaAddress->text()}));
    EXPECT_EQ(shell->lastWorkingFolder, platform::AppPath());
    EXPECT_FALSE(w->lblCorvessa->text().isEmpty());
    EXPECT_EQ(w->lblHomePage->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(w->lblHomePage->cursor().shape(), Qt::PointingHandCursor);
}

} // namespace
