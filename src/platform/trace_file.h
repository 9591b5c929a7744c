// Optional diagnostic traces: ".\Debug\0Debug_<operation>.txt" below the current
// directory. Written only when a Debug folder exists there; never fails and never
// changes what the caller does.
#pragma once

#include <sstream>
#include <string>

namespace relatix {

// True when traces are wanted (a Debug folder below the current directory).
bool traceEnabled();
// The path of the trace file for an operation, e.g. "Debug/0Debug_CalculateLR.txt".
std::string tracePath(const std::string& operation);

// Collects text and writes it when destroyed into the Debug folder of the
// directory that was current when the trace started (replacing any earlier trace of the
// same operation), or when append is set, appends to it.
class TraceFile {
public:
    explicit TraceFile(std::string operation, bool append = false);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool enabled() const { return enabled_; }
    template <class T>
    TraceFile& operator<<(const T& value) {
        if (enabled_) buffer_ << value;
        return *this;
    }
    // Writes what was collected so far.
    void flush();

private:
    std::string
        path_;  // fixed when the trace starts, so a later change of directory does not move it
    bool append_;
    bool enabled_;
    std::ostringstream buffer_;
};

}  // namespace relatix
