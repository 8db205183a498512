#include "platform/ModalRunner.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>

namespace platform {

namespace {

// Quits a nested event loop when the watched window is hidden. Minimising
// the window also sends it a hide event, but it stays visible and shown modally.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* w, QEventLoop* loop) : m_window(w), m_loop(loop) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide && !m_window->isVisible()) m_loop->quit();
        return false;
    }

private:
    QWidget* m_window;
    QEventLoop* m_loop;
};

class EventLoopRunner : public ModalRunner {
public:
    void Run(QWidget* window) override
    {
        QPointer<QWidget> w(window);
        Qt::WindowModality old = w->windowModality();
        bool wasVisible = w->isVisible();
        if (wasVisible) w->hide();
        w->setWindowModality(Qt::ApplicationModal);
        QEventLoop loop;
        HideWatcher watcher(w, &loop);
        QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
        w->show();
        w->raise();
        w->activateWindow();
        loop.exec();
        if (w) w->setWindowModality(old);
    }
};

std::unique_ptr<ModalRunner>& current()
{
    static std::unique_ptr<ModalRunner> r;
    return r;
}

} // namespace

void SetModalRunner(std::unique_ptr<ModalRunner> runner) { current() = std::move(runner); }

void RunModal(QWidget* window)
{
    if (!window) return;
    if (!current()) current() = std::make_unique<EventLoopRunner>();
    current()->Run(window);
}

} // namespace platform
