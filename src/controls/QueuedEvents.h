#pragma once
// Events of a control's own threads, run later on the thread that owns the
// control. Each run of the control (a play, a speech) belongs to a
// generation; once a new run starts or the run is stopped, the events the
// old one still has on their way are dropped.
#include "controls/HandOver.h"

#include <QObject>
#include <functional>

class QueuedEvents {
public:
    explicit QueuedEvents(QObject* owner) : m_owner(owner) {}
    QueuedEvents(const QueuedEvents&) = delete;
    QueuedEvents& operator=(const QueuedEvents&) = delete;

    unsigned Generation() const { return m_generation; }
    void NewGeneration() { ++m_generation; }
    // Runs `event` on the owner's thread unless the generation has moved on
    // by then (or the owner is gone). Safe from any thread: it reads nothing
    // of the owner until the event runs.
    void PostFor(unsigned generation, std::function<void()> event)
    {
        HandOver(m_owner, [this, generation, event = std::move(event)] {
            if (generation == m_generation) event();
        });
    }
    void Post(std::function<void()> event) { PostFor(m_generation, std::move(event)); }

private:
    QObject* m_owner;
    unsigned m_generation = 0;
};
