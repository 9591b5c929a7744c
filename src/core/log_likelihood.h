// A natural-log likelihood that may be missing. ln L = -inf (the data are
// impossible under the hypothesis) and ln L = 0 (a likelihood of exactly 1) are
// values like any other; a missing value says why it is missing (skipped by the
// linkage engine, engine failed, not computed). The engines' "0 means no value"
// output convention is decoded once, where their output is read.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace relatix {

class LogLikelihood : public std::optional<double> {
public:
    using std::optional<double>::optional;

    static LogLikelihood missing(std::string reason) {
        LogLikelihood result;
        result.reason_ = std::move(reason);
        return result;
    }

    // Why there is no value; empty when there is one.
    const std::string& reason() const { return reason_; }

    // Equal values, or both missing whatever their reasons.
    friend bool operator==(const LogLikelihood& a, const LogLikelihood& b) {
        return static_cast<const std::optional<double>&>(a) ==
               static_cast<const std::optional<double>&>(b);
    }

private:
    std::string reason_;
};

using LogLikelihoods = std::vector<LogLikelihood>;
// Simulated data sets, each with ln L per hypothesis.
using SimulatedDataSets = std::vector<LogLikelihoods>;

// n missing values, all with the same reason.
inline LogLikelihoods missingLikelihoods(size_t n, const std::string& reason) {
    return LogLikelihoods(n, LogLikelihood::missing(reason));
}

}  // namespace relatix
