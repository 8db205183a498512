#include "controls/ControlThread.h"

#include "controls/HandOver.h"

ControlThread::~ControlThread()
{
    if (m_abort) m_abort->store(true);
    Join();
}

void ControlThread::Join()
{
    if (m_thread.joinable()) m_thread.join();
}

void ControlThread::Start(Job job)
{
    Join();
    const unsigned generation = m_generation;
    auto abort = std::make_shared<std::atomic<bool>>(false);
    m_abort = abort;
    m_busy = true;
    m_thread = std::thread([this, generation, abort, job = std::move(job)] {
        const Post post = [this, generation](std::function<void()> event) {
            HandOver(m_owner, [this, generation, event = std::move(event)] {
                if (generation == m_generation && m_busy) event();
            });
        };
        std::function<void()> last = job(*abort, post);
        HandOver(m_owner, [this, generation, last = std::move(last)] {
            if (generation != m_generation) return;
            m_busy = false;
            Join();
            if (last) last();
        });
    });
}

void ControlThread::Abort()
{
    if (m_busy && m_abort) m_abort->store(true);
}

void ControlThread::Stop()
{
    if (m_abort) m_abort->store(true);
    Join();
    ++m_generation;
    m_busy = false;
}

void ControlThread::PostAlways(std::function<void()> event)
{
    HandOver(m_owner, std::move(event));
}
