// A UserInterface for tests: the test states, in order, every message (text and
// caption) it expects with the answer to give, the paths file dialogs return or
// their cancellation, and handlers for sub-dialogs. Anything unexpected, and any
// expectation left over when the object is destroyed, fails the test with a
// report of what was expected and what happened.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/presenter.h"
#include "platform/user_interface.h"

namespace relatix::testing {

class ScriptedUserInterface : public UserInterface {
public:
    // Installs the dialogs the readers and the allele check ask through.
    ScriptedUserInterface();
    ScriptedUserInterface(const ScriptedUserInterface&) = delete;
    ScriptedUserInterface& operator=(const ScriptedUserInterface&) = delete;
    ~ScriptedUserInterface() override;

    ScriptedUserInterface& expectMessage(const std::string& text, const std::string& caption,
                                         Answer answer = Answer::Ok);
    ScriptedUserInterface& expectOpenFile(const std::vector<std::string>& paths);
    ScriptedUserInterface& expectOpenFile(const std::string& path) {
        return expectOpenFile(std::vector<std::string>{path});
    }
    ScriptedUserInterface& expectOpenFileCancelled();
    ScriptedUserInterface& expectSaveFile(const std::string& path);
    ScriptedUserInterface& expectSaveFileCancelled();
    ScriptedUserInterface& expectTextWindow();
    ScriptedUserInterface& expectDialog(const std::string& title,
                                        std::function<DialogResult(Presenter&)> handler);
    // A handler typed for the presenter class the dialog is expected to be.
    template <class P>
    ScriptedUserInterface& expectDialogOf(const std::string& title,
                                          std::function<DialogResult(P&)> handler) {
        return expectDialog(title, [this, title, handler](Presenter& p) {
            if (auto* typed = dynamic_cast<P*>(&p)) return handler(*typed);
            fail("dialog \"" + title + "\" has an unexpected presenter type");
            return DialogResult::Cancel;
        });
    }

    // Checks now that every expectation was consumed (the destructor checks too).
    void verify();
    size_t pendingExpectations() const { return expected_.size(); }

    // What happened, for assertions after the fact.
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> textWindows;
    std::vector<std::string> openedDocuments;
    std::vector<std::string> windowTitles;
    std::vector<std::string> progressLog;  // "open <title> <low>..<high> <text>", "step", ...
    // The progress window's Cancel counts as pressed once this many steps were shown.
    std::optional<int> cancelAfterSteps;
    bool openDocumentSucceeds = true;

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override;
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogRequest& r) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& r) override;
    void showTextWindow(const std::string& text) override;
    void progressOpen(const std::string& title, int low, int high,
                      const std::string& text) override;
    void progressStep() override;
    void progressSetText(const std::string& text) override;
    void progressClose() override;
    bool progressCancelled() override;
    DialogResult runDialog(Presenter& presenter) override;
    bool openDocument(const std::string& pathOrAddress) override;
    void setWindowTitle(const std::string& title) override;

private:
    enum class Kind { Message, OpenFile, SaveFile, TextWindow, Dialog };
    struct Expectation {
        Kind kind = Kind::Message;
        std::string text;     // message text or dialog title
        std::string caption;  // message caption
        Answer answer = Answer::Ok;
        bool cancelled = false;
        std::vector<std::string> paths;
        std::function<DialogResult(Presenter&)> handler;
    };

    bool take(Kind kind, const std::string& actual, Expectation& out);
    void fail(const std::string& what);
    static std::string describe(const Expectation& e);

    std::deque<Expectation> expected_;
    std::vector<std::string> history_;
};

}  // namespace relatix::testing
