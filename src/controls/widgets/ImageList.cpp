#include "controls/widgets/ImageList.h"

cImageList::cImageList(QObject* parent, QSize iconSize) : QObject(parent), m_iconSize(iconSize) {}

int cImageList::Add(const QIcon& icon)
{
    m_icons.push_back(icon);
    emit Changed();
    return Count() - 1;
}

void cImageList::SetIcon(int index, const QIcon& icon)
{
    if (index < 0) return;
    if (index >= Count()) m_icons.resize(size_t(index) + 1);
    m_icons[size_t(index)] = icon;
    emit Changed();
}

void cImageList::Clear()
{
    m_icons.clear();
    emit Changed();
}

QIcon cImageList::Icon(int index) const
{
    if (index < 0 || index >= Count()) return {};
    return m_icons[size_t(index)];
}

QPixmap cImageList::ItemPicture(int index) const { return Icon(index).pixmap(m_iconSize); }

void cImageList::SetIconSize(QSize size)
{
    m_iconSize = size;
    emit Changed();
}
