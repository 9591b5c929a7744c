// The windows that hand a calculation's results on: "Save results" and the
// data view "View data (Beta)" with its plot of the ratio along the genome.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/save_results_presenter.h"
#include "dialogs/view_data_presenter.h"
#include "genome_ratio_plot.h"
#include "presenter_window.h"
#include "widget_binding.h"
#include "windows.h"

namespace relatix {
namespace {

class SaveResultsWindow : public PresenterWindow {
public:
    SaveResultsWindow(SaveResultsPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        options_ = comboBox(this, "options");
        setItems(options_, SaveResultsPresenter::options());
        layout->addWidget(options_);
        auto* buttons = new QDialogButtonBox(this);
        defaultButton(addButton(buttons, "Save", [this] { p_.save(); }));
        addButton(buttons, "Close", [this] { p_.close(); });
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });
        connect(options_, &QComboBox::activated, this,
                [this](int index) { run([this, index] { p_.selectOption(index); }); });
    }
    void refresh() override { setCurrent(options_, p_.option()); }

private:
    SaveResultsPresenter& p_;
    QComboBox* options_;
};

class ViewDataWindow : public PresenterWindow {
public:
    ViewDataWindow(ViewDataPresenter& presenter, UserInterface&, QWidget* parent)
        : PresenterWindow(presenter, parent), p_(presenter) {
        auto* layout = new QVBoxLayout(this);
        const MarkerFilterRow filters =
            markerFilterRow(this, p_.chromosomes(), "chromosome", "markerName");
        chromosome_ = filters.chromosome;
        name_ = filters.name;
        layout->addLayout(filters.layout);

        QStringList headings;
        for (const DataViewColumn& column : p_.table().columns) headings << qt(column.header);
        grid_ = rowTable(this, "grid", headings, false);
        grid_->setShowGrid(true);
        grid_->horizontalHeader()->setStretchLastSection(true);
        setMinimumTextSize(grid_, 90, 12);
        layout->addWidget(grid_, 2);

        if (p_.mode() == DataViewMode::MarkerRatios) {
            plot_ = new GenomeRatioPlot(this);
            plot_->setObjectName("plot");
            layout->addWidget(plot_, 1);
        }
        auto* buttons = new QDialogButtonBox(this);
        addButton(buttons, "Export", [this] { p_.exportData(); });
        if (plot_) {
            auto* save = buttons->addButton("Save plot", QDialogButtonBox::ActionRole);
            save->setAutoDefault(false);
            connect(save, &QPushButton::clicked, this,
                    [this] { plot_->saveWithDialog("Marker_LRs.png"); });
        }
        defaultButton(addButton(buttons, "Close", [this] { p_.close(); }));
        layout->addWidget(buttons);
        setCloseCommand([this] { p_.close(); });

        connect(chromosome_, &QComboBox::activated, this,
                [this](int index) { run([this, index] { p_.chooseChromosome(index); }); });
        connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
            run([this, text] { p_.setMarkerName(text.toStdString()); });
        });
    }
    void refresh() override {
        const auto& choices = p_.chromosomes();
        const auto found = std::find(choices.begin(), choices.end(), p_.filter().chromosome);
        setCurrent(chromosome_, static_cast<int>(found - choices.begin()));
        setText(name_, p_.filter().name);
        setCells(grid_, p_.table().rows);
        // The given widths are in dialog units (a quarter of an average character)
        // and are the least a column gets; a longer heading or cell widens it.
        const double unit = fontMetrics().averageCharWidth() / 4.0;
        const auto& columns = p_.table().columns;
        grid_->resizeColumnsToContents();
        for (int c = 0; c < static_cast<int>(columns.size()); ++c)
            grid_->setColumnWidth(
                c, std::max(static_cast<int>(columns[static_cast<size_t>(c)].width * unit),
                            grid_->columnWidth(c)));
        if (plot_) plot_->setRatios(p_.table().ratios);
    }

private:
    ViewDataPresenter& p_;
    QComboBox* chromosome_;
    QLineEdit* name_;
    QTableWidget* grid_;
    GenomeRatioPlot* plot_ = nullptr;
};

}  // namespace

void registerResultWindows(WindowRegistry& registry) {
    registry.add<SaveResultsPresenter, SaveResultsWindow>();
    registry.add<ViewDataPresenter, ViewDataWindow>();
}

}  // namespace relatix
