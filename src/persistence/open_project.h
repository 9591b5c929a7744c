// Open: recognises the kind of a chosen file by its first line and reads it.
#pragma once

#include <string>

namespace relatix {

class Core;
class UserInterface;

// Empties the Core (once the file could be read) and reads the file with the
// reader its first line calls for. False when it cannot be opened or read; a
// file that is not a regular file or is too large is refused with a message.
bool openProject(Core& core, const std::string& path, UserInterface& ui);

}  // namespace relatix
