#include "controls/PopupMenu.h"

#include <QAction>
#include <QMenu>

cFormMenu::cFormMenu(QObject* parent) : QObject(parent) {}

cFormMenu::~cFormMenu()
{
    if (m_lastPopup) delete m_lastPopup;
}

void cFormMenu::Attach(QWidget* window) { m_window = window; }

int cFormMenu::AddItem(const QString& caption, const QString& helpText, int itemData, int parentIndex, int iconIndex,
                       bool checked, bool enabled, const QString& key)
{
    Item it;
    it.caption = caption;
    it.help = helpText;
    it.itemData = itemData;
    it.parent = parentIndex > 0 ? parentIndex : 0;
    it.icon = iconIndex;
    it.checked = checked;
    it.enabled = enabled;
    it.key = key;
    m_items.push_back(it);
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
    if (Item* it = item(index)) it->caption = caption;
}
bool cFormMenu::Checked(int index) const { return item(index) && item(index)->checked; }
void cFormMenu::SetChecked(int index, bool checked)
{
    if (Item* it = item(index)) it->checked = checked;
}
bool cFormMenu::Visible(int index) const { return item(index) && item(index)->visible; }
void cFormMenu::SetVisible(int index, bool visible)
{
    if (Item* it = item(index)) it->visible = visible;
}
bool cFormMenu::Enabled(int index) const { return item(index) && item(index)->enabled; }
void cFormMenu::SetEnabled(int index, bool enabled)
{
    if (Item* it = item(index)) it->enabled = enabled;
}
int cFormMenu::Parent(int index) const { return item(index) ? item(index)->parent : 0; }

QMenu* cFormMenu::buildPopup(int parentIndex)
{
    auto* menu = new QMenu(m_window);
    for (int i = 1; i <= Count(); ++i) {
        const Item* it = item(i);
        if (it->parent != parentIndex) continue;
        if (it->caption == "-") {
            menu->addSeparator();
            continue;
        }
        bool hasChildren = false;
        for (const Item& c : m_items) hasChildren = hasChildren || c.parent == i;
        if (hasChildren) {
            QMenu* sub = buildPopup(i);
            sub->setTitle(it->caption);
            menu->addMenu(sub);
            continue;
        }
        QAction* a = menu->addAction(it->caption);
        a->setCheckable(it->checked);
        a->setChecked(it->checked);
        a->setEnabled(it->enabled);
        connect(a, &QAction::triggered, this, [this, i] { emit Click(i); }, Qt::QueuedConnection);
    }
    return menu;
}

void cFormMenu::ShowPopupMenu(int x, int y, int, int, int, int, int, int itemIndex)
{
    if (!item(itemIndex)) return;
    if (m_lastPopup) m_lastPopup->deleteLater();
    m_lastPopup = buildPopup(item(itemIndex)->parent);
    m_lastPopup->popup(QPoint(x, y));
}

void cFormMenu::ShowPopupAtCursor(int x, int y, int itemIndex, int)
{
    ShowPopupMenu(x, y, 0, 0, 0, 0, -1, itemIndex);
}
