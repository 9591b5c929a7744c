// The one port through which logic reaches the user: message boxes, file dialogs,
// the text window, the progress window, modal sub-dialogs and opening documents.
// The desktop front end, the console front end and the scripted test double implement it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace relatix {

class Presenter;

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class Answer { Ok, Yes, No, Cancel };

// How a modal dialog ended. Case dialogs of the wizard end with Next or Back.
enum class DialogResult { Closed, Ok, Cancel, Next, Back };

// The caption of a plain message box: the application title.
inline constexpr const char* kApplicationTitle = "Relatix2";

struct FileDialogRequest {
    std::string filter;             // "Name (*.ext)|*.ext|All Files (*.*)|*.*||"
    std::string defaultExtension;   // without the dot, may be empty
    std::string initialFileName;    // may be empty
    bool allowMultiple = false;     // open dialogs only
    bool confirmOverwrite = false;  // save dialogs only
    std::string title;              // empty: the toolkit's default title
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual Answer messageBox(const std::string& text, const std::string& caption,
                              MessageButtons buttons = MessageButtons::Ok,
                              MessageIcon icon = MessageIcon::None) = 0;

    // Returns the chosen paths, or nothing when the user cancels.
    virtual std::optional<std::vector<std::string>> openFileDialog(
        const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogRequest& request) = 0;

    // The modal "Important message" window with a long, selectable text.
    virtual void showTextWindow(const std::string& text) = 0;

    // The modeless progress window; at most one is open at a time.
    virtual void progressOpen(const std::string& title, int low, int high,
                              const std::string& text) = 0;
    virtual void progressStep() = 0;
    virtual void progressSetText(const std::string& text) = 0;
    virtual void progressClose() = 0;
    // Lets a window repaint and take clicks during long work; called between steps
    // and while the linkage engine runs.
    virtual void processEvents() {}
    // True once the user asked the progress window to stop.
    virtual bool progressCancelled() { return false; }

    // Runs a modal sub-dialog driven by its presenter and returns how it ended.
    virtual DialogResult runDialog(Presenter& presenter) = 0;

    // Opens a document or a web address with the system's default application.
    virtual bool openDocument(const std::string& pathOrAddress) = 0;

    // The main window's title bar.
    virtual void setWindowTitle(const std::string& title) = 0;

    // Convenience forms used throughout the dialogs.
    void notify(const std::string& text, const std::string& caption = kApplicationTitle) {
        messageBox(text, caption, MessageButtons::Ok, MessageIcon::None);
    }
    void error(const std::string& text) {
        messageBox(text, "Error", MessageButtons::Ok, MessageIcon::Error);
    }
    bool askYesNo(const std::string& text, const std::string& caption = "Question") {
        return messageBox(text, caption, MessageButtons::YesNo, MessageIcon::Question) ==
               Answer::Yes;
    }
};

}  // namespace relatix
