#pragma once
// The work thread of a control and the events it sends back. One job runs at
// a time on a thread of its own; its events are queued to the thread that owns
// the control, and events of a job that Stop ended are dropped.
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class ControlThread {
public:
    // Queues an event of the running job to the owner's thread; callable from the job.
    using Post = std::function<void(std::function<void()>)>;
    // The job: runs on the thread, polls `abort`, and returns its last event,
    // which runs on the owner's thread once the thread has ended and Busy is false.
    using Job = std::function<std::function<void()>(const std::atomic<bool>& abort, const Post& post)>;

    explicit ControlThread(QObject* owner) : m_owner(owner) {}
    ControlThread(const ControlThread&) = delete;
    ControlThread& operator=(const ControlThread&) = delete;
    ~ControlThread();

    bool Busy() const { return m_busy; }
    // Starts a job; the caller checks Busy first.
    void Start(Job job);
    // Asks the running job to stop; nothing when idle.
    void Abort();
    // Stops the running job and drops every event it still has queued.
    void Stop();
    // Queues an event to the owner's thread that no Stop drops.
    void PostAlways(std::function<void()> event);

private:
    void Join();

    QObject* m_owner;
    std::thread m_thread;
    std::shared_ptr<std::atomic<bool>> m_abort;
    unsigned m_generation = 0;
    bool m_busy = false;
};
