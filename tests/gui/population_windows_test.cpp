// The "Find closest population" window and the data view it opens, driven as a
// user would: selecting a profile shows its populations, GenoGeographer without
// a selection says so, View shows the profiles' genotypes. Both windows are
// saved as PNGs in the build's screenshots folder.
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "core/core.h"
#include "dialogs/find_population_presenter.h"
#include "qt_user_interface.h"
#include "support/typed_observation.h"
#include "window_script.h"
#include "windows.h"

using namespace relatix;
using namespace relatix::testing;

namespace {

// Three populations at four markers on two chromosomes, and two profiles.
Core populationCase() {
    Core core;
    core.markerMap.markers = {Marker("D3S1358", 3, 16.2), Marker("vWA", 12, 15.6),
                              Marker("D12S391", 12, 27.6), Marker("rs1490413", 1, 10)};
    const char* names[] = {"Danish", "Somali", "Greenlandic Inuit"};
    for (int k = 0; k < 3; ++k) {
        Population population;
        population.name = names[k];
        for (const Marker& mapMarker : core.markerMap.markers) {
            Marker marker(mapMarker.name, 1, 0);
            for (int a = 0; a < 4; ++a)
                marker.alleles.push_back({std::to_string(14 + a), a == k ? 0.55 : 0.15});
            population.markers.push_back(marker);
        }
        core.populations.push_back(population);
    }
    Person first("Sample 2019-114");
    first.dna = {typedObservation("D3S1358", "15", "15"), typedObservation("vWA", "15", "16"),
                 typedObservation("D12S391", "15", "15")};
    Person second("Sample 2019-115");
    second.dna = {typedObservation("D3S1358", "14", "16"), typedObservation("vWA", "14", "14")};
    core.ancestryPersons = {first, second};
    return core;
}

}  // namespace

class PopulationWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui_ = std::make_unique<QtUserInterface>();
        registerPopulationWindows(ui_->windows());
        registerResultWindows(ui_->windows());
    }
    void cleanup() { ui_.reset(); }

    void findClosestPopulationAndViewTheProfiles() {
        Core core = populationCase();
        FindPopulationPresenter presenter(core, *ui_);
        SeenMessage refusal;
        ModalScript script;
        script
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Find closest population"));
                auto* profiles = child<QTableWidget>(w, "profiles");
                QCOMPARE(profiles->rowCount(), 2);
                QVERIFY(profiles->item(0, 2)->text().startsWith("Somali ("));
                QVERIFY(profiles->item(1, 2)->text().startsWith("Danish ("));
                for (const char* button :
                     {"Import", "Remove", "View", "STRUCTURE", "GenoGeographer", "Text", "Close"})
                    QVERIFY2(buttonNamed(w, button), button);
                clickLater(w, "GenoGeographer");
            })
            .then(answer(refusal))
            .then([&](QWidget* w) {
                child<QTableWidget>(w, "profiles")->selectRow(0);
                QCOMPARE(presenter.selectedProfiles(), std::vector<int>{0});
                auto* results = child<QTableWidget>(w, "results");
                QCOMPARE(results->rowCount(), 3);
                QCOMPARE(results->item(0, 0)->text(), QString("Somali"));
                QCOMPARE(results->item(0, 1)->text(),
                         QString::fromStdString(presenter.resultRows()[0].logLikelihood));
                screenshot(w, "find_closest_population");
                clickLater(w, "View");
            })
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("View data (Beta)"));
                auto* grid = child<QTableWidget>(w, "grid");
                QCOMPARE(grid->columnCount(), 4);
                QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("1. Sample 2019-114"));
                QCOMPARE(grid->rowCount(), 5);
                QCOMPARE(grid->item(2, 3)->text(), QString("14, 14"));
                screenshot(w, "view_data_profiles");
                choose(w, "chromosome", 12);
                QCOMPARE(grid->rowCount(), 3);
                type(w, "markerName", "vwa");
                QCOMPARE(grid->rowCount(), 2);
                click(w, "Close");
            })
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Find closest population"));
                click(w, "Close");
            });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
        QCOMPARE(refusal.text, QString("Select profiles to export"));
    }

private:
    std::unique_ptr<QtUserInterface> ui_;
};

QTEST_MAIN(PopulationWindowsTest)
#include "population_windows_test.moc"
