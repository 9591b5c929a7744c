// The "importWarnings" of every JSON output: what the readers found wrong in the
// files a command read (a marker dropped, a value refused, a line not
// recognised), one {"line", "text"} each, "line" null when a finding has none.
// The project reader reports its findings with their lines; the other readers
// (Kovarian case files, legacy save files, genotype tables) tell theirs in
// message boxes, which are kept too, without a line. Everything still reaches
// stderr as before.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "persistence/import_warnings.h"
#include "platform/user_interface.h"

namespace relatix::cli {

// Passes everything on to another user interface and reports each warning and
// error message it shows as an import warning without a line.
class ImportMessageRecorder : public UserInterface {
public:
    explicit ImportMessageRecorder(UserInterface& ui) : ui_(ui) {}

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override;
    std::optional<std::vector<std::string>> openFileDialog(
        const FileDialogRequest& request) override {
        return ui_.openFileDialog(request);
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override {
        return ui_.saveFileDialog(request);
    }
    void showTextWindow(const std::string& text) override { ui_.showTextWindow(text); }
    void progressOpen(const std::string& title, int low, int high,
                      const std::string& text) override {
        ui_.progressOpen(title, low, high, text);
    }
    void progressStep() override { ui_.progressStep(); }
    void progressSetText(const std::string& text) override { ui_.progressSetText(text); }
    void progressClose() override { ui_.progressClose(); }
    void processEvents() override { ui_.processEvents(); }
    bool progressCancelled() override { return ui_.progressCancelled(); }
    DialogResult runDialog(Presenter& presenter) override { return ui_.runDialog(presenter); }
    bool openDocument(const std::string& pathOrAddress) override {
        return ui_.openDocument(pathOrAddress);
    }
    void setWindowTitle(const std::string& title) override { ui_.setWindowTitle(title); }

private:
    UserInterface& ui_;
};

// Runs read(UserInterface&) with a recorder over ui and appends to warnings what
// the readers reported meanwhile; returns what read returns.
template <typename Read>
auto readRecordingImportWarnings(UserInterface& ui, std::vector<ImportWarning>& warnings,
                                 Read&& read) {
    ImportWarningCollector collector;
    ImportMessageRecorder recorder(ui);
    auto result = std::forward<Read>(read)(static_cast<UserInterface&>(recorder));
    warnings.insert(warnings.end(), collector.warnings().begin(), collector.warnings().end());
    return result;
}

// The "importWarnings" array.
nlohmann::json importWarningsJson(const std::vector<ImportWarning>& warnings);
// Text findings without lines, as the quick analysis keeps them.
nlohmann::json importWarningsJson(const std::vector<std::string>& warnings);

}  // namespace relatix::cli
