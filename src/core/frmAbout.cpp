#include "core/frmAbout.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "settings/mdlOptions.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DefaultInstance<CfrmAbout> frmAbout;

namespace {

const int kTitleHeight = 40;
const int kMargin = 10;
const int kBottomArea = 84; // byline, company address and the OK button
const int kAboutIcon = 18;
// The page reaches a little further left than the tab control's page area.
const int kPageLeftOverlapTwips = 50;

} // namespace

CfrmAbout::CfrmAbout() : Form("frmAbout")
{
    setWindowTitle("About");
    setFixedSize(460, 380);

    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle);

    cTabControl1 = new cTabControl(this);
    const int tabTop = kTitleHeight + 8;
    cTabControl1->setGeometry(kMargin, tabTop, width() - 2 * kMargin, height() - kBottomArea - tabTop);

    picAbout = new QFrame(this);
    lblAppName = widgets::PlainLabel(picAbout);
    QFont nameFont = lblAppName->font();
    nameFont.setBold(true);
    lblAppName->setFont(nameFont);
    lblVersionInside = widgets::PlainLabel("Inside version:", picAbout);
    lblDesc = widgets::PlainLabel(picAbout);
    lblDesc->setWordWrap(true);
    lblHomePage = new LinkLabel(QString(), picAbout);
    lblSite = new LinkLabel(QString(), picAbout);
    lblProducts = new LinkLabel("More Products...", picAbout);
    lblSupport = new LinkLabel("Support", picAbout);
    lblDeveloper = new LinkLabel("Developer? - Click here for this product ActiveX", picAbout);
    auto* page = new QVBoxLayout(picAbout);
    for (QWidget* w : std::initializer_list<QWidget*>{lblAppName, lblVersionInside, lblDesc, lblHomePage, lblSite,
                                                      lblProducts, lblSupport, lblDeveloper})
        page->addWidget(w);
    page->addStretch(1);

    lblCorvessa = widgets::PlainLabel("Tarvello is made by Brenmark.", this);
    lblCorvessaAddress = new LinkLabel(kCompanySite, this);
    cmdOK = new QPushButton("OK", this);
    SetKeyButtons(cmdOK, cmdOK);
    const int bottom = height() - kBottomArea;
    lblCorvessa->setGeometry(kMargin, bottom + 10, width() - 2 * kMargin, 20);
    lblCorvessaAddress->setGeometry(kMargin, bottom + 32, 260, 20);
    cmdOK->setGeometry(width() - kMargin - 90, height() - kMargin - 30, 90, 30);

    connect(cTabControl1, &cTabControl::TabClick, this, &CfrmAbout::cTabControl1_TabClick);
    connect(cmdOK, &QPushButton::clicked, this, &CfrmAbout::cmdOK_Click);
    connect(lblHomePage, &LinkLabel::Click, this, &CfrmAbout::lblHomePage_Click);
    connect(lblSite, &LinkLabel::Click, this, &CfrmAbout::lblSite_Click);
    connect(lblProducts, &LinkLabel::Click, this, &CfrmAbout::lblProducts_Click);
    connect(lblSupport, &LinkLabel::Click, this, &CfrmAbout::lblSupport_Click);
    connect(lblDeveloper, &LinkLabel::Click, this, &CfrmAbout::lblDeveloper_Click);
    connect(lblCorvessaAddress, &LinkLabel::Click, this, &CfrmAbout::lblCorvessaAddress_Click);
}

void CfrmAbout::Form_Load()
{
    SetBackColor(picTitle, ColorFromNumber(g_lColor));
    SetForeColor(lblTitle, ColorFromNumber(g_lTextColor));
    const QString nameAndVersion = g_sAppName + " " + g_sAppVersion;
    lblAppName->setText(nameAndVersion);
    lblTitle->setText(nameAndVersion);
    lblHomePage->setText(nameAndVersion + " - Home Page");
    lblSite->setText(g_sAppSite);
    lblVersionInside->setText(lblVersionInside->text() + " " + g_sAppFullVersion);
    lblDesc->setText(g_sAppDescription);

    // The main window lends its menu icons to the tab.
    if (MainWindowServices* main = MainWindow()) cTabControl1->SetImageList(main->imgMenu);
    cTabControl1->AddTab("About   ", kAboutIcon, -1, "About");
    PlaceTabPages(cTabControl1, {picAbout}, kPageLeftOverlapTwips);
    HideTabPages();
    picAbout->setVisible(true);
}

void CfrmAbout::HideTabPages() { picAbout->setVisible(false); }

void CfrmAbout::cTabControl1_TabClick()
{
    HideTabPages();
    if (cTabControl1->TabKey(cTabControl1->SelectedTab()) == "About") picAbout->setVisible(true);
}

void CfrmAbout::cmdOK_Click() { Unload(); }

void CfrmAbout::lblHomePage_Click() { OpenDocument(this, g_sAppSiteRoot); }
void CfrmAbout::lblSite_Click() { OpenDocument(this, g_sAppSite); }
void CfrmAbout::lblProducts_Click() { OpenDocument(this, g_sAppSite + "/products.html"); }
void CfrmAbout::lblSupport_Click() { OpenDocument(this, g_sAppSupportPage); }
void CfrmAbout::lblDeveloper_Click() { OpenDocument(this, kDeveloperComponentsSite); }
void CfrmAbout::lblCorvessaAddress_Click() { OpenDocument(this, lblCorvessaAddress->text()); }
