// The question the desktop program asks before a calculation: "Save project?".
#pragma once

namespace relatix {

class Core;
class UserInterface;

// Yes saves (asking for a file when the project has none yet); false when the
// user cancels the question or the file dialog, or the save failed.
bool offerToSaveBeforeCalculation(Core& core, UserInterface& ui);

}  // namespace relatix
