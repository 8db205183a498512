#include "platform/Clock.h"

#include <QElapsedTimer>

namespace platform {

namespace {
std::function<std::uint32_t()>& tickSource()
{
    static std::function<std::uint32_t()> s;
    return s;
}
std::function<QDateTime()>& nowSource()
{
    static std::function<QDateTime()> s;
    return s;
}
} // namespace

std::uint32_t GetTickCount()
{
    if (tickSource()) return tickSource()();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return std::uint32_t(timer.elapsed());
}

QDateTime Now()
{
    if (nowSource()) return nowSource()();
    return QDateTime::currentDateTime();
}

void SetTickSource(std::function<std::uint32_t()> source) { tickSource() = std::move(source); }
void SetNowSource(std::function<QDateTime()> source) { nowSource() = std::move(source); }

} // namespace platform
