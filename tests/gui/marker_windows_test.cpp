// The frequency database windows driven as a user would: each one shows its
// presenter's rows, forwards selections, typing and buttons, and shows the
// message boxes its commands raise. Every window is saved as a PNG in the
// build's screenshots folder.
#include "marker_windows.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QtTest>

#include "core/core.h"
#include "dialogs/edit_allele_system_presenter.h"
#include "dialogs/edit_markers_presenter.h"
#include "dialogs/new_allele_presenter.h"
#include "dialogs/populations_presenter.h"
#include "dialogs/select_systems_presenter.h"
#include "qt_user_interface.h"
#include "widget_binding.h"
#include "window_script.h"

using namespace relatix;
using namespace relatix::testing;

namespace {

Marker withAlleles(Marker marker, const std::vector<std::pair<std::string, double>>& alleles) {
    for (const auto& [name, frequency] : alleles) marker.alleles.push_back({name, frequency});
    return marker;
}

// Map D2 (chr 2), D1 (chr 1), DX (chr 23), unsorted. Population A holds D1 and
// DX, population B holds DX.
Core markerCase() {
    Core core;
    core.markerMap.markers = {Marker("D2", 2, 5.0), Marker("D1", 1, 7.25), Marker("DX", 23, 1.0)};
    Population a;
    a.name = "A";
    a.markers = {withAlleles(Marker("D1", 1, 7.25), {{"9", 0.5}, {"10", 0.5}}),
                 withAlleles(Marker("DX", 23, 1.0), {{"A", 0.5}, {"G", 0.5}})};
    Population b;
    b.name = "B";
    b.markers = {withAlleles(Marker("DX", 23, 1.0), {{"C", 0.5}, {"T", 0.5}})};
    core.populations = {a, b};
    return core;
}

}  // namespace

class MarkerWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { registerMarkerWindows(ui_.windows()); }

    void editMarkersListsFiltersAndRemovesMarkers() {
        Core core = markerCase();
        EditMarkersPresenter presenter(core, ui_);
        ModalScript script;
        QString message;
        script.then([&](QWidget* w) {
            auto* table = w->findChild<QTableWidget*>("markers");
            QCOMPARE(table->rowCount(), 3);
            QCOMPARE(table->item(0, 0)->text(), QString("D1"));
            // Choosing population A colours the rows and fills the fields.
            auto* population = w->findChild<QComboBox*>("population");
            QCOMPARE(population->count(), 3);
            emit population->activated(1);
            QCOMPARE(core.activePopulation, 1);
            QCOMPARE(table->item(0, 4)->text(), QString("9,10"));
            QCOMPARE(table->item(0, 0)->foreground().color(), QColor(0, 153, 0));
            QCOMPARE(table->item(1, 0)->foreground().color(), QColor(255, 0, 0));
            auto* name = w->findChild<QLineEdit*>("populationName");
            QCOMPARE(name->text(), QString("A"));
            QTest::keyClicks(name, "2");
            QCOMPARE(core.populations[0].name, std::string("A2"));
            QCOMPARE(population->itemText(1), QString("A2"));
            screenshot(w, "edit_markers");
            // A theta out of range is told beside the field while it is typed, and not taken.
            auto* note = w->findChild<QLabel*>("thetaNote");
            QVERIFY(note && note->isHidden());
            type(w, "theta", "5");
            QVERIFY(!note->isHidden());
            QCOMPARE(note->text(), QString("Theta (Fst) must be a number from 0 to below 1; 0 "
                                           "stays in use"));
            QCOMPARE(core.clusterDatabase.theta, 0.0);
            type(w, "theta", "0.02");
            QVERIFY(note->isHidden());
            QCOMPARE(core.populations[0].theta, 0.02);

            click(w, "Remove");  // nothing selected: a notification
            QCOMPARE(message, QString("Please select a system/marker to remove"));
            QTest::keyClicks(w->findChild<QLineEdit*>("markerNameFilter"), "d2");
            QCOMPARE(table->rowCount(), 1);
            table->selectRow(0);
            QCOMPARE(presenter.selectedRows(), std::vector<int>{0});
            click(w, "Remove");
            QCOMPARE(core.markerMap.markers.size(), size_t(2));
            QCOMPARE(table->rowCount(), 0);
            click(w, "Close");
        });
        script.then(answer(message));
        QCOMPARE(ui_.runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
    }

    void editAlleleSystemAddsAllelesAndChecksThePosition() {
        Core core;
        core.markerMap.markers = {Marker("D1", 3, 12.5)};
        Population population;
        population.markers = {withAlleles(Marker("D1", 3, 12.5), {{"9", 0.5}, {"10", 0.5}})};
        core.populations = {population};
        core.activePopulation = 1;
        EditAlleleSystemPresenter presenter(core, ui_, 1);
        ModalScript script;
        QString error;
        QString question;
        script.then([&](QWidget* w) {
            auto* table = w->findChild<QTableWidget*>("alleles");
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(table->item(1, 0)->text(), QString("10"));
            auto* chromosome = w->findChild<QComboBox*>("chromosome");
            QCOMPARE(chromosome->currentText(), QString("3"));
            emit chromosome->activated(4);
            QCOMPARE(core.markerMap.markers[0].chromosome, 5);

            auto* newName = w->findChild<QLineEdit*>("newAlleleName");
            QTest::keyClicks(newName, "11");
            QTest::keyClicks(w->findChild<QLineEdit*>("newAlleleFrequency"), "0.1");
            click(w, "Add");
            QCOMPARE(table->rowCount(), 3);
            QCOMPARE(table->item(2, 0)->text(), QString("11"));
            QVERIFY(newName->text().isEmpty());
            screenshot(w, "edit_allele_system");

            // Position 0 keeps the window open with an error; a valid one closes it.
            auto* position = w->findChild<QLineEdit*>("geneticPosition");
            QCOMPARE(position->text(), QString("12.5"));
            retype(position, "0");
            click(w, "Close");
            QCOMPARE(error, QString("Please enter valid genetic position"));
            QVERIFY(w->isVisible());
            retype(position, "20");
            click(w, "Close");
        });
        script.then(answer(error)).then(answer(question, QMessageBox::No));
        QCOMPARE(ui_.runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
        QVERIFY(!question.isEmpty());
        QCOMPARE(core.markerMap.markers[0].position, 20.0);
    }

    void populationsMergesTheSelectedRows() {
        Core core = markerCase();
        PopulationsPresenter presenter(core, ui_);
        ModalScript script;
        script.then([&](QWidget* w) {
            auto* table = w->findChild<QTableWidget*>("populations");
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(table->item(1, 0)->text(), QString("B"));
            table->selectAll();
            QCOMPARE(presenter.selectedRows(), (std::vector<int>{0, 1}));
            screenshot(w, "populations");
            click(w, "Merge");
            QCOMPARE(core.populations.size(), size_t(1));
            QCOMPARE(table->rowCount(), 1);
            QCOMPARE(table->item(0, 0)->text(), QString("A_B"));
            click(w, "Close");
        });
        QCOMPARE(ui_.runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
    }

    void newAlleleNeedsAModelAndAddsTheAllele() {
        Population population;
        population.markers = {withAlleles(Marker("D1", 1, 1.0), {{"9", 0.5}})};
        NewAllelePresenter presenter(ui_, &population, "D1", "9.3");
        ModalScript script;
        QString error;
        script.then([&](QWidget* w) {
            QCOMPARE(w->findChild<QLabel*>("system")->text(), QString("System: D1"));
            QCOMPARE(w->findChild<QLabel*>("allele")->text(), QString("Allele: 9.3"));
            auto* frequency = w->findChild<QLineEdit*>("frequency");
            QCOMPARE(frequency->text(), QString("0.01"));
            auto* model = w->findChild<QComboBox*>("model");
            QCOMPARE(model->currentText(), QString("1. Normalise"));
            screenshot(w, "new_allele");
            emit model->activated(0);
            click(w, "Add");
            QCOMPARE(error, QString("Please select frequency model"));
            emit model->activated(2);
            retype(frequency, "0.05");
            click(w, "Add");
        });
        script.then(answer(error));
        QCOMPARE(ui_.runDialog(presenter), DialogResult::Ok);
        QVERIFY(script.done());
        const auto& alleles = population.markers[0].alleles;
        QCOMPARE(alleles.size(), size_t(2));
        QCOMPARE(alleles[1].name, std::string("9.3"));
        QCOMPARE(alleles[1].frequency, 0.05);
    }

    void selectSystemsImportsAtMostTwo() {
        SelectSystemsPresenter presenter(ui_, {{"S1", 5}, {"S2", 3}, {"S3", 7}});
        ModalScript script;
        QString error;
        script.then([&](QWidget* w) {
            auto* table = w->findChild<QTableWidget*>("systems");
            QCOMPARE(table->rowCount(), 3);
            QCOMPARE(table->selectionModel()->selectedRows().size(), 2);
            QVERIFY(!table->selectionModel()->isRowSelected(2, {}));
            screenshot(w, "select_systems");
            table->selectAll();
            click(w, "Import");
        });
        script.then(answer(error));
        QCOMPARE(ui_.runDialog(presenter), DialogResult::Ok);
        QVERIFY(script.done());
        QCOMPARE(error, QString(kOnlyTwoSystemsMessage));
        QCOMPARE(presenter.chosen(), (std::vector<int>{0, 1}));
    }

    // The table helpers every window's tables are written through.
    void tableHelpersSelectRealRowsAndReuseCells() {
        QWidget window;
        QTableWidget* table = rowTable(&window, "table", {"Name", "Value"}, true);
        QSignalSpy reported(table, &QTableWidget::itemSelectionChanged);
        setCells(table, {{"a", "1"}, {"b", "2", "left out"}, {"c"}});
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 2);
        QVERIFY(!table->item(2, 1));
        QTableWidgetItem* kept = table->item(0, 0);
        setCells(table, {{"a", "9"}, {"b", "2"}});
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0), kept);
        QCOMPARE(table->item(0, 1)->text(), QString("9"));

        // Rows outside the table are passed over, the rest selected once each.
        setSelectedRows(table, {1, 5, -1, 0, 1});
        QCOMPARE(selectedRows(table), (std::vector<int>{0, 1}));
        QCOMPARE(selectedRow(table), 0);
        setSelectedRow(table, -1);
        QVERIFY(selectedRows(table).empty());
        QCOMPARE(selectedRow(table), -1);
        QCOMPARE(reported.count(), 0);
    }

private:
    QtUserInterface ui_;
};

QTEST_MAIN(MarkerWindowsTest)
#include "marker_windows_test.moc"
