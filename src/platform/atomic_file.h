// Writing a file so that an existing one is never lost: the content goes to a
// temporary file beside the target, which replaces the target only once it has
// been written completely. A failed or interrupted write leaves the old file as it was.
//
// What the target is decides how it is written:
// - a regular file, or no file yet: the temporary file (a short hidden name in
//   the same folder, so that any name the folder takes can be written) is
//   renamed over it; an existing file's permissions are kept;
// - a symbolic link: the file the link points to is written that way (a link
//   pointing nowhere gets its file created); the link itself stays;
// - a special file (a terminal, a character device such as /dev/null, a FIFO,
//   /dev/stdout and the other descriptors of /dev/fd): written directly, as a
//   stream, never renamed over or removed;
// - a folder: refused.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

namespace relatix {

enum class AtomicWriteStatus { Written, CannotCreate, WriteFailed };

// A file being written: its content goes to the stream, and commit() makes it the
// file. Destroyed without a successful commit, the target stays as it was.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when the file could not be created (error() says why).
    bool isOpen() const;
    // Where the content goes; a failed write sets its bad bit.
    std::ostream& stream();
    // Writes out what is buffered and puts the file in place. CannotCreate when
    // the file was never opened, WriteFailed when a write, the flush or the
    // rename failed (the old file is then kept).
    AtomicWriteStatus commit();
    // Drops what was written; the target stays as it was.
    void discard();
    // Why the file could not be created or written, in the system's words (such
    // as "No space left on device"); empty while nothing failed.
    const std::string& error() const;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Writes the whole file through AtomicFile. With an error text, a failure's
// reason goes there.
AtomicWriteStatus writeFileAtomically(const std::string& path,
                                      const std::function<void(std::ostream&)>& write,
                                      std::string* error = nullptr);

// Why no file could be written at the path (its folder missing or not
// writable, a folder in its place), empty when one can; nothing is changed, an
// existing file stays as it is. A special file is not opened.
std::string atomicWriteProblem(const std::string& path);

// Writes a work file directly (truncating, or appending): for files of a run's
// own folder that nothing else reads. A symbolic link in place of the file is
// refused, not followed. False when the file could not be written completely.
bool writeWorkFile(const std::string& path, const std::string& text, bool append = false);

// For tests: makes every following atomic or work-file write fail once this many
// bytes have been written to one file, as a full disk would (the error is the
// system's text for ENOSPC); nullopt restores the normal behaviour.
void simulateDiskFullAfter(std::optional<std::size_t> bytes);

}  // namespace relatix
