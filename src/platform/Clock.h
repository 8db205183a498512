#pragma once
// Tick count and wall clock, both replaceable by tests.
#include <QDateTime>
#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like the platform's.
std::uint32_t GetTickCount();
QDateTime Now();

// Tests: a fixed or scripted clock; pass nullptr to go back to the real one.
void SetTickSource(std::function<std::uint32_t()> source);
void SetNowSource(std::function<QDateTime()> source);

} // namespace platform
