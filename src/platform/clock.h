// The current time, behind an interface so tests can fix it.
#pragma once

#include <ctime>
#include <string>

namespace relatix {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::time_t now() const = 0;
};

class SystemClock : public Clock {
public:
    std::time_t now() const override { return std::time(nullptr); }
};

// The process-wide clock; tests may install their own and restore the previous one.
Clock& clock();
Clock* setClock(Clock* replacement);
// The time in the C library's ctime form, without the trailing newline.
std::string timeText(std::time_t time);

}  // namespace relatix
