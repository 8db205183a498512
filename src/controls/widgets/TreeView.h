#pragma once
// The tree: nodes with unique keys, captions and icons. cTreeView::Nodes()
// holds every node in the order it was added; cTreeNode::Child() holds a
// node's children in display order. Both number from 1 and belong to their
// tree or node. Node pointers stay valid until the node is deleted; hold them
// in a QPointer to see that.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class cImageList;
class cTreeNode;
class cTreeView;

// A collection of nodes: all nodes of a tree, or the children of one node.
class cTreeNodes {
public:
    // Relationship of Add to the relative node.
    enum Relationship { First = 0, Last = 1, Next = 2, Previous = 3, Child = 4 };

    cTreeNodes(cTreeView* tree, cTreeNode* parent) : m_tree(tree), m_parent(parent) {}

    // Adds a node placed by `relationship` to `relative` (no relative: a root
    // node at the end; in a child collection, a child at the end). Returns the
    // new node, or nullptr when the key is taken. Images: -1 none; the
    // selected image -1 shows the image.
    cTreeNode* Add(cTreeNode* relative, int relationship, const QString& key, const QString& text, int image = -1,
                   int selectedImage = -1) const;
    void Clear() const;
    int Count() const;
    // The node at a position from 1, or with a key; nullptr when none.
    cTreeNode* Item(int index) const;
    cTreeNode* Item(const QString& key) const;
    cTreeNode* Item(const char* key) const { return Item(QString::fromUtf8(key)); }

private:
    cTreeView* m_tree;
    cTreeNode* m_parent;
};

class cTreeNode : public QObject {
    Q_OBJECT
public:
    QString Key() const { return m_key; }
    // Refused (the key stays) when another node has that key.
    void SetKey(const QString& key);
    QString Text() const;
    void SetText(const QString& text);
    int Image() const { return m_image; }
    void SetImage(int index);
    int SelectedImage() const { return m_selectedImage; }
    void SetSelectedImage(int index);
    // True selects the node, which becomes the tree's SelectedItem; False only
    // takes the highlight away: the tree's SelectedItem stays this node.
    bool Selected() const;
    void SetSelected(bool selected);
    bool Expanded() const;
    void SetExpanded(bool expanded);
    bool Bold() const;
    void SetBold(bool bold);
    // A mark the windows set; the tree keeps it.
    bool Filled() const { return m_filled; }
    void SetFilled(bool filled) { m_filled = filled; }
    cTreeNode* Parent() const;
    cTreeNodes* Child() { return &m_children; }
    // Starts in-place editing of the caption; the tree raises AfterLabelEdit
    // when the user confirms (Escape leaves the caption without an event).
    void StartEdit();
    // Removes the node with its children; the node is destroyed.
    void Delete();

private:
    friend class cTreeView;
    friend class cTreeNodes;
    cTreeNode(cTreeView* tree, QTreeWidgetItem* item, const QString& key, int image, int selectedImage);
    void updateIcon();

    cTreeView* m_tree;
    QTreeWidgetItem* m_item;
    cTreeNodes m_children;
    QString m_key;
    int m_image;
    int m_selectedImage;
    bool m_filled = false;
};

class cTreeView : public QWidget {
    Q_OBJECT
public:
    explicit cTreeView(QWidget* parent = nullptr);
    ~cTreeView() override;

    cTreeNodes* Nodes() { return &m_allNodes; }
    // The current node, nullptr when none.
    cTreeNode* SelectedItem() const;
    cImageList* ImageList() const { return m_imageList; }
    void SetImageList(cImageList* images);
    // Whether the user may edit captions in place (F2 or a click on the
    // selected node).
    bool LabelEdit() const { return m_labelEdit; }
    void SetLabelEdit(bool on);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }

    // The tree widget inside (tests click it).
    QTreeWidget* Widget() const { return m_widget; }

signals:
    // The user clicked a node.
    void NodeClick(cTreeNode* node);
    // The user confirmed an edited caption. Handlers may change *NewString
    // (the caption taken) or set *Cancel to keep the old caption.
    void AfterLabelEdit(cTreeNode* node, QString* NewString, bool* Cancel);
    // A key was released over the tree: virtual-key code, shift state (1 Shift, 2 Ctrl, 4 Alt).
    void KeyUp(int keyCode, int shift);
    // One of the window's own controls was dropped here; x, y in twips.
    void DragDrop(QObject* source, float x, float y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class cTreeNodes;
    friend class cTreeNode;
    class LabelDelegate;

    cTreeNode* nodeOf(QTreeWidgetItem* item) const;
    cTreeNode* findKey(const QString& key) const;
    cTreeNode* addNode(cTreeNode* parent, cTreeNode* relative, int relationship, const QString& key,
                       const QString& text, int image, int selectedImage);
    void insertItem(QTreeWidgetItem* container, int position, QTreeWidgetItem* item);
    void removeNode(cTreeNode* node);
    void removeChildren(QTreeWidgetItem* parent);
    void forgetSubtree(QTreeWidgetItem* item);
    void updateIcons();
    void commitLabel(QTreeWidgetItem* item, const QString& text);
    void startEdit(cTreeNode* node);

    QTreeWidget* m_widget;
    cTreeNodes m_allNodes{this, nullptr};
    std::vector<cTreeNode*> m_nodes; // in the order they were added
    QHash<QTreeWidgetItem*, cTreeNode*> m_byItem;
    QPointer<cImageList> m_imageList;
    bool m_labelEdit = false;
    bool m_committing = false;
};
