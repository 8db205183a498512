#include "controls/widgets/TabControl.h"

#include "controls/widgets/ImageList.h"
#include "platform/VbCompat.h"

#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

cTabControl::cTabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_selecting && index >= 0) emit TabClick(index + 1);
    });
}

void cTabControl::SetImageList(cImageList* images)
{
    if (m_imageList) disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = images;
    if (images) {
        m_bar->setIconSize(images->IconSize());
        connect(images, &cImageList::Changed, this, &cTabControl::updateIcons);
    }
    updateIcons();
}

void cTabControl::updateIcons()
{
    for (int i = 0; i < m_bar->count(); ++i) {
        const int icon = m_bar->tabData(i).toMap().value("icon", -1).toInt();
        m_bar->setTabIcon(i, m_imageList ? m_imageList->Icon(icon) : QIcon());
    }
    placeBar();
}

int cTabControl::AddTab(const QString& caption, int iconIndex, int position, const QString& key)
{
    const QScopedValueRollback<bool> selecting(m_selecting, true);
    const int at = position >= 1 && position <= TabCount() ? position - 1 : TabCount();
    const int index = m_bar->insertTab(at, caption);
    m_bar->setTabData(index, QVariantMap{{"key", key}, {"icon", iconIndex}});
    m_bar->setTabIcon(index, m_imageList ? m_imageList->Icon(iconIndex) : QIcon());
    placeBar();
    return index + 1;
}

void cTabControl::ClearTabs()
{
    const QScopedValueRollback<bool> selecting(m_selecting, true);
    while (m_bar->count() > 0) m_bar->removeTab(0);
    placeBar();
}

int cTabControl::TabCount() const { return m_bar->count(); }

int cTabControl::SelectedTab() const { return m_bar->currentIndex() + 1; }

void cTabControl::SetSelectedTab(int index)
{
    if (index < 1 || index > TabCount()) return;
    const QScopedValueRollback<bool> selecting(m_selecting, true);
    m_bar->setCurrentIndex(index - 1);
}

void cTabControl::SelectTab(const QString& key) { SetSelectedTab(TabIndex(key)); }

int cTabControl::TabIndex(const QString& key) const
{
    for (int i = 0; i < m_bar->count(); ++i)
        if (TabKey(i + 1) == key) return i + 1;
    return 0;
}

QString cTabControl::TabKey(int index) const
{
    if (index < 1 || index > TabCount()) return {};
    return m_bar->tabData(index - 1).toMap().value("key").toString();
}

QString cTabControl::TabCaption(int index) const { return m_bar->tabText(index - 1); }

QRect cTabControl::frameRect() const
{
    const int barHeight = m_bar->sizeHint().height();
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = std::max(barHeight - overlap, 0);
    return QRect(0, top, width(), std::max(height() - top, 0));
}

QRect cTabControl::ClientRect() const
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) + 1;
    const QRect area = frameRect().adjusted(frame, frame, -frame, -frame);
    return QRect(area.topLeft(), area.size().expandedTo(QSize(0, 0)));
}

int cTabControl::ClientLeft() const { return platform::PixelsToTwips(x() + ClientRect().left()); }
int cTabControl::ClientTop() const { return platform::PixelsToTwips(y() + ClientRect().top()); }
int cTabControl::ClientWidth() const { return platform::PixelsToTwips(ClientRect().width()); }
int cTabControl::ClientHeight() const { return platform::PixelsToTwips(ClientRect().height()); }

void cTabControl::placeBar()
{
    m_bar->setGeometry(0, 0, std::min(width(), m_bar->sizeHint().width()), m_bar->sizeHint().height());
    update();
}

void cTabControl::resizeEvent(QResizeEvent*) { placeBar(); }

void cTabControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect = frameRect();
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = m_bar->sizeHint();
    option.tabBarRect = m_bar->geometry();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}
