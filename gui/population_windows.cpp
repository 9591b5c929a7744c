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

}  // namespace

void registerPopulationWindows(WindowRegistry& registry) {
    registry.add<FindPopulationPresenter, FindPopulationWindow>();
}

}  // namespace relatix
