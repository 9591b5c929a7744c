// A UserInterface for runs nobody watches (benchmarks, batch jobs, robustness
// tests): messages are answered OK or No, dialogs are cancelled, nothing is shown.
#pragma once

#include "platform/user_interface.h"

namespace relatix {

class SilentUserInterface : public UserInterface {
public:
    Answer messageBox(const std::string&, const std::string&, MessageButtons buttons,
                      MessageIcon) override {
        return buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void showTextWindow(const std::string&) override {}
    void progressOpen(const std::string&, int, int, const std::string&) override {}
    void progressStep() override {}
    void progressSetText(const std::string&) override {}
    void progressClose() override {}
    DialogResult runDialog(Presenter&) override { return DialogResult::Cancel; }
    bool openDocument(const std::string&) override { return false; }
    void setWindowTitle(const std::string&) override {}
};

}  // namespace relatix
