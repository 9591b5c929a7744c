// Installs the dialogs that the layers below ask their questions through: "New
// allele!" for the allele check, "Select systems" and "Import options" for the
// imports. Called once by each front end (and by the tests' scripted user
// interface); calling it again changes nothing.
#pragma once

namespace relatix {

void installDialogQuestions();

}  // namespace relatix
