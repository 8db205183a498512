// A race of our own for the thread check to find: a worker thread and an event
// on the window thread both count into a plain int, with nothing ordering the
// worker's count after the event is posted. ThreadSanitizer must report it
// with both functions named; a suppression that hides races with a Qt frame on
// the stack would hide it (the event's stack runs through Qt's event loop).
#include <QCoreApplication>
#include <QMetaObject>
#include <thread>

namespace {

int counted = 0;

[[gnu::noinline]] void CountOnWorker() { ++counted; }
[[gnu::noinline]] void CountOnWindowThread() { ++counted; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::thread worker([&app] {
        QMetaObject::invokeMethod(
            &app,
            [] {
                CountOnWindowThread();
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
        CountOnWorker();
    });
    app.exec();
    worker.join();
    return counted == 2 ? 0 : 1;
}
