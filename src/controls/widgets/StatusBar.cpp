#include "controls/widgets/StatusBar.h"

#include "controls/widgets/ImageList.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/WidgetSupport.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

// One panel: a sunken box with an icon and a line of text.
class cStatusBar::Panel final : public QFrame {
public:
    Panel(cStatusBar* bar, QString key, int style, int flags, bool fitContents)
        : QFrame(bar), key(std::move(key)), style(style), flags(flags), fitContents(fitContents), m_bar(bar)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

    QString key, text;
    int icon = -1;
    int style, flags;
    bool fitContents;

    void refresh()
    {
        if (fitContents) setMinimumWidth(sizeHint().width());
        update();
    }

    QSize sizeHint() const override
    {
        const int iconWidth = icon >= 0 ? iconSize().width() + 4 : 0;
        return QSize(fontMetrics().horizontalAdvance(text) + iconWidth + 12, fontMetrics().height() + 8);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        QRect area = contentsRect().adjusted(3, 0, -3, 0);
        const QIcon image = m_bar->m_imageList ? m_bar->m_imageList->Icon(icon) : QIcon();
        if (!image.isNull()) {
            const QSize size = iconSize();
            const QRect place(area.left(), area.center().y() - size.height() / 2, size.width(), size.height());
            image.paint(&painter, place);
            area.setLeft(area.left() + size.width() + 4);
        }
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (rect().contains(event->position().toPoint())) emit m_bar->PanelClick(m_bar->numberOf(this));
    }

private:
    QSize iconSize() const { return m_bar->m_imageList ? m_bar->m_imageList->IconSize() : QSize(16, 16); }
    cStatusBar* m_bar;
};

cStatusBar::cStatusBar(QWidget* parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->setSpacing(2);
    m_layout->addStretch(0);
    setAutoFillBackground(true);
}

cStatusBar::~cStatusBar() = default;

void cStatusBar::SetImageList(cImageList* images)
{
    if (m_imageList) disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = images;
    auto refreshAll = [this] {
        for (Panel* p : m_panels) p->refresh();
    };
    if (images) connect(images, &cImageList::Changed, this, refreshAll);
    refreshAll();
}

void cStatusBar::SetBackColor(std::int32_t color)
{
    m_backColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, widgets::ColorFromNumber(color));
    setPalette(pal);
}

int cStatusBar::AddPanel(int style, const QString& text, const QString& toolTip, int iconIndex, int minWidth,
                         bool spring, bool fitContents, int flags, const QString& key)
{
    auto* p = new Panel(this, key, style, flags, fitContents);
    p->text = text;
    p->icon = iconIndex;
    widgets::SetPlainToolTip(p, toolTip);
    p->setMinimumWidth(std::max(minWidth, 0));
    // Panels stand left to right; the stretch at the end stays last.
    m_layout->insertWidget(m_layout->count() - 1, p, spring ? 1 : 0);
    m_panels.push_back(p);
    p->refresh();
    return PanelCount();
}

cStatusBar::Panel* cStatusBar::panel(const cItemRef& ref) const
{
    const int index = ref.ByKey() ? PanelIndex(ref.Key()) : ref.Index();
    return index >= 1 && index <= PanelCount() ? m_panels[size_t(index - 1)] : nullptr;
}

int cStatusBar::numberOf(const Panel* p) const
{
    const auto it = std::find(m_panels.begin(), m_panels.end(), p);
    return it == m_panels.end() ? 0 : int(it - m_panels.begin()) + 1;
}

QString cStatusBar::PanelText(const cItemRef& ref) const
{
    const Panel* p = panel(ref);
    return p ? p->text : QString();
}

void cStatusBar::SetPanelText(const cItemRef& ref, const QString& text)
{
    if (Panel* p = panel(ref)) {
        p->text = text;
        p->refresh();
    }
}

int cStatusBar::PanelIcon(const cItemRef& ref) const
{
    const Panel* p = panel(ref);
    return p ? p->icon : -1;
}

void cStatusBar::SetPanelIcon(const cItemRef& ref, int iconIndex)
{
    if (Panel* p = panel(ref)) {
        p->icon = iconIndex;
        p->refresh();
    }
}

QString cStatusBar::PanelToolTip(const cItemRef& ref) const
{
    const Panel* p = panel(ref);
    return p ? p->toolTip() : QString();
}

void cStatusBar::SetPanelToolTip(const cItemRef& ref, const QString& toolTip)
{
    if (Panel* p = panel(ref)) widgets::SetPlainToolTip(p, toolTip);
}

QString cStatusBar::PanelKey(int index) const
{
    const Panel* p = panel(index);
    return p ? p->key : QString();
}

int cStatusBar::PanelIndex(const QString& key) const
{
    if (key.isEmpty()) return 0;
    for (size_t i = 0; i < m_panels.size(); ++i)
        if (m_panels[i]->key == key) return int(i) + 1;
    return 0;
}

QWidget* cStatusBar::PanelWidget(const cItemRef& ref) const { return panel(ref); }
