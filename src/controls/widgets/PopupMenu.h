#pragma once
// The popup-menu component: a tree of items, each with a caption and a
// command key, shown as the window's menu bar and as popups; raises Click with
// the picked item's index (1-based; 0 is no item).
//
// Top items (parent 0) that stay visible form the menu bar of the attached
// window; hidden top items are popup-only menus. A caption "-" makes a
// separator. Menus are built from the items each time they open, so captions
// and check marks are always current.
#include "controls/widgets/ImageList.h"

#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class QWidget;

class cFormMenu : public QObject {
    Q_OBJECT
public:
    explicit cFormMenu(QObject* parent = nullptr);
    ~cFormMenu() override;

    // Binds the menu to a window: its menu bar is placed along the window's top.
    void Attach(QWidget* window);
    // The drawing style: True the shaded, framed style; False the plain one.
    bool XPStyle() const { return m_xpStyle; }
    void SetXPStyle(bool on);
    QFont Font() const { return m_font; }
    void SetFont(const QFont& font);
    cImageList* ImageList() const { return m_imageList; }
    void SetImageList(cImageList* images);
    // True once the items are built: the menu bar shows.
    bool Active() const { return m_active; }
    void SetActive(bool on);

    // Adds an item under `parentIndex` (0 or less: a top item) and returns its index.
    int AddItem(const QString& caption, const QString& helpText = QString(), int itemData = 0,
                int parentIndex = 0, int iconIndex = -1, bool checked = false, bool enabled = true,
                const QString& key = QString());
    int Count() const { return int(m_items.size()); }
    // The first item with the key; 0 when none has it.
    int IndexForKey(const QString& key) const;
    QString ItemKey(int index) const;
    QString Caption(int index) const;
    void SetCaption(int index, const QString& caption);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    bool Visible(int index) const;
    void SetVisible(int index, bool visible);
    bool Enabled(int index) const;
    void SetEnabled(int index, bool enabled);
    int Parent(int index) const;
    int IconIndex(int index) const;
    // The items directly under an item (0: the top items), in order.
    std::vector<int> Children(int parentIndex) const;

    // Shows, at the screen point, the popup menu that holds the item.
    void ShowPopupMenu(int x, int y, int, int, int, int, int, int itemIndex);
    void ShowPopupAtCursor(int x, int y, int itemIndex, int);

    // The attached window's menu bar (nullptr before Attach) and its height in pixels.
    QMenuBar* MenuBar() const { return m_bar; }
    int MenuBarHeight() const;
    // Tests: the popup last shown.
    QMenu* LastPopup() const { return m_lastPopup; }
    // Fills a menu with the items under `parentIndex` (tests use it to read a menu).
    void FillMenu(QMenu* menu, int parentIndex);

signals:
    void Click(int ItemNumber);
    // The menu bar changed height.
    void MenuBarResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Item {
        QString caption, help, key;
        int itemData = 0, parent = 0, icon = -1;
        bool checked = false, enabled = true, visible = true;
    };
    const Item* item(int index) const;
    Item* item(int index);
    bool hasChildren(int index) const;
    void rebuildMenuBar();
    void fitMenuBar();
    void applyLook(QMenu* menu) const;
    QString styleSheet() const;

    std::vector<Item> m_items;
    QPointer<QWidget> m_window;
    QPointer<QMenuBar> m_bar;
    QPointer<QMenu> m_lastPopup;
    QPointer<cImageList> m_imageList;
    QFont m_font;
    bool m_xpStyle = false;
    bool m_active = false;
};
