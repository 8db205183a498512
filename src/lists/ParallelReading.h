#pragma once
// Reading the audio files of many items at once: worker threads over the
// machine's cores, each with a reader of its own (a conversion control), read
// the items in any order; the window thread takes each item's result in the
// items' order, a slice at a time, so that the window keeps painting and
// handling input in between.
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class cAudioConverter;

class ParallelReading : public QObject {
    Q_OBJECT
public:
    // Runs on a worker thread, once for each item, with that worker's reader;
    // it may touch only what belongs to its item.
    using Read = std::function<void(qsizetype item, cAudioConverter& reader)>;
    // Runs on the window thread, once for each item, in order, after its Read.
    using Take = std::function<void(qsizetype item)>;

    ParallelReading(qsizetype count, Read read, Take take, QObject* parent = nullptr);
    ~ParallelReading() override;

    // Starts the workers. Their readers are made through CreateAudioConverter;
    // `own`, when given, is the first worker's reader, and the window thread
    // must leave it alone until the reading has ended.
    void Start(cAudioConverter* own = nullptr);
    // Ends the reading early: no item is taken any more; the workers stop
    // after the file they are reading, and are waited for. Ended follows.
    void Stop();
    // Every item has been taken.
    bool Complete() const { return m_taken == m_count; }
    qsizetype Taken() const { return m_taken; }
    // Workers for `count` items on this machine: one per core, two at least.
    static int WorkerCount(qsizetype count);

signals:
    // Once, queued: every item was taken, or Stop was called.
    void Ended();

private:
    void Work(cAudioConverter& reader);
    // Takes the items whose reading has ended, in order, for one slice of time.
    void TakeReady();
    void PostTakeReady();
    void Join();
    void End();

    const qsizetype m_count;
    Read m_read;
    Take m_take;
    std::unique_ptr<std::atomic<bool>[]> m_done;
    std::atomic<qsizetype> m_next{0};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_takePosted{false};
    std::vector<std::thread> m_workers;
    std::vector<std::unique_ptr<cAudioConverter>> m_readers;
    qsizetype m_taken = 0;
    bool m_taking = false;
    bool m_ended = false;
};
