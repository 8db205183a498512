// The main window's members that keep the items lists: its controls, the
// start-up of the lists, and the few members still waiting for their windows.
#include "mainwindow/frmMain.h"

#include "controls/audio/AudioConverter.h"
#include "controls/audio/Player.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WidgetSupport.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "mainwindow/GridSetup.h"
#include "lists/ListFolders.h"
#include "lists/ListImages.h"
#include "lists/frmDirProperties.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Runs `onClick` when the left button is released over the widget.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* target, std::function<void()> onClick) : QObject(target), m_onClick(std::move(onClick))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_onClick();
        return false;
    }

private:
    std::function<void()> m_onClick;
};

QLabel* noticeLabel(const QString& text, QWidget* parent)
{
    auto* label = widgets::PlainLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

void CfrmMain::CreateListControls()
{
    imgGrid = new cImageList(this);
    FillGridImages(imgGrid);
    imgMenu = new cImageList(this);
    FillMenuImages(imgMenu);

    // Default places until the window's layout moves them: tree on the left,
    // info panel under it, the list on the right.
    cTreeView1 = new cTreeView(this);
    cTreeView1->setGeometry(4, 44, 190, 330);
    cGridInfo = new cGrid(this);
    cGridInfo->setGeometry(4, 380, 190, 210);
    lblListName = widgets::PlainLabel(this);
    lblListName->setGeometry(200, 28, 500, 16);
    lblListName->setCursor(Qt::PointingHandCursor);
    cGrid1 = new cGrid(this);
    cGrid1->setGeometry(200, 44, 696, 546);
    prgStatus = new XP_ProgressBar(this);
    prgStatus->setGeometry(200, 578, 300, 12);
    prgStatus->SetVisible(false);

    picEmptyMsg = new QFrame(this);
    picEmptyMsg->setGeometry(340, 220, 420, 90);
    picEmptyMsg->setAutoFillBackground(true);
    auto* notice = new QVBoxLayout(picEmptyMsg);
    lblEmptylist = noticeLabel("Empty list.", picEmptyMsg);
    lblAddorDrag = noticeLabel("Add or Drag and Drop audio files to here.", picEmptyMsg);
    notice->addWidget(lblEmptylist);
    notice->addWidget(lblAddorDrag);
    picEmptyMsg->hide();

    cPlayer1 = CreatePlayer().release();
    cPlayer1->setParent(this);
    cAudioConverter1 = CreateAudioConverter().release();
    cAudioConverter1->setParent(this);

    tmrRemove = new QTimer(this);
    tmrRemove->setInterval(50);
    tmrCDs = new QTimer(this);
    tmrCDs->setInterval(5000);
    CreateCDControls();

    ConnectListControls();
}

void CfrmMain::ConnectListControls()
{
    connect(cTreeView1, &cTreeView::NodeClick, this, &CfrmMain::cTreeView1_NodeClick);
    connect(cTreeView1, &cTreeView::AfterLabelEdit, this,
            [this](cTreeNode* node, QString* text, bool* cancel) { cTreeView1_AfterLabelEdit(node, *text, *cancel); });
    connect(cTreeView1, &cTreeView::DragDrop, this, &CfrmMain::cTreeView1_DragDrop);
    // Moving through the tree with the keys opens the node reached, as a click does.
    connect(cTreeView1, &cTreeView::KeyUp, this, [this] {
        cTreeNode* node = cTreeView1->SelectedItem();
        if (node && node->Key() != m_sOpenListKey) cTreeView1_NodeClick(node);
    });

    connect(cGrid1, &cGrid::MouseUp, this, &CfrmMain::cGrid1_MouseUp);
    connect(cGrid1, &cGrid::DblClick, this, &CfrmMain::cGrid1_DblClick);
    connect(cGrid1, &cGrid::SelectionChange, this, &CfrmMain::cGrid1_SelectionChange);
    connect(cGrid1, &cGrid::RedrawRequest, this, &CfrmMain::cGrid1_RedrawRequest);
    connect(cGrid1, &cGrid::OLEDragDrop, this, &CfrmMain::cGrid1_OLEDragDrop);
    connect(cGridInfo, &cGrid::DblClick, this, &CfrmMain::cGridInfo_DblClick);
    new ClickFilter(lblListName, [this] { lblListName_Click(); });

    // The empty-list notice takes file drops for the grid it covers.
    for (QWidget* target : std::initializer_list<QWidget*>{picEmptyMsg, lblAddorDrag, lblEmptylist})
        new widgets::DropReceiver(target, this, {}, [this](const QStringList& files, int button, int shift, QPointF at) {
            cGrid1_OLEDragDrop(files, 1, button, shift, float(at.x()), float(at.y()));
        });

    connect(tmrRemove, &QTimer::timeout, this, &CfrmMain::tmrRemove_Timer);
}

void CfrmMain::InitItemsLists()
{
    // The window's load may have prepared the grids already.
    if (cGrid1->Columns() == 0) SetupFileGrid(cGrid1, imgGrid);
    if (cGridInfo->Columns() == 0) SetupInfoGrid(cGridInfo);
    setTree();
    if (lAppIncItemsLists == 1) {
        OpenFirstList();
    } else if (g_nodMainCDs && g_nodMainCDs->Child()->Count() > 0) {
        cTreeView1_NodeClick(g_nodMainCDs->Child()->Item(1));
    }
}

void CfrmMain::OpenFirstList()
{
    if (!g_nodMainItems) return;
    if (g_nodMainItems->Child()->Count() > 0) {
        cTreeView1_NodeClick(g_nodMainItems->Child()->Item(1));
        return;
    }
    NewItemsList();
    if (IsListKey(m_sOpenListKey)) return;
    // No list could be made there (a folder that cannot be written, say).
    g_nodMainItems->SetSelected(true);
    cTreeView1_NodeClick(g_nodMainItems);
}

QString CfrmMain::ListsFolder() const { return ItemsListsFolder(); }

bool CfrmMain::IsListBusy() const { return prgStatus->Visible() || m_bAddingFiles; }

void CfrmMain::SetAddingFiles(bool adding)
{
    m_bAddingFiles = adding;
    cTreeView1->SetEnabled(!adding && !IsListLoading());
}

void CfrmMain::StopPreviewForList()
{
    if (cPlayer1->IsPlaying()) StopCommand();
}

void CfrmMain::ShowItemsListProperties(cTreeNode* node)
{
    if (!node) return;
    // Each opening starts afresh, on the node it is opened for.
    if (CfrmDirProperties* open = g_frmDirProperties.Peek()) open->Unload();
    CfrmDirProperties* dlg = g_frmDirProperties.get();
    dlg->ShowNode(node, StatusPanelText("Items List Properties"));
    if (node->Text() == "Items Lists") {
        dlg->Unload();
        return;
    }
    dlg->bEditFolderName = true;
    dlg->txtFolderName->setEnabled(true);
    dlg->Show();
}

void CfrmMain::lblListName_Click()
{
    cTreeNode* node = cTreeView1->SelectedItem();
    if (node && !IsMainNode(node->Key())) RunKey("Items List Properties");
}

