// Writing a file so that an existing one is never lost: the content goes to a
// temporary file beside the target, which replaces the target only once it has
// been written completely. A failed or interrupted write leaves the old file as it was.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace relatix {

enum class AtomicWriteStatus { Written, CannotCreate, WriteFailed };

AtomicWriteStatus writeFileAtomically(const std::string& path,
                                      const std::function<void(std::ostream&)>& write);

// Writes a work file directly (truncating, or appending): for files of a run's
// own folder that nothing else reads. A symbolic link in place of the file is
// refused, not followed. False when the file could not be written completely.
bool writeWorkFile(const std::string& path, const std::string& text, bool append = false);

// For tests: makes every following atomic or work-file write fail once this many bytes have
// been written, as a full disk would; nothing restores the normal behaviour.
void simulateDiskFullAfter(std::optional<std::size_t> bytes);

}  // namespace relatix
