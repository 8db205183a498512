#include "lists/ParallelReading.h"

#include "controls/HandOver.h"
#include "controls/audio/AudioConverter.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// How long the window thread takes items before it lets the window work.
constexpr qint64 kSliceMs = 12;

// Readers yield to the window thread when the cores are busy (Linux sets a
// nice value per thread).
void LowerThisThreadsPriority()
{
    const id_t thread = id_t(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0) ::setpriority(PRIO_PROCESS, thread, std::min(nice + 5, 19));
}

} // namespace

ParallelReading::ParallelReading(qsizetype count, Read read, Take take, QObject* parent)
    : QObject(parent), m_count(std::max<qsizetype>(count, 0)), m_read(std::move(read)), m_take(std::move(take)),
      m_done(std::make_unique<std::atomic<bool>[]>(size_t(std::max<qsizetype>(m_count, 1))))
{
}

ParallelReading::~ParallelReading()
{
    m_stop = true;
    Join();
}

int ParallelReading::WorkerCount(qsizetype count)
{
    // Reading a file waits on the disk longer than it computes: several
    // readers a core keep the disk busy.
    const int readers = std::clamp(QThread::idealThreadCount() * 4, 2, 64);
    return int(std::min<qsizetype>(readers, count));
}

void ParallelReading::Start(cAudioConverter* own)
{
    const int workers = WorkerCount(m_count);
    std::vector<cAudioConverter*> readers;
    for (int i = 0; i < workers; ++i) {
        if (i == 0 && own) {
            readers.push_back(own);
            continue;
        }
        m_readers.push_back(CreateAudioConverter());
        readers.push_back(m_readers.back().get());
    }
    for (cAudioConverter* reader : readers) m_workers.emplace_back([this, reader] { Work(*reader); });
    // Nothing to read: the end comes at once.
    if (m_count == 0) PostTakeReady();
}

void ParallelReading::Stop()
{
    m_stop = true;
    Join();
    if (!m_ended) End();
}

void ParallelReading::Work(cAudioConverter& reader)
{
    LowerThisThreadsPriority();
    while (!m_stop) {
        const qsizetype item = m_next.fetch_add(1);
        if (item >= m_count) return;
        m_read(item, reader);
        m_done[size_t(item)] = true;
        PostTakeReady();
    }
}

void ParallelReading::PostTakeReady()
{
    if (!m_takePosted.exchange(true)) HandOver(this, [this] { TakeReady(); });
}

void ParallelReading::TakeReady()
{
    // A take that shows a message runs the event loop: the outer call goes on.
    if (m_taking || m_ended) return;
    m_takePosted = false;
    m_taking = true;
    QElapsedTimer slice;
    slice.start();
    while (m_taken < m_count && !m_stop && m_done[size_t(m_taken)]) {
        m_take(m_taken);
        ++m_taken;
        if (slice.elapsed() >= kSliceMs) {
            PostTakeReady();
            break;
        }
    }
    m_taking = false;
    if (!m_ended && (m_taken == m_count || m_stop)) End();
}

void ParallelReading::Join()
{
    for (std::thread& worker : m_workers)
        if (worker.joinable()) worker.join();
}

void ParallelReading::End()
{
    m_ended = true;
    m_stop = true;
    Join();
    QMetaObject::invokeMethod(this, &ParallelReading::Ended, Qt::QueuedConnection);
}
