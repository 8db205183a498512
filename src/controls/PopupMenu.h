#pragma once
// The popup-menu component: a tree of items, each with a caption and a
// command key, shown as the window's menus and as popups; raises Click with
// the picked item's index (1-based; 0 is no item).
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>


class cFormMenu : public QObject {
    Q_OBJECT
public:
    explicit cFormMenu(QObject* parent = nullptr);
    ~cFormMenu() override;

    void Attach(QWidget* window);
    // Adds an item under `parentIndex` (0 or less: a top item) and returns its index.
    int AddItem(const QString& caption, const QString& helpText = QString(), int itemData = 0,
                int parentIndex = 0, int iconIndex = -1, bool checked = false, bool enabled = true,
                const QString& key = QString());
    int Count() const { return int(m_items.size()); }
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

    // Shows, at the screen point, the popup menu that holds the item.
    void ShowPopupMenu(int x, int y, int, int, int, int, int, int itemIndex);
    void ShowPopupAtCursor(int x, int y, int itemIndex, int);

    // Tests: the menu last shown, built from the items.
    QMenu* LastPopup() const { return m_lastPopup; }

signals:
    void Click(int ItemNumber);

private:
    struct Item {
        QString caption, help, key;
        int itemData = 0, parent = 0, icon = -1;
        bool checked = false, enabled = true, visible = true;
    };
    const Item* item(int index) const;
    Item* item(int index);
    QMenu* buildPopup(int parentIndex);

    std::vector<Item> m_items;
    QPointer<QWidget> m_window;
    QPointer<QMenu> m_lastPopup;
};
