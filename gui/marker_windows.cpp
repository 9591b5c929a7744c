// The windows of the frequency database dialogs: the marker list "Edit markers",
// one marker's alleles in "Edit allele system", the population list
// "Populations", the question for an unknown allele "New allele!" and the choice
// of systems to import "Select systems".
#include "marker_windows.h"

#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/edit_allele_system_presenter.h"
#include "dialogs/edit_markers_presenter.h"
#include "dialogs/new_allele_presenter.h"
#include "dialogs/populations_presenter.h"
#include "dialogs/select_systems_presenter.h"
#include "presenter_window.h"
#include "widget_binding.h"

namespace relatix {
namespace {

// The marker tables keep each row on one line and open at a size for their
// columns.
QTableWidget* markerTable(QWidget* parent, const char* name,
                          const std::vector<std::string>& headings, bool multiple,
                          int widthInCharacters, int heightInLines) {
    QTableWidget* table = rowTable(parent, name, qtList(headings), multiple);
    table->setWordWrap(false);
    setMinimumTextSize(table, widthInCharacters, heightInLines);
    return table;
}

QBrush brushOf(const Rgb& rgb, MarkerRowColour colour) {
    if (colour == MarkerRowColour::Default) return QBrush();
    return QBrush(QColor(rgb.red, rgb.green, rgb.blue));
}

class EditMarkersWindow : public PresenterWindow {
public:
    EditMarkersWindow(EditMarkersPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QHBoxLayout(this);
        auto* left = new QVBoxLayout;
        const MarkerFilterRow filters =
            markerFilterRow(this, EditMarkersPresenter::chromosomeFilterOptions(),
                            "chromosomeFilter", "markerNameFilter");
        chromosome_ = filters.chromosome;
        nameFilter_ = filters.name;
        left->addLayout(filters.layout);
        table_ = markerTable(this, "markers", EditMarkersPresenter::columnHeadings(), true, 90, 24);
        table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table_->horizontalHeader()->setStretchLastSection(true);
        left->addWidget(table_, 1);
        auto* form = new QFormLayout;
        population_ = comboBox(this, "population");
        population_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        form->addRow("Population", population_);
        populationName_ = lineEdit(this, "populationName");
        form->addRow("Population name", populationName_);
        theta_ = lineEdit(this, "theta");
        form->addRow("Theta/Fst", theta_);
        left->addLayout(form);
        // Why a typed theta is refused or doubted, told while it is typed.
        thetaNote_ = new QLabel(this);
        thetaNote_->setObjectName("thetaNote");
        thetaNote_->setWordWrap(true);
        thetaNote_->hide();
        left->addWidget(thetaNote_);
        layout->addLayout(left, 1);

        auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
        addButton(buttons, "Add", [this] { p_.add(); });
        addButton(buttons, "Edit", [this] { p_.edit(); });
        addButton(buttons, "Remove", [this] { p_.remove(); });
        addButton(buttons, "Import", [this] { p_.importDatabases(); });
        addButton(buttons, "Export", [this] { p_.exportDatabases(); });
        addButton(buttons, "Options", [this] { p_.options(); });
        addButton(buttons, "Mutations", [this] { p_.mutations(); });
        addButton(buttons, "Flip scan", [this] { p_.flipScan(); });
        addButton(buttons, "Populations", [this] { p_.populations(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(chromosome_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.setChromosomeFilter(i); }); });
        connect(nameFilter_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setMarkerNameFilter(text.toStdString()); });
        });
        connect(population_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.selectPopulation(i); }); });
        connect(populationName_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setPopulationName(text.toStdString()); });
        });
        connect(theta_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setThetaText(text.toStdString()); });
        });
        connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
            const std::vector<int> rows = selectedRows(table_);
            run([this, rows] { p_.setSelectedRows(rows); });
        });
        connect(table_, &QTableWidget::cellDoubleClicked, this,
                [this](int row, int) { run([this, row] { p_.activateRow(row); }); });
    }

    void refresh() override {
        setCurrent(chromosome_, p_.chromosomeFilter());
        setText(nameFilter_, p_.markerNameFilter());
        setItems(population_, p_.populationOptions());
        setCurrent(population_, p_.populationSelection());
        setText(populationName_, p_.populationName());
        setText(theta_, p_.thetaText());
        thetaNote_->setText(qt(p_.thetaNote()));
        thetaNote_->setVisible(!p_.thetaNote().empty());

        const std::vector<MarkerRow>& rows = p_.rows();
        Cells cells;
        cells.reserve(rows.size());
        for (const MarkerRow& row : rows)
            cells.push_back(
                {row.marker, row.chromosome, row.position, row.alleleCount, row.alleles});
        setCells(table_, cells);
        const QSignalBlocker blocker(table_);
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            const MarkerRowColour colour = rows[static_cast<size_t>(r)].colour;
            const QBrush brush = brushOf(EditMarkersPresenter::rgbOf(colour), colour);
            for (int c = 0; c < table_->columnCount(); ++c)
                if (QTableWidgetItem* item = table_->item(r, c);
                    item && item->foreground() != brush)
                    item->setForeground(brush);
        }
        setSelectedRows(table_, p_.selectedRows());
    }

private:
    EditMarkersPresenter& p_;
    QComboBox* chromosome_;
    QLineEdit* nameFilter_;
    QTableWidget* table_;
    QComboBox* population_;
    QLineEdit* populationName_;
    QLineEdit* theta_;
    QLabel* thetaNote_;
};

class EditAlleleSystemWindow : public PresenterWindow {
public:
    EditAlleleSystemWindow(EditAlleleSystemPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* form = new QFormLayout;
        systemName_ = lineEdit(this, "systemName");
        form->addRow("System name", systemName_);
        position_ = lineEdit(this, "geneticPosition");
        form->addRow("Genetic position", position_);
        chromosome_ = comboBox(this, "chromosome");
        setItems(chromosome_, EditAlleleSystemPresenter::chromosomeOptions());
        form->addRow("Chromosome", chromosome_);
        layout->addLayout(form);
        table_ = markerTable(this, "alleles", EditAlleleSystemPresenter::columnHeadings(), false,
                             36, 14);
        layout->addWidget(table_, 1);

        auto* group = new QGroupBox("Add allele", this);
        auto* groupLayout = new QHBoxLayout(group);
        auto* groupForm = new QFormLayout;
        newName_ = lineEdit(group, "newAlleleName");
        groupForm->addRow("Name", newName_);
        newFrequency_ = lineEdit(group, "newAlleleFrequency");
        groupForm->addRow("Frequency", newFrequency_);
        groupLayout->addLayout(groupForm, 1);
        auto* addBox = new QDialogButtonBox(Qt::Vertical, group);
        defaultButton(addButton(addBox, "Add", [this] { p_.add(); }));
        groupLayout->addWidget(addBox);
        layout->addWidget(group);

        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Edit", [this] { p_.edit(); });
        addButton(buttons, "Remove", [this] { p_.remove(); });
        addButton(buttons, "Mutations", [this] { p_.mutations(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        // The window frame's close box leaves name and position as they were.
        setCloseCommand([this] { p_.dismiss(); });

        connect(systemName_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setSystemName(text.toStdString()); });
        });
        connect(position_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setGeneticPosition(text.toStdString()); });
        });
        connect(chromosome_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.selectChromosome(i); }); });
        connect(newName_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setNewAlleleName(text.toStdString()); });
        });
        connect(newFrequency_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setNewAlleleFrequency(text.toStdString()); });
        });
        connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
            const int row = selectedRow(table_);
            run([this, row] { p_.selectAllele(row); });
        });
        connect(table_, &QTableWidget::cellDoubleClicked, this,
                [this](int row, int) { run([this, row] { p_.activateAllele(row); }); });
    }

    void refresh() override {
        setText(systemName_, p_.systemName());
        setText(position_, p_.geneticPosition());
        setCurrent(chromosome_, p_.chromosomeSelection());
        Cells cells;
        for (const AlleleRow& row : p_.alleleRows()) cells.push_back({row.name, row.frequency});
        setCells(table_, cells);
        setSelectedRow(table_, p_.selectedAllele());
        setText(newName_, p_.newAlleleName());
        setText(newFrequency_, p_.newAlleleFrequency());
    }

private:
    EditAlleleSystemPresenter& p_;
    QLineEdit* systemName_;
    QLineEdit* position_;
    QComboBox* chromosome_;
    QTableWidget* table_;
    QLineEdit* newName_;
    QLineEdit* newFrequency_;
};

class PopulationsWindow : public PresenterWindow {
public:
    PopulationsWindow(PopulationsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QHBoxLayout(this);
        table_ =
            markerTable(this, "populations", PopulationsPresenter::columnHeadings(), true, 40, 14);
        layout->addWidget(table_, 1);
        auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
        addButton(buttons, "Import", [this] { p_.importPopulations(); });
        addButton(buttons, "Export", [this] { p_.exportPopulations(); });
        addButton(buttons, "Remove", [this] { p_.remove(); });
        addButton(buttons, "Merge", [this] { p_.merge(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
            const std::vector<int> rows = selectedRows(table_);
            run([this, rows] { p_.setSelectedRows(rows); });
        });
    }

    void refresh() override {
        Cells cells;
        for (const PopulationRow& row : p_.rows()) cells.push_back({row.population, row.markers});
        setCells(table_, cells);
        setSelectedRows(table_, p_.selectedRows());
    }

private:
    PopulationsPresenter& p_;
    QTableWidget* table_;
};

class NewAlleleWindow : public PresenterWindow {
public:
    NewAlleleWindow(NewAllelePresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* info = new QGroupBox("Allele info", this);
        auto* infoLayout = new QVBoxLayout(info);
        system_ = new QLabel(info);
        system_->setObjectName("system");
        infoLayout->addWidget(system_);
        allele_ = new QLabel(info);
        allele_->setObjectName("allele");
        infoLayout->addWidget(allele_);
        layout->addWidget(info);
        auto* form = new QFormLayout;
        frequency_ = lineEdit(this, "frequency");
        form->addRow("Frequency", frequency_);
        model_ = comboBox(this, "model");
        setItems(model_, NewAllelePresenter::modelOptions());
        form->addRow("Model", model_);
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Add", [this] { p_.add(); }));
        addButton(buttons, "Cancel", [this] { p_.cancel(); });
        layout->addWidget(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        setCloseCommand([this] { p_.cancel(); });

        connect(frequency_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setFrequency(text.toStdString()); });
        });
        connect(model_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.selectModel(i); }); });
    }

    void refresh() override {
        system_->setText(qt(p_.systemText()));
        allele_->setText(qt(p_.alleleText()));
        setText(frequency_, p_.frequency());
        setCurrent(model_, p_.modelSelection());
    }

private:
    NewAllelePresenter& p_;
    QLabel* system_;
    QLabel* allele_;
    QLineEdit* frequency_;
    QComboBox* model_;
};

class SelectSystemsWindow : public PresenterWindow {
public:
    SelectSystemsWindow(SelectSystemsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        table_ =
            markerTable(this, "systems", SelectSystemsPresenter::columnHeadings(), true, 40, 14);
        layout->addWidget(table_, 1);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Import", [this] { p_.import(); }));
        addButton(buttons, "Cancel", [this] { p_.cancel(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.cancel(); });
        connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
            const std::vector<int> rows = selectedRows(table_);
            run([this, rows] { p_.setSelectedRows(rows); });
        });
    }

    void refresh() override {
        setCells(table_, p_.rows());
        setSelectedRows(table_, p_.selectedRows());
    }

private:
    SelectSystemsPresenter& p_;
    QTableWidget* table_;
};

}  // namespace

void registerMarkerWindows(WindowRegistry& registry) {
    registry.add<EditMarkersPresenter, EditMarkersWindow>();
    registry.add<EditAlleleSystemPresenter, EditAlleleSystemWindow>();
    registry.add<PopulationsPresenter, PopulationsWindow>();
    registry.add<NewAllelePresenter, NewAlleleWindow>();
    registry.add<SelectSystemsPresenter, SelectSystemsWindow>();
}

}  // namespace relatix
