#include "platform/ModalRunner.h"
#include "platform/ServiceSlot.h"

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

using Slot = ServiceSlot<ModalRunner, EventLoopRunner>;

} // namespace

void SetModalRunner(std::unique_ptr<ModalRunner> runner) { Slot::Install(std::move(runner)); }

void RunModal(QWidget* window)
{
    if (!window) return;
    Slot::Get().Run(window);
}

} // namespace platform
