// The outcome of a reader or a run: success, or a failure with the message to
// show the user (naming the file and, for text files, the line where it can).
#pragma once

#include <string>
#include <utility>

namespace relatix {

class [[nodiscard]] Status {
public:
    Status() = default;  // success

    static Status failure(std::string message) {
        Status status;
        status.message_ = message.empty() ? std::string("failed") : std::move(message);
        return status;
    }

    bool ok() const { return message_.empty(); }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

}  // namespace relatix
