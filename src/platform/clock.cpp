#include "platform/clock.h"

namespace relatix {
namespace {
SystemClock systemClock;
Clock* current = &systemClock;
}  // namespace

Clock& clock() {
    return *current;
}

Clock* setClock(Clock* replacement) {
    Clock* previous = current;
    current = replacement ? replacement : &systemClock;
    return previous;
}

std::string timeText(std::time_t time) {
    char buffer[64] = {};
    std::tm parts{};
    localtime_r(&time, &parts);
    std::strftime(buffer, sizeof buffer, "%a %b %e %H:%M:%S %Y", &parts);
    return buffer;
}

}  // namespace relatix
