#pragma once
// Runs an event later on the thread that owns a QObject, through Qt's event
// queue; callable from any thread. Qt orders the event's run after its post
// with locks of its own that ThreadSanitizer cannot see (Qt is not built with
// it), and so does a QThreadPool with the work it is given. The thread check's
// build tells the sanitizer of such a hand-over, on the event's own address:
// the event ends its construction with a release and begins its run with the
// matching acquire; the run ends with a release, and the destruction, which
// Qt leaves to whichever thread lets the event go last, begins with an
// acquire. In any other build the event goes as it is.
#include <QMetaObject>
#include <QObject>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#define TARVELLO_THREAD_CHECK 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARVELLO_THREAD_CHECK 1
#endif
#endif

#ifdef TARVELLO_THREAD_CHECK
#include <sanitizer/tsan_interface.h>

template <class Event>
class HandedOverEvent {
public:
    explicit HandedOverEvent(Event event) : m_event(std::move(event)) { __tsan_release(this); }
    HandedOverEvent(HandedOverEvent&& other) : m_event(std::move(other.m_event)) { __tsan_release(this); }
    HandedOverEvent(const HandedOverEvent& other) : m_event(other.m_event) { __tsan_release(this); }
    HandedOverEvent& operator=(const HandedOverEvent&) = delete;
    // The address is the event's own: nothing of the event is read before the acquire.
    ~HandedOverEvent() { __tsan_acquire(this); }
    void operator()()
    {
        __tsan_acquire(this);
        m_event();
        __tsan_release(this);
    }

private:
    Event m_event;
};
#endif

// The event, to be handed to another thread through Qt.
template <class Event>
auto HandedOver(Event event)
{
#ifdef TARVELLO_THREAD_CHECK
    return HandedOverEvent<Event>(std::move(event));
#else
    return event;
#endif
}

template <class Event>
void HandOver(QObject* owner, Event event)
{
    QMetaObject::invokeMethod(owner, HandedOver(std::move(event)), Qt::QueuedConnection);
}
