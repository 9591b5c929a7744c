// The user interface of the desktop program: Qt message boxes, file dialogs, the
// "Important message" text window, the modeless progress window, the desktop's
// default applications, and the windows of the dialog presenters.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/user_interface.h"
#include "presenter_window.h"

class QProgressDialog;
class QWidget;

namespace relatix {

// "Save Files (*.sav)|*.sav||All Files (*.*)|*.*||" as Qt name filters:
// "Save Files (*.sav)", "All Files (*)". The patterns after each description are
// the ones that count; "*.*" matches every file, with or without an extension.
QStringList qtNameFilters(const std::string& filter);
// The chosen file name with ".ext" appended when it has no extension of its own.
std::string withDefaultExtension(const std::string& path, const std::string& extension);

class QtUserInterface : public UserInterface {
public:
    QtUserInterface();
    ~QtUserInterface() override;

    // The window that dialogs and message boxes are centred on.
    void setMainWindow(QWidget* window) { mainWindow_ = window; }
    QWidget* mainWindow() const { return mainWindow_; }
    // Called with every new title.
    void setTitleHandler(std::function<void(const std::string&)> handler) {
        titleHandler_ = std::move(handler);
    }

    // Replaces the file dialogs (tests): given whether it is a save dialog and the
    // request, returns the chosen paths or nothing for Cancel.
    using FileDialogStandIn = std::function<std::optional<std::vector<std::string>>(
        bool save, const FileDialogRequest& request)>;
    void setFileDialogStandIn(FileDialogStandIn standIn) { fileStandIn_ = std::move(standIn); }

    WindowRegistry& windows() { return windows_; }
    // True while a progress window is open: the windows' commands are disabled then.
    bool busy() const { return !progress_.isNull(); }

    Answer messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                      MessageIcon icon) override;
    std::optional<std::vector<std::string>> openFileDialog(
        const FileDialogRequest& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
    void showTextWindow(const std::string& text) override;
    void progressOpen(const std::string& title, int low, int high,
                      const std::string& text) override;
    void progressStep() override;
    void progressSetText(const std::string& text) override;
    void progressClose() override;
    void processEvents() override;
    bool progressCancelled() override;
    DialogResult runDialog(Presenter& presenter) override;
    bool openDocument(const std::string& pathOrAddress) override;
    void setWindowTitle(const std::string& title) override;

private:
    QWidget* dialogParent() const;

    QPointer<QWidget> mainWindow_;
    std::function<void(const std::string&)> titleHandler_;
    FileDialogStandIn fileStandIn_;
    WindowRegistry windows_;
    // Parented to the main window, which may delete it first.
    QPointer<QProgressDialog> progress_;
    int progressLow_ = 0;
    bool cancelled_ = false;
};

}  // namespace relatix
