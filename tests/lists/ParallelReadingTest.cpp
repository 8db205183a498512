// Reading many items on worker threads: every item is taken once, in order,
// on the window thread, whatever order the reads end in; Stop ends it at once.
#include "ListsTestSupport.h"

#include "lists/ParallelReading.h"

#include <QTest>

#include <atomic>
#include <vector>

namespace {

using namespace liststest;

class Reading : public ListsTest {
protected:
    // Runs the event loop until the reading has ended.
    void WaitForEnd(ParallelReading& reading)
    {
        QObject::connect(&reading, &ParallelReading::Ended, &reading, [this] { ++ended; });
        ASSERT_TRUE(QTest::qWaitFor([this] { return ended > 0; }, 60000));
        QCoreApplication::processEvents();
    }
    int ended = 0;
};

TEST_F(Reading, ItemsAreTakenInOrderWhenLaterOnesAreReadFirst)
{
    constexpr int kCount = 40;
    support::ReadGate first;
    std::atomic<int> read{0};
    std::vector<int> readOrder(kCount, -1);
    std::vector<qsizetype> taken;
    ParallelReading reading(
        kCount,
        [&](qsizetype item, cAudioConverter&) {
            if (item == 0) first.Pass();
            readOrder[size_t(item)] = read++;
        },
        [&](qsizetype item) { taken.push_back(item); });
    reading.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return read == kCount - 1 && first.Reached(); }, 60000));
    EXPECT_TRUE(taken.empty());
    first.Open();
    WaitForEnd(reading);
    EXPECT_EQ(readOrder[0], kCount - 1);
    std::vector<qsizetype> expected(kCount);
    for (int i = 0; i < kCount; ++i) expected[size_t(i)] = i;
    EXPECT_EQ(taken, expected);
    EXPECT_TRUE(reading.Complete());
    EXPECT_EQ(ended, 1);
}

TEST_F(Reading, StopInATakeEndsTheTakingThere)
{
    std::vector<qsizetype> taken;
    std::atomic<int> read{0};
    ParallelReading* self = nullptr;
    ParallelReading reading(
        500, [&](qsizetype, cAudioConverter&) { ++read; },
        [&](qsizetype item) {
            taken.push_back(item);
            if (item == 10) self->Stop();
        });
    self = &reading;
    reading.Start();
    WaitForEnd(reading);
    EXPECT_EQ(taken.size(), 11u);
    EXPECT_EQ(taken.back(), 10);
    EXPECT_FALSE(reading.Complete());
    EXPECT_EQ(ended, 1);
    // The workers are gone: nothing reads on.
    const int readAtEnd = read;
    QCoreApplication::processEvents();
    EXPECT_EQ(read, readAtEnd);
}

TEST_F(Reading, ATakeThatRunsTheEventLoopTakesNothingInside)
{
    // As a take that shows a message does: later items wait for it.
    constexpr int kCount = 30;
    std::atomic<int> read{0};
    std::vector<qsizetype> taken;
    bool insideOrder = true;
    ParallelReading reading(
        kCount, [&](qsizetype, cAudioConverter&) { ++read; },
        [&](qsizetype item) {
            taken.push_back(item);
            if (item != 3) return;
            const size_t before = taken.size();
            EXPECT_TRUE(QTest::qWaitFor([&] { return read == kCount; }, 60000));
            for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
            insideOrder = taken.size() == before;
        });
    reading.Start();
    WaitForEnd(reading);
    EXPECT_TRUE(insideOrder);
    ASSERT_EQ(taken.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(taken[size_t(i)], i);
}

TEST_F(Reading, NothingToReadEndsAtOnce)
{
    ParallelReading reading(0, [](qsizetype, cAudioConverter&) {}, [](qsizetype) { ADD_FAILURE(); });
    reading.Start();
    WaitForEnd(reading);
    EXPECT_TRUE(reading.Complete());
}

TEST(ReadingWorkers, OnePerCoreTwoAtLeastNoMoreThanItems)
{
    EXPECT_EQ(ParallelReading::WorkerCount(1), 1);
    EXPECT_GE(ParallelReading::WorkerCount(1000), 2);
    EXPECT_GE(ParallelReading::WorkerCount(1000), std::min(QThread::idealThreadCount(), 32));
}

} // namespace
