// The window of one presenter: a dialog whose widgets forward every click and
// edit to the presenter and are re-read from it after each command. A window of a
// modal presenter closes as soon as the presenter says it is closed.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <typeindex>
#include <unordered_map>

#include "platform/presenter.h"

class QDialogButtonBox;
class QPushButton;

namespace relatix {

class ModalPresenter;
class UserInterface;

class PresenterWindow : public QDialog {
    Q_OBJECT
public:
    PresenterWindow(Presenter& presenter, QWidget* parent);

    // Re-reads every widget from the presenter.
    virtual void refresh() {}

protected:
    // Runs one presenter command, then re-reads the window or closes it.
    void run(const std::function<void()>& command);
    // What Escape and the title bar's close button do: by default the
    // presenter's own close command, given by the window.
    void setCloseCommand(std::function<void()> command) { closeCommand_ = std::move(command); }
    void reject() override;

    QPushButton* addButton(QDialogButtonBox* box, const QString& text,
                           const std::function<void()>& command);

private:
    Presenter& presenter_;
    ModalPresenter* modal_;
    std::function<void()> closeCommand_;
};

// Which window class shows which presenter class.
class WindowRegistry {
public:
    using Factory =
        std::function<std::unique_ptr<PresenterWindow>(Presenter&, UserInterface&, QWidget*)>;

    template <class P, class W>
    void add() {
        factories_[std::type_index(typeid(P))] = [](Presenter& p, UserInterface& ui,
                                                    QWidget* parent) {
            return std::unique_ptr<PresenterWindow>(
                std::make_unique<W>(static_cast<P&>(p), ui, parent));
        };
    }
    // The window for the presenter's dynamic type, or nothing when none is registered.
    std::unique_ptr<PresenterWindow> create(Presenter& presenter, UserInterface& ui,
                                            QWidget* parent) const;

private:
    std::unordered_map<std::type_index, Factory> factories_;
};

}  // namespace relatix
