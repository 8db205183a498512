#include "controls/widgets/TreeView.h"

#include "controls/widgets/ImageList.h"
#include "controls/widgets/WidgetSupport.h"
#include "platform/VbCompat.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

// Hands a confirmed caption edit to the tree, which asks AfterLabelEdit.
class cTreeView::LabelDelegate final : public QStyledItemDelegate {
public:
    explicit LabelDelegate(cTreeView* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            m_tree->commitLabel(m_tree->m_widget->itemFromIndex(index), line->text());
    }

private:
    cTreeView* m_tree;
};

// --- the collections ---

cTreeNode* cTreeNodes::Add(cTreeNode* relative, int relationship, const QString& key, const QString& text,
                           int image, int selectedImage) const
{
    return m_tree->addNode(m_parent, relative, relationship, key, text, image, selectedImage);
}

void cTreeNodes::Clear() const
{
    if (m_parent) {
        m_tree->removeChildren(m_parent->m_item);
        return;
    }
    QTreeWidget* widget = m_tree->m_widget;
    while (widget->topLevelItemCount() > 0) m_tree->removeNode(m_tree->nodeOf(widget->topLevelItem(0)));
}

int cTreeNodes::Count() const
{
    return m_parent ? m_parent->m_item->childCount() : int(m_tree->m_nodes.size());
}

cTreeNode* cTreeNodes::Item(int index) const
{
    if (index < 1 || index > Count()) return nullptr;
    if (m_parent) return m_tree->nodeOf(m_parent->m_item->child(index - 1));
    return m_tree->m_nodes[size_t(index - 1)];
}

cTreeNode* cTreeNodes::Item(const QString& key) const
{
    cTreeNode* node = m_tree->findKey(key);
    if (!node || !m_parent) return node;
    return node->m_item->parent() == m_parent->m_item ? node : nullptr;
}

// --- a node ---

cTreeNode::cTreeNode(cTreeView* tree, QTreeWidgetItem* item, const QString& key, int image, int selectedImage)
    : QObject(tree), m_tree(tree), m_item(item), m_children(tree, this), m_key(key), m_image(image),
      m_selectedImage(selectedImage)
{
}

void cTreeNode::SetKey(const QString& key)
{
    cTreeNode* owner = key.isEmpty() ? nullptr : m_tree->findKey(key);
    if (!owner || owner == this) m_key = key;
}

QString cTreeNode::Text() const { return m_item->text(0); }
void cTreeNode::SetText(const QString& text) { m_item->setText(0, text); }

void cTreeNode::SetImage(int index)
{
    m_image = index;
    updateIcon();
}

void cTreeNode::SetSelectedImage(int index)
{
    m_selectedImage = index;
    updateIcon();
}

void cTreeNode::updateIcon()
{
    const bool current = m_tree->m_widget->currentItem() == m_item;
    const int index = current && m_selectedImage >= 0 ? m_selectedImage : m_image;
    m_item->setIcon(0, m_tree->m_imageList ? m_tree->m_imageList->Icon(index) : QIcon());
}

bool cTreeNode::Selected() const { return m_item->isSelected(); }

void cTreeNode::SetSelected(bool selected)
{
    if (!selected) {
        m_item->setSelected(false);
        return;
    }
    m_tree->m_widget->setCurrentItem(m_item);
    m_item->setSelected(true);
    m_tree->m_widget->scrollToItem(m_item);
}

bool cTreeNode::Expanded() const { return m_item->isExpanded(); }
void cTreeNode::SetExpanded(bool expanded) { m_item->setExpanded(expanded); }

bool cTreeNode::Bold() const { return m_item->font(0).bold(); }

void cTreeNode::SetBold(bool bold)
{
    QFont font = m_item->font(0);
    font.setBold(bold);
    m_item->setFont(0, font);
}

cTreeNode* cTreeNode::Parent() const { return m_tree->nodeOf(m_item->parent()); }

void cTreeNode::StartEdit() { m_tree->startEdit(this); }

void cTreeNode::Delete() { m_tree->removeNode(this); }

// --- the tree ---

cTreeView::cTreeView(QWidget* parent) : QWidget(parent), m_widget(new QTreeWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_widget);
    m_widget->setColumnCount(1);
    m_widget->setHeaderHidden(true);
    m_widget->setSelectionMode(QAbstractItemView::SingleSelection);
    m_widget->setItemDelegate(new LabelDelegate(this));
    SetLabelEdit(false);
    m_widget->installEventFilter(this);

    connect(m_widget, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (cTreeNode* node = nodeOf(item)) emit NodeClick(node);
    });
    // The current node shows its selected image.
    connect(m_widget, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now, QTreeWidgetItem* before) {
        for (QTreeWidgetItem* item : {before, now})
            if (cTreeNode* node = nodeOf(item)) node->updateIcon();
    });
    new widgets::DropReceiver(m_widget->viewport(), this, [this](QObject* source, QPointF at) {
        emit DragDrop(source, float(platform::PixelsToTwips(int(at.x()))), float(platform::PixelsToTwips(int(at.y()))));
    });
}

cTreeView::~cTreeView()
{
    // The widget and its items go before the nodes; their last signals must not reach them.
    disconnect(m_widget, nullptr, this, nullptr);
}

cTreeNode* cTreeView::SelectedItem() const { return nodeOf(m_widget->currentItem()); }

void cTreeView::SetImageList(cImageList* images)
{
    if (m_imageList) disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = images;
    if (images) {
        m_widget->setIconSize(images->IconSize());
        connect(images, &cImageList::Changed, this, &cTreeView::updateIcons);
    }
    updateIcons();
}

void cTreeView::updateIcons()
{
    for (cTreeNode* node : m_nodes) node->updateIcon();
}

void cTreeView::SetLabelEdit(bool on)
{
    m_labelEdit = on;
    m_widget->setEditTriggers(on ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
}

cTreeNode* cTreeView::nodeOf(QTreeWidgetItem* item) const { return item ? m_byItem.value(item) : nullptr; }

cTreeNode* cTreeView::findKey(const QString& key) const
{
    auto it = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const cTreeNode* n) { return n->m_key == key; });
    return it == m_nodes.end() ? nullptr : *it;
}

void cTreeView::insertItem(QTreeWidgetItem* container, int position, QTreeWidgetItem* item)
{
    if (container) container->insertChild(position, item);
    else m_widget->insertTopLevelItem(position, item);
}

cTreeNode* cTreeView::addNode(cTreeNode* parent, cTreeNode* relative, int relationship, const QString& key,
                              const QString& text, int image, int selectedImage)
{
    if (!key.isEmpty() && findKey(key)) return nullptr;
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setFlags(item->flags() | Qt::ItemIsEditable);

    if (!relative || relationship == cTreeNodes::Child) {
        QTreeWidgetItem* container = relative ? relative->m_item : parent ? parent->m_item : nullptr;
        insertItem(container, container ? container->childCount() : m_widget->topLevelItemCount(), item);
    } else {
        QTreeWidgetItem* container = relative->m_item->parent();
        const int at = container ? container->indexOfChild(relative->m_item)
                                 : m_widget->indexOfTopLevelItem(relative->m_item);
        const int count = container ? container->childCount() : m_widget->topLevelItemCount();
        switch (relationship) {
        case cTreeNodes::First: insertItem(container, 0, item); break;
        case cTreeNodes::Next: insertItem(container, at + 1, item); break;
        case cTreeNodes::Previous: insertItem(container, at, item); break;
        default: insertItem(container, count, item); break;
        }
    }

    auto* node = new cTreeNode(this, item, key, image, selectedImage);
    m_nodes.push_back(node);
    m_byItem.insert(item, node);
    node->updateIcon();
    return node;
}

void cTreeView::forgetSubtree(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i) forgetSubtree(item->child(i));
    cTreeNode* node = m_byItem.take(item);
    m_nodes.erase(std::remove(m_nodes.begin(), m_nodes.end(), node), m_nodes.end());
    delete node;
}

void cTreeView::removeNode(cTreeNode* node)
{
    if (!node) return;
    QTreeWidgetItem* item = node->m_item;
    forgetSubtree(item);
    delete item;
}

void cTreeView::removeChildren(QTreeWidgetItem* parent)
{
    while (parent->childCount() > 0) removeNode(nodeOf(parent->child(0)));
}

void cTreeView::startEdit(cTreeNode* node)
{
    if (m_committing) {
        // The editor that is closing would swallow a new one: open it afterwards.
        QPointer<cTreeNode> later(node);
        QMetaObject::invokeMethod(this, [this, later] { if (later) startEdit(later); }, Qt::QueuedConnection);
        return;
    }
    m_widget->scrollToItem(node->m_item);
    m_widget->editItem(node->m_item, 0);
}

void cTreeView::commitLabel(QTreeWidgetItem* item, const QString& text)
{
    QPointer<cTreeNode> node = nodeOf(item);
    if (!node || m_committing) return;
    QString newString = text;
    bool cancel = false;
    {
        const QScopedValueRollback<bool> committing(m_committing, true);
        emit AfterLabelEdit(node, &newString, &cancel);
    }
    if (node && !cancel) node->SetText(newString);
}

bool cTreeView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_widget && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) emit KeyUp(widgets::KeyCode(key->key()), widgets::ShiftState(key->modifiers()));
    }
    return QWidget::eventFilter(watched, event);
}
