#pragma once
// The image list: icons by number, counted from 0, shared by grids, trees,
// toolbars, tabs and status bars. The program fills it with its own icons.
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <vector>

class cImageList : public QObject {
    Q_OBJECT
public:
    explicit cImageList(QObject* parent = nullptr, QSize iconSize = QSize(16, 16));

    // Appends an icon and returns its number.
    int Add(const QIcon& icon);
    // Puts an icon at a number, growing the list with empty places as needed.
    void SetIcon(int index, const QIcon& icon);
    void Clear();
    int Count() const { return int(m_icons.size()); }
    // The icon at a number; a null icon for -1 or a number outside the list.
    QIcon Icon(int index) const;
    // One picture of the list, at the list's icon size.
    QPixmap ItemPicture(int index) const;

    QSize IconSize() const { return m_iconSize; }
    void SetIconSize(QSize size);

signals:
    // The icons changed; the controls that show them repaint.
    void Changed();

private:
    std::vector<QIcon> m_icons;
    QSize m_iconSize;
};
