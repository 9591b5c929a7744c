#include "presenter_window.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include "dialogs/modal_presenter.h"

namespace relatix {

PresenterWindow::PresenterWindow(Presenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), modal_(dynamic_cast<ModalPresenter*>(&presenter)) {
    setWindowTitle(QString::fromStdString(presenter.title()));
}

void PresenterWindow::run(const std::function<void()>& command) {
    command();
    if (modal_ && modal_->closed()) {
        done(modal_->result() == DialogResult::Cancel ? QDialog::Rejected : QDialog::Accepted);
        return;
    }
    refresh();
}

void PresenterWindow::reject() {
    if (closeCommand_ && modal_) {
        run(closeCommand_);
        return;
    }
    QDialog::reject();
}

QPushButton* PresenterWindow::addButton(QDialogButtonBox* box, const QString& text,
                                        const std::function<void()>& command) {
    QPushButton* button = box->addButton(text, QDialogButtonBox::ActionRole);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, command] { run(command); });
    return button;
}

std::unique_ptr<PresenterWindow> WindowRegistry::create(Presenter& presenter, UserInterface& ui,
                                                        QWidget* parent) const {
    const auto found = factories_.find(std::type_index(typeid(presenter)));
    if (found == factories_.end()) return nullptr;
    return found->second(presenter, ui, parent);
}

}  // namespace relatix
