// The window of the quick analysis: "Run Quick Analysis".
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/quick_analysis_presenter.h"
#include "presenter_window.h"
#include "widget_binding.h"
#include "windows.h"

namespace relatix {
namespace {

class QuickAnalysisWindow : public PresenterWindow {
public:
    QuickAnalysisWindow(QuickAnalysisPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        caseFiles_ = field(layout, "Analysis options (multiple files allowed)", "caseFiles",
                           "browseCaseFiles", [this] { p_.browseCaseFiles(); });
        mapFile_ = field(layout, "Marker map file (genetic map)", "mapFile", "browseMapFile",
                         [this] { p_.browseMapFile(); });
        openReport_ = new QCheckBox("Open report", this);
        openReport_->setObjectName("openReport");
        layout->addWidget(openReport_);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Analyse", [this] { p_.analyse(); }));
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        caseFiles_->setMinimumWidth(caseFiles_->fontMetrics().averageCharWidth() * 60);

        connect(caseFiles_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setCaseFilesText(text.toStdString()); });
        });
        connect(mapFile_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setMapFileText(text.toStdString()); });
        });
        connect(openReport_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.setOpenReport(on); }); });
    }
    void refresh() override {
        setText(caseFiles_, p_.caseFilesText());
        setText(mapFile_, p_.mapFileText());
        openReport_->setChecked(p_.openReport());
    }

private:
    // A group with a text field and its Browse button.
    QLineEdit* field(QVBoxLayout* layout, const QString& caption, const QString& name,
                     const QString& buttonName, const std::function<void()>& browse) {
        auto* group = new QGroupBox(caption, this);
        auto* row = new QHBoxLayout(group);
        QLineEdit* edit = lineEdit(group, name);
        row->addWidget(edit, 1);
        auto* button = new QPushButton("Browse", group);
        button->setObjectName(buttonName);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, browse] { run(browse); });
        row->addWidget(button);
        layout->addWidget(group);
        return edit;
    }

    QuickAnalysisPresenter& p_;
    QLineEdit* caseFiles_;
    QLineEdit* mapFile_;
    QCheckBox* openReport_;
};

}  // namespace

void registerQuickWindows(WindowRegistry& registry) {
    registry.add<QuickAnalysisPresenter, QuickAnalysisWindow>();
}

}  // namespace relatix
