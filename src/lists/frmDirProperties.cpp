#include "lists/frmDirProperties.h"

#include "controls/widgets/ImageList.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/TreeView.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "lists/ListFolders.h"
#include "platform/MessageBox.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DefaultInstance<CfrmDirProperties> g_frmDirProperties;

namespace {

const int kTitleHeight = 40;
const int kMargin = 10;
const int kButtonsArea = 50;
const int kFolderIcon = 17;

} // namespace

CfrmDirProperties::CfrmDirProperties() : Form("g_frmDirProperties")
{
    setWindowTitle("Items List Properties");
    setFixedSize(440, 300);

    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle, "Properties");

    cTabControl1 = new cTabControl(this);
    const int tabTop = kTitleHeight + 8;
    cTabControl1->setGeometry(kMargin, tabTop, width() - 2 * kMargin, height() - kButtonsArea - tabTop);

    TabGeneral = new QFrame(this);
    lblFolderName = widgets::PlainLabel("Items List Name:", TabGeneral);
    txtFolderName = new QLineEdit(TabGeneral);
    txtFolderName->setEnabled(false);
    FilterFileNameKeys(txtFolderName);
    lblPath = widgets::PlainLabel("Path:", TabGeneral);
    txtPath = new QLineEdit(TabGeneral);
    txtPath->setReadOnly(true);
    lblThisFolderContain = widgets::PlainLabel("This items list contains:", TabGeneral);
    lblContain = widgets::PlainLabel(TabGeneral);
    imgOpenDestFolder = widgets::PlainLabel(TabGeneral);
    lblOpenDestinationDestinationFolder = new LinkLabel("Open destination folder", TabGeneral);
    auto* page = new QGridLayout(TabGeneral);
    page->addWidget(lblFolderName, 0, 0);
    page->addWidget(txtFolderName, 0, 1);
    page->addWidget(lblPath, 1, 0);
    page->addWidget(txtPath, 1, 1);
    page->addWidget(lblThisFolderContain, 2, 0);
    page->addWidget(lblContain, 2, 1);
    auto* link = new QHBoxLayout;
    link->addWidget(imgOpenDestFolder);
    link->addWidget(lblOpenDestinationDestinationFolder);
    link->addStretch(1);
    page->addLayout(link, 3, 0, 1, 2);
    page->setRowStretch(4, 1);

    cmdOk = new QPushButton("OK", this);
    cmdCancel = new QPushButton("Cancel", this);
    SetKeyButtons(cmdOk, cmdCancel);
    cmdCancel->setGeometry(width() - kMargin - 90, height() - kMargin - 30, 90, 30);
    cmdOk->setGeometry(cmdCancel->x() - 8 - 90, cmdCancel->y(), 90, 30);

    connect(cmdOk, &QPushButton::clicked, this, &CfrmDirProperties::cmdOk_Click);
    connect(txtFolderName, &QLineEdit::returnPressed, this, &CfrmDirProperties::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &CfrmDirProperties::cmdCancel_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &CfrmDirProperties::lblOpenDestinationDestinationFolder_Click);
}

void CfrmDirProperties::Form_Load()
{
    ApplyWindowSkin(this, picTitle, lblTitle, {TabGeneral});
    if (MainWindowServices* main = MainWindow(); main && main->imgMenu)
        imgOpenDestFolder->setPixmap(main->imgMenu->ItemPicture(kFolderIcon));
    cTabControl1->AddTab("Information", -1, -1, "Information");
    PlaceTabPages(cTabControl1, {TabGeneral}, 0);
}

void CfrmDirProperties::ShowNode(cTreeNode* node, const QString& summary)
{
    m_node = node;
    txtFolderName->setText(node ? node->Text() : QString());
    lblContain->setText(summary);
    txtPath->setText(node ? node->Key() : QString());
}

cTreeNode* CfrmDirProperties::Node() const { return static_cast<cTreeNode*>(m_node.data()); }

void CfrmDirProperties::RefuseName(const QString& message)
{
    platform::MsgBox(message, platform::vbInformation);
    txtFolderName->setFocus();
}

void CfrmDirProperties::cmdOk_Click()
{
    if (!bEditFolderName) {
        Unload();
        return;
    }
    const QString name = txtFolderName->text().trimmed();
    txtFolderName->setText(name);
    if (name.isEmpty()) return RefuseName("Empty Item Name." + QString(42, ' '));
    // A leading "." would hide the list's file, and with it the list.
    if (!IsValidFileName(name) || name.startsWith('.')) {
        RefuseName("Illegal Item Name." + QString(42, ' '));
        int key = '?';
        CheckFileNameKey(txtFolderName, key);
        return;
    }
    MainWindowServices* main = MainWindow();
    cTreeNode* node = Node();
    if (!node || !main) {
        platform::MsgBox("The items list '" + txtPath->text() + "' is no longer in the tree.", platform::vbInformation);
        Unload();
        return;
    }
    if (name == node->Text()) {
        Unload();
        return;
    }
    const QString key = node->Key();
    // A CD drive or a root names no file: only its caption changes.
    if (!MainWindowServices::IsCDNode(key) && !MainWindowServices::IsMainNode(key)) {
        const QString newPath = GetFolderOfPath(key) + name + ".flst";
        if (QFileInfo::exists(newPath)) return RefuseName("Folder name already exists, please select a different name.");
        // A file that cannot be moved keeps the list as it was; the message says why.
        if (!main->MoveListFile(node, newPath)) return txtFolderName->setFocus();
    }
    if (node == main->cTreeView1->SelectedItem() && main->lblListName) main->lblListName->setText(name);
    node->SetText(name);
    Unload();
}

void CfrmDirProperties::cmdCancel_Click() { Unload(); }

void CfrmDirProperties::lblOpenDestinationDestinationFolder_Click()
{
    MainWindowServices* main = MainWindow();
    if (!main) return;
    main->OpenDestFolder(FolderOfNode(Node() ? Node()->Key() : txtPath->text()));
}
