// What the fuzz targets share: a scratch folder of the process for the files
// the readers open, a user interface that agrees to every question, and the
// bundled example as the case that imports go into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/silent_user_interface.h"

namespace relatix {
class Core;
}

namespace relatix::fuzz {

// A folder of this process below the system's temporary folder, removed at exit.
const std::string& scratchFolder();

// Writes the bytes to the file `name` in the scratch folder and returns its path.
std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size);

// Answers OK or Yes to every message, cancels every file dialog and dialog.
class AgreeingUserInterface : public SilentUserInterface {
public:
    Answer messageBox(const std::string&, const std::string&, MessageButtons buttons,
                      MessageIcon) override {
        return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Yes;
    }
};

// The bundled example, opened once (its program folder the scratch folder).
const Core& exampleCase();

}  // namespace relatix::fuzz
