#pragma once
// Events a fake control raises later, in order, as queued calls on its
// owner's thread, the way the real controls' events arrive. Drop forgets
// every event not raised yet.
#include <QMetaObject>
#include <QObject>
#include <functional>

namespace support {

class QueuedEvents {
public:
    explicit QueuedEvents(QObject* owner) : m_owner(owner) {}

    void Post(std::function<void()> event)
    {
        const unsigned generation = m_generation;
        QMetaObject::invokeMethod(
            m_owner,
            [this, generation, event = std::move(event)] {
                if (generation == m_generation) event();
            },
            Qt::QueuedConnection);
    }
    void Drop() { ++m_generation; }

private:
    QObject* m_owner;
    unsigned m_generation = 0;
};

} // namespace support
