#include "core/Form.h"

#include "platform/CommonDialogs.h"
#include "platform/ModalRunner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace {
std::vector<Form*>& registry()
{
    static std::vector<Form*> forms;
    return forms;
}

// The windows in a modal show, the innermost last.
std::vector<Form*>& modalShows()
{
    static std::vector<Form*> forms;
    return forms;
}

// Unloaded windows waiting to be destroyed: the handlers that opened the
// modal shows still running may use them.
std::vector<QPointer<Form>>& unloadedForms()
{
    static std::vector<QPointer<Form>> forms;
    return forms;
}

void destroyUnloadedFormsOnceNoModalShowRuns()
{
    if (!modalShows().empty()) return;
    for (const QPointer<Form>& form : std::exchange(unloadedForms(), {}))
        if (form) form->deleteLater();
}

void forget(std::vector<Form*>& forms, Form* form) { forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end()); }

// Keeps the top left corner on the screen so the title bar stays reachable.
QPoint keptOnScreen(QPoint at, const QSize& size, const QRect& screen)
{
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
    return at;
}
} // namespace

Form::Form(const QString& name, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(name);
}

Form::~Form()
{
    forget(registry(), this);
    forget(modalShows(), this);
}

void Form::Load()
{
    if (m_loaded || m_loading || m_unloaded) return;
    m_loading = true;
    registry().push_back(this);
    LoadHistory().append(objectName());
    Form_Load();
    m_loading = false;
    m_loaded = true;
}

void Form::Show()
{
    Load();
    if (m_unloaded) return;
    PlaceOverOpener();
    show();
    if (isMinimized()) showNormal();
}

void Form::ShowModal()
{
    Load();
    if (m_unloaded) return;
    PlaceOverOpener();
    modalShows().push_back(this);
    QPointer<Form> self(this);
    platform::RunModal(this);
    if (self) {
        forget(modalShows(), this);
        if (m_unloaded) unloadedForms().emplace_back(this);
    }
    destroyUnloadedFormsOnceNoModalShowRuns();
}

void Form::Hide() { hide(); }

bool Form::Unload()
{
    if (m_unloaded) return true;
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) return false;
    m_unloaded = true;
    hide();
    forget(registry(), this);
    Form_Terminate();
    // A window in its own modal show is destroyed after the show has returned.
    if (std::find(modalShows().begin(), modalShows().end(), this) == modalShows().end()) {
        unloadedForms().emplace_back(this);
        destroyUnloadedFormsOnceNoModalShowRuns();
    }
    return true;
}

QWidget* Form::Opener() const
{
    auto usable = [this](QWidget* w) { return w && w != this && w->isWindow() && w->isVisible() && !w->isMinimized(); };
    const auto& shows = modalShows();
    for (auto it = shows.rbegin(); it != shows.rend(); ++it)
        if (usable(*it)) return *it;
    if (QWidget* active = QApplication::activeWindow(); usable(active)) return active;
    for (Form* f : registry())
        if (!f->m_unloaded && usable(f)) return f;
    return nullptr;
}

void Form::PlaceOverOpener()
{
    if (m_standalone || isVisible()) return;
    m_owner = Opener();
    // Only a dialog is marked transient for its owner on X11.
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint | (windowFlags() & Qt::WindowStaysOnTopHint);
    if (minimumSize() != maximumSize()) flags |= Qt::WindowMaximizeButtonHint;
    if (windowFlags() != flags) setWindowFlags(flags);
    if (!testAttribute(Qt::WA_Resized)) adjustSize();
    winId();
    if (QWindow* window = windowHandle()) window->setTransientParent(m_owner ? m_owner->windowHandle() : nullptr);

    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = m_owner ? m_owner->frameGeometry() : screen ? screen->availableGeometry() : QRect();
    if (!area.isValid()) return;
    QPoint at = platform::CentredTopLeft(area, frameGeometry().size());
    if (screen) at = keptOnScreen(at, frameGeometry().size(), screen->availableGeometry());
    move(at);
}

std::vector<Form*> Form::Forms()
{
    std::vector<Form*> loaded;
    for (Form* f : registry())
        if (!f->m_unloaded) loaded.push_back(f);
    return loaded;
}

std::vector<Form*> Form::ModalShows() { return modalShows(); }

QStringList& Form::LoadHistory()
{
    static QStringList history;
    return history;
}

void Form::closeEvent(QCloseEvent* event)
{
    if (Unload())
        event->accept();
    else
        event->ignore();
}

void Form::SetKeyButtons(QPushButton* enter, QPushButton* escape)
{
    m_enterButton = enter;
    m_escapeButton = escape;
}

QPushButton* Form::EnterButton() const
{
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) return focused;
    if (m_enterButton) return m_enterButton;
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->isDefault() && button->isVisibleTo(this)) return button;
    return nullptr;
}

void Form::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (m_standalone || !plain) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        // A disabled button (a job running) keeps the window open.
        if (!m_escapeButton) close();
        else if (m_escapeButton->isEnabled() && m_escapeButton->isVisibleTo(this)) m_escapeButton->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (QPushButton* button = EnterButton(); button && button->isEnabled() && button->isVisibleTo(this)) {
            button->click();
            return;
        }
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}
