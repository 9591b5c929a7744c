#include "support/scripted_user_interface.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/dialog_questions.h"

namespace relatix::testing {

ScriptedUserInterface::ScriptedUserInterface() {
    installDialogQuestions();
}

ScriptedUserInterface::~ScriptedUserInterface() {
    verify();
}

ScriptedUserInterface& ScriptedUserInterface::expectMessage(const std::string& text,
                                                            const std::string& caption,
                                                            Answer answer) {
    Expectation e;
    e.kind = Kind::Message;
    e.text = text;
    e.caption = caption;
    e.answer = answer;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedUserInterface& ScriptedUserInterface::expectOpenFile(
    const std::vector<std::string>& paths) {
    Expectation e;
    e.kind = Kind::OpenFile;
    e.paths = paths;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedUserInterface& ScriptedUserInterface::expectOpenFileCancelled() {
    Expectation e;
    e.kind = Kind::OpenFile;
    e.cancelled = true;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedUserInterface& ScriptedUserInterface::expectSaveFile(const std::string& path) {
    Expectation e;
    e.kind = Kind::SaveFile;
    e.paths = {path};
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedUserInterface& ScriptedUserInterface::expectSaveFileCancelled() {
    Expectation e;
    e.kind = Kind::SaveFile;
    e.cancelled = true;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedUserInterface& ScriptedUserInterface::expectTextWindow() {
    Expectation e;
    e.kind = Kind::TextWindow;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedUserInterface& ScriptedUserInterface::expectDialog(
    const std::string& title, std::function<DialogResult(Presenter&)> handler) {
    Expectation e;
    e.kind = Kind::Dialog;
    e.text = title;
    e.handler = std::move(handler);
    expected_.push_back(std::move(e));
    return *this;
}

void ScriptedUserInterface::verify() {
    if (expected_.empty()) return;
    std::string report = "expected but never happened:\n";
    for (const Expectation& e : expected_) report += "  " + describe(e) + "\n";
    expected_.clear();
    fail(report);
}

std::string ScriptedUserInterface::describe(const Expectation& e) {
    switch (e.kind) {
        case Kind::Message: return "message \"" + e.text + "\" (caption \"" + e.caption + "\")";
        case Kind::OpenFile: return "open-file dialog";
        case Kind::SaveFile: return "save-file dialog";
        case Kind::TextWindow: return "text window";
        case Kind::Dialog: return "dialog \"" + e.text + "\"";
    }
    return "?";
}

void ScriptedUserInterface::fail(const std::string& what) {
    std::string report = what;
    if (!history_.empty()) {
        report += "\nwhat happened before, in order:\n";
        for (const std::string& h : history_) report += "  " + h + "\n";
    }
    ADD_FAILURE() << report;
}

bool ScriptedUserInterface::take(Kind kind, const std::string& actual, Expectation& out) {
    if (expected_.empty()) {
        fail("unexpected " + actual + " (nothing more was expected)");
        history_.push_back(actual + "  <- unexpected");
        return false;
    }
    Expectation& next = expected_.front();
    if (next.kind != kind) {
        fail("unexpected " + actual + "; expected " + describe(next));
        history_.push_back(actual + "  <- unexpected");
        return false;
    }
    out = std::move(next);
    expected_.pop_front();
    history_.push_back(actual);
    return true;
}

Answer ScriptedUserInterface::messageBox(const std::string& text, const std::string& caption,
                                         MessageButtons buttons, MessageIcon) {
    const std::string actual = "message \"" + text + "\" (caption \"" + caption + "\")";
    Expectation e;
    if (!take(Kind::Message, actual, e))
        return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
    if (e.text != text || e.caption != caption) {
        fail("message differs:\n  expected " + describe(e) + "\n  actual   " + actual);
    }
    const bool okOnly = buttons == MessageButtons::Ok;
    if (okOnly && e.answer != Answer::Ok)
        fail("answer for an OK-only message " + actual + " must be Ok");
    if (!okOnly && e.answer == Answer::Ok)
        fail("the question " + actual + " needs an answer Yes, No or Cancel");
    if (buttons == MessageButtons::YesNo && e.answer == Answer::Cancel)
        fail("the question " + actual + " has no Cancel button");
    return e.answer;
}

std::optional<std::vector<std::string>> ScriptedUserInterface::openFileDialog(
    const FileDialogRequest& r) {
    fileRequests.push_back(r);
    Expectation e;
    if (!take(Kind::OpenFile, "open-file dialog (filter \"" + r.filter + "\")", e))
        return std::nullopt;
    if (e.cancelled) return std::nullopt;
    return e.paths;
}

std::optional<std::string> ScriptedUserInterface::saveFileDialog(const FileDialogRequest& r) {
    fileRequests.push_back(r);
    Expectation e;
    if (!take(Kind::SaveFile, "save-file dialog (initial \"" + r.initialFileName + "\")", e))
        return std::nullopt;
    if (e.cancelled || e.paths.empty()) return std::nullopt;
    return e.paths.front();
}

void ScriptedUserInterface::showTextWindow(const std::string& text) {
    textWindows.push_back(text);
    Expectation e;
    take(Kind::TextWindow, "text window", e);
}

void ScriptedUserInterface::progressOpen(const std::string& title, int low, int high,
                                         const std::string& text) {
    progressLog.push_back("open " + title + " " + std::to_string(low) + ".." +
                          std::to_string(high) + " " + text);
}

void ScriptedUserInterface::progressStep() {
    progressLog.push_back("step");
}

bool ScriptedUserInterface::progressCancelled() {
    if (!cancelAfterSteps) return false;
    return std::count(progressLog.begin(), progressLog.end(), "step") >= *cancelAfterSteps;
}

void ScriptedUserInterface::progressSetText(const std::string& text) {
    progressLog.push_back("text " + text);
}

void ScriptedUserInterface::progressClose() {
    progressLog.push_back("close");
}

DialogResult ScriptedUserInterface::runDialog(Presenter& presenter) {
    const std::string title = presenter.title();
    Expectation e;
    if (!take(Kind::Dialog, "dialog \"" + title + "\"", e)) return DialogResult::Cancel;
    if (e.text != title) {
        fail("dialog differs: expected \"" + e.text + "\", actual \"" + title + "\"");
        return DialogResult::Cancel;
    }
    return e.handler ? e.handler(presenter) : DialogResult::Cancel;
}

bool ScriptedUserInterface::openDocument(const std::string& pathOrAddress) {
    openedDocuments.push_back(pathOrAddress);
    return openDocumentSucceeds;
}

void ScriptedUserInterface::setWindowTitle(const std::string& title) {
    windowTitles.push_back(title);
}

}  // namespace relatix::testing
