#include "controls/widgets/PopupMenu.h"

#include "controls/widgets/ImageList.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

cFormMenu::cFormMenu(QObject* parent) : QObject(parent) {}

cFormMenu::~cFormMenu()
{
    if (m_lastPopup) delete m_lastPopup;
}

void cFormMenu::Attach(QWidget* window)
{
    if (m_window) m_window->removeEventFilter(this);
    delete m_bar;
    m_window = window;
    if (!window) return;
    m_bar = new QMenuBar(window);
    m_bar->setNativeMenuBar(false);
    m_bar->hide();
    window->installEventFilter(this);
    rebuildMenuBar();
}

void cFormMenu::SetXPStyle(bool on)
{
    if (m_xpStyle == on) return;
    m_xpStyle = on;
    rebuildMenuBar();
}

void cFormMenu::SetFont(const QFont& font)
{
    m_font = font;
    rebuildMenuBar();
}

void cFormMenu::SetImageList(cImageList* images) { m_imageList = images; }

void cFormMenu::SetActive(bool on)
{
    m_active = on;
    rebuildMenuBar();
}

int cFormMenu::AddItem(const QString& caption, const QString& helpText, int itemData, int parentIndex, int iconIndex,
                       bool checked, bool enabled, const QString& key)
{
    Item it;
    it.caption = caption;
    it.help = helpText;
    it.itemData = itemData;
    it.parent = item(parentIndex) ? parentIndex : 0;
    it.icon = iconIndex;
    it.checked = checked;
    it.enabled = enabled;
    it.key = key;
    m_items.push_back(it);
    if (m_active) rebuildMenuBar();
    return int(m_items.size());
}

const cFormMenu::Item* cFormMenu::item(int index) const
{
    return (index >= 1 && index <= int(m_items.size())) ? &m_items[size_t(index - 1)] : nullptr;
}

cFormMenu::Item* cFormMenu::item(int index)
{
    return const_cast<Item*>(static_cast<const cFormMenu*>(this)->item(index));
}

int cFormMenu::IndexForKey(const QString& key) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].key == key) return int(i + 1);
    return 0;
}

QString cFormMenu::ItemKey(int index) const { return item(index) ? item(index)->key : QString(); }
QString cFormMenu::Caption(int index) const { return item(index) ? item(index)->caption : QString(); }

void cFormMenu::SetCaption(int index, const QString& caption)
{
    Item* it = item(index);
    if (!it) return;
    it->caption = caption;
    if (it->parent == 0) rebuildMenuBar();
}

bool cFormMenu::Checked(int index) const { return item(index) && item(index)->checked; }

void cFormMenu::SetChecked(int index, bool checked)
{
    if (Item* it = item(index)) it->checked = checked;
}

bool cFormMenu::Visible(int index) const { return item(index) && item(index)->visible; }

void cFormMenu::SetVisible(int index, bool visible)
{
    Item* it = item(index);
    if (!it) return;
    it->visible = visible;
    if (it->parent == 0) rebuildMenuBar();
}

bool cFormMenu::Enabled(int index) const { return item(index) && item(index)->enabled; }

void cFormMenu::SetEnabled(int index, bool enabled)
{
    if (Item* it = item(index)) it->enabled = enabled;
}

int cFormMenu::Parent(int index) const { return item(index) ? item(index)->parent : 0; }

int cFormMenu::IconIndex(int index) const { return item(index) ? item(index)->icon : -1; }

std::vector<int> cFormMenu::Children(int parentIndex) const
{
    std::vector<int> children;
    for (int i = 1; i <= Count(); ++i)
        if (item(i)->parent == parentIndex) children.push_back(i);
    return children;
}

bool cFormMenu::hasChildren(int index) const
{
    for (const Item& c : m_items)
        if (c.parent == index) return true;
    return false;
}

// ---- drawing ----

QString cFormMenu::styleSheet() const
{
    if (!m_xpStyle) return QString();
    return "QMenu { background: #fbfbf9; border: 1px solid #8c8c8c; padding: 2px; }"
           "QMenu::item { padding: 4px 28px 4px 30px; border: 1px solid transparent; }"
           "QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5; color: black; }"
           "QMenu::item:disabled { color: #8d8d8d; }"
           "QMenu::icon { padding-left: 6px; }"
           "QMenu::separator { height: 1px; background: #c5c2b8; margin: 3px 4px 3px 30px; }";
}

void cFormMenu::applyLook(QMenu* menu) const
{
    menu->setFont(m_font);
    menu->setStyleSheet(styleSheet());
}

void cFormMenu::FillMenu(QMenu* menu, int parentIndex)
{
    menu->clear();
    applyLook(menu);
    for (int i : Children(parentIndex)) {
        const Item* it = item(i);
        if (!it->visible) continue;
        if (it->caption == "-") {
            menu->addSeparator();
            continue;
        }
        const QIcon icon = m_imageList ? m_imageList->Icon(it->icon) : QIcon();
        if (hasChildren(i)) {
            QMenu* sub = menu->addMenu(icon, it->caption);
            FillMenu(sub, i);
            continue;
        }
        QAction* a = menu->addAction(icon, it->caption);
        a->setCheckable(it->checked);
        a->setChecked(it->checked);
        a->setEnabled(it->enabled);
        a->setStatusTip(it->help);
        // Queued: the menu has closed before the command runs.
        connect(a, &QAction::triggered, this, [this, i] { emit Click(i); }, Qt::QueuedConnection);
    }
}

void cFormMenu::rebuildMenuBar()
{
    if (!m_bar) return;
    m_bar->clear();
    m_bar->setFont(m_font);
    bool any = false;
    for (int i : Children(0)) {
        const Item* it = item(i);
        if (!it->visible) continue;
        any = true;
        if (hasChildren(i)) {
            QMenu* menu = m_bar->addMenu(it->caption);
            applyLook(menu);
            connect(menu, &QMenu::aboutToShow, this, [this, menu, i] { FillMenu(menu, i); });
        } else {
            QAction* a = m_bar->addAction(it->caption);
            connect(a, &QAction::triggered, this, [this, i] { emit Click(i); }, Qt::QueuedConnection);
        }
    }
    m_bar->setVisible(m_active && any);
    fitMenuBar();
}

void cFormMenu::fitMenuBar()
{
    if (!m_bar || !m_window) return;
    const int before = m_bar->height();
    const int height = m_bar->isHidden() ? 0 : m_bar->sizeHint().height();
    m_bar->setGeometry(0, 0, m_window->width(), height);
    if (height != before) emit MenuBarResized();
}

int cFormMenu::MenuBarHeight() const { return m_bar && !m_bar->isHidden() ? m_bar->height() : 0; }

bool cFormMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Resize) fitMenuBar();
    return QObject::eventFilter(watched, event);
}

// ---- popups ----

void cFormMenu::ShowPopupMenu(int x, int y, int, int, int, int, int, int itemIndex)
{
    if (!item(itemIndex)) return;
    if (m_lastPopup) m_lastPopup->deleteLater();
    m_lastPopup = new QMenu(m_window);
    FillMenu(m_lastPopup, item(itemIndex)->parent);
    m_lastPopup->popup(QPoint(x, y));
}

void cFormMenu::ShowPopupAtCursor(int x, int y, int itemIndex, int)
{
    ShowPopupMenu(x, y, 0, 0, 0, 0, -1, itemIndex);
}
