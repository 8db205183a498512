#include "ripping/frmFreeDB.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/MainWindowServices.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "core/WindowProcedures.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DefaultInstance<CfrmFreeDB> g_frmFreeDB;

namespace {

constexpr char kNoCaption[] = "Album Name";
constexpr int kTitleHeight = 36;

} // namespace

CfrmFreeDB::CfrmFreeDB() : Form("g_frmFreeDB"), cFreeDB1(CreateFreeDB())
{
    setWindowTitle("FreeDB");
    setFixedSize(420, 170);
    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle, "FreeDB");
    picTitle->setFixedHeight(kTitleHeight);
    QFont bold = font();
    bold.setBold(true);

    lblArtist = widgets::PlainLabel(kNoCaption, this);
    lblArtist->setFont(bold);
    lblAlbumName = widgets::PlainLabel(kNoCaption, this);
    lblCurrentTrack = widgets::PlainLabel("Ready.", this);
    lblCurrentTrack->setWordWrap(true);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setFixedHeight(14);
    cmdAbort = new QPushButton("Abort", this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAbort);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(lblArtist);
    body->addWidget(lblAlbumName);
    body->addStretch();
    body->addWidget(lblCurrentTrack);
    body->addWidget(prgCurrnet);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(picTitle);
    layout->addLayout(body);

    connect(cmdAbort, &QPushButton::clicked, this, &CfrmFreeDB::cmdAbort_Click);
    ConnectControl();
}

CfrmFreeDB::~CfrmFreeDB() = default;

void CfrmFreeDB::ConnectControl()
{
    cFreeDB* c = cFreeDB1.get();
    connect(c, &cFreeDB::QueryDone, this, &CfrmFreeDB::cFreeDB1_QueryDone);
    connect(c, &cFreeDB::Error, this, &CfrmFreeDB::cFreeDB1_Error);
    connect(c, &cFreeDB::StateChanged, this, &CfrmFreeDB::cFreeDB1_StateChanged);
    connect(c, &cFreeDB::ArtistReceived, this, &CfrmFreeDB::cFreeDB1_ArtistReceived);
    connect(c, &cFreeDB::AlbumReceived, this, &CfrmFreeDB::cFreeDB1_AlbumReceived);
    connect(c, &cFreeDB::TrackReceived, this, &CfrmFreeDB::cFreeDB1_TrackReceived);
}

void CfrmFreeDB::Form_Load()
{
    SetFormIcon32(this, "cd_music", true);
    ApplyWindowSkin(this, picTitle, lblTitle);
    prgCurrnet->SetColor(g_lColor);
}

void CfrmFreeDB::Form_Unload(int&)
{
    cFreeDB1->Abort();
    cFreeDB1->Terminate();
}

bool CfrmFreeDB::GetFreeDB()
{
    ForgetEntry();
    lblCurrentTrack->setText("Checking connection...");
    if (!cFreeDB1->IsConnected()) {
        lblCurrentTrack->setText("No internet connection!");
        platform::MsgBox(QString("There is no internet connection.") + kCrLf + kCrLf +
                             "Getting the information about the Audio CD (using the 'FreeDB') has failed.",
                         platform::vbInformation);
        Unload();
        return false;
    }
    MainWindowServices* main = MainWindow();
    cTreeNode* node = main && main->cTreeView1 ? main->cTreeView1->SelectedItem() : nullptr;
    cFreeDB1->SetDrive(node ? MainWindowServices::GetCDNameNode(node->Key()) : QString());
    SetQuerySettings();
    // The server the query goes to (a test may have fixed the control's).
    lblCurrentTrack->setText("Connecting to " + cFreeDB1->ServerHost() + "...");
    cFreeDB1->StartQuery();
    return true;
}

void CfrmFreeDB::SetQuerySettings()
{
    cFreeDB& c = *cFreeDB1;
    c.SetTimeout(kFreeDBTimeout);
    c.SetServerHost(kFreeDBServerHost);
    c.SetServerPort(kFreeDBServerPort);
    c.SetUserName(kFreeDBUserName);
    c.SetClientHost(kFreeDBClientHost);
    c.SetClientName(kFreeDBClientName);
    c.SetClientVersion(kFreeDBClientVersion);
}

void CfrmFreeDB::ForgetEntry()
{
    m_artist.clear();
    m_album.clear();
    lblArtist->setText(kNoCaption);
    lblAlbumName->setText(kNoCaption);
}

void CfrmFreeDB::cmdAbort_Click() { Unload(); }

void CfrmFreeDB::cFreeDB1_QueryDone() { Hide(); }

void CfrmFreeDB::cFreeDB1_Error(std::int32_t Code, const QString& Description)
{
    lblCurrentTrack->setText(Description + "(" + QString::number(Code) + ")");
    platform::MsgBox(Description, platform::vbExclamation);
    if (Code == kFreeDBErrNoMatch) Unload();
}

void CfrmFreeDB::cFreeDB1_StateChanged(const QString& State) { lblCurrentTrack->setText("FreeDB State:" + State); }

void CfrmFreeDB::cFreeDB1_ArtistReceived(const QString& Artist)
{
    m_artist = Artist;
    lblArtist->setText(Artist);
}

void CfrmFreeDB::cFreeDB1_AlbumReceived(const QString& Album)
{
    m_album = Album;
    lblAlbumName->setText(Album);
}

void CfrmFreeDB::cFreeDB1_TrackReceived(const QString& Artist, std::int16_t Track, const QString& Title)
{
    MainWindowServices* main = MainWindow();
    if (!main || !main->cGrid1) return;
    cGrid* grid = main->cGrid1;
    const std::int32_t rows = grid->Rows();
    if (rows == 0) return;
    const std::int32_t n = Track;
    // Titles go in as they arrived; the job windows make names drawn from them safe.
    // A track the entry leaves untitled keeps its row's name and title rather
    // than becoming ".cda". The tags carry what was fetched into ripped files.
    if (n >= 1 && n <= rows) {
        if (!Title.trimmed().isEmpty()) {
            grid->SetCellText(n, kColItemName, Title + ".cda");
            grid->SetCellText(n, kColTagTitle, Title);
        }
        grid->SetCellText(n, kColTagArtist, Artist);
        grid->SetCellText(n, kColTagAlbum, m_album);
        grid->SetCellText(n, kColTagTrack, QString::number(n));
    }
    if (n != rows) return;
    RenameCDNode(*main);
    Unload();
}

QString CfrmFreeDB::CDTitle() const
{
    QStringList parts;
    for (const QString& part : {m_artist, m_album})
        if (!part.isEmpty()) parts << part;
    return parts.join(" - ");
}

void CfrmFreeDB::RenameCDNode(MainWindowServices& main)
{
    cTreeNode* node = main.cTreeView1 ? main.cTreeView1->SelectedItem() : nullptr;
    if (!node) return;
    QString title = CDTitle();
    if (!title.isEmpty()) {
        node->SetText(title);
        bool cancel = false;
        main.cTreeView1_AfterLabelEdit(node, title, cancel);
    }
    if (main.lblListName) {
        if (cTreeNode* selected = main.cTreeView1->SelectedItem()) main.lblListName->setText(selected->Text());
    }
}
