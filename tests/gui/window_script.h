// What the window tests share: a script that acts on the modal windows as they
// appear, screenshots for a reviewer, and short ways to click, type and choose
// in a window as a user would.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#ifndef RELATIX_SCREENSHOT_DIR
#define RELATIX_SCREENSHOT_DIR "screenshots"
#endif

namespace relatix::testing {

// The screenshots folder: RELATIX_SCREENSHOT_DIR of the environment when set
// (a run at another scale keeps its pictures apart), else the build's.
inline QString screenshotFolder() {
    const QString chosen = qEnvironmentVariable("RELATIX_SCREENSHOT_DIR");
    return chosen.isEmpty() ? QString(RELATIX_SCREENSHOT_DIR) : chosen;
}

// The texts of labels and buttons the window shows narrower than they need:
// a user would see them cut.
inline QStringList clippedTexts(QWidget* window) {
    QStringList clipped;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull()) continue;
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (button->text().isEmpty()) continue;
            text = button->text();
        } else {
            continue;
        }
        if (w->width() < w->minimumSizeHint().width())
            clipped << QString("\"%1\" (%2 < %3)")
                           .arg(text)
                           .arg(w->width())
                           .arg(w->minimumSizeHint().width());
    }
    return clipped;
}

// Saves what the widget shows as NAME.png in the screenshots folder, after
// checking that no label or button text in it is cut.
inline void screenshot(QWidget* widget, const QString& name) {
    const QString folder = screenshotFolder();
    QDir().mkpath(folder);
    widget->grab().save(folder + "/" + name + ".png");
    const QStringList clipped = clippedTexts(widget);
    QVERIFY2(clipped.isEmpty(), qPrintable(name + ": cut texts " + clipped.join(", ")));
}

using WindowAction = std::function<void(QWidget*)>;

// An action meant for a message box: the script keeps it for the next message box
// and passes over a window that comes back to the front before the box appears.
struct MessageAction {
    WindowAction act;
    operator WindowAction() const { return act; }
};

// Acts on the modal windows as they appear, one action per window, in order; a
// window that comes back to the front after another one closed counts as new.
// Once a check has failed, or after the patience given (20 seconds by default), every modal window
// left is closed so that a failing test ends instead of waiting for a click.
class ModalScript : public QObject {
public:
    using Action = WindowAction;

    explicit ModalScript(qint64 patienceMs = 20000) : patienceMs_(patienceMs) {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(10);
        clock_.start();
    }
    ModalScript& then(Action action) {
        actions_.push_back({std::move(action), false});
        return *this;
    }
    ModalScript& then(MessageAction action) {
        actions_.push_back({std::move(action.act), true});
        return *this;
    }
    bool done() const { return actions_.empty(); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (QTest::currentTestFailed() || clock_.elapsed() > patienceMs_) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                qWarning("closing the window left open: %s", qPrintable(dialog->windowTitle()));
                dialog->done(QDialog::Rejected);
            }
            return;
        }
        if (modal == last_ || actions_.empty()) return;
        // A window back at the front while its message box is still to come.
        if (actions_.front().forMessageBox && !qobject_cast<QMessageBox*>(modal)) return;
        last_ = modal;
        // Run from an event of its own: the polling timer is not delivered again
        // while its own timeout runs, so a message box opened by the action
        // would otherwise never be answered. A window that closed before its
        // step ran (one that was only back at the front while closing) leaves
        // the step to the next window.
        QPointer<QWidget> target(modal);
        Step step = std::move(actions_.front());
        actions_.pop_front();
        QTimer::singleShot(0, this, [this, target, step = std::move(step)]() mutable {
            if (!target || !target->isVisible()) {
                actions_.push_front(std::move(step));
                last_ = nullptr;
                return;
            }
            step.action(target);
        });
    }

    qint64 patienceMs_;
    QTimer timer_;
    QElapsedTimer clock_;
    struct Step {
        Action action;
        bool forMessageBox;
    };
    std::deque<Step> actions_;
    // Cleared when that window goes, so that a later one at the same address counts.
    QPointer<QWidget> last_;
};

inline QPushButton* buttonNamed(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

inline void click(QWidget* window, const QString& text) {
    QPushButton* button = buttonNamed(window, text);
    QVERIFY2(button, qPrintable("no button " + text + " in " + window->windowTitle()));
    button->click();
}

// A click that opens a further modal window: it runs once the script's step ended.
inline void clickLater(QWidget* window, const QString& text) {
    QTimer::singleShot(0, window, [window, text] { click(window, text); });
}

// The window's widget of that name and type; a warning names a missing one.
template <class W>
W* child(QWidget* window, const char* name) {
    W* widget = window->findChild<W*>(name);
    if (!widget) qWarning("no widget %s in %s", name, qPrintable(window->windowTitle()));
    return widget;
}

// Chooses the entry of the combo box as a click in its list would.
inline void choose(QWidget* window, const char* name, int index) {
    auto* box = child<QComboBox>(window, name);
    QVERIFY(box);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Replaces a field's text as typed, so that the window hears it.
inline void retype(QLineEdit* field, const QString& text) {
    QVERIFY(field);
    field->selectAll();
    QTest::keyClicks(field, text);
}
inline void type(QWidget* window, const char* name, const QString& text) {
    retype(child<QLineEdit>(window, name), text);
}

inline QString fieldText(QWidget* window, const char* name) {
    const auto* field = child<QLineEdit>(window, name);
    return field ? field->text() : QString();
}

// What a message box said.
struct SeenMessage {
    QString caption;
    QString text;
};

// Answers the message box with the button, once note has seen it.
inline void answerMessage(QWidget* window, QMessageBox::StandardButton button,
                          const std::function<void(QMessageBox*)>& note) {
    auto* box = qobject_cast<QMessageBox*>(window);
    QVERIFY2(box, qPrintable("not a message box: " + window->windowTitle()));
    note(box);
    QAbstractButton* choice = box->button(button);
    QVERIFY2(choice, qPrintable("no such button under the message " + box->text()));
    choice->click();
}

// Notes what the message box says, saves a picture of it when given a name,
// and answers it with the button.
inline MessageAction answer(SeenMessage& seen, QMessageBox::StandardButton button = QMessageBox::Ok,
                            const QString& shotName = {}) {
    return {[&seen, button, shotName](QWidget* window) {
        answerMessage(window, button, [&seen, &shotName](QMessageBox* box) {
            seen = {box->windowTitle(), box->text()};
            if (!shotName.isEmpty()) screenshot(box, shotName);
        });
    }};
}

// Notes the message box's text and answers it with the button.
inline MessageAction answer(QString& text, QMessageBox::StandardButton button = QMessageBox::Ok) {
    return {[&text, button](QWidget* window) {
        answerMessage(window, button, [&text](QMessageBox* box) { text = box->text(); });
    }};
}

}  // namespace relatix::testing
