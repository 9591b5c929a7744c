// Collects the notes and warnings of a run for stderr. Each kind of warning is
// shown a few times only, so that a large file with one recurring fault does not
// flood the terminal; a closing line tells how many were held back.
#pragma once

#include <map>
#include <mutex>
#include <ostream>
#include <string>

namespace merlin {

class Warnings {
public:
    Warnings(std::ostream& sink, bool quiet) : sink_(sink), quiet_(quiet) {}

    void warn(const std::string& kind, const std::string& text);
    // A warning that tells of data not analysed: shown also when quiet.
    void warnAlways(const std::string& text);
    // Prints the count of warnings that were not shown.
    void finish();
    long count() const { return total_; }

private:
    std::ostream& sink_;
    bool quiet_;
    std::mutex mutex_;
    std::map<std::string, long> perKind_;
    long total_ = 0;
    long held_ = 0;
};

}  // namespace merlin
