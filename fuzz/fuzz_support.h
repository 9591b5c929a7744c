// What the fuzz targets share: a scratch folder of the process for the files
// the readers open, a user interface that answers their questions, and the
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

// Answers the readers' questions from a hash of the input, so that the fuzzer
// reaches both sides of every question (and the same input always gets the same
// answers): the n-th question of a run is answered Yes when bit n of the hash is
// clear, No otherwise (Cancel instead of No every fourth time for a question
// that offers it). Cancels every file dialog and dialog.
class AnsweringUserInterface : public SilentUserInterface {
public:
    AnsweringUserInterface(const std::uint8_t* data, std::size_t size);
    Answer messageBox(const std::string&, const std::string&, MessageButtons buttons,
                      MessageIcon) override;

private:
    std::uint64_t answers_;
    int asked_ = 0;
};

// The bundled example, opened once (its program folder the scratch folder).
const Core& exampleCase();

}  // namespace relatix::fuzz
