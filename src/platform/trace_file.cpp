#include "platform/trace_file.h"

#include <filesystem>
#include <fstream>

namespace relatix {

bool traceEnabled() {
    std::error_code ec;
    return std::filesystem::is_directory("Debug", ec);
}

std::string tracePath(const std::string& operation) {
    return (std::filesystem::path("Debug") / ("0Debug_" + operation + ".txt")).string();
}

TraceFile::TraceFile(std::string operation, bool append)
    : append_(append), enabled_(traceEnabled()) {
    if (!enabled_) return;
    std::error_code ec;
    path_ = std::filesystem::absolute(tracePath(operation), ec).string();
    if (ec) enabled_ = false;
}

TraceFile::~TraceFile() {
    flush();
}

void TraceFile::flush() {
    if (!enabled_) return;
    const std::string text = buffer_.str();
    buffer_.str({});
    std::ofstream out(path_, std::ios::binary | (append_ ? std::ios::app : std::ios::trunc));
    if (out) out << text;
    append_ = true;  // later flushes of the same object add to what was written
}

}  // namespace relatix
