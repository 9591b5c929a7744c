#include "platform/console_user_interface.h"

#include <iostream>

#include "platform/presenter.h"

namespace relatix {
namespace {

struct FixedAnswer {
    const char* question;  // the question's text, or its beginning when it ends in "..."
    Answer answer;
};

// Questions that a non-interactive run answers other than No.
const FixedAnswer kFixedAnswers[] = {
    {"System : ...", Answer::Yes},  // overwrite a marker definition of the same name
};

bool matches(const std::string& question, const std::string& pattern) {
    const std::string ellipsis = "...";
    if (pattern.size() > ellipsis.size() &&
        pattern.compare(pattern.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0) {
        const std::string prefix = pattern.substr(0, pattern.size() - ellipsis.size());
        return question.compare(0, prefix.size(), prefix) == 0;
    }
    return question == pattern;
}

}  // namespace

ConsoleUserInterface::ConsoleUserInterface(std::ostream& messages) : messages_(messages) {}
ConsoleUserInterface::ConsoleUserInterface() : messages_(std::cerr) {}

std::string ConsoleUserInterface::answerTable() {
    std::string text =
        "\nQuestions are answered without asking: messages go to stderr as\n"
        "\"Caption: text\", file dialogs are cancelled, and every question is\n"
        "answered No except:\n";
    for (const FixedAnswer& fixed : kFixedAnswers) {
        text += "  \"";
        text += fixed.question;
        text += "\": ";
        text += fixed.answer == Answer::Yes      ? "Yes"
                : fixed.answer == Answer::Cancel ? "Cancel"
                                                 : "No";
        text += "\n";
    }
    return text;
}

Answer ConsoleUserInterface::fixedAnswer(const std::string& text, MessageButtons buttons) {
    if (buttons == MessageButtons::Ok) return Answer::Ok;
    for (const FixedAnswer& fixed : kFixedAnswers)
        if (matches(text, fixed.question)) return fixed.answer;
    return Answer::No;
}

Answer ConsoleUserInterface::messageBox(const std::string& text, const std::string& caption,
                                        MessageButtons buttons, MessageIcon) {
    const Answer answer = fixedAnswer(text, buttons);
    messages_ << caption << ": " << text;
    if (buttons != MessageButtons::Ok)
        messages_ << " [" << (answer == Answer::Yes ? "Yes" : "No") << "]";
    messages_ << '\n';
    return answer;
}

std::optional<std::vector<std::string>> ConsoleUserInterface::openFileDialog(
    const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> ConsoleUserInterface::saveFileDialog(const FileDialogRequest&) {
    return std::nullopt;
}

void ConsoleUserInterface::showTextWindow(const std::string& text) {
    messages_ << text << '\n';
}

DialogResult ConsoleUserInterface::runDialog(Presenter& presenter) {
    messages_ << "relatix2-cli: the dialog \"" << presenter.title()
              << "\" cannot be shown in a console run\n";
    return DialogResult::Cancel;
}

bool ConsoleUserInterface::openDocument(const std::string& pathOrAddress) {
    messages_ << "Open: " << pathOrAddress << '\n';
    return false;
}

}  // namespace relatix
