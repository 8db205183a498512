// The main window's panes: creating them, placing them where the layout says,
// the pane splitter, and the edition's skin.
#include "mainwindow/frmMain.h"

#include "controls/widgets/AudioGraph.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WidgetSupport.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/Skin.h"
#include "mainwindow/MainIcons.h"
#include "platform/AppInfo.h"
#include "platform/VbCompat.h"
#include "settings/mdlOptions.h"

#include <QLabel>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

namespace {

int Px(int twips) { return platform::TwipsToPixels(twips); }
int Twips(int pixels) { return platform::PixelsToTwips(pixels); }

void Place(QWidget* widget, const TwipsRect& r, int topOffset = 0)
{
    if (widget) widget->setGeometry(Px(r.Left), Px(r.Top) + topOffset, Px(r.Width), Px(r.Height));
}

// The bar between the tree and the grid: dragged, it drops on either side.
class SplitterBar final : public QFrame {
public:
    explicit SplitterBar(QWidget* parent) : QFrame(parent) { setCursor(Qt::SizeHorCursor); }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) widgets::StartControlDrag(this);
    }
};

QFrame* CaptionBar(QWidget* parent)
{
    auto* bar = new QFrame(parent);
    bar->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    return bar;
}

QLabel* TimeLabel(const QString& text, QWidget* parent)
{
    auto* label = widgets::PlainLabel(text, parent);
    QFont small = label->font();
    small.setPixelSize(10);
    label->setFont(small);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

void CfrmMain::CreateWindowControls()
{
    picTitle = new QFrame(this);
    lblTitle = widgets::PlainLabel(picTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 1);
    lblTitle->setFont(titleFont);

    cToolbarHost1 = new cToolbarHost(this);
    tlbrTop = new cToolbar(cToolbarHost1);
    picToolBarJPGPicHolder = widgets::PlainLabel(cToolbarHost1);
    picToolBarJPGPicHolder->hide();

    picTitleProject = CaptionBar(this);
    lblProjects = widgets::PlainLabel("Items Lists", picTitleProject);
    froTreeControl = new QFrame(this);
    tlbrProjectsHost = new cToolbarHost(froTreeControl);
    tlbrProjects = new cToolbar(tlbrProjectsHost);
    picResizer = new SplitterBar(this);
    picResizer->setObjectName("picResizer");

    picTitleList = CaptionBar(this);
    picList = new QFrame(this);
    rbrList = new cReBar(picList);
    tlbrList = new cToolbar(picList);
    froControl = new QFrame(this);
    cToolbarHostRecorder = new cToolbarHost(froControl);
    tlbrRecorder = new cToolbar(cToolbarHostRecorder);

    CreatePlayerPane();
    cStatusBar1 = new cStatusBar(this);

    imgPlayer = new cImageList(this, QSize(24, 24));
    FillPlayerImages(imgPlayer);
    imgGeneral << new cImageList(this, QSize(26, 26));
    FillToolImages(imgGeneral[0]);

    cSysTray1 = new cSysTray(this);
    tmrUnload = new QTimer(this);
    tmrUnload->setInterval(100);
}

void CfrmMain::CreatePlayerPane()
{
    picPlayer = new QFrame(this);
    picPlayer->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    cSlider1 = new cSlider(picPlayer);
    picPlayTime = new QFrame(picPlayer);
    Place(picPlayTime, {1880, 480, 1575, 225});
    lblCurrentPositionSec = TimeLabel("0:00:00", picPlayTime);
    Place(lblCurrentPositionSec, {60, 0, 690, 225});
    Label2 = TimeLabel("-", picPlayTime);
    Place(Label2, {760, 0, 60, 225});
    lbTotalLengthSec = TimeLabel("0:00:00", picPlayTime);
    Place(lbTotalLengthSec, {840, 0, 690, 225});
    cToolbarHostPlayer = new cToolbarHost(picPlayer);
    tlbrPlayButtons = new cToolbar(cToolbarHostPlayer);
    cAudioGraphFreq = new cAudioGraph(cAudioGraph::Frequency, picPlayer);
    cAudioGraphAmp = new cAudioGraph(cAudioGraph::Amplitude, picPlayer);
    FitPlayerBar();
}

void CfrmMain::ConnectWindowControls()
{
    // The list's name sits in the caption bar over the grid.
    if (lblListName && lblListName->parentWidget() != picTitleList) {
        lblListName->setParent(picTitleList);
        lblListName->show();
    }
    if (picEmptyMsg) {
        m_panes.picEmptyMsg.Width = Twips(picEmptyMsg->width());
        m_panes.picEmptyMsg.Height = Twips(picEmptyMsg->height());
    }

    // Splitter drops: the grid side and the tree side.
    auto onGridSide = [this](QObject* source, QPointF at) { cGrid1_DragDrop(source, Twips(int(at.x())), Twips(int(at.y()))); };
    for (QWidget* target : {static_cast<QWidget*>(froControl), static_cast<QWidget*>(picList),
                            static_cast<QWidget*>(picTitleList), static_cast<QWidget*>(lblListName)})
        if (target) new widgets::DropReceiver(target, target, onGridSide);
    auto onTreeSide = [this](QObject* source, QPointF at) {
        cTreeView1_DragDrop(source, Twips(int(at.x())), Twips(int(at.y())));
    };
    for (QWidget* target : {static_cast<QWidget*>(lblProjects), static_cast<QWidget*>(picTitleProject)})
        new widgets::DropReceiver(target, target, onTreeSide);
    connect(tlbrProjectsHost, &cToolbarHost::DragDrop, this, &CfrmMain::cTreeView1_DragDrop);
    if (cGrid1) connect(cGrid1, &cGrid::DragDrop, this, &CfrmMain::cGrid1_DragDrop);
    connect(cSlider1, &cSlider::DragDrop, this, &CfrmMain::cGrid1_DragDrop);
    connect(cToolbarHostRecorder, &cToolbarHost::DragDrop, this, &CfrmMain::cToolbarHostRecorder_DragDrop);

    connect(tlbrRecorder, &cToolbar::ButtonClick, this, &CfrmMain::tlbrRecorder_ButtonClick);
    connect(tlbrTop, &cToolbar::ButtonClick, this, &CfrmMain::tlbrTop_ButtonClick);
    connect(tlbrTop, &cToolbar::ButtonDropDown, this, &CfrmMain::tlbrTop_ButtonDropDown);
    connect(tlbrProjects, &cToolbar::ButtonClick, this, &CfrmMain::tlbrProjects_ButtonClick);
    connect(tlbrList, &cToolbar::ButtonClick, this, &CfrmMain::tlbrList_ButtonClick);
    connect(cStatusBar1, &cStatusBar::PanelClick, this, [this](int index) { cStatusBar1_PanelClick(index); });
    connect(cSysTray1, &cSysTray::TrayClick, this, &CfrmMain::cSysTray1_TrayClick);
    connect(tmrUnload, &QTimer::timeout, this, &CfrmMain::tmrUnload_Timer);
    ConnectPlayer();
    ApplyPanes();
}

// The tools toolbar's host is never lower than its buttons with their
// captions, and stands in the middle of its frame.
void CfrmMain::FitToolsBar()
{
    TwipsRect& host = m_panes.cToolbarHostRecorder;
    host.Height = std::max(host.Height, Twips(cToolbarHostRecorder->sizeHint().height()));
    host.Top = std::max(0, (m_panes.froControl.Height - host.Height) / 2);
}

// The player bar's host takes its buttons' width; the frequency graph stands
// right of it. The amplitude graph keeps its designed place in the pane.
void CfrmMain::FitPlayerBar()
{
    TwipsRect& host = m_panes.cToolbarHostPlayer;
    host.Width = Twips(cToolbarHostPlayer->sizeHint().width());
    const int graphLeft = std::max(1560, host.Left + host.Width + 60);
    Place(cAudioGraphFreq, {graphLeft, 700, kPlayerPaneWidth - graphLeft - 120, 360});
    Place(cAudioGraphAmp, {1800, 1560, 1695, 360});
}

// ---- layout ----

void CfrmMain::Form_Resize()
{
    if (isMinimized()) return;
    ReadTreeWidth();
    m_panes.tlbrListHeight = Twips(tlbrList->sizeHint().height());
    m_panes.cStatusBar1Height = Twips(cStatusBar1->sizeHint().height());
    const MainView view{lAppIncListsTree, g_bDisplayTitle, g_bDisplayPlayer, g_bDisplayAudioGraph};
    LayOutPanes(m_panes, Twips(width()), Twips(height()), view);
    if (m_cMenu) m_cMenu->SetXPStyle(g_bMenuXPStyle);
    ApplyPanes();
}

// The tree's width lives in the tree itself: a drop on the tree side resizes it.
void CfrmMain::ReadTreeWidth()
{
    if (m_panes.treeVisible && cTreeView1 && cTreeView1->width() != Px(m_panes.cTreeView1.Width))
        m_panes.cTreeView1.Width = Twips(cTreeView1->width());
}

void CfrmMain::resizeEvent(QResizeEvent* event)
{
    Form::resizeEvent(event);
    Form_Resize();
}

void CfrmMain::ApplyPanes()
{
    const MainPanes& p = m_panes;
    // The panes lie below the menu bar.
    const int top = m_cMenu ? m_cMenu->MenuBarHeight() : 0;
    Place(picTitle, p.picTitle, top);
    lblTitle->setGeometry(8, 0, std::max(0, picTitle->width() - 16), picTitle->height());
    picTitle->setVisible(p.titleVisible);
    Place(cToolbarHost1, p.cToolbarHost1, top);
    Place(picTitleProject, p.picTitleProject, top);
    lblProjects->setGeometry(picTitleProject->rect().adjusted(4, 0, -4, 0));
    Place(cTreeView1, p.cTreeView1, top);
    Place(froTreeControl, p.froTreeControl, top);
    tlbrProjectsHost->setGeometry(froTreeControl->rect());
    Place(picResizer, p.picResizer, top);
    for (QWidget* w : {static_cast<QWidget*>(cTreeView1), static_cast<QWidget*>(picResizer)})
        if (w) w->setVisible(p.treeVisible);
    Place(picTitleList, p.picTitleList, top);
    if (lblListName) lblListName->setGeometry(picTitleList->rect().adjusted(4, 0, -4, 0));
    Place(cGrid1, p.cGrid1, top);
    Place(picList, p.picList, top);
    Place(froControl, p.froControl, top);
    // The tools bar ends at its frame's edge: buttons past it go to the bar's overflow menu.
    TwipsRect tools = p.cToolbarHostRecorder;
    tools.Width = std::max(0, std::min(tools.Width, p.froControl.Width - tools.Left));
    Place(cToolbarHostRecorder, tools);
    Place(cGridInfo, p.cGridInfo, top);
    Place(picPlayer, p.picPlayer, top);
    Place(cSlider1, p.cSlider1);
    Place(cToolbarHostPlayer, p.cToolbarHostPlayer);
    for (QWidget* w : {static_cast<QWidget*>(cGridInfo), static_cast<QWidget*>(picPlayer)})
        if (w) w->setVisible(p.playerVisible);
    cAudioGraphAmp->setVisible(p.graphsVisible);
    cAudioGraphFreq->setVisible(p.graphsVisible);
    if (picEmptyMsg) {
        Place(picEmptyMsg, p.picEmptyMsg, top);
        picEmptyMsg->raise();
    }
    // The loading progress runs along the right end of the list's caption bar.
    if (prgStatus && prgStatus->parentWidget() == this) {
        const QRect bar = picTitleList->geometry();
        const int w = std::min(200, bar.width() / 3);
        prgStatus->setGeometry(bar.right() - w - 3, bar.top() + 3, w, std::max(0, bar.height() - 6));
        prgStatus->raise();
    }
    const int statusHeight = cStatusBar1->sizeHint().height();
    cStatusBar1->setGeometry(0, height() - statusHeight, width(), statusHeight);
}

// ---- pane splitter ----

void CfrmMain::cGrid1_DragDrop(QObject* Source, float X, float Y)
{
    ReadTreeWidth();
    m_panes.cTreeView1.Width = TreeWidthAfterGridDrop(m_panes, X, Twips(width()));
    if (cTreeView1) cTreeView1->resize(Px(m_panes.cTreeView1.Width), cTreeView1->height());
    Form_Resize();
}

// ---- skin ----

void CfrmMain::SetAppView()
{
    const QString view = platform::AppPath() + "/View/";
    bool ok = false;
    const std::int32_t color = platform::CLng(g_sAppColor.toDouble(&ok));
    if (!g_sAppColor.isEmpty() && ok) {
        for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(froControl),
                           static_cast<QWidget*>(picResizer), static_cast<QWidget*>(froTreeControl)})
            SetBackColor(w, ColorFromNumber(color));
        for (cToolbarHost* host : {cToolbarHostRecorder, cToolbarHost1, tlbrProjectsHost}) host->SetBackColor(color);
        cStatusBar1->SetBackColor(color);
        if (cGridInfo) cGridInfo->SetBackColor(color);
        cSlider1->SetBackColor(color);
    }
    if (!g_sAppBackPicture.isEmpty()) {
        SetBackPicture(this, view + g_sAppBackPicture);
        SetBackPicture(picResizer, view + g_sAppBackPicture);
        picToolBarJPGPicHolder->setPixmap(QPixmap(view + g_sAppToolbarPicture));
        if (cGridInfo) cGridInfo->SetBackgroundPicture(picToolBarJPGPicHolder->pixmap());
    }
    if (!g_sAppTitlePicture.isEmpty()) SetBackPicture(picTitle, view + g_sAppTitlePicture);
    if (!g_sAppToolbarPicture.isEmpty()) picToolBarJPGPicHolder->setPixmap(QPixmap(view + g_sAppToolbarPicture));
}
