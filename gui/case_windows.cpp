// The windows of the case wizard and of the results: hypothesis selection,
// "Add DNA data", "Results", "Set prior", "Simulate data", the simulation
// results and "Analyze Merlin files".
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/add_dna_data_presenter.h"
#include "dialogs/merlin_analysis_presenter.h"
#include "dialogs/results_presenter.h"
#include "dialogs/select_alternative_hypotheses_presenter.h"
#include "dialogs/select_basic_hypothesis_presenter.h"
#include "dialogs/set_prior_presenter.h"
#include "dialogs/simulate_data_presenter.h"
#include "dialogs/simulation_results_presenter.h"
#include "exceedance_plot.h"
#include "presenter_window.h"
#include "widget_binding.h"
#include "windows.h"

namespace relatix {
namespace {

// A list of relationships, each with its picture beside its name.
QListWidget* hypothesisList(QWidget* parent, bool multiple) {
    auto* list = new QListWidget(parent);
    list->setObjectName("hypotheses");
    const int height = list->fontMetrics().height();
    list->setIconSize(QSize(height * 7, height * 5));
    list->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                    : QAbstractItemView::SingleSelection);
    list->setMinimumSize(height * 30, height * 20);
    list->setWordWrap(true);
    return list;
}

void fillHypothesisList(QListWidget* list, const std::vector<HypothesisRow>& rows) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const HypothesisRow& row : rows) {
        auto* item = new QListWidgetItem(qt(row.name), list);
        if (!row.picturePath.empty()) item->setIcon(QIcon(qt(row.picturePath)));
    }
}

// What the two hypothesis windows share: the list of relationships, a row of
// which a double click activates, over a row of the wizard's buttons.
template <class P>
class HypothesisWindow : public PresenterWindow {
protected:
    HypothesisWindow(P& presenter, QWidget* parent, bool multiple)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        list_ = hypothesisList(this, multiple);
        layout->addWidget(list_);
        connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
            const int row = list_->row(item);
            run([this, row] { p_.activateRow(row); });
        });
        buttons_ = new QDialogButtonBox(this);
        layout->addWidget(buttons_);
        setCloseCommand([this] { p_.close(); });
    }

    void addPedigreeButtons() {
        addButton(buttons_, "Display full image", [this] { p_.displayFullImage(); });
        addButton(buttons_, "Create/Edit pedigree", [this] { p_.createEditPedigree(); });
    }
    void addNextAndClose() {
        defaultButton(addButton(buttons_, "Next ->", [this] { p_.next(); }));
        addButton(buttons_, "Close", [this] { p_.close(); });
    }

    // Refills the list when the number of relationships changed.
    void fillList() {
        if (list_->count() != static_cast<int>(p_.rows().size()))
            fillHypothesisList(list_, p_.rows());
    }

    P& p_;
    QListWidget* list_;
    QDialogButtonBox* buttons_;
};

class SelectBasicWindow : public HypothesisWindow<SelectBasicHypothesisPresenter> {
public:
    SelectBasicWindow(SelectBasicHypothesisPresenter& presenter, UserInterface&, QWidget* parent)
        : HypothesisWindow(presenter, parent, false) {
        connect(list_, &QListWidget::currentRowChanged, this,
                [this](int row) { run([this, row] { p_.selectRow(row); }); });
        addButton(buttons_, "Import ped file", [this] { p_.importPedFile(); });
        addPedigreeButtons();
        addNextAndClose();
    }
    void refresh() override {
        fillList();
        const QSignalBlocker blocker(list_);
        list_->setCurrentRow(p_.selectedRow());
    }
};

class SelectAlternativesWindow : public HypothesisWindow<SelectAlternativeHypothesesPresenter> {
public:
    SelectAlternativesWindow(SelectAlternativeHypothesesPresenter& presenter, UserInterface&,
                             QWidget* parent)
        : HypothesisWindow(presenter, parent, true) {
        connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
            std::vector<int> rows;
            for (int i = 0; i < list_->count(); ++i)
                if (list_->item(i)->isSelected()) rows.push_back(i);
            run([this, rows] { p_.setSelectedRows(rows); });
        });
        addPedigreeButtons();
        addButton(buttons_, "<- Prev", [this] { p_.previous(); });
        addNextAndClose();
    }
    void refresh() override {
        fillList();
        const QSignalBlocker blocker(list_);
        for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(false);
        for (int row : p_.selectedRows())
            if (row >= 0 && row < list_->count()) list_->item(row)->setSelected(true);
    }
};

class AddDnaDataWindow : public PresenterWindow {
public:
    AddDnaDataWindow(AddDnaDataPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        hypothesis_ = new QLabel(this);
        layout->addWidget(hypothesis_);
        auto* middle = new QHBoxLayout;
        auto* group = new QGroupBox("Edit DNA data", this);
        auto* form = new QFormLayout(group);
        person_ = comboBox(group, "person");
        form->addRow("Person", person_);
        name_ = lineEdit(group, "name");
        form->addRow("Name", name_);
        auto* sexes = new QHBoxLayout;
        male_ = new QRadioButton("Male", group);
        female_ = new QRadioButton("Female", group);
        sexes->addWidget(male_);
        sexes->addWidget(female_);
        form->addRow("Gender", sexes);
        marker_ = comboBox(group, "marker");
        form->addRow("Marker", marker_);
        auto* alleles = new QHBoxLayout;
        for (int slot = 0; slot < 2; ++slot) {
            allele_[slot] = comboBox(group, QString("allele%1").arg(slot + 1));
            allele_[slot]->setEditable(true);
            allele_[slot]->setInsertPolicy(QComboBox::NoInsert);
            alleles->addWidget(allele_[slot]);
        }
        form->addRow("Alleles", alleles);
        middle->addWidget(group);
        genotypes_ = rowTable(this, "genotypes", {"Marker", "Chr", "Genotype"}, true);
        // The typed genotypes stay readable beside the picture: the table is at
        // least wide enough for its three columns, the picture at most so wide.
        const int character = fontMetrics().averageCharWidth();
        genotypes_->setMinimumWidth(character * 38);
        genotypes_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        middle->addWidget(genotypes_, 2);
        picture_ = new QLabel(this);
        picture_->setObjectName("picture");
        picture_->setAlignment(Qt::AlignCenter);
        picture_->setMaximumWidth(character * 40);
        middle->addWidget(picture_, 1);
        layout->addLayout(middle, 1);

        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Import data", [this] { p_.importData(); });
        addButton(buttons, "Compare", [this] { p_.compare(); });
        addButton(buttons, "<- Prev", [this] { p_.previous(); });
        defaultButton(addButton(buttons, "Next ->", [this] { p_.next(); }));
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(person_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.choosePerson(i); }); });
        connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setNameText(text.toStdString()); });
        });
        connect(male_, &QRadioButton::clicked, this, [this] { run([this] { p_.setMale(true); }); });
        connect(female_, &QRadioButton::clicked, this,
                [this] { run([this] { p_.setMale(false); }); });
        connect(marker_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseMarker(i); }); });
        for (int slot = 0; slot < 2; ++slot) {
            connect(allele_[slot], &QComboBox::activated, this, [this, slot](int i) {
                run([this, slot, i] { p_.chooseAllele(slot + 1, i); });
            });
            connect(allele_[slot]->lineEdit(), &QLineEdit::textEdited, this,
                    [this, slot](const QString& text) {
                        run([this, slot, text] { p_.typeAllele(slot + 1, text.toStdString()); });
                    });
        }
        connect(genotypes_, &QTableWidget::cellDoubleClicked, this,
                [this](int row, int) { run([this, row] { p_.activateGenotypeRow(row); }); });
    }
    void refresh() override {
        hypothesis_->setText(qt(p_.hypothesisLabel()));
        setItems(person_, p_.personOptions());
        setCurrent(person_, p_.personChoice());
        setText(name_, p_.nameText());
        male_->setChecked(p_.male());
        female_->setChecked(!p_.male());
        setItems(marker_, p_.markerOptions());
        setCurrent(marker_, p_.markerChoice());
        for (int slot = 0; slot < 2; ++slot) {
            setItems(allele_[slot], p_.alleleOptions());
            const QString text = qt(p_.alleleText(slot + 1));
            if (allele_[slot]->currentText() != text) {
                const QSignalBlocker blocker(allele_[slot]);
                const int index = allele_[slot]->findText(text);
                if (index >= 0) allele_[slot]->setCurrentIndex(index);
                allele_[slot]->setEditText(text);
            }
        }
        const bool enabled = p_.fieldsEnabled();
        for (QWidget* w : {static_cast<QWidget*>(name_), static_cast<QWidget*>(marker_),
                           static_cast<QWidget*>(allele_[0]), static_cast<QWidget*>(allele_[1])})
            w->setEnabled(enabled);
        Cells cells;
        for (const GenotypeRow& row : p_.genotypeRows())
            cells.push_back({row.marker, row.chromosome, row.genotype});
        setCells(genotypes_, cells);
        const std::string picture = p_.picturePath();
        if (picture != shownPicture_) {
            shownPicture_ = picture;
            QPixmap pixmap(picture.empty() ? QString() : qt(picture));
            if (!pixmap.isNull() && pixmap.width() > picture_->maximumWidth())
                pixmap = pixmap.scaledToWidth(picture_->maximumWidth(), Qt::SmoothTransformation);
            picture_->setPixmap(pixmap);
        }
    }

private:
    AddDnaDataPresenter& p_;
    QLabel* hypothesis_;
    QComboBox* person_;
    QLineEdit* name_;
    QRadioButton* male_;
    QRadioButton* female_;
    QComboBox* marker_;
    QComboBox* allele_[2];
    QTableWidget* genotypes_;
    QLabel* picture_;
    std::string shownPicture_ = "-";
};

class ResultsWindow : public PresenterWindow {
public:
    ResultsWindow(ResultsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QHBoxLayout(this);
        auto* left = new QVBoxLayout;
        list_ = new QListWidget(this);
        list_->setObjectName("rows");
        setMinimumTextSize(list_, 50, 20);
        list_->setWordWrap(true);
        list_->setAlternatingRowColors(true);
        left->addWidget(list_, 1);
        // The markers the calculation left out, so that no marker is lost unseen.
        unused_ = new QLabel(this);
        unused_->setObjectName("unusedMarkers");
        unused_->setWordWrap(true);
        unused_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        unused_->hide();
        left->addWidget(unused_);
        layout->addLayout(left, 1);
        connect(list_, &QListWidget::currentRowChanged, this,
                [this](int row) { run([this, row] { p_.selectRow(row + 1); }); });
        auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
        defaultButton(addButton(buttons, "Calculate", [this] { p_.calculate(); }));
        addButton(buttons, "Simulate", [this] { p_.simulate(); });
        addButton(buttons, "LR/Posterior", [this] { p_.toggleRatiosAndPosteriors(); });
        addButton(buttons, "Set prior", [this] { p_.setPrior(); });
        addButton(buttons, "Scale", [this] { p_.scale(); });
        addButton(buttons, "View results", [this] { p_.viewResults(); });
        addButton(buttons, "Save results", [this] { p_.saveResults(); });
        addButton(buttons, "<- Prev", [this] { p_.previous(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
    }
    void refresh() override {
        const QSignalBlocker blocker(list_);
        const auto& rows = p_.rows();
        if (list_->count() != static_cast<int>(rows.size())) {
            list_->clear();
            for (size_t i = 0; i < rows.size(); ++i) list_->addItem(QString());
        }
        for (int i = 0; i < list_->count(); ++i)
            list_->item(i)->setText(qt(rows[static_cast<size_t>(i)]));
        list_->setCurrentRow(p_.selectedRow() - 1);
        const std::string& unused = p_.unusedMarkersText();
        unused_->setVisible(!unused.empty());
        unused_->setText(unused.empty() ? QString() : "Markers not used:\n" + qt(unused).trimmed());
    }

private:
    ResultsPresenter& p_;
    QListWidget* list_;
    QLabel* unused_;
};

class SetPriorWindow : public PresenterWindow {
public:
    SetPriorWindow(SetPriorPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* form = new QFormLayout;
        hypothesis_ = comboBox(this, "hypothesis");
        form->addRow("Hypothesis", hypothesis_);
        prior_ = lineEdit(this, "prior");
        form->addRow("Prior", prior_);
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Set", [this] { p_.set(); }));
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        connect(hypothesis_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseHypothesis(i); }); });
        connect(prior_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setPriorText(text.toStdString()); });
        });
    }
    void refresh() override {
        setItems(hypothesis_, p_.hypothesisOptions());
        setCurrent(hypothesis_, p_.hypothesisChoice());
        setText(prior_, p_.priorText());
    }

private:
    SetPriorPresenter& p_;
    QComboBox* hypothesis_;
    QLineEdit* prior_;
};

class SimulateDataWindow : public PresenterWindow {
public:
    SimulateDataWindow(SimulateDataPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* form = new QFormLayout;
        count_ = lineEdit(this, "numberOfSimulations");
        form->addRow("Number of simulations", count_);
        layout->addLayout(form);
        auto* options = new QGroupBox("Options", this);
        auto* optionsLayout = new QFormLayout(options);
        random_ = new QCheckBox("Random seed", options);
        random_->setObjectName("randomSeed");
        optionsLayout->addRow(random_);
        seed_ = lineEdit(options, "seed");
        optionsLayout->addRow("Seed", seed_);
        raw_ = new QCheckBox("Save raw data", options);
        raw_->setObjectName("saveRawData");
        optionsLayout->addRow(raw_);
        layout->addWidget(options);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Simulate", [this] { p_.simulate(); }));
        addButton(buttons, "Results", [this] { p_.results(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        connect(count_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.numberOfSimulations = text.toStdString(); });
        });
        connect(seed_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.seed = text.toStdString(); });
        });
        connect(random_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.randomSeed = on; }); });
        connect(raw_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.saveRawData = on; }); });
    }
    void refresh() override {
        setText(count_, p_.numberOfSimulations);
        setText(seed_, p_.seed);
        seed_->setEnabled(p_.seedEditable());
        random_->setChecked(p_.randomSeed);
        raw_->setChecked(p_.saveRawData);
    }

private:
    SimulateDataPresenter& p_;
    QLineEdit* count_;
    QCheckBox* random_;
    QLineEdit* seed_;
    QCheckBox* raw_;
};

class SimulationResultsWindow : public PresenterWindow {
public:
    SimulationResultsWindow(SimulationResultsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        const QStringList headings = qtList(SimulationResultsPresenter::columns());
        table_ = new QTableWidget(0, static_cast<int>(headings.size()), this);
        table_->setObjectName("statistics");
        table_->setHorizontalHeaderLabels(headings);
        table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table_->verticalHeader()->hide();
        table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table_->horizontalHeader()->setStretchLastSection(true);
        layout->addWidget(table_);
        auto* choices = new QFormLayout;
        method_ = comboBox(this, "method");
        setItems(method_, p_.methodOptions());
        choices->addRow("Method", method_);
        scale_ = comboBox(this, "scale");
        choices->addRow("Scaled versus", scale_);
        layout->addLayout(choices);
        plot_ = new ExceedancePlot(this);
        plot_->setObjectName("plot");
        layout->addWidget(plot_, 1);
        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Save LR", [this] { p_.saveRatios(); });
        addButton(buttons, "Exceedance", [this] { p_.exceedance(); });
        addButton(buttons, "Save plot...", [this] { plot_->saveWithDialog("Simulation_LRs.png"); });
        defaultButton(addButton(buttons, "Close", [this] { p_.close(); }));
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        connect(method_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseMethod(i); }); });
        connect(scale_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.chooseScale(i); }); });
    }
    void refresh() override {
        setCells(table_, p_.rows());
        setCurrent(method_, p_.method());
        setItems(scale_, p_.scaleOptions());
        setCurrent(scale_, p_.scale());
        plot_->setCurves(exceedanceCurves(p_));
    }

private:
    SimulationResultsPresenter& p_;
    QTableWidget* table_;
    QComboBox* method_;
    QComboBox* scale_;
    ExceedancePlot* plot_;
};

class MerlinAnalysisWindow : public PresenterWindow {
public:
    MerlinAnalysisWindow(MerlinAnalysisPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* filesBox = new QGroupBox("Files", this);
        auto* filesLayout = new QGridLayout(filesBox);
        const struct {
            const char* button;
            const char* name;
            void (MerlinAnalysisPresenter::*choose)();
        } rows[] = {
            {"Ped file...", "pedigreeFile", &MerlinAnalysisPresenter::choosePedigreeFile},
            {"Dat file...", "dataFile", &MerlinAnalysisPresenter::chooseDataFile},
            {"Freq file...", "frequencyFile", &MerlinAnalysisPresenter::chooseFrequencyFile},
            {"Map file...", "mapFile", &MerlinAnalysisPresenter::chooseMapFile},
            {"Map2 file...", "secondMapFile", &MerlinAnalysisPresenter::chooseSecondMapFile},
            {"Out file...", "outputFile", &MerlinAnalysisPresenter::chooseOutputFile}};
        for (int i = 0; i < 6; ++i) {
            auto* button = new QPushButton(rows[i].button, filesBox);
            const auto choose = rows[i].choose;
            connect(button, &QPushButton::clicked, this,
                    [this, choose] { run([this, choose] { (p_.*choose)(); }); });
            auto* field = new QLabel(filesBox);
            field->setObjectName(rows[i].name);
            field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 50);
            fields_[i] = field;
            // The output file sits apart below its own caption: it is written, not read.
            const int row = i < 5 ? i : i + 1;
            filesLayout->addWidget(button, row, 0);
            filesLayout->addWidget(field, row, 1);
        }
        auto* outputCaption = new QLabel("Out file", filesBox);
        outputCaption->setContentsMargins(0, outputCaption->fontMetrics().height() / 2, 0, 0);
        filesLayout->addWidget(outputCaption, 5, 0, 1, 2);
        layout->addWidget(filesBox);
        auto* simulation = new QGroupBox("Simulation", this);
        auto* simulationLayout = new QFormLayout(simulation);
        count_ = lineEdit(simulation, "numberOfSimulations");
        simulationLayout->addRow("nSimulations", count_);
        random_ = new QCheckBox("Random seed", simulation);
        random_->setObjectName("randomSeed");
        simulationLayout->addRow(random_);
        seed_ = lineEdit(simulation, "seed");
        simulationLayout->addRow("Seed", seed_);
        layout->addWidget(simulation);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Simulate", [this] { p_.simulate(); }));
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        connect(count_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.numberOfSimulations = text.toStdString(); });
        });
        connect(seed_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.seed = text.toStdString(); });
        });
        connect(random_, &QCheckBox::clicked, this,
                [this](bool on) { run([this, on] { p_.randomSeed = on; }); });
    }
    void refresh() override {
        const MerlinFiles& f = p_.files;
        const std::string* texts[] = {&f.pedigreeFile, &f.dataFile,      &f.frequencyFile,
                                      &f.mapFile,      &f.secondMapFile, &f.outputFile};
        for (int i = 0; i < 6; ++i) fields_[i]->setText(qt(*texts[i]));
        setText(count_, p_.numberOfSimulations);
        setText(seed_, p_.seed);
        seed_->setEnabled(p_.seedEditable());
        random_->setChecked(p_.randomSeed);
    }

private:
    MerlinAnalysisPresenter& p_;
    QLabel* fields_[6] = {};
    QLineEdit* count_;
    QCheckBox* random_;
    QLineEdit* seed_;
};

}  // namespace

void registerCaseWindows(WindowRegistry& registry) {
    registry.add<SelectBasicHypothesisPresenter, SelectBasicWindow>();
    registry.add<SelectAlternativeHypothesesPresenter, SelectAlternativesWindow>();
    registry.add<AddDnaDataPresenter, AddDnaDataWindow>();
    registry.add<ResultsPresenter, ResultsWindow>();
    registry.add<SetPriorPresenter, SetPriorWindow>();
    registry.add<SimulateDataPresenter, SimulateDataWindow>();
    registry.add<SimulationResultsPresenter, SimulationResultsWindow>();
    registry.add<MerlinAnalysisPresenter, MerlinAnalysisWindow>();
}

}  // namespace relatix
