#include "controls/widgets/Toolbar.h"

#include "controls/widgets/ImageList.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/WidgetSupport.h"
#include "platform/VbCompat.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <functional>

// A toolbar button; a drop-down button reports a press on its arrow instead
// of opening a menu.
class cToolbar::Button final : public QToolButton {
public:
    Button(QWidget* parent, bool dropDown) : QToolButton(parent)
    {
        if (!dropDown) return;
        // The arrow is drawn for buttons that have a menu; this one never opens.
        setMenu(new QMenu(this));
        setPopupMode(QToolButton::MenuButtonPopup);
    }

    std::function<void()> onArrow;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (onArrow && event->button() == Qt::LeftButton && arrowRect().contains(event->position().toPoint())) {
            event->accept();
            onArrow();
            return;
        }
        QToolButton::mousePressEvent(event);
    }

private:
    QRect arrowRect() const
    {
        QStyleOptionToolButton option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    }
};

// A button as the bar's action: the bar asks it for its button; a menu, the
// bar's overflow menu among them, shows it as a plain item whose choice
// clicks the button.
class cToolbar::ButtonAction final : public QWidgetAction {
public:
    ButtonAction(QObject* parent, bool dropDown) : QWidgetAction(parent), m_dropDown(dropDown) {}

protected:
    QWidget* createWidget(QWidget* parent) override
    {
        if (!qobject_cast<QToolBar*>(parent)) return nullptr;
        auto* button = new Button(parent, m_dropDown);
        connect(this, &QAction::triggered, button, [button] { button->click(); });
        connect(button, &QToolButton::toggled, this, [this](bool on) {
            const QSignalBlocker quiet(this);
            setChecked(on);
        });
        return button;
    }

private:
    bool m_dropDown;
};

// --- cToolbar ---

cToolbar::cToolbar(QWidget* parent) : QWidget(parent), m_bar(new QToolBar(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    m_bar->setMovable(false);
    m_bar->setFloatable(false);
    // Outside a main window the bar's extension arrow opens a menu of the
    // buttons it has no room for.
    m_overflow = m_bar->findChild<QToolButton*>("qt_toolbar_ext_button");
}

cToolbar::~cToolbar() = default;

void cToolbar::SetButtonTextPosition(std::int32_t position)
{
    m_textPosition = position;
    updateButtons();
}

void cToolbar::SetListStyle(bool on)
{
    m_listStyle = on;
    updateButtons();
}

void cToolbar::SetImageList(cImageList* images)
{
    if (m_imageList) disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = images;
    if (images) connect(images, &cImageList::Changed, this, &cToolbar::updateButtons);
    updateButtons();
}

void cToolbar::CreateToolbar(int buttonSize, bool list, bool flat, bool wrap)
{
    if (buttonSize > 0) m_bar->setIconSize(QSize(buttonSize, buttonSize));
    m_listStyle = m_listStyle || list;
    m_flat = flat;
    m_wrappable = wrap;
    updateButtons();
}

void cToolbar::AddButton(const QString& toolTip, int image, const QString& keyBefore, int width,
                         const QString& caption, int style, const QString& key)
{
    const int before = keyBefore.isEmpty() ? -1 : ButtonIndex(keyBefore);
    QAction* beforeAction = before >= 0 ? m_buttons[size_t(before)].action : nullptr;
    Entry entry;
    entry.key = key;
    entry.toolTip = toolTip;
    entry.caption = caption;
    entry.image = image;
    entry.style = style;
    if (style == StyleSeparator) {
        entry.action = m_bar->insertSeparator(beforeAction);
    } else {
        auto* action = new ButtonAction(m_bar, style == StyleDropDown);
        action->setCheckable(style == StyleCheck);
        m_bar->insertAction(beforeAction, action);
        auto* button = static_cast<Button*>(m_bar->widgetForAction(action));
        if (style == StyleDropDown) button->onArrow = [this, button] { emit ButtonDropDown(indexOf(button)); };
        button->setCheckable(style == StyleCheck);
        if (width > 0) button->setFixedWidth(width);
        connect(button, &QToolButton::clicked, this, [this, button] { emit ButtonClick(indexOf(button)); });
        entry.widget = button;
        entry.action = action;
    }
    auto at = before >= 0 ? m_buttons.begin() + before : m_buttons.end();
    updateButton(*m_buttons.insert(at, entry));
}

void cToolbar::updateButton(Entry& entry)
{
    QToolButton* button = entry.widget;
    if (!button) return;
    const QIcon icon = m_imageList ? m_imageList->Icon(entry.image) : QIcon();
    button->setIcon(icon);
    button->setText(entry.caption);
    // As an item of the overflow menu: its icon and caption, or its tip when it has none.
    entry.action->setIcon(icon);
    entry.action->setText(entry.caption.isEmpty() ? entry.toolTip : entry.caption);
    widgets::SetPlainToolTip(button, entry.toolTip);
    button->setAutoRaise(m_flat);
    const bool showText = entry.textVisible && !entry.caption.isEmpty();
    if (!showText) button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    else if (entry.image < 0) button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    else if (m_listStyle || m_textPosition == 0) button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    else button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

void cToolbar::updateButtons()
{
    for (Entry& entry : m_buttons) updateButton(entry);
}

int cToolbar::indexOf(const QToolButton* widget) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].widget == widget) return int(i);
    return -1;
}

QString cToolbar::ButtonKey(int index) const
{
    const Entry* e = entry(index);
    return e ? e->key : QString();
}

int cToolbar::ButtonIndex(const QString& key) const
{
    if (key.isEmpty()) return -1;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].key == key) return int(i);
    return -1;
}

int cToolbar::buttonNumber(const cItemRef& button) const
{
    const int index = button.ByKey() ? ButtonIndex(button.Key()) : button.Index();
    return index >= 0 && index < ButtonCount() ? index : -1;
}

const cToolbar::Entry* cToolbar::entry(const cItemRef& button) const
{
    const int index = buttonNumber(button);
    return index >= 0 ? &m_buttons[size_t(index)] : nullptr;
}

QToolButton* cToolbar::ButtonWidget(int index) const
{
    const Entry* e = entry(index);
    return e ? e->widget : nullptr;
}

bool cToolbar::ButtonChecked(const cItemRef& button) const
{
    const Entry* e = entry(button);
    return e && e->widget && e->widget->isChecked();
}

void cToolbar::SetButtonChecked(const cItemRef& button, bool checked)
{
    const Entry* e = entry(button);
    if (e && e->widget && e->widget->isCheckable()) e->widget->setChecked(checked);
}

bool cToolbar::ButtonEnabled(const cItemRef& button) const
{
    const Entry* e = entry(button);
    return e && e->widget && e->widget->isEnabled();
}

void cToolbar::SetButtonEnabled(const cItemRef& button, bool enabled)
{
    const Entry* e = entry(button);
    if (!e || !e->widget) return;
    e->action->setEnabled(enabled); // its item in the overflow menu too
    e->widget->setEnabled(enabled);
}

bool cToolbar::ButtonTextVisible(const cItemRef& button) const
{
    const Entry* e = entry(button);
    return e && e->textVisible;
}

void cToolbar::SetButtonTextVisible(const cItemRef& button, bool visible)
{
    const int index = buttonNumber(button);
    if (index < 0) return;
    m_buttons[size_t(index)].textVisible = visible;
    updateButton(m_buttons[size_t(index)]);
}

QString cToolbar::ButtonCaption(const cItemRef& button) const
{
    const Entry* e = entry(button);
    return e ? e->caption : QString();
}

QString cToolbar::ButtonToolTip(const cItemRef& button) const
{
    const Entry* e = entry(button);
    return e ? e->toolTip : QString();
}

void cToolbar::GetDropDownPosition(int index, int& x, int& y) const
{
    const Entry* e = entry(index);
    if (!e || !e->widget) return;
    const QPoint corner = e->widget->mapToGlobal(QPoint(0, e->widget->height()));
    x = corner.x();
    y = corner.y();
}

// --- cToolbarHost ---

cToolbarHost::cToolbarHost(QWidget* parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->addStretch(1);
    new widgets::DropReceiver(this, this, [this](QObject* source, QPointF at) {
        emit DragDrop(source, float(platform::PixelsToTwips(int(at.x()))), float(platform::PixelsToTwips(int(at.y()))));
    });
}

void cToolbarHost::Capture(cToolbar* toolbar)
{
    if (!toolbar || toolbar == m_toolbar) return;
    if (m_toolbar) m_layout->removeWidget(m_toolbar);
    m_toolbar = toolbar;
    m_layout->insertWidget(0, toolbar);
    toolbar->show();
}

void cToolbarHost::SetBackgroundPictureFile(const QString& path)
{
    m_pictureFile = path;
    m_picture = QPixmap(path);
    update();
}

void cToolbarHost::SetBackColor(std::int32_t color)
{
    m_backColor = color;
    update();
}

void cToolbarHost::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) painter.drawTiledPixmap(rect(), m_picture);
    else painter.fillRect(rect(), widgets::ColorFromNumber(m_backColor));
}

// --- cReBar ---

cReBar::cReBar(QWidget* parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(4);
}

void cReBar::CreateRebar(QWidget* parent)
{
    if (!parent) return;
    if (parentWidget()) parentWidget()->removeEventFilter(this);
    setParent(parent);
    parent->installEventFilter(this);
    fitParent();
    show();
}

void cReBar::fitParent()
{
    if (parentWidget()) setGeometry(parentWidget()->rect());
}

bool cReBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) fitParent();
    return QWidget::eventFilter(watched, event);
}

void cReBar::AddBandByHwnd(QWidget* child, const QString& caption, bool newLine, bool fixedSize, const QString& key)
{
    if (!child) return;
    if (!caption.isEmpty()) m_layout->addWidget(widgets::PlainLabel(caption, this));
    m_layout->addWidget(child, 1);
    child->show();
    Band band;
    band.key = key;
    band.child = child;
    band.newLine = newLine;
    band.fixedSize = fixedSize;
    m_bands.push_back(band);
}

const cReBar::Band* cReBar::band(int index) const
{
    return index >= 0 && index < BandCount() ? &m_bands[size_t(index)] : nullptr;
}

QString cReBar::BandKey(int index) const { return band(index) ? band(index)->key : QString(); }

QWidget* cReBar::BandChild(int index) const { return band(index) ? band(index)->child.data() : nullptr; }

int cReBar::BandChildMinWidth(int index) const { return band(index) ? band(index)->minWidth : 0; }

void cReBar::SetBandChildMinWidth(int index, int width)
{
    if (!band(index)) return;
    Band& b = m_bands[size_t(index)];
    b.minWidth = width;
    if (b.child) b.child->setMinimumWidth(std::max(width, 0));
}
