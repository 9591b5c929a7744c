// The windows of the Help menu's dialogs.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/help_dialogs.h"
#include "presenter_window.h"
#include "windows.h"

namespace relatix {

namespace {

class AboutWindow : public PresenterWindow {
public:
    AboutWindow(AboutPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent) {
        auto* layout = new QVBoxLayout(this);
        auto* row = new QHBoxLayout;
        auto* icon = new QLabel(this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
        icon->setAlignment(Qt::AlignTop);
        row->addWidget(icon);
        auto* version = new QLabel(QString::fromStdString(presenter.versionText()), this);
        version->setObjectName("version");
        version->setTextInteractionFlags(Qt::TextSelectableByMouse);
        row->addWidget(version, 1);
        layout->addLayout(row);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        buttons->button(QDialogButtonBox::Ok)->setText("OK");
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
};

class HowToCiteWindow : public PresenterWindow {
public:
    HowToCiteWindow(HowToCitePresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), presenter_(presenter) {
        auto* layout = new QVBoxLayout(this);
        formats_ = new QComboBox(this);
        formats_->setObjectName("formats");
        for (const std::string& format : presenter.formats())
            formats_->addItem(QString::fromStdString(format));
        connect(formats_, &QComboBox::activated, this,
                [this](int index) { run([this, index] { presenter_.selectFormat(index); }); });
        layout->addWidget(formats_);
        auto* buttons = new QDialogButtonBox(this);
        QPushButton* exportButton =
            addButton(buttons, "Export", [this] { presenter_.exportReference(); });
        exportButton->setDefault(true);
        QPushButton* close = buttons->addButton("Close", QDialogButtonBox::RejectRole);
        close->setAutoDefault(false);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        setMinimumWidth(320);
    }

    void refresh() override { formats_->setCurrentIndex(presenter_.selectedFormat()); }

private:
    HowToCitePresenter& presenter_;
    QComboBox* formats_;
};

}  // namespace

void registerHelpWindows(WindowRegistry& registry) {
    registry.add<AboutPresenter, AboutWindow>();
    registry.add<HowToCitePresenter, HowToCiteWindow>();
}

}  // namespace relatix
