#include "support/MainWindowDouble.h"

#include "controls/widgets/ImageList.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/TreeView.h"
#include "controls/widgets/WindowWidgets.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace support {

MainWindowDouble::MainWindowDouble()
{
    m_cMenu = new cFormMenu(&m_window);
    cSysTray1 = new cSysTray(&m_window);
    cGrid1 = new cGrid(&m_window);
    cTreeView1 = new cTreeView(&m_window);
    imgGrid = new cImageList(&m_window);
    imgMenu = new cImageList(&m_window);
    picEmptyMsg = new QFrame(&m_window);
    lblListName = new QLabel(&m_window);
    tmrCDs = new QTimer(&m_window);
    SetMainWindow(this);
}

bool MainWindowDouble::Unload()
{
    calls << "Unload";
    unloaded = true;
    if (MainWindow() == this) SetMainWindow(nullptr);
    return true;
}

void MainWindowDouble::m_cMenu_Click(int ItemNumber) { calls << "m_cMenu_Click " + m_cMenu->ItemKey(ItemNumber); }

void MainWindowDouble::SetTitleBackColor(std::int32_t color) { calls << "SetTitleBackColor " + QString::number(color); }

void MainWindowDouble::SetTitleTextColor(std::int32_t color) { calls << "SetTitleTextColor " + QString::number(color); }

bool MainWindowDouble::MoveListFile(cTreeNode* node, const QString& newPath)
{
    calls << "MoveListFile " + newPath;
    if (!node || !QFile::rename(node->Key(), newPath)) return false;
    node->SetKey(newPath);
    return true;
}

void MainWindowDouble::cTreeView1_NodeClick(cTreeNode* node)
{
    calls << "cTreeView1_NodeClick " + (node ? node->Key() : QString());
}

void MainWindowDouble::cTreeView1_AfterLabelEdit(cTreeNode*, QString& NewString, bool&)
{
    calls << "cTreeView1_AfterLabelEdit " + NewString;
}

} // namespace support
