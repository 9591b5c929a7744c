// The windows of the closest-population tool: "Find closest population" and
// the DNA data view "View data (Beta)" it opens on the ancestry profiles.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/dna_data_view_presenter.h"
#include "dialogs/find_population_presenter.h"
#include "presenter_window.h"
#include "widget_binding.h"
#include "windows.h"

namespace relatix {
namespace {

// A table of one line per row that opens at a size for its columns.
QTableWidget* listTable(QWidget* parent, const char* name, const std::vector<std::string>& headings,
                        bool multiple, int widthInCharacters, int heightInLines) {
    QTableWidget* table = rowTable(parent, name, qtList(headings), multiple);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    setMinimumTextSize(table, widthInCharacters, heightInLines);
    return table;
}

class FindPopulationWindow : public PresenterWindow {
public:
    FindPopulationWindow(FindPopulationPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* lists = new QHBoxLayout;
        auto* profileGroup = new QGroupBox("Profiles", this);
        auto* profileLayout = new QVBoxLayout(profileGroup);
        profiles_ = listTable(profileGroup, "profiles", FindPopulationPresenter::profileHeadings(),
                              true, 60, 14);
        profileLayout->addWidget(profiles_);
        lists->addWidget(profileGroup, 1);
        auto* resultGroup = new QGroupBox("Likelihoods of the selected profile", this);
        auto* resultLayout = new QVBoxLayout(resultGroup);
        results_ = listTable(resultGroup, "results", FindPopulationPresenter::resultHeadings(),
                             false, 62, 14);
        results_->setSelectionMode(QAbstractItemView::NoSelection);
        resultLayout->addWidget(results_);
        lists->addWidget(resultGroup, 1);
        layout->addLayout(lists, 1);

        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Import", [this] { p_.importProfiles(); });
        addButton(buttons, "Remove", [this] { p_.removeProfiles(); });
        addButton(buttons, "View", [this] { p_.viewProfiles(); });
        addButton(buttons, "STRUCTURE", [this] { p_.exportStructure(); });
        addButton(buttons, "GenoGeographer", [this] { p_.exportGenoGeographer(); });
        addButton(buttons, "Text", [this] { p_.exportLikelihoods(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(profiles_, &QTableWidget::itemSelectionChanged, this, [this] {
            const std::vector<int> rows = selectedRows(profiles_);
            run([this, rows] { p_.setSelectedProfiles(rows); });
        });
    }

    void refresh() override {
        Cells profileCells;
        for (const ProfileRow& row : p_.profileRows())
            profileCells.push_back({row.name, row.markers, row.mostLikely});
        setCells(profiles_, profileCells);
        setSelectedRows(profiles_, p_.selectedProfiles());
        Cells resultCells;
        for (const PopulationResultRow& row : p_.resultRows())
            resultCells.push_back({row.population, row.logLikelihood, row.posterior});
        setCells(results_, resultCells);
    }

private:
    FindPopulationPresenter& p_;
    QTableWidget* profiles_;
    QTableWidget* results_;
};

class DnaDataViewWindow : public PresenterWindow {
public:
    DnaDataViewWindow(DnaDataViewPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        auto* filters = new QHBoxLayout;
        filters->addWidget(new QLabel("Chromosome", this));
        chromosome_ = comboBox(this, "chromosomeFilter");
        setItems(chromosome_, DnaDataViewPresenter::chromosomeOptions());
        filters->addWidget(chromosome_);
        filters->addSpacing(chromosome_->fontMetrics().averageCharWidth() * 2);
        filters->addWidget(new QLabel("Marker id/name:", this));
        markerName_ = lineEdit(this, "markerNameFilter");
        filters->addWidget(markerName_, 1);
        layout->addLayout(filters);

        QStringList headings;
        for (const DnaDataViewColumn& column : p_.columns()) headings << qt(column.heading);
        grid_ = new QTableWidget(0, static_cast<int>(headings.size()), this);
        grid_->setObjectName("grid");
        grid_->setHorizontalHeaderLabels(headings);
        grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid_->setShowGrid(true);
        grid_->setWordWrap(false);
        grid_->verticalHeader()->hide();
        setMinimumTextSize(grid_, 70, 20);
        layout->addWidget(grid_, 1);

        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Export", [this] { p_.exportGenotypes(); });
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(chromosome_, &QComboBox::activated, this,
                [this](int i) { run([this, i] { p_.setChromosomeFilter(i); }); });
        connect(markerName_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setMarkerNameFilter(text.toStdString()); });
        });
    }

    void refresh() override {
        setCurrent(chromosome_, p_.chromosomeFilter());
        setText(markerName_, p_.markerNameFilter());
        setCells(grid_, p_.rows());
        // The given widths (pixels of a font of about seven pixels per character)
        // are the least a column gets; a longer name or heading widens it.
        const int character = grid_->fontMetrics().averageCharWidth();
        grid_->resizeColumnsToContents();
        for (int c = 0; c < static_cast<int>(p_.columns().size()); ++c)
            grid_->setColumnWidth(
                c, std::max(grid_->columnWidth(c),
                            p_.columns()[static_cast<size_t>(c)].width * character / 7));
    }

private:
    DnaDataViewPresenter& p_;
    QComboBox* chromosome_;
    QLineEdit* markerName_;
    QTableWidget* grid_;
};

}  // namespace

void registerPopulationWindows(WindowRegistry& registry) {
    registry.add<FindPopulationPresenter, FindPopulationWindow>();
    registry.add<DnaDataViewPresenter, DnaDataViewWindow>();
}

}  // namespace relatix
