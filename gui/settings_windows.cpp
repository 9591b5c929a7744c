// The windows of the pedigree editor ("Edit pedigree", "Add persons", "Full
// image") and of the settings and tool dialogs ("Options", "Advanced settings",
// "Mutations", "Conversion", "Import options").
#include "settings_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>

#include "dialogs/add_persons_presenter.h"
#include "dialogs/advanced_settings_presenter.h"
#include "dialogs/conversion_presenter.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/import_options_presenter.h"
#include "dialogs/mutations_presenter.h"
#include "dialogs/options_presenter.h"
#include "presenter_window.h"
#include "widget_binding.h"

namespace relatix {
namespace {

// Shows the picture file, or a note when there is none or it cannot be read.
void showPicture(QLabel* label, const std::string& path) {
    QPixmap picture;
    if (!path.empty()) picture.load(qt(path));
    if (picture.isNull()) {
        label->setPixmap(QPixmap());
        label->setText("No picture available");
    } else {
        label->setPixmap(picture);
    }
}

class AddPersonsWindow : public PresenterWindow {
public:
    AddPersonsWindow(AddPersonsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QHBoxLayout(this);
        table_ = rowTable(this, "persons", {"Name", "Gender"}, true);
        table_->setMinimumWidth(table_->fontMetrics().averageCharWidth() * 40);
        layout->addWidget(table_, 1);
        auto* group = new QGroupBox("Add person", this);
        auto* form = new QFormLayout(group);
        name_ = lineEdit(group, "name");
        form->addRow("Name", name_);
        auto* sexes = new QHBoxLayout;
        male_ = new QRadioButton("Male", group);
        male_->setObjectName("male");
        female_ = new QRadioButton("Female", group);
        female_->setObjectName("female");
        sexes->addWidget(male_);
        sexes->addWidget(female_);
        form->addRow(sexes);
        auto* buttons = new QDialogButtonBox(group);
        add_ = defaultButton(addButton(buttons, "Add", [this] { p_.add(); }));
        add_->setObjectName("add");
        addButton(buttons, "Edit", [this] { p_.edit(); });
        addButton(buttons, "Remove", [this] { p_.remove(); });
        form->addRow(buttons);
        layout->addWidget(group, 0, Qt::AlignTop);
        setCloseCommand([this] { p_.close(); });

        connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
            const std::vector<int> rows = selectedRows(table_);
            run([this, rows] { p_.setSelectedRows(rows); });
        });
        connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setName(text.toStdString()); });
        });
        connect(male_, &QRadioButton::clicked, this, [this] { run([this] { p_.setMale(true); }); });
        connect(female_, &QRadioButton::clicked, this,
                [this] { run([this] { p_.setMale(false); }); });
    }
    void refresh() override {
        Cells cells;
        for (const PersonRow& row : p_.rows()) cells.push_back({row.name, row.gender});
        setCells(table_, cells);
        setSelectedRows(table_, p_.selectedRows());
        setText(name_, p_.name());
        male_->setChecked(p_.male());
        female_->setChecked(!p_.male());
        add_->setText(qt(p_.addButtonCaption()));
    }

private:
    AddPersonsPresenter& p_;
    QTableWidget* table_;
    QLineEdit* name_;
    QRadioButton* male_;
    QRadioButton* female_;
    QPushButton* add_;
};

class EditPedigreeWindow : public PresenterWindow {
public:
    EditPedigreeWindow(EditPedigreePresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* nameRow = new QFormLayout;
        name_ = lineEdit(this, "pedigreeName");
        nameRow->addRow("Pedigree name", name_);
        layout->addLayout(nameRow);
        auto* middle = new QHBoxLayout;
        relations_ = rowTable(this, "relations", {"Parent", "Child"}, false);
        setMinimumTextSize(relations_, 40, 12);
        middle->addWidget(relations_, 1);
        auto* group = new QGroupBox("Add relation", this);
        auto* form = new QFormLayout(group);
        parent_ = comboBox(group, "parent");
        form->addRow(parent_);
        child_ = comboBox(group, "child");
        form->addRow(child_);
        auto* groupButtons = new QDialogButtonBox(Qt::Vertical, group);
        addButton(groupButtons, "Add", [this] { p_.add(); });
        addButton(groupButtons, "Edit", [this] { p_.edit(); });
        addButton(groupButtons, "Remove", [this] { p_.remove(); });
        form->addRow(groupButtons);
        middle->addWidget(group, 0, Qt::AlignTop);
        layout->addLayout(middle, 1);
        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Persons", [this] { p_.persons(); });
        addButton(buttons, "Copy relations", [this] { p_.copyRelations(); });
        addButton(buttons, "Plot in R", [this] { p_.plotInR(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setPedigreeName(text.toStdString()); });
        });
        connect(relations_, &QTableWidget::itemSelectionChanged, this, [this] {
            const int row = selectedRow(relations_);
            run([this, row] { p_.selectRelation(row); });
        });
        connect(parent_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseParent(i); }); });
        connect(child_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseChild(i); }); });
    }
    void refresh() override {
        setText(name_, p_.pedigreeName());
        Cells cells;
        for (const RelationRow& row : p_.relationRows()) cells.push_back({row.parent, row.child});
        setCells(relations_, cells);
        setSelectedRow(relations_, p_.selectedRelation());
        setItems(parent_, p_.parentOptions());
        setCurrent(parent_, p_.parentChoice());
        setItems(child_, p_.childOptions());
        setCurrent(child_, p_.childChoice());
    }

private:
    EditPedigreePresenter& p_;
    QLineEdit* name_;
    QTableWidget* relations_;
    QComboBox* parent_;
    QComboBox* child_;
};

class FullImageWindow : public PresenterWindow {
public:
    FullImageWindow(FullImagePresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        choice_ = comboBox(this, "pedigree");
        layout->addWidget(choice_);
        picture_ = new QLabel(this);
        picture_->setObjectName("picture");
        picture_->setAlignment(Qt::AlignCenter);
        setMinimumTextSize(picture_, 50, 15);
        layout->addWidget(picture_, 1);
        setCloseCommand([this] { p_.close(); });
        connect(choice_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.select(i); }); });
    }
    void refresh() override {
        setItems(choice_, p_.options());
        setCurrent(choice_, p_.selection());
        if (!shown_ || *shown_ != p_.picturePath()) {
            shown_ = p_.picturePath();
            showPicture(picture_, *shown_);
        }
    }

private:
    FullImagePresenter& p_;
    QComboBox* choice_;
    QLabel* picture_;
    std::optional<std::string> shown_;
};

class OptionsWindow : public PresenterWindow {
public:
    OptionsWindow(OptionsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* general = new QGroupBox("General", this);
        auto* generalForm = new QFormLayout(general);
        mutationsOff_ = new QCheckBox("Turn off\nmutations", general);
        mutationsOff_->setObjectName("mutationsOff");
        generalForm->addRow(mutationsOff_);
        databaseSize_ = lineEdit(general, "databaseSize");
        generalForm->addRow("Database size", databaseSize_);
        layout->addWidget(general);
        auto* frequency = new QGroupBox("Frequency options", this);
        auto* frequencyForm = new QFormLayout(frequency);
        newAlleleFrequency_ = lineEdit(frequency, "newAlleleFrequency");
        frequencyForm->addRow("New allele frequency", newAlleleFrequency_);
        theta_ = lineEdit(frequency, "theta");
        frequencyForm->addRow("Theta/Fst", theta_);
        model_ = comboBox(frequency, "model");
        setItems(model_, OptionsPresenter::modelOptions());
        frequencyForm->addRow(model_);
        layout->addWidget(frequency);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Save", [this] { p_.save(); }));
        addButton(buttons, "Cancel", [this] { p_.cancel(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.cancel(); });

        connect(newAlleleFrequency_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setNewAlleleFrequencyText(text.toStdString()); });
        });
        connect(theta_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setThetaText(text.toStdString()); });
        });
        connect(model_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.selectModel(i); }); });
        connect(mutationsOff_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.setMutationsOff(on); }); });
    }
    void refresh() override {
        setText(newAlleleFrequency_, p_.newAlleleFrequencyText());
        setText(theta_, p_.thetaText());
        setCurrent(model_, p_.modelSelection());
        mutationsOff_->setChecked(p_.mutationsOff());
        setText(databaseSize_, p_.databaseSizeText());
        databaseSize_->setEnabled(p_.databaseSizeEnabled());
    }

private:
    OptionsPresenter& p_;
    QCheckBox* mutationsOff_;
    QLineEdit* databaseSize_;
    QLineEdit* newAlleleFrequency_;
    QLineEdit* theta_;
    QComboBox* model_;
};

class AdvancedSettingsWindow : public PresenterWindow {
public:
    AdvancedSettingsWindow(AdvancedSettingsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QHBoxLayout(this);
        QStringList headings;
        for (const auto& column : AdvancedSettingsPresenter::columns())
            headings << qt(column.heading);
        table_ = rowTable(this, "pedigrees", headings, false);
        table_->setShowGrid(true);
        int width = 0;
        for (int c = 0; c < table_->columnCount(); ++c) {
            const int w = AdvancedSettingsPresenter::columns()[static_cast<size_t>(c)].width;
            table_->setColumnWidth(c, w);
            width += w;
        }
        table_->setMinimumSize(width + table_->verticalScrollBar()->sizeHint().width() + 4,
                               table_->fontMetrics().height() * 24);
        layout->addWidget(table_, 1);

        auto* side = new QVBoxLayout;
        auto* group = new QGroupBox("Settings", this);
        auto* form = new QFormLayout(group);
        edited_ = new QLabel(group);
        edited_->setObjectName("editedName");
        form->addRow(edited_);
        threshold_ = lineEdit(group, "threshold");
        form->addRow("Threshold", threshold_);
        steps_ = lineEdit(group, "steps");
        form->addRow("Steps (Transitions)", steps_);
        for (QLineEdit* field : {threshold_, steps_})
            field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 12);
        lump_ = new QCheckBox("Lump alleles", group);
        lump_->setObjectName("lumpAlleles");
        form->addRow(lump_);
        side->addWidget(group);
        auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
        addButton(buttons, "Edit", [this] { p_.edit(); });
        defaultButton(addButton(buttons, "Update", [this] { p_.update(); }));
        addButton(buttons, "Update all", [this] { p_.updateAll(); });
        addButton(buttons, "Create", [this] { p_.create(); });
        addButton(buttons, "Display Image", [this] {
            p_.displayImage();
            table_->setFocus();
        });
        addButton(buttons, "Close", [this] { p_.close(); });
        side->addWidget(buttons);
        side->addStretch(1);
        layout->addLayout(side);
        setCloseCommand([this] { p_.close(); });

        connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
            const int row = selectedRow(table_);
            run([this, row] { p_.selectRow(row); });
        });
        // A click on a row edits it.
        connect(table_, &QTableWidget::cellClicked, this,
                [this](int row, int) { run([this, row] { p_.activateRow(row); }); });
        connect(threshold_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setThresholdText(text.toStdString()); });
        });
        connect(steps_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setStepsText(text.toStdString()); });
        });
        connect(lump_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.setLumpAlleles(on); }); });
    }
    void refresh() override {
        Cells cells;
        for (const PedigreeSettingsRow& row : p_.rows())
            cells.push_back({row.pedigree, row.threshold, row.steps, row.lumpAlleles});
        const bool grown = table_->rowCount() != static_cast<int>(cells.size());
        setCells(table_, cells);
        // The names have two lines.
        if (grown) table_->resizeRowsToContents();
        setSelectedRow(table_, p_.selectedRow());
        edited_->setText(qt(p_.editedName()));
        setText(threshold_, p_.thresholdText());
        setText(steps_, p_.stepsText());
        lump_->setChecked(p_.lumpAlleles());
    }

private:
    AdvancedSettingsPresenter& p_;
    QTableWidget* table_;
    QLabel* edited_;
    QLineEdit* threshold_;
    QLineEdit* steps_;
    QCheckBox* lump_;
};

class MutationsWindow : public PresenterWindow {
public:
    MutationsWindow(MutationsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* groups = new QHBoxLayout;
        groups->addWidget(buildSide(MutationSide::Male, "Male settings", "male"));
        groups->addWidget(buildSide(MutationSide::Female, "Female settings", "female"));
        layout->addLayout(groups);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Save", [this] { p_.save(); }));
        addButton(buttons, "Save to all", [this] { p_.saveToAll(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
    }
    void refresh() override {
        for (const MutationSide side : {MutationSide::Male, MutationSide::Female}) {
            const Side& w = sides_[static_cast<int>(side)];
            setCurrent(w.model, p_.modelSelection(side));
            const MutationSideTexts& texts = p_.texts(side);
            setText(w.rate, texts.rate);
            setText(w.range, texts.range);
            setText(w.third, texts.third);
            w.rate->setEnabled(p_.rateEnabled(side));
            w.range->setEnabled(p_.rangeEnabled(side));
            w.third->setEnabled(p_.thirdEnabled(side));
            w.thirdLabel->setText(qt(p_.thirdLabel(side)));
        }
    }

private:
    struct Side {
        QComboBox* model;
        QLineEdit* rate;
        QLineEdit* range;
        QLineEdit* third;
        QLabel* thirdLabel;
    };

    QGroupBox* buildSide(MutationSide side, const QString& caption, const QString& prefix) {
        auto* group = new QGroupBox(caption, this);
        group->setObjectName(prefix + "Settings");
        auto* form = new QFormLayout(group);
        Side& w = sides_[static_cast<int>(side)];
        w.model = comboBox(group, prefix + "Model");
        setItems(w.model, MutationsPresenter::modelOptions());
        form->addRow(w.model);
        w.rate = lineEdit(group, prefix + "Rate");
        form->addRow("Rate:", w.rate);
        w.range = lineEdit(group, prefix + "Range");
        form->addRow("Range:", w.range);
        w.third = lineEdit(group, prefix + "Third");
        w.thirdLabel = new QLabel(group);
        w.thirdLabel->setObjectName(prefix + "ThirdLabel");
        form->addRow(w.thirdLabel, w.third);

        connect(w.model, &QComboBox::activated, this,
                [this, side](int i) { run([this, side, i] { p_.selectModel(side, i); }); });
        connect(w.rate, &QLineEdit::textEdited, this, [this, side](const QString& text) {
            run([this, side, text] { p_.setRateText(side, text.toStdString()); });
        });
        connect(w.range, &QLineEdit::textEdited, this, [this, side](const QString& text) {
            run([this, side, text] { p_.setRangeText(side, text.toStdString()); });
        });
        connect(w.third, &QLineEdit::textEdited, this, [this, side](const QString& text) {
            run([this, side, text] { p_.setThirdText(side, text.toStdString()); });
        });
        return group;
    }

    MutationsPresenter& p_;
    Side sides_[2] = {};
};

class ConversionWindow : public PresenterWindow {
public:
    ConversionWindow(ConversionPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* group = new QGroupBox("Conversion options", this);
        auto* grid = new QGridLayout(group);
        method_ = comboBox(group, "method");
        setItems(method_, ConversionPresenter::methodOptions());
        grid->addWidget(method_, 0, 0);
        direction_ = comboBox(group, "direction");
        setItems(direction_, ConversionPresenter::directionOptions());
        grid->addWidget(direction_, 0, 2);
        grid->addWidget(new QLabel("Distance (cM/Mb)", group), 1, 0);
        grid->addWidget(new QLabel("Theta (r)", group), 1, 2);
        distance_ = lineEdit(group, "distance");
        grid->addWidget(distance_, 2, 0);
        arrow_ = new QLabel(group);
        arrow_->setObjectName("arrow");
        arrow_->setAlignment(Qt::AlignCenter);
        grid->addWidget(arrow_, 2, 1);
        theta_ = lineEdit(group, "theta");
        grid->addWidget(theta_, 2, 2);
        layout->addWidget(group);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Convert", [this] { p_.convert(); }));
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(method_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.selectMethod(i); }); });
        connect(direction_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.selectDirection(i); }); });
        connect(distance_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setDistanceText(text.toStdString()); });
        });
        connect(theta_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setThetaText(text.toStdString()); });
        });
    }
    void refresh() override {
        setCurrent(method_, p_.methodSelection());
        setCurrent(direction_, p_.directionSelection());
        arrow_->setText(qt(p_.arrowLabel()));
        setText(distance_, p_.distanceText());
        setText(theta_, p_.thetaText());
    }

private:
    ConversionPresenter& p_;
    QComboBox* method_;
    QComboBox* direction_;
    QLineEdit* distance_;
    QLabel* arrow_;
    QLineEdit* theta_;
};

class ImportOptionsWindow : public PresenterWindow {
public:
    ImportOptionsWindow(ImportOptionsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* group = new QGroupBox("Import person", this);
        auto* groupLayout = new QVBoxLayout(group);
        sample_ = new QLabel(group);
        sample_->setObjectName("sample");
        groupLayout->addWidget(sample_);
        target_ = comboBox(group, "target");
        groupLayout->addWidget(target_);
        importName_ = new QCheckBox("Import name", group);
        importName_->setObjectName("importName");
        groupLayout->addWidget(importName_);
        layout->addWidget(group);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Import", [this] { p_.importSample(); }));
        addButton(buttons, "Skip", [this] { p_.skip(); });
        layout->addWidget(buttons);
        // Closing the window from its frame skips the sample.
        setCloseCommand([this] { p_.skip(); });

        connect(target_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseTarget(i); }); });
        connect(importName_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.setImportName(on); }); });
    }
    void refresh() override {
        sample_->setText(qt(p_.sampleText()));
        setItems(target_, p_.targetOptions());
        setCurrent(target_, p_.targetChoice());
        importName_->setChecked(p_.importName());
    }

private:
    ImportOptionsPresenter& p_;
    QLabel* sample_;
    QComboBox* target_;
    QCheckBox* importName_;
};

}  // namespace

void registerSettingsWindows(WindowRegistry& registry) {
    registry.add<EditPedigreePresenter, EditPedigreeWindow>();
    registry.add<AddPersonsPresenter, AddPersonsWindow>();
    registry.add<FullImagePresenter, FullImageWindow>();
    registry.add<OptionsPresenter, OptionsWindow>();
    registry.add<AdvancedSettingsPresenter, AdvancedSettingsWindow>();
    registry.add<MutationsPresenter, MutationsWindow>();
    registry.add<ConversionPresenter, ConversionWindow>();
    registry.add<ImportOptionsPresenter, ImportOptionsWindow>();
}

}  // namespace relatix
