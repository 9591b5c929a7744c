// The non-interactive user interface of relatix2-cli. Messages go to stderr as
// "Caption: text"; questions get the fixed answer of the answer table (No for a
// question the table does not list); file dialogs are never shown (cancelled).
#pragma once

#include <iosfwd>
#include <string>

#include "platform/process_runner.h"
#include "platform/user_interface.h"

namespace relatix {

class ConsoleUserInterface : public UserInterface {
public:
    explicit ConsoleUserInterface(std::ostream& messages);
    ConsoleUserInterface();

    // The documented answers, as printed by relatix2-cli --help.
    static std::string answerTable();
    // The fixed answer to a question with the given text and buttons.
    static Answer fixedAnswer(const std::string& text, MessageButtons buttons);

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override;
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogRequest&) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest&) override;
    void showTextWindow(const std::string& text) override;
    void progressOpen(const std::string&, int, int, const std::string&) override {}
    void progressStep() override {}
    void progressSetText(const std::string&) override {}
    void progressClose() override {}
    // An interrupt (SIGINT, SIGTERM) cancels a long run between its steps.
    bool progressCancelled() override { return interrupted(); }
    DialogResult runDialog(Presenter& presenter) override;
    bool openDocument(const std::string& pathOrAddress) override;
    void setWindowTitle(const std::string&) override {}

private:
    std::ostream& messages_;
};

}  // namespace relatix
